// Dated versions of an act's data, read and written in file order.
#include "referentiel/HistoriqueNiveauActe.h"

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/EcritureNiveau.h"
#include "referentiel/LectureNiveau.h"

HistoriqueNiveauActe::HistoriqueNiveauActe(const HistoriqueNiveauActe& autre)
    : dateEffet(autre.dateEffet),
      admissionRemboursement(autre.admissionRemboursement),
      ententePrealable(autre.ententePrealable),
      codesETM(autre.codesETM),
      procedures(autre.procedures),
      actesIncompatibles(autre.actesIncompatibles),
      forfaitsCMU(autre.forfaitsCMU) {
    if (autre.suivant_) suivant_.reset(new HistoriqueNiveauActe(*autre.suivant_));
}

// Unlinks the tail one version at a time, so a long list never recurses.
HistoriqueNiveauActe::~HistoriqueNiveauActe() {
    std::unique_ptr<HistoriqueNiveauActe> suite = std::move(suivant_);
    while (suite) suite = std::move(suite->suivant_);
}

uint16_t HistoriqueNiveauActe::lireHistorique(Lecteur& lecteur) {
    uint16_t cr = 0;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "HistoriqueNiveauActe::lireHistorique : Lecture d'un historique de Niveau Acte");
    LectureNiveau lecture(lecteur, cr);
    lecture.dateDebut(dateEffet, "date d'effet incorrecte");
    lecture.code(admissionRemboursement, true, "Code admission au remboursement incorrect");
    lecture.octet(ententePrealable);
    lecture.verifier(ententePrealable == 'O' || ententePrealable == 'N', "Code entente prealable incorrect");
    lecture.listeCodes(codesETM, "Code Exo TM obligatoire", "Code Exo TM incorrect");
    lecture.listeCodes(procedures, 13, nullptr, "Code procedure incorrect");
    lecture.listeCodes(actesIncompatibles, 13, nullptr, "Code acte incompatible incorrect");
    uint16_t nombreForfaits = lecture.compte(nullptr);
    lecture.reserver(forfaitsCMU, nombreForfaits);
    for (uint16_t i = 0; i < nombreForfaits && cr == 0; ++i) {
        ForfaitCMU forfait;
        lecture.code(forfait.codeForfait, 3, true, "Code forfait CMU incorrect");
        lecture.dateDebut(forfait.dateDebutValidite, "date debut de validite du forfait CMU incorrecte");
        lecture.dateFin(forfait.dateFinValidite, "date fin de validite du forfait CMU incorrecte");
        if (cr == 0) forfaitsCMU.push_back(forfait);
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur de lecture des donnees dans le fichier");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour HistoriqueNiveauActe::lireHistorique : 0x%04X", cr);
    return cr;
}

uint16_t HistoriqueNiveauActe::ecrireHistorique(Ecrivain& ecrivain) const {
    uint16_t cr = 0;
    EcritureNiveau ecriture(ecrivain, cr);
    ecriture.date(dateEffet);
    ecriture.octet(admissionRemboursement);
    ecriture.octet(ententePrealable);
    ecriture.listeCodes(codesETM);
    ecriture.listeCodes(procedures, 13);
    ecriture.listeCodes(actesIncompatibles, 13);
    ecriture.compte(forfaitsCMU.size());
    for (const ForfaitCMU& forfait : forfaitsCMU) {
        ecriture.caracteres(forfait.codeForfait, 3);
        ecriture.date(forfait.dateDebutValidite);
        ecriture.date(forfait.dateFinValidite);
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur d'ecriture des donnees dans le fichier");
    return cr;
}

void HistoriqueNiveauActe::afficher(uint16_t niveau) const {
    tracerDetail(CAT_CYCLE, niveau, "Date d'effet : %04u/%02u/%02u", dateEffet.annee(), dateEffet.mois(),
                 dateEffet.jour());
    tracerDetail(CAT_CYCLE, niveau, "Admission au remboursement : %c", admissionRemboursement);
    tracerDetail(CAT_CYCLE, niveau, "Entente prealable : %c", ententePrealable);
    for (char code : codesETM) tracerDetail(CAT_CYCLE, niveau, "Code Exo TM : %c", code);
    for (const std::string& code : procedures) tracerDetail(CAT_CYCLE, niveau, "Procedure : %s", code.c_str());
    for (const std::string& code : actesIncompatibles)
        tracerDetail(CAT_CYCLE, niveau, "Acte incompatible : %s", code.c_str());
    for (const ForfaitCMU& forfait : forfaitsCMU)
        tracerDetail(CAT_CYCLE, niveau, "Forfait CMU : %s du %04u/%02u/%02u au %04u/%02u/%02u",
                     forfait.codeForfait.c_str(), forfait.dateDebutValidite.annee(), forfait.dateDebutValidite.mois(),
                     forfait.dateDebutValidite.jour(), forfait.dateFinValidite.annee(),
                     forfait.dateFinValidite.mois(), forfait.dateFinValidite.jour());
}
