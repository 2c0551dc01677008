// A value that has a byte form in an exchange zone, and the type codes of zone fields.
// The form is given where it lies, without terminator; no bytes with a non-zero length
// means the value cannot be written.
#pragma once

#include <cstdint>

#include "zone/TypeDonnee.h"

// The `type` of a field description.
enum CodeType : uint8_t {
    TYPE_CODE = 0,
    TYPE_TEXTE = 1,
    TYPE_BOOLEEN = 2,
    TYPE_DATE = 3,
    TYPE_NOMBRE = 4,
    TYPE_MONTANT = 5,
    TYPE_COEFFICIENT = 6,
    TYPE_COEFFICIENT_TAUX = 7,
    TYPE_AUCUN = 8,
};

// The byte form of a value where it lies: a text's own characters, or `court`
// for the values written as digits. Valid while the value and the form live.
struct FormeOctets {
    const uint8_t* donnees = nullptr;
    uint32_t longueur = 0;
    char court[16];
};

class TypeSimple : public TypeDonnee {
public:
    virtual void formeOctets(FormeOctets& forme) const = 0;

    // Name of a type code in trace lines.
    static const char* nomType(uint8_t code);

protected:
    // The decimal digits of valeur, at least `chiffres` of them (as "%0*llu"), from p;
    // returns the end. Values are written by hand: the answer zones hold thousands.
    static char* ecrireDecimal(char* p, uint64_t valeur, unsigned chiffres);
    // The form held in `court`, from its start to `fin`.
    static void formeCourte(FormeOctets& forme, const char* fin);
};
