// Dated versions of an activity's data, read and written in file order.
#include "referentiel/HistoriqueNiveauActivite.h"

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/EcritureNiveau.h"
#include "referentiel/LectureNiveau.h"

HistoriqueNiveauActivite::HistoriqueNiveauActivite(const HistoriqueNiveauActivite& autre)
    : HistoriqueNiveauActivite(autre, true) {}

HistoriqueNiveauActivite::HistoriqueNiveauActivite(const HistoriqueNiveauActivite& autre, bool avecSuite)
    : dateEffet(autre.dateEffet),
      categorieMedicale(autre.categorieMedicale),
      codeRegroupement(autre.codeRegroupement),
      modificateurs(autre.modificateurs),
      classesSpecialite(autre.classesSpecialite),
      associations(autre.associations) {
    // One version at a time, so a long list never recurses.
    HistoriqueNiveauActivite* fin = this;
    const HistoriqueNiveauActivite* h = avecSuite ? autre.suivant_.get() : nullptr;
    for (; h != nullptr; h = h->suivant_.get()) {
        fin->suivant_ = h->copierVersion();
        fin = fin->suivant_.get();
    }
}

std::unique_ptr<HistoriqueNiveauActivite> HistoriqueNiveauActivite::copierVersion() const {
    return std::unique_ptr<HistoriqueNiveauActivite>(new HistoriqueNiveauActivite(*this, false));
}

// Unlinks the tail one version at a time, so a long list never recurses.
HistoriqueNiveauActivite::~HistoriqueNiveauActivite() {
    std::unique_ptr<HistoriqueNiveauActivite> suite = std::move(suivant_);
    while (suite) suite = std::move(suite->suivant_);
}

uint16_t HistoriqueNiveauActivite::lireHistorique(Lecteur& lecteur) {
    uint16_t cr = 0;
    tracerDetail(CAT_CYCLE, NIV_DETAIL,
                 "HistoriqueNiveauActivite::lireHistorique : Lecture d'un historique de Niveau Activite");
    LectureNiveau lecture(lecteur, cr);
    lecture.dateDebut(dateEffet, "date d'effet incorrecte");
    lecture.code(categorieMedicale, 2, false, "Code categorie medicale incorrect");
    lecture.code(codeRegroupement, 3, true, "Code regroupement incorrect");
    lecture.listeCodes(modificateurs, nullptr, "Code modificateur incorrect");
    lecture.listeCodes(classesSpecialite, 2, "Classe specialite executant obligatoire",
                       "Code classe specialite executant incorrect");
    uint16_t nombreAssociations = lecture.compte(nullptr);
    lecture.reserver(associations, nombreAssociations);
    for (uint16_t i = 0; i < nombreAssociations && cr == 0; ++i) {
        AssociationActivite association;
        lecture.code(association.codeActe, 13, true, "Code acte associe incorrect");
        lecture.code(association.codeRegleTarifaire, true, "Code regle tarifaire incorrect");
        if (cr == 0) associations.push_back(association);
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur de lecture des donnees dans le fichier");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour HistoriqueNiveauActivite::lireHistorique : 0x%04X", cr);
    return cr;
}

uint16_t HistoriqueNiveauActivite::ecrireHistorique(Ecrivain& ecrivain) const {
    uint16_t cr = 0;
    EcritureNiveau ecriture(ecrivain, cr);
    ecriture.date(dateEffet);
    ecriture.caracteres(categorieMedicale, 2);
    ecriture.caracteres(codeRegroupement, 3);
    ecriture.listeCodes(modificateurs);
    ecriture.listeCodes(classesSpecialite, 2);
    ecriture.compte(associations.size());
    for (const AssociationActivite& association : associations) {
        ecriture.caracteres(association.codeActe, 13);
        ecriture.octet(association.codeRegleTarifaire);
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur d'ecriture des donnees dans le fichier");
    return cr;
}

void HistoriqueNiveauActivite::afficher(uint16_t niveau) const {
    tracerDetail(CAT_CYCLE, niveau, "Date d'effet : %04u/%02u/%02u", dateEffet.annee(), dateEffet.mois(),
                 dateEffet.jour());
    tracerDetail(CAT_CYCLE, niveau, "Categorie medicale : %s", categorieMedicale.c_str());
    tracerDetail(CAT_CYCLE, niveau, "Code regroupement : %s", codeRegroupement.c_str());
    for (char code : modificateurs) tracerDetail(CAT_CYCLE, niveau, "Modificateur : %c", code);
    for (const std::string& classe : classesSpecialite)
        tracerDetail(CAT_CYCLE, niveau, "Classe specialite : %s", classe.c_str());
    for (const AssociationActivite& association : associations)
        tracerDetail(CAT_CYCLE, niveau, "Association : %s, regle tarifaire : %c", association.codeActe.c_str(),
                     association.codeRegleTarifaire);
}
