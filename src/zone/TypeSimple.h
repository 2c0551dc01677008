// A value that has a byte form in an exchange zone, and the type codes of zone fields.
// versOctets hands out an owned array without terminator; no array with a non-zero
// length means the value cannot be written.
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

class TypeSimple : public TypeDonnee {
public:
    virtual std::unique_ptr<uint8_t[]> versOctets(uint32_t& longueur) const = 0;

    // Name of a type code in trace lines.
    static const char* nomType(uint8_t code);

protected:
    static std::unique_ptr<uint8_t[]> copierOctets(const char* octets, uint32_t longueur);
};
