// A CCAM act line: the act line it was read as, plus the act, its modifiers,
// teeth and tariff data, and the association and session it belongs to (not owned).
#pragma once

#include "facture/LigneActe.h"
#include "zone/Booleen.h"

class AssociationCCAM;
class Seance;

class LigneCCAM : public LigneActe {
public:
    static constexpr uint16_t kModificateursMax = 4;
    static constexpr uint16_t kDentsMax = 16;

    LigneCCAM() { typeLigne = kCCAM; }
    explicit LigneCCAM(const LigneActe& ligne);
    explicit LigneCCAM(LigneActe&& ligne);
    ~LigneCCAM() override;

    void dump() const override;
    // Disengages its association and its session with it.
    void debrayer() override;
    uint16_t controlerReglementation(Facture& facture, uint16_t position, ControlesFacture& controles,
                                     TypeListe<Erreur>& erreurs) override;
    uint16_t controlerPU(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerBaseActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeance(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeanceExoneree(Facture& facture, ControlesFacture& controles,
                                        TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeanceNonExoneree(Facture& facture, ControlesFacture& controles,
                                           TypeListe<Erreur>& erreurs) override;
    LigneCCAM* commeLigneCCAM() override { return this; }
    const LigneCCAM* commeLigneCCAM() const override { return this; }

    Optionnel<Code> acte;
    Optionnel<Code> activite;
    Optionnel<Code> phase;
    ListeCodes modificateurs{kModificateursMax};
    Optionnel<Code> codeAssociation;
    Optionnel<Code> codeRemboursement;
    Optionnel<Code> supplementCharges;
    ListeCodes donneesComplementaires;
    ListeCodes dents{kDentsMax};
    Optionnel<Montant> baseHorsForfait;
    AssociationCCAM* association = nullptr;
    Seance* seance = nullptr;
    Booleen topActePuMax{false};
    Optionnel<Nombre> grilleTarifaire;
    Booleen topReduction{false};

protected:
    void signalerNonVerifiable(const Code& regle, uint64_t hachage) override;
    void signalerRecreation(const ListeCodes& anciennes) override;
};
