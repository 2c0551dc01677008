// A rule violation: the rule, whether the host may override it, the invoice lines
// it concerns, its forcing indicator, its label and message. It is set once its
// rule code is set; the error list holds copies.
#pragma once

#include <cstdint>

#include "zone/Code.h"
#include "zone/Nombre.h"
#include "zone/Texte.h"
#include "zone/TypeListe.h"

class Erreur {
public:
    Erreur() = default;
    Erreur(const Erreur&) = default;
    Erreur& operator=(const Erreur&) = default;
    // The error list moves its errors when it grows: their texts are not copied again.
    Erreur(Erreur&&) = default;
    Erreur& operator=(Erreur&&) = default;
    virtual ~Erreur();

    bool estPositionnee() const { return codeRegle.estRenseigne(); }
    void vider();
    void dump() const;

    Code codeRegle;
    Code outrePassable;
    // Most violations name one line: room for one at first.
    TypeListe<Nombre> prestations{1};
    Code indicateurForcage;
    Texte libelle;
    Texte message;
};

// Moves the error to the end of the list, where `ajoutee` finds it until the list grows
// again; a list that cannot grow keeps what it held and gives 0xDFFC. The error is left
// to be emptied.
uint16_t ajouterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, const Erreur*& ajoutee);
