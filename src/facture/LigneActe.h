// One line of an invoice: an act line, a travel line or, as LigneCCAM, a CCAM act.
// Every value is owned and null when the host did not give it; the line owns its
// forcing indicator and the rules that are no longer verified for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "facture/Erreur.h"
#include "facture/ReferencesNonVerifiables.h"
#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/Date.h"
#include "zone/ListeCodes.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"
#include "zone/Optionnel.h"

class ControlesFacture;
class Facture;
class LigneCCAM;
class Regles;

class LigneActe {
public:
    enum TypeLigne : uint32_t { kActe = 0, kDeplacement1 = 1, kDeplacement2 = 2, kCCAM = 3 };
    // Who an error's forcing indicator reaches: the trace line differs.
    enum Portee { kPorteeLigne, kPorteeAssociation, kPorteeFacture };

    LigneActe() = default;
    // A copy of every value; the attachment is shared, never owned.
    LigneActe(const LigneActe& autre);
    // The values taken over: a line read as an act line becomes a CCAM line without copies.
    LigneActe(LigneActe&& autre) = default;
    LigneActe& operator=(const LigneActe&) = delete;
    virtual ~LigneActe();

    // Lines of either kind take blocks of one size, which a thread keeps a few dozen of
    // between invoices: a control makes and frees its lines by the dozen, too many and
    // too large for the allocator's own cache, which sent each through its slow path.
    static void* operator new(size_t taille);
    static void operator delete(void* ligne, size_t taille);

    virtual void dump() const;
    virtual void debrayer();
    // The controls of the line, in the order the invoice runs them; each hands the
    // line, as its own kind, to the control sequences.
    virtual uint16_t controlerReglementation(Facture& facture, uint16_t position, ControlesFacture& controles,
                                             TypeListe<Erreur>& erreurs);
    virtual uint16_t controlerPU(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs);
    virtual uint16_t controlerBaseActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs);
    virtual uint16_t controlerExoActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs);
    // Runs one of the two below by the state of the session; always 0.
    virtual uint16_t controlerExoSeance(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs);
    virtual uint16_t controlerExoSeanceExoneree(Facture& facture, ControlesFacture& controles,
                                                TypeListe<Erreur>& erreurs);
    virtual uint16_t controlerExoSeanceNonExoneree(Facture& facture, ControlesFacture& controles,
                                                   TypeListe<Erreur>& erreurs);
    virtual LigneCCAM* commeLigneCCAM() { return nullptr; }
    virtual const LigneCCAM* commeLigneCCAM() const { return nullptr; }

    // Records a violation the rule set on this line alone, then clears it.
    uint16_t traiterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, Regles& regles);
    // A recorded violation as each line it reaches takes it: the same for all of them, its
    // rules' list asked once, by its first line.
    struct Effet {
        explicit Effet(const Erreur& violation);
        const Erreur& erreur;
        // It brings its forcing indicator.
        const bool forcage;
        const ListeCodes* liees = nullptr;
    };
    // What a recorded violation does to this line: its forcing indicator and the
    // rules it makes unverifiable here.
    uint16_t subirErreur(Effet& effet, Regles& regles, Portee portee);
    // Combines the letter into the forcing indicator when the line's controls read
    // locally modified values; switches the counting off.
    uint16_t marquerForcage(Regles& regles, char lettre);

    // The rules no longer verified for this line (null before its first control); every
    // change goes through the two operations below, which tell the line's groups.
    const ListeCodes* reglesNonVerifiables() const { return reglesNonVerifiables_.get(); }
    // Starts the line's list afresh, empty.
    void recreerReglesNonVerifiables();
    // Appends each rule not yet in the list.
    uint16_t ajouterReglesNonVerifiables(const TypeListe<Code>& regles);
    // Whether the list holds the reference, whose hash is given: most rules of a line are
    // not in it, which its signature tells without walking it.
    bool nonVerifiable(const Code& reference, uint64_t hachage) const {
        return (signature_ & ReferencesNonVerifiables::bitSignature(hachage)) != 0 &&
               reglesNonVerifiables_->contient(reference);
    }

    int32_t valeurNumero() const { return numero ? numero->valeur() : 0; }

    uint32_t typeLigne = kActe;
    Optionnel<Nombre> numero;
    Optionnel<Date> date;
    Optionnel<Code> numeroPS;
    Optionnel<Code> specialitePS;
    Optionnel<Code> prestation;
    Optionnel<Code> lieuExecution;
    Optionnel<Code> identifiantLieu;
    Optionnel<Code> qualificatifDepense;
    Optionnel<Montant> prixUnitaire;
    Optionnel<Montant> baseRemboursement;
    Optionnel<Coefficient> tauxRemboursement;
    Optionnel<Code> exonerationTM;
    Optionnel<Code> ententePrealable;
    LigneActe* rattachement = nullptr;
    Optionnel<Code> forcage;
    bool topDebrayageLigne = false;
    Optionnel<Montant> baseTheoriqueAMO;
    // Set by the invoice exoneration function only.
    char topFactureExoneree = 0;

protected:
    // The fields common to both kinds; an act line prints its price without the euro sign.
    void dumpChamps(bool prixEnEuros) const;
    // The groups the line belongs to follow its list; an act line belongs to none.
    // The reference comes with its hash.
    virtual void signalerNonVerifiable(const Code&, uint64_t) {}
    virtual void signalerRecreation(const ListeCodes&) {}

private:
    Optionnel<ListeCodes> reglesNonVerifiables_;
    // A bit for each reference of the list, by its hash: 0 while the list is empty.
    uint64_t signature_ = 0;
    // The rules' list merged last by a violation since the line's list was made, and the
    // rules object that keeps it (its lists stay put while it lives).
    const ListeCodes* dernieresAjoutees_ = nullptr;
    uint64_t reglesDesAjoutees_ = 0;

    uint16_t combinerForcage(const Code& indicateur, Regles& regles);
};

