// A value that has a byte form in an exchange zone, and the type codes of zone fields.
// versOctets hands out an owned array without terminator; no array with a non-zero
// length means the value cannot be written. formeOctets gives the same bytes without
// allocating; a value type overrides one of the two.
#pragma once

#include <cstdint>
#include <memory>

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
    std::unique_ptr<uint8_t[]> alloue;  // for a value that only has versOctets
};

class TypeSimple : public TypeDonnee {
public:
    virtual std::unique_ptr<uint8_t[]> versOctets(uint32_t& longueur) const;
    virtual void formeOctets(FormeOctets& forme) const;

    // Name of a type code in trace lines.
    static const char* nomType(uint8_t code);

protected:
    static std::unique_ptr<uint8_t[]> copierOctets(const char* octets, uint32_t longueur);
    // The decimal digits of valeur, at least `chiffres` of them (as "%0*llu"), from p;
    // returns the end. Values are written by hand: the answer zones hold thousands.
    static char* ecrireDecimal(char* p, uint64_t valeur, unsigned chiffres);
    // The form held in `court`, from its start to `fin`.
    static void formeCourte(FormeOctets& forme, const char* fin);
};
