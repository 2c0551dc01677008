// An act record: fixed data, its versions, then its activities in code order.
#include "referentiel/NiveauActe.h"

#include <algorithm>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/EcritureNiveau.h"
#include "referentiel/LectureNiveau.h"
#include "referentiel/RechercheNiveau.h"

NiveauActe::NiveauActe(const NiveauActe& autre)
    : codeStructure(autre.codeStructure),
      libelleCourt(autre.libelleCourt),
      libelleLong(autre.libelleLong),
      typeActe(autre.typeActe),
      conditionsGenerales(autre.conditionsGenerales),
      notes(autre.notes),
      sexeCompatible(autre.sexeCompatible),
      codeMenu(autre.codeMenu),
      dateCreation(autre.dateCreation),
      dateFin(autre.dateFin),
      fraisDeplacement(autre.fraisDeplacement),
      naturesAssurance(autre.naturesAssurance) {
    if (autre.historiques_) historiques_.reset(new HistoriqueNiveauActe(*autre.historiques_));
    activites_.reserve(autre.activites_.size());
    for (const auto& activite : autre.activites_) activites_.emplace_back(new NiveauActivite(*activite));
}

NiveauActe::~NiveauActe() = default;

uint16_t NiveauActe::lireNiveauActe(Lecteur& lecteur) {
    uint16_t cr = 0;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "NiveauActe::lireNiveauActe : Lecture d'une donnee de Niveau Acte");
    LectureNiveau lecture(lecteur, cr);
    lecture.code(codeStructure, 13, false, "code structure incorrect");
    lecture.chaineRenseignee(libelleCourt, "libelle court non renseigne");
    lecture.chaineRenseignee(libelleLong, "libelle long non renseigne");
    lecture.code(typeActe, true, "type d'acte incorrect");
    lecture.chaine(conditionsGenerales);
    lecture.chaine(notes);
    lecture.code(sexeCompatible, false, "sexe compatible incorrect");
    lecture.entier32(codeMenu);
    lecture.dateDebut(dateCreation, "date de creation incorrecte");
    lecture.dateFin(dateFin, "date de fin du code incorrecte");
    lecture.code(fraisDeplacement, true, "Code Frais de deplacement incorrect");
    lecture.listeCodes(naturesAssurance, 2, "Nature d'assurance obligatoire", "Code Nature d'assurance incorrect");

    uint16_t nombre = lecture.compte("Le nombre d'historiques de niveau acte ne doit pas etre nul");
    std::unique_ptr<HistoriqueNiveauActe>* fin = &historiques_;
    for (uint16_t i = 0; i < nombre && cr == 0; ++i) {
        std::unique_ptr<HistoriqueNiveauActe> historique(new (std::nothrow) HistoriqueNiveauActe);
        if (!historique) {
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        cr = historique->lireHistorique(lecteur);
        *fin = std::move(historique);
        fin = &(*fin)->lienSuivant();
    }

    uint16_t nombreActivites = lecture.compte("Le nombre d'activites ne doit pas etre nul");
    lecture.reserver(activites_, nombreActivites);
    for (uint16_t i = 0; i < nombreActivites && cr == 0; ++i) {
        std::unique_ptr<NiveauActivite> activite(new (std::nothrow) NiveauActivite);
        if (!activite) {
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        cr = activite->lireNiveauActivite(lecteur);
        // The activity search is a binary search: a record out of order would hide activities.
        if (cr == 0 && !activites_.empty())
            lecture.verifier(static_cast<signed char>(activites_.back()->codeActivite) <
                                 static_cast<signed char>(activite->codeActivite),
                             "activites non triees par code activite croissant");
        activites_.push_back(std::move(activite));
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur de lecture des donnees dans le fichier");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour NiveauActe::lireNiveauActe : 0x%04X", cr);
    return cr;
}

uint16_t NiveauActe::ecrireNiveauActe(Ecrivain& ecrivain) const {
    uint16_t cr = 0;
    EcritureNiveau ecriture(ecrivain, cr);
    ecriture.caracteres(codeStructure, 13);
    ecriture.chaine(libelleCourt);
    ecriture.chaine(libelleLong);
    ecriture.octet(typeActe);
    ecriture.chaine(conditionsGenerales);
    ecriture.chaine(notes);
    ecriture.octet(sexeCompatible);
    ecriture.entier32(codeMenu);
    ecriture.date(dateCreation);
    ecriture.date(dateFin);
    ecriture.octet(fraisDeplacement);
    ecriture.listeCodes(naturesAssurance, 2);
    ecriture.compte(nombreHistoriques());
    for (const HistoriqueNiveauActe* h = historiques_.get(); h != nullptr && cr == 0; h = h->suivant())
        cr = h->ecrireHistorique(ecrivain);
    ecriture.compte(activites_.size());
    for (size_t i = 0; i < activites_.size() && cr == 0; ++i) cr = activites_[i]->ecrireNiveauActivite(ecrivain);
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur d'ecriture des donnees dans le fichier");
    return cr;
}

uint16_t NiveauActe::chercherActivite(char codeActivite, NiveauActivite*& activite) const {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code activite recherche : %c", codeActivite);
    activite = chercherParCode(activites_, codeActivite, [](const NiveauActivite& a) { return a.codeActivite; });
    if (activite != nullptr) return 0;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : code activite non trouve dans la liste des activites");
    return KPX_CR_ELEMENT_ABSENT;
}

uint16_t NiveauActe::chercherHistorique(const Date& dateReference, const HistoriqueNiveauActe*& historique) const {
    return chercherHistoriqueEnVigueur(historiques_.get(), dateReference, historique);
}

uint16_t NiveauActe::nombreHistoriques() const { return compterHistoriques(historiques_.get()); }

void NiveauActe::ajouterActivite(std::unique_ptr<NiveauActivite> activite) {
    auto place = std::upper_bound(activites_.begin(), activites_.end(), activite->codeActivite,
                                  [](char code, const std::unique_ptr<NiveauActivite>& a) {
                                      return static_cast<signed char>(code) <
                                             static_cast<signed char>(a->codeActivite);
                                  });
    activites_.insert(place, std::move(activite));
}

void NiveauActe::afficher(uint16_t niveau) const {
    tracerDetail(CAT_CYCLE, niveau, "Code structure : %s", codeStructure.c_str());
    tracerDetail(CAT_CYCLE, niveau, "Libelle court : %s", libelleCourt.c_str());
    tracerDetail(CAT_CYCLE, niveau, "Libelle long : %s", libelleLong.c_str());
    tracerDetail(CAT_CYCLE, niveau, "Type d'acte : %c", typeActe);
    tracerDetail(CAT_CYCLE, niveau, "Conditions generales : %s", conditionsGenerales.c_str());
    tracerDetail(CAT_CYCLE, niveau, "Notes : %s", notes.c_str());
    tracerDetail(CAT_CYCLE, niveau, "Sexe compatible : %c", sexeCompatible);
    tracerDetail(CAT_CYCLE, niveau, "Code menu : %lu", static_cast<unsigned long>(codeMenu));
    tracerDetail(CAT_CYCLE, niveau, "Date de creation : %04u/%02u/%02u", dateCreation.annee(), dateCreation.mois(),
                 dateCreation.jour());
    tracerDetail(CAT_CYCLE, niveau, "Date de fin : %04u/%02u/%02u", dateFin.annee(), dateFin.mois(), dateFin.jour());
    tracerDetail(CAT_CYCLE, niveau, "Frais de deplacement : %c", fraisDeplacement);
    for (const std::string& nature : naturesAssurance)
        tracerDetail(CAT_CYCLE, niveau, "Nature d'assurance : %s", nature.c_str());
    for (const HistoriqueNiveauActe* h = historiques_.get(); h != nullptr; h = h->suivant()) h->afficher(niveau);
    for (const auto& activite : activites_) activite->afficher(niveau);
}
