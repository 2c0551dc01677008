// Byte encodings of the table files: big-endian integers, packed decimal numbers,
// the file CRC and the code tests of the readers. The reader and the writer both
// go through these, so they can never disagree.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Codage {

inline uint16_t lireEntier16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t lireEntier32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}
inline void ecrireEntier16(uint8_t* p, uint16_t n) {
    p[0] = static_cast<uint8_t>(n >> 8);
    p[1] = static_cast<uint8_t>(n);
}
inline void ecrireEntier32(uint8_t* p, uint32_t n) {
    p[0] = static_cast<uint8_t>(n >> 24);
    p[1] = static_cast<uint8_t>(n >> 16);
    p[2] = static_cast<uint8_t>(n >> 8);
    p[3] = static_cast<uint8_t>(n);
}

constexpr size_t kTailleNombre = 8;

// False when the integer part needs more than 14 digits (or the value is not finite).
bool coderNombre(double valeur, uint8_t octets[kTailleNombre]);
// False on symbols that spell no decimal text (10 to 14, or a misplaced point).
bool decoderNombre(const uint8_t octets[kTailleNombre], double& valeur);

// The file CRC, fed block by block; valeur() swaps the two bytes of the register.
class Crc16 {
public:
    void ajouter(const uint8_t* octets, size_t n);
    uint16_t valeur() const { return static_cast<uint16_t>(((registre_ >> 8) & 0xFF) | ((registre_ & 0xFF) << 8)); }

private:
    uint32_t registre_ = 0;
};

// 0-9 or A-Z up to the first space, only spaces after it (all spaces pass).
bool estCodeValide(const char* octets, size_t n);
bool estNonBlanc(const char* octets, size_t n);
// Only 0-9 and A-Z in the first four characters.
bool estCodeVersion(const char* octets);

}  // namespace Codage
