// An amount in euros, two implied decimals in a zone ("1250" is 12.50).
#pragma once

#include "zone/Flottant.h"

class Montant : public Flottant {
public:
    Montant() = default;
    explicit Montant(double valeur) : Flottant(valeur) {}
    Montant(const char* octets, size_t n) : Flottant(octets, n, 2) {}
    Montant(const uint8_t* octets, size_t n) : Flottant(octets, n, 2) {}

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    void formeOctets(FormeOctets& forme) const override;

    // Rounding to the cent used by the tariff rules: half a cent goes up (away
    // from zero), with the tolerance deciding the ties.
    static double arrondir(double valeur);
    Montant& arrondir();
};
