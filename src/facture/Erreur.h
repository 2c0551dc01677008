// A rule violation: the rule, whether the host may override it, the invoice lines
// it concerns, its forcing indicator, its label and message. It is set once its
// rule code is set; the error list holds copies.
#pragma once

#include <cstdint>
#include <memory>

#include "facture/MessageRegle.h"
#include "zone/Code.h"
#include "zone/ListeCodes.h"
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

// What a violation takes from its rule: the same for every violation of the rule, so
// its violations share it rather than copy its label. Its texts never change once made.
struct RegleErreur {
    Code codeRegle;
    Code outrePassable;
    Code indicateurForcage;
    Texte libelle;
    // Its violations bring their forcing indicator to the lines they reach.
    bool forcage = false;
    // The rules object that made it, which keeps here the rules its violations make
    // unverifiable once a first line asked for them: they are the same for all.
    uint64_t regles = 0;
    mutable bool lieesTrouvees = false;
    mutable ListeCodes liees{};
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

    // Most rules raise nothing: their step sees the missing rule without the blank test.
    bool estPositionnee() const {
        return regle_ != nullptr && regle_->codeRegle.longueur() > 0 && regle_->codeRegle.estRenseigne();
    }
    void vider();
    void dump() const;

    // The rule's part, shared with the rule's other violations.
    void definirRegle(std::shared_ptr<const RegleErreur> regle) { regle_ = std::move(regle); }

    const Code& codeRegle() const { return regle().codeRegle; }
    const Code& outrePassable() const { return regle().outrePassable; }
    const Code& indicateurForcage() const { return regle().indicateurForcage; }
    const Texte& libelle() const { return regle().libelle; }
    // Null before the rule is set.
    const RegleErreur* regleErreur() const { return regle_.get(); }
    bool apporteForcage() const { return regle().forcage; }

    PrestationsErreur prestations;
    MessageErreur message;

private:
    // An error without a rule reads as empty texts.
    static const RegleErreur kSansRegle;
    const RegleErreur& regle() const { return regle_ != nullptr ? *regle_ : kSansRegle; }

    std::shared_ptr<const RegleErreur> regle_;
};

// Moves the error to the end of the list, where `ajoutee` finds it until the list grows
// again; a list that cannot grow keeps what it held and gives 0xDFFC. The error is left
// to be emptied.
uint16_t ajouterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, const Erreur*& ajoutee);
