// An act code as the référentiel keys it: its width, blanks padding it on the right, and
// the mixing of its words that places it in the act tables hashed by code.
#pragma once

#include <cstddef>
#include <cstdint>

struct CodeActe {
    static constexpr size_t kLargeur = 13;

    // Both words are spread over the whole word first: codes differ mostly in their last bytes.
    static uint64_t melanger(uint64_t tete, uint64_t queue) {
        return (tete * 0x9E3779B97F4A7C15ull ^ queue) * 0xC2B2AE3D27D4EB4Full;
    }
    // Spreads a mixed word once more, for a place taken from its top bits.
    static uint64_t etaler(uint64_t melange) { return melange * 0x9E3779B97F4A7C15ull; }
};
