// A rule violation: the rule, whether the host may override it, the invoice lines
// it concerns, its forcing indicator, its label and message. It is set once its
// rule code is set; the error list holds copies.
#pragma once

#include <cstdint>

#include "zone/Code.h"
#include "zone/Nombre.h"
#include "zone/Texte.h"
#include "zone/TypeListe.h"

// The invoice lines a violation names. Most name one: it is held in place, and a list
// is made only for the lines after it.
class PrestationsErreur {
public:
    PrestationsErreur() = default;
    PrestationsErreur(const PrestationsErreur&) = default;
    PrestationsErreur& operator=(const PrestationsErreur&) = default;
    // Leaves the other empty.
    PrestationsErreur(PrestationsErreur&& autre) noexcept;
    PrestationsErreur& operator=(PrestationsErreur&& autre) noexcept;

    uint16_t nombre() const { return static_cast<uint16_t>(avecPremiere_ ? 1 + autres_.nombre() : 0); }
    // 0-based; the caller keeps i below nombre().
    Nombre& element(uint16_t i) { return i == 0 ? premiere_ : autres_.element(static_cast<uint16_t>(i - 1)); }
    const Nombre& element(uint16_t i) const {
        return i == 0 ? premiere_ : autres_.element(static_cast<uint16_t>(i - 1));
    }
    // 0xDFFC when the lines cannot grow: they keep what they held.
    uint16_t ajouter(const Nombre& numero);
    void vider();

private:
    Nombre premiere_;
    bool avecPremiere_ = false;
    TypeListe<Nombre> autres_{1};
};

class Erreur {
public:
    Erreur() = default;
    Erreur(const Erreur&) = default;
    Erreur& operator=(const Erreur&) = default;
    // The error list moves its errors when it grows: their texts are not copied again.
    Erreur(Erreur&&) = default;
    Erreur& operator=(Erreur&&) = default;
    virtual ~Erreur();

    // Most rules raise nothing: their step sees the empty code without the blank test.
    bool estPositionnee() const { return codeRegle.longueur() > 0 && codeRegle.estRenseigne(); }
    void vider();
    void dump() const;

    Code codeRegle;
    Code outrePassable;
    PrestationsErreur prestations;
    Code indicateurForcage;
    Texte libelle;
    Texte message;
};

// Moves the error to the end of the list, where `ajoutee` finds it until the list grows
// again; a list that cannot grow keeps what it held and gives 0xDFFC. The error is left
// to be emptied.
uint16_t ajouterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, const Erreur*& ajoutee);
