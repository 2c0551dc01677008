// The amount tests of the tariff rules beyond Flottant's comparisons: an input
// amount that counts as zero, and an amount too long for its zone field.
#pragma once

#include <cmath>
#include <cstdio>

#include "zone/Montant.h"

namespace tarif {

// Host amounts are zero within a wider tolerance than the comparisons'.
constexpr double kToleranceZero = 0.0001;
// The widest amount a zone field holds, written with its two decimals.
constexpr int kLongueurMontantMax = 7;

inline bool estNul(const Montant& montant) { return std::fabs(montant.valeur()) <= kToleranceZero; }

inline bool tropLong(const Montant& montant) {
    char texte[64];
    return std::snprintf(texte, sizeof texte, "%.2f", montant.valeur()) > kLongueurMontantMax;
}

}  // namespace tarif
