// An invoice rebuilt from an input zone: its header values and up to 250 lines it
// owns, in input order, grouped into associations and two kinds of sessions that
// are rebuilt from the lines whenever asked.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "facture/AssociationCCAM.h"
#include "facture/Erreur.h"
#include "facture/LigneActe.h"
#include "facture/Seance.h"
#include "zone/Code.h"
#include "zone/Date.h"

class ControlesFacture;
class Regles;

class Facture {
public:
    static constexpr uint16_t kLignesMax = 250;

    Facture();
    virtual ~Facture();
    Facture(const Facture&) = delete;
    Facture& operator=(const Facture&) = delete;

    virtual void dump() const;

    // 0xDFFC once 250 lines are held.
    uint16_t ajouterLigne(std::unique_ptr<LigneActe> ligne);
    // Attaches the travel line at index to the act line before it; 0xD106 when their dates differ.
    uint16_t setActeRattachement(uint16_t index);
    // The act of the nearest CCAM line before index, when it has the same date; null otherwise.
    const Code* getActeCcamParent(uint16_t index) const;
    void construireAssociations();
    void construireSeances();
    // Builds the associations and sessions, then runs every control of the lines, the
    // invoice, the associations and the sessions in their order, stopping at the first
    // non-zero code; the exoneration controls are skipped for natures "MA", "AT" and "SG".
    uint16_t controler(ControlesFacture& controles, TypeListe<Erreur>& erreurs);
    uint16_t controlerReglementation(ControlesFacture& controles, TypeListe<Erreur>& erreurs);
    uint16_t controlerExoFacture(ControlesFacture& controles, TypeListe<Erreur>& erreurs);
    // Records a violation found on the session of that date for the line numero.
    uint16_t traiterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, const Nombre& numero, const Date& date,
                           Regles& regles);

    uint16_t nombreLignes() const { return static_cast<uint16_t>(lignes.size()); }

    Optionnel<Code> numeroPS;
    Optionnel<Code> conventionPS;
    Optionnel<Code> specialitePS;
    Optionnel<Code> agrementRadio;
    Optionnel<Code> caissePS;
    Optionnel<Date> dateNaissance;
    Optionnel<Code> tiersPayant;
    std::vector<std::unique_ptr<LigneActe>> lignes;
    std::unique_ptr<AssociationCCAM> associations;
    std::unique_ptr<Seance> seances;
    std::unique_ptr<SeanceDepl> seancesDeplacement;
    Optionnel<Code> natureAssurance;
    bool topDebrayage = false;
};
