// Base of composite values that exist only inside the library; they have no
// byte form and hold nothing of their own.
#pragma once

#include "zone/TypeDonnee.h"

class TypeComplexe : public TypeDonnee {
public:
    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    bool estRenseigne() const override;
};
