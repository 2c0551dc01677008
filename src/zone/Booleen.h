// A yes/no value; its byte form is 'O' or 'N'. Always filled: false is a value.
#pragma once

#include <cstddef>

#include "zone/TypeSimple.h"

class Booleen : public TypeSimple {
public:
    Booleen() = default;
    explicit Booleen(bool valeur) : valeur_(valeur) {}
    explicit Booleen(char caractere) : valeur_(caractere == 'O') {}
    Booleen(const char* octets, size_t n) : valeur_(octets != nullptr && n > 0 && octets[0] == 'O') {}
    Booleen(const uint8_t* octets, size_t n) : Booleen(reinterpret_cast<const char*>(octets), n) {}

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    bool estRenseigne() const override { return true; }
    void formeOctets(FormeOctets& forme) const override;

    bool valeur() const { return valeur_; }
    bool operator==(const Booleen& autre) const { return valeur_ == autre.valeur_; }
    bool operator!=(const Booleen& autre) const { return valeur_ != autre.valeur_; }

private:
    bool valeur_ = false;
};
