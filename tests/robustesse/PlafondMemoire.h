// The test program's own operator new. It counts the heap bytes in use through it,
// keeps their peak, and throws std::bad_alloc past a ceiling or at a chosen
// allocation. The library loaded at run time resolves operator new to this one too,
// so its allocations are counted and can be made to fail.
#pragma once

#include <cstddef>
#include <cstdint>

namespace PlafondMemoire {

size_t enCours();
size_t pic();
// The peak starts again from the bytes in use now.
void reprendrePic();
// Allocations that would take the bytes in use past this many throw; 0 lifts the ceiling.
void plafonner(size_t octets);
// The rang-th allocation from now throws (once); 0 disarms it.
void echouerA(uint64_t rang);
// Allocations made so far, failed ones included.
uint64_t allocations();

}  // namespace PlafondMemoire
