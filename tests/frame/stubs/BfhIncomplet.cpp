// A session-zone component that lacks BFH_EcrireZoneOut: binding it must fail.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) uint16_t BFH_LireZoneIn(uint16_t, unsigned char**, uint32_t*) {
    return 0;
}
