// A CCAM concept's values at a date as the rules ask them: the list, and whether a code
// is among them. Values of seven bytes or fewer are held as one word each too, so that the
// question compares words; a concept with a longer value answers from its list. The
// one-byte values, what most codes asked are (admission, act type, exoneration), are bits too.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "zone/ListeCodes.h"

class ValeursConcept {
public:
    explicit ValeursConcept(ListeCodes valeurs);

    const ListeCodes& liste() const { return valeurs_; }
    // The answer of liste().contient(code). Inline: the rules of every line ask it.
    bool contient(const Code& code) const {
        if (code.longueur() == 1) return aOctet(code[0]);
        if (nombreMots_ != valeurs_.nombre()) return valeurs_.contient(code);
        return parmiMots(code.chaine(), code.longueur());
    }
    // The same for a code read where its column lies.
    bool contient(const VueCode& code) const {
        if (code.longueur() == 1) return aOctet(code.octets()[0]);
        if (nombreMots_ != valeurs_.nombre()) return valeurs_.contient(code.code());
        return parmiMots(code.octets(), code.longueur());
    }

private:
    static constexpr size_t kLongueurMot = 7;
    // A code of up to seven bytes as a word of its length and its bytes: two codes give
    // the same word exactly when they are equal.
    static bool motDe(const char* code, size_t n, uint64_t& mot) {
        if (n > kLongueurMot) return false;
        unsigned char octets[sizeof(uint64_t)] = {};
        octets[0] = static_cast<unsigned char>(n);
        std::memcpy(octets + 1, code, n);
        std::memcpy(&mot, octets, sizeof mot);
        return true;
    }
    bool parmiMots(const char* code, size_t n) const {
        uint64_t mot = 0;
        if (!motDe(code, n, mot)) return false;
        const uint64_t* mots = autresMots_.empty() ? motsEnPlace_ : autresMots_.data();
        for (size_t i = 0; i < nombreMots_; ++i)
            if (mots[i] == mot) return true;
        return false;
    }

    bool aOctet(char octet) const {
        const auto bit = static_cast<unsigned char>(octet);
        return (unOctet_[bit >> 6] >> (bit & 63)) & 1;
    }

    ListeCodes valeurs_;
    // One word per value, or none when a value is longer than a word holds. A concept has a
    // few values: their words are held in place, the heap holding only a longer list's.
    static constexpr size_t kMotsEnPlace = 8;
    size_t nombreMots_ = 0;
    uint64_t motsEnPlace_[kMotsEnPlace] = {};
    std::vector<uint64_t> autresMots_;
    // Bit b set when the one-byte code b is a value.
    uint64_t unOctet_[4] = {};
};
