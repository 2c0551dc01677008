// Composite values: a fixed printed form.
#include "zone/TypeComplexe.h"

void TypeComplexe::afficher(FILE* fichier) const { std::fputs("(type complexe)", fichier); }

void TypeComplexe::tracer(uint16_t) const {}

bool TypeComplexe::estRenseigne() const { return false; }
