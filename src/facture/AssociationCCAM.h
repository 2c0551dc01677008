// An association: the CCAM lines of an invoice with one date, one activity and
// one practitioner, in input order. Associations form a chain owned link by link;
// the date, activity and practitioner are those of the first line, not owned.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "facture/Erreur.h"
#include "facture/ReferencesNonVerifiables.h"
#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/Nombre.h"
#include "zone/Optionnel.h"

class LigneCCAM;
class Regles;

class AssociationCCAM {
public:
    AssociationCCAM(int32_t numero, const LigneCCAM& premiere);
    virtual ~AssociationCCAM();
    AssociationCCAM(const AssociationCCAM&) = delete;
    AssociationCCAM& operator=(const AssociationCCAM&) = delete;

    // Same date, activity and practitioner.
    bool accepte(const LigneCCAM& ligne) const;
    void ajouterLigne(LigneCCAM& ligne);
    // Records a violation of the association: every line takes its consequences.
    uint16_t traiterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, Regles& regles);
    void dump() const;

    const Date* date;
    const Code* activite;
    const Code* numeroPS;
    Optionnel<Code> actePuMax;
    std::vector<LigneCCAM*> lignes;
    std::unique_ptr<AssociationCCAM> suivante;
    Nombre numero;
    Optionnel<Code> codeCalcule;
    bool topDebrayage = false;
    // The rules that some line of the association no longer verifies.
    ReferencesNonVerifiables nonVerifiables;
};
