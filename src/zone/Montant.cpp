// Amounts: euro printing and rounding to the cent.
#include "zone/Montant.h"

#include <cmath>

#include "frame/Trace.h"

void Montant::afficher(FILE* fichier) const { std::fprintf(fichier, "%#.2fE", valeur_); }

void Montant::tracer(uint16_t niveau) const { tracerDetail(CAT_ZONE, niveau, "  montant = %#.2fE", valeur_); }

void Montant::formeOctets(FormeOctets& forme) const { Flottant::formeOctets(forme, 2); }

double Montant::arrondir(double a) {
    const double p = 100.0;
    double f = std::floor(a * p) / p;
    double c = std::ceil(a * p) / p;
    if (a >= 0) return (c - a > (a - f) + kTolerance) ? f : c;
    return (c - a + kTolerance < a - f) ? c : f;
}

Montant& Montant::arrondir() {
    valeur_ = arrondir(valeur_);
    return *this;
}
