// Writing of one act-level record in the order it is read, on a running code:
// once the code is non-zero every later write does nothing. Failures give 0xD700.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zone/Date.h"

class Ecrivain;

class EcritureNiveau {
public:
    EcritureNiveau(Ecrivain& ecrivain, uint16_t& cr) : ecrivain_(ecrivain), cr_(cr) {}

    Ecrivain& ecrivain() { return ecrivain_; }
    bool enErreur() const { return cr_ != 0; }

    void octet(char valeur);
    // Exactly n bytes: shorter values are padded with spaces, longer ones cut.
    void caracteres(const std::string& valeur, size_t n);
    void entier16(uint16_t valeur);
    void entier32(uint32_t valeur);
    void chaine(const std::string& valeur);
    void date(const Date& valeur);
    void nombre(double valeur);
    // Counts above 65535 cannot be written.
    void compte(size_t n);
    void listeCodes(const std::vector<char>& valeurs);
    void listeCodes(const std::vector<std::string>& valeurs, size_t n);

private:
    Ecrivain& ecrivain_;
    uint16_t& cr_;
};
