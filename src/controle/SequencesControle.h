// The control sequences of an invoice: which regulatory and tariff rules run on each
// line, association, session and on the invoice, in which order, with which inputs,
// and which results gate the rules after them. Every rule runs through one step:
// skipped when not verifiable for its object, its violation recorded by its owner.
// One object per call, over the call's two rule families.
#pragma once

#include <cstdint>

#include "facture/ControlesFacture.h"
#include "facture/Erreur.h"
#include "facture/Facture.h"
#include "facture/TraceFacture.h"
#include "reglementation/Reglementation.h"
#include "tarification/Tarification.h"

class SequencesControle : public ControlesFacture {
public:
    SequencesControle(Reglementation& reglementation, Tarification& tarification);
    ~SequencesControle() override;
    SequencesControle(const SequencesControle&) = delete;
    SequencesControle& operator=(const SequencesControle&) = delete;

    uint16_t controlerReglementation(LigneActe& ligne, Facture& facture, uint16_t position,
                                     TypeListe<Erreur>& erreurs) override;
    uint16_t controlerReglementation(LigneCCAM& ligne, Facture& facture, uint16_t position,
                                     TypeListe<Erreur>& erreurs) override;
    uint16_t controlerPU(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerPU(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerBaseActe(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerBaseActe(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoActe(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoActe(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeance(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeance(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeanceExoneree(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeanceExoneree(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeanceNonExoneree(LigneActe& ligne, Facture& facture,
                                           TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoSeanceNonExoneree(LigneCCAM& ligne, Facture& facture,
                                           TypeListe<Erreur>& erreurs) override;

    uint16_t controlerReglementation(Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerReglementation(AssociationCCAM& association, TypeListe<Erreur>& erreurs) override;
    uint16_t rechercheActePu(AssociationCCAM& association, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoFacture(Facture& facture, TypeListe<Erreur>& erreurs) override;
    uint16_t controlerExoFacture(Seance& seance, Facture& facture) override;

private:
    // A violation of the invoice's rules, recorded by the invoice for one line.
    struct PourLigne {
        Facture& facture;
        const LigneCCAM& ligne;
    };

    // One rule: asked whether it is verifiable on its scope (a line's own list, every
    // line of an association or of a session), then run. False when the rule did not
    // run; cr stops every step once non-zero. Rules that decide rather than report stop here.
    template <class Portee, class Regle>
    bool decider(uint16_t& cr, Regles& regles, const char* regle, const Portee& portee, Regle appliquer);
    // The same for a rule that reports: run into the step's empty error, the violation
    // handed to its owner (a line, an association, or the invoice for a line).
    template <class Portee, class Proprietaire, class Regle>
    bool executer(uint16_t& cr, Regles& regles, const char* regle, const Portee& portee, Proprietaire& proprietaire,
                  TypeListe<Erreur>& erreurs, Regle appliquer);

    static uint16_t verifiable(Regles& regles, const char* regle, const LigneActe& ligne, bool& reponse) {
        return regles.estVerifiable(regle, ligne, reponse);
    }
    static uint16_t verifiable(Regles& regles, const char* regle, const AssociationCCAM* association, bool& reponse);
    static uint16_t verifiable(Regles& regles, const char* regle, const Seance* seance, bool& reponse);
    static uint16_t traiter(Regles& regles, LigneActe& ligne, Erreur& erreur, TypeListe<Erreur>& erreurs);
    static uint16_t traiter(Regles& regles, AssociationCCAM& association, Erreur& erreur,
                            TypeListe<Erreur>& erreurs);
    static uint16_t traiter(Regles& regles, PourLigne& pour, Erreur& erreur, TypeListe<Erreur>& erreurs);

    // The dental rules of a CCAM line, after the act was found dental.
    void controlerDents(uint16_t& cr, LigneCCAM& ligne, const Facture& facture, TypeListe<Erreur>& erreurs);
    // A control that runs no rule: only the mark of what it read.
    uint16_t sansRegle(LigneActe& ligne, Regles& regles, char lettre);
    // Counts the locally modified values the control reads, for its mark.
    void debuterControle();
    // The mark of a control ended without a code.
    void terminerControle(uint16_t& cr, LigneActe& ligne, Regles& regles, char lettre);

    Reglementation& reglementation_;
    Tarification& tarification_;
    // The step's error, empty between steps: built once, not at every rule.
    Erreur erreur_;
};

template <class Portee, class Regle>
bool SequencesControle::decider(uint16_t& cr, Regles& regles, const char* regle, const Portee& portee,
                                Regle appliquer) {
    bool verifie = false;
    if (cr == 0) cr = verifiable(regles, regle, portee, verifie);
    if (cr != 0 || !verifie) return false;
    cr = appliquer();
    return true;
}

template <class Portee, class Proprietaire, class Regle>
bool SequencesControle::executer(uint16_t& cr, Regles& regles, const char* regle, const Portee& portee,
                                 Proprietaire& proprietaire, TypeListe<Erreur>& erreurs, Regle appliquer) {
    const bool verifie = decider(cr, regles, regle, portee, [&] { return appliquer(erreur_); });
    // With nothing raised the owner records nothing: it is asked only for its trace lines.
    if (verifie && cr == 0 && (erreur_.estPositionnee() || regleTracee()))
        cr = traiter(regles, proprietaire, erreur_, erreurs);
    if (erreur_.estPositionnee()) erreur_.vider();
    return verifie;
}
