// A decimal value held as a double, compared with a tolerance of 0.00001.
// Its byte form is implied-decimal digits, chosen by the derived type.
#pragma once

#include <cstddef>

#include "zone/TypeSimple.h"

class Flottant : public TypeSimple {
public:
    static constexpr double kTolerance = 0.00001;

    Flottant() = default;
    explicit Flottant(double valeur) : valeur_(valeur) {}
    Flottant(const char* octets, size_t n, uint8_t decimales);
    Flottant(const uint8_t* octets, size_t n, uint8_t decimales);

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    bool estRenseigne() const override;

    double valeur() const { return valeur_; }
    void definirValeur(double valeur) { valeur_ = valeur; }

    bool operator==(double autre) const;
    bool operator!=(double autre) const { return !(*this == autre); }
    bool operator<(double autre) const { return valeur_ < autre - kTolerance; }
    bool operator<=(double autre) const { return valeur_ <= autre + kTolerance; }
    bool operator>(double autre) const { return autre < valeur_ - kTolerance; }
    bool operator>=(double autre) const { return autre <= valeur_ + kTolerance; }
    bool operator==(const Flottant& autre) const { return *this == autre.valeur_; }
    bool operator!=(const Flottant& autre) const { return *this != autre.valeur_; }
    bool operator<(const Flottant& autre) const { return *this < autre.valeur_; }
    bool operator<=(const Flottant& autre) const { return *this <= autre.valeur_; }
    bool operator>(const Flottant& autre) const { return *this > autre.valeur_; }
    bool operator>=(const Flottant& autre) const { return *this >= autre.valeur_; }

protected:
    using TypeSimple::formeOctets;
    // Digits of value x 10^decimales, left-padded with '0' to decimales + 1;
    // a negative value gets a leading '-'. More than 11 characters (or not a
    // finite number) gives no bytes and a non-zero length: not writable.
    void formeOctets(FormeOctets& forme, uint8_t decimales) const;

    double valeur_ = 0.0;
};
