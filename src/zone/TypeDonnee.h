// Base of every typed value that travels in a zone or lives in a table.
// Values are plain copyable objects; a default-built value holds nothing.
#pragma once

#include <cstdint>
#include <cstdio>

class TypeDonnee {
public:
    TypeDonnee() = default;
    TypeDonnee(const TypeDonnee&) = default;
    TypeDonnee& operator=(const TypeDonnee&) = default;
    // Inline: a control destroys thousands of values, each a call to an empty body otherwise.
    virtual ~TypeDonnee() = default;

    virtual void afficher(FILE* fichier) const = 0;
    // Writes to the detail trace, never to the common-services trace.
    virtual void tracer(uint16_t niveau) const = 0;
    virtual bool estRenseigne() const = 0;
    virtual bool estValide() const;
};
