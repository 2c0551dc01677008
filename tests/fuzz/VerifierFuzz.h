// A failed check stops the fuzz target with its name (KPX_FUZZ_CIBLE, given by the build).
#pragma once

#include <cstdio>
#include <cstdlib>

inline void verifier(bool condition, const char* quoi) {
    if (condition) return;
    std::fprintf(stderr, "%s: %s\n", KPX_FUZZ_CIBLE, quoi);
    std::abort();
}
