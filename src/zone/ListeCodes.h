// A list of codes with the two set operations the rules need; both keep the
// order of the list they walk.
#pragma once

#include "zone/Code.h"
#include "zone/TypeListe.h"

class ListeCodes : public TypeListe<Code> {
public:
    explicit ListeCodes(uint16_t capacite = kCapaciteDefaut) : TypeListe<Code>(capacite) {}

    // This list becomes the codes of a that b contains, in the order of a.
    uint16_t intersection(const TypeListe<Code>& a, const TypeListe<Code>& b);
    // Appends each code of b not yet here, in the order of b ("union" is a keyword).
    uint16_t unionAvec(const TypeListe<Code>& b);
};
