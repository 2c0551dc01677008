// Packed decimals are 16 four-bit symbols: a sign, then the 15 characters of the
// value's decimal text, 15 standing for the point.
#include "referentiel/Codage.h"

#include <charconv>
#include <cmath>

namespace Codage {

namespace {

constexpr int kChiffresMax = 14;
constexpr uint8_t kPoint = 15;

// The register step for one byte depends only on its low byte, so eight shifts
// fold into one table lookup.
struct TableCrc {
    uint16_t valeurs[256];
    TableCrc() {
        for (uint32_t x = 0; x < 256; ++x) {
            uint32_t r = x;
            for (int i = 0; i < 8; ++i) r = (r & 1) ? (r >> 1) ^ 0x8408u : r >> 1;
            valeurs[x] = static_cast<uint16_t>(r);
        }
    }
};

const TableCrc& tableCrc() {
    static const TableCrc table;
    return table;
}

bool estChiffreOuMajuscule(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool coderNombre(double valeur, uint8_t octets[kTailleNombre]) {
    if (!std::isfinite(valeur)) return false;
    const double absolu = std::fabs(valeur);
    int chiffres = 1;
    if (absolu > 0.0001) {
        chiffres = static_cast<int>(std::floor(std::log10(absolu))) + 1;
        if (chiffres < 1) chiffres = 1;
    }
    if (chiffres > kChiffresMax) return false;

    // to_chars ignores the locale, so the point is always a point.
    char texte[64];
    auto resultat = std::to_chars(texte, texte + sizeof texte - 2, valeur, std::chars_format::fixed,
                                  kChiffresMax - chiffres);
    if (resultat.ec != std::errc()) return false;
    char* fin = resultat.ptr;
    if (chiffres == kChiffresMax) *fin++ = '.';
    *fin = '\0';

    const char* p = texte;
    uint8_t symboles[16];
    symboles[0] = 0;
    if (*p == '-') {
        symboles[0] = 1;
        ++p;
    }
    for (int i = 1; i < 16; ++i) {
        const char c = *p ? *p++ : '0';
        symboles[i] = c == '.' ? kPoint : static_cast<uint8_t>(c - '0');
    }
    for (size_t i = 0; i < kTailleNombre; ++i)
        octets[i] = static_cast<uint8_t>((symboles[2 * i] << 4) | symboles[2 * i + 1]);
    return true;
}

bool decoderNombre(const uint8_t octets[kTailleNombre], double& valeur) {
    // At most 15 digits: the integer they form is exact in a double, and so is the
    // power of ten that scales it, so one division gives the correctly rounded value,
    // the same double as reading the decimal text.
    static const double kPuissances[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    int64_t mantisse = 0;
    int decimales = -1;  // digits after the point, once there is one
    for (int i = 1; i < 16; ++i) {
        const uint8_t s = (i % 2) ? (octets[i / 2] & 0x0F) : (octets[i / 2] >> 4);
        if (s == kPoint) {
            if (decimales >= 0) return false;
            decimales = 0;
        } else if (s <= 9) {
            mantisse = mantisse * 10 + s;
            if (decimales >= 0) ++decimales;
        } else {
            return false;
        }
    }
    double lu = static_cast<double>(mantisse);
    if (decimales > 0) lu /= kPuissances[decimales];
    valeur = (octets[0] >> 4) != 0 ? -lu : lu;
    return true;
}

void Crc16::ajouter(const uint8_t* octets, size_t n) {
    const uint16_t* table = tableCrc().valeurs;
    uint32_t r = registre_;
    for (size_t i = 0; i < n; ++i) r = ((r >> 8) | (static_cast<uint32_t>(octets[i]) << 8)) ^ table[r & 0xFF];
    registre_ = r;
}

bool estCodeValide(const char* octets, size_t n) {
    size_t i = 0;
    while (i < n && octets[i] != ' ') {
        if (!estChiffreOuMajuscule(octets[i])) return false;
        ++i;
    }
    for (; i < n; ++i)
        if (octets[i] != ' ') return false;
    return true;
}

bool estNonBlanc(const char* octets, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (octets[i] != ' ') return true;
    return false;
}

bool estCodeVersion(const char* octets) {
    for (int i = 0; i < 4; ++i)
        if (!estChiffreOuMajuscule(octets[i])) return false;
    return true;
}

}  // namespace Codage
