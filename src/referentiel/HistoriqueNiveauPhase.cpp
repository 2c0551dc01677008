// Dated tariff versions of a phase, read and written in file order.
#include "referentiel/HistoriqueNiveauPhase.h"

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/EcritureNiveau.h"
#include "referentiel/LectureNiveau.h"

HistoriqueNiveauPhase::HistoriqueNiveauPhase(const HistoriqueNiveauPhase& autre)
    : HistoriqueNiveauPhase(autre, true) {}

HistoriqueNiveauPhase::HistoriqueNiveauPhase(const HistoriqueNiveauPhase& autre, bool avecSuite)
    : dateEffet(autre.dateEffet),
      prixUnitaireBase(autre.prixUnitaireBase),
      supplementCharge(autre.supplementCharge),
      grilles(autre.grilles) {
    for (int i = 0; i < 4; ++i) majorationsDOM[i] = autre.majorationsDOM[i];
    // One version at a time, so a long list never recurses.
    HistoriqueNiveauPhase* fin = this;
    const HistoriqueNiveauPhase* h = avecSuite ? autre.suivant_.get() : nullptr;
    for (; h != nullptr; h = h->suivant_.get()) {
        fin->suivant_ = h->copierVersion();
        fin = fin->suivant_.get();
    }
}

std::unique_ptr<HistoriqueNiveauPhase> HistoriqueNiveauPhase::copierVersion() const {
    return std::unique_ptr<HistoriqueNiveauPhase>(new HistoriqueNiveauPhase(*this, false));
}

// Unlinks the tail one version at a time, so a long list never recurses.
HistoriqueNiveauPhase::~HistoriqueNiveauPhase() {
    std::unique_ptr<HistoriqueNiveauPhase> suite = std::move(suivant_);
    while (suite) suite = std::move(suite->suivant_);
}

uint16_t HistoriqueNiveauPhase::lireHistorique(Lecteur& lecteur) {
    uint16_t cr = 0;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "HistoriqueNiveauPhase::lireHistorique : Lecture d'un historique de Niveau Phase");
    LectureNiveau lecture(lecteur, cr);
    lecture.dateDebut(dateEffet, "date d'effet incorrecte");
    lecture.nombre(prixUnitaireBase);
    lecture.nombre(supplementCharge);
    for (double& majoration : majorationsDOM) lecture.nombre(majoration);
    uint16_t nombreGrilles = lecture.compte(nullptr);
    lecture.reserver(grilles, nombreGrilles);
    for (uint16_t i = 0; i < nombreGrilles && cr == 0; ++i) {
        PrixGrille grille;
        lecture.entier16(grille.codeGrille);
        lecture.nombre(grille.prixUnitaire);
        if (cr == 0) grilles.push_back(grille);
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur de lecture des donnees dans le fichier");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour HistoriqueNiveauPhase::lireHistorique : 0x%04X", cr);
    return cr;
}

uint16_t HistoriqueNiveauPhase::ecrireHistorique(Ecrivain& ecrivain) const {
    uint16_t cr = 0;
    EcritureNiveau ecriture(ecrivain, cr);
    ecriture.date(dateEffet);
    ecriture.nombre(prixUnitaireBase);
    ecriture.nombre(supplementCharge);
    for (double majoration : majorationsDOM) ecriture.nombre(majoration);
    ecriture.compte(grilles.size());
    for (const PrixGrille& grille : grilles) {
        ecriture.entier16(grille.codeGrille);
        ecriture.nombre(grille.prixUnitaire);
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur d'ecriture des donnees dans le fichier");
    return cr;
}

void HistoriqueNiveauPhase::afficher(uint16_t niveau) const {
    tracerDetail(CAT_CYCLE, niveau, "Date d'effet : %04u/%02u/%02u", dateEffet.annee(), dateEffet.mois(),
                 dateEffet.jour());
    tracerDetail(CAT_CYCLE, niveau, "Prix unitaire de base : %.2f", prixUnitaireBase);
    tracerDetail(CAT_CYCLE, niveau, "Supplement de charge : %.2f", supplementCharge);
    for (int i = 0; i < 4; ++i)
        tracerDetail(CAT_CYCLE, niveau, "Majoration DOM%d : %.2f", i + 1, majorationsDOM[i]);
    for (const PrixGrille& grille : grilles)
        tracerDetail(CAT_CYCLE, niveau, "Grille %hu : prix unitaire : %.2f", grille.codeGrille, grille.prixUnitaire);
}
