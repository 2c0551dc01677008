// A code value: a text whose trace line says "code". Codes read from fixed-width
// columns lose their trailing blanks, so a column of blanks gives the empty code.
#pragma once

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
