// Intersection and union of code lists.
#include "zone/ListeCodes.h"

uint16_t ListeCodes::intersection(const TypeListe<Code>& a, const TypeListe<Code>& b) {
    // Built aside: a or b may be this very list.
    TypeListe<Code> resultat(capacite());
    uint16_t cr = 0;
    for (uint16_t i = 0; i < a.nombre() && cr == 0; ++i)
        if (b.contient(a.element(i))) cr = resultat.ajouter(a.element(i));
    if (cr == 0) TypeListe<Code>::operator=(resultat);
    return cr;
}

uint16_t ListeCodes::unionAvec(const TypeListe<Code>& b) {
    if (&b == this) return 0;
    uint16_t cr = 0;
    for (uint16_t i = 0; i < b.nombre() && cr == 0; ++i)
        if (!contient(b.element(i))) cr = ajouter(b.element(i));
    return cr;
}
