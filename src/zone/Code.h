// A code value: a text whose trace line says "code". Codes read from fixed-width
// columns lose their trailing blanks, so a column of blanks gives the empty code.
#pragma once

#include <cstring>

#include "zone/Texte.h"

class Code : public Texte {
public:
    // Tag of the constructor for fixed-width columns: Code(octets, 13, Code::largeurFixe).
    struct LargeurFixe {};
    static constexpr LargeurFixe largeurFixe{};

    Code() = default;
    Code(const char* chaine) : Texte(chaine) {}  // NOLINT: codes are built from literals everywhere
    Code(const char* octets, size_t n) : Texte(octets, n) {}
    Code(const uint8_t* octets, size_t n) : Texte(octets, n) {}
    explicit Code(char caractere);
    Code(const char* octets, size_t n, LargeurFixe);
    Code(const uint8_t* octets, size_t n, LargeurFixe);
    // Tag of the constructor for a zone field that passed the code check: letters and digits
    // only, so no NUL to look for.
    struct Verifie {};
    static constexpr Verifie verifie{};
    Code(const uint8_t* octets, size_t n, Verifie) : Texte(reinterpret_cast<const char*>(octets), n, SansNul{}) {}

    // Whether the code is what that fixed-width column gives, without building it.
    bool estColonne(const char* octets, size_t n) const;

    void tracer(uint16_t niveau) const override;
};

// A code read where its fixed-width column lies, without its trailing blanks and without
// a string: what a caller that only compares it needs. It lasts as long as its column.
class VueCode {
public:
    VueCode() = default;
    // Inline for a column of one byte, the most common.
    VueCode(const char* octets, size_t n, Code::LargeurFixe)
        : octets_(octets != nullptr ? octets : ""),
          longueur_(n == 1 && octets != nullptr ? (*octets != ' ' && *octets != '\0') : longueurDe(octets, n)) {}

    const char* octets() const { return octets_; }
    size_t longueur() const { return longueur_; }
    Code code() const { return Code(octets_, longueur_); }
    // Inline: the rules compare their answers with the line's codes.
    bool operator==(const Code& code) const {
        return longueur_ == code.longueur() && (longueur_ == 0 || std::memcmp(octets_, code.chaine(), longueur_) == 0);
    }
    bool operator!=(const Code& code) const { return !(*this == code); }

private:
    static size_t longueurDe(const char* octets, size_t n);

    const char* octets_ = "";
    size_t longueur_ = 0;
};

// A list of one-byte codes read where its column lies, each code as VueCode reads it.
class VueCodesOctet {
public:
    VueCodesOctet() = default;
    VueCodesOctet(const char* octets, size_t nombre) : octets_(octets), nombre_(nombre) {}

    size_t nombre() const { return nombre_; }
    VueCode element(size_t i) const { return VueCode(octets_ + i, 1, Code::largeurFixe); }

private:
    const char* octets_ = nullptr;
    size_t nombre_ = 0;
};
