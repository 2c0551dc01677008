// A signed 32-bit integer value. Built from digits without checking them: the
// field control has checked the format before.
#pragma once

#include <cstddef>

#include "zone/TypeSimple.h"

class Nombre : public TypeSimple {
public:
    Nombre() = default;
    explicit Nombre(int32_t valeur) : valeur_(valeur) {}
    Nombre(const char* octets, size_t n);
    Nombre(const uint8_t* octets, size_t n);

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    bool estRenseigne() const override { return valeur_ != 0; }
    void formeOctets(FormeOctets& forme) const override;

    int32_t valeur() const { return valeur_; }
    bool operator==(const Nombre& autre) const { return valeur_ == autre.valeur_; }
    bool operator!=(const Nombre& autre) const { return valeur_ != autre.valeur_; }
    bool operator<(const Nombre& autre) const { return valeur_ < autre.valeur_; }

private:
    int32_t valeur_ = 0;
};
