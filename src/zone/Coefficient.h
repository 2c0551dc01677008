// A rate or factor (1.0 is 100 %). Read with the decimals of its field type
// (3, or 2 for a rate) and always written with 3 ("1500" is 1.5).
#pragma once

#include "zone/Flottant.h"

class Coefficient : public Flottant {
public:
    Coefficient() = default;
    explicit Coefficient(double valeur) : Flottant(valeur) {}
    Coefficient(const char* octets, size_t n, uint8_t decimales) : Flottant(octets, n, decimales) {}
    Coefficient(const uint8_t* octets, size_t n, uint8_t decimales) : Flottant(octets, n, decimales) {}

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    void formeOctets(FormeOctets& forme) const override;
};
