// A phase record: fixed data, then its versions, newest first as stored.
#include "referentiel/NiveauPhase.h"

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/EcritureNiveau.h"
#include "referentiel/LectureNiveau.h"
#include "referentiel/RechercheNiveau.h"

NiveauPhase::NiveauPhase(const NiveauPhase& autre)
    : codePhase(autre.codePhase),
      nombreDentsATraiter(autre.nombreDentsATraiter),
      ageMinimum(autre.ageMinimum),
      ageMaximum(autre.ageMaximum),
      dentsIncompatibles(autre.dentsIncompatibles) {
    if (autre.historiques_) historiques_.reset(new HistoriqueNiveauPhase(*autre.historiques_));
}

NiveauPhase::~NiveauPhase() = default;

uint16_t NiveauPhase::lireNiveauPhase(Lecteur& lecteur) {
    uint16_t cr = 0;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "NiveauPhase::lireNiveauPhase : Lecture d'une donnee de Niveau Phase");
    LectureNiveau lecture(lecteur, cr);
    lecture.code(codePhase, true, "code phase incorrect");
    lecture.code(nombreDentsATraiter, 2, false, "code nombre dents a traiter incorrect");
    lecture.entier16(ageMinimum);
    lecture.entier16(ageMaximum);
    lecture.listeCodes(dentsIncompatibles, 2, nullptr, "code dent incompatible incorrect");
    uint16_t nombre = lecture.compte("Le nombre d'historiques de niveau phase ne doit pas etre nul");
    std::unique_ptr<HistoriqueNiveauPhase>* fin = &historiques_;
    for (uint16_t i = 0; i < nombre && cr == 0; ++i) {
        std::unique_ptr<HistoriqueNiveauPhase> historique(new (std::nothrow) HistoriqueNiveauPhase);
        if (!historique) {
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        cr = historique->lireHistorique(lecteur);
        *fin = std::move(historique);
        fin = &(*fin)->lienSuivant();
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur de lecture des donnees dans le fichier");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour NiveauPhase::lireNiveauPhase : 0x%04X", cr);
    return cr;
}

uint16_t NiveauPhase::ecrireNiveauPhase(Ecrivain& ecrivain) const {
    uint16_t cr = 0;
    EcritureNiveau ecriture(ecrivain, cr);
    ecriture.octet(codePhase);
    ecriture.caracteres(nombreDentsATraiter, 2);
    ecriture.entier16(ageMinimum);
    ecriture.entier16(ageMaximum);
    ecriture.listeCodes(dentsIncompatibles, 2);
    ecriture.compte(nombreHistoriques());
    for (const HistoriqueNiveauPhase* h = historiques_.get(); h != nullptr && cr == 0; h = h->suivant())
        cr = h->ecrireHistorique(ecrivain);
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur d'ecriture des donnees dans le fichier");
    return cr;
}

uint16_t NiveauPhase::chercherHistorique(const Date& dateReference, const HistoriqueNiveauPhase*& historique) const {
    return chercherHistoriqueEnVigueur(historiques_.get(), dateReference, historique);
}

uint16_t NiveauPhase::nombreHistoriques() const { return compterHistoriques(historiques_.get()); }

void NiveauPhase::afficher(uint16_t niveau) const {
    tracerDetail(CAT_CYCLE, niveau, "Code phase : %c", codePhase);
    tracerDetail(CAT_CYCLE, niveau, "Nombre de dents a traiter : %s", nombreDentsATraiter.c_str());
    tracerDetail(CAT_CYCLE, niveau, "Age minimum : %hu", ageMinimum);
    tracerDetail(CAT_CYCLE, niveau, "Age maximum : %hu", ageMaximum);
    for (const std::string& dent : dentsIncompatibles)
        tracerDetail(CAT_CYCLE, niveau, "Dent incompatible : %s", dent.c_str());
    for (const HistoriqueNiveauPhase* h = historiques_.get(); h != nullptr; h = h->suivant()) h->afficher(niveau);
}
