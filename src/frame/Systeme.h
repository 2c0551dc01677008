// Memory accounting of the buffers that cross the boundary: the process-wide
// total counts the heap's usable size, so a release gives back exactly what
// its allocation added.
#pragma once

#include <cstdint>

class Systeme {
public:
    static uint16_t allouer(void** adresse, uint32_t taille);
    static void liberer(void* adresse);
    static uint32_t tailleMemoireCumulee();

    // Fault injection for tests: the n-th next allocation fails (0 disables).
    static void simulerEchecAllocation(uint32_t rang);
};
