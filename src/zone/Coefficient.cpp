// Coefficients: printing and the 3-decimal byte form.
#include "zone/Coefficient.h"

#include "frame/Trace.h"

void Coefficient::afficher(FILE* fichier) const { std::fprintf(fichier, "%f", valeur_); }

void Coefficient::tracer(uint16_t niveau) const {
    tracerDetail(CAT_ZONE, niveau, "  coefficient = %f", valeur_);
}

void Coefficient::formeOctets(FormeOctets& forme) const { Flottant::formeOctets(forme, 3); }
