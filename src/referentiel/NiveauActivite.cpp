// An activity record: fixed data, its versions, then its phases in code order.
#include "referentiel/NiveauActivite.h"

#include <algorithm>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/EcritureNiveau.h"
#include "referentiel/LectureNiveau.h"
#include "referentiel/RechercheNiveau.h"

NiveauActivite::NiveauActivite(const NiveauActivite& autre)
    : codeActivite(autre.codeActivite),
      typesAgrementRadio(autre.typesAgrementRadio),
      rmo(autre.rmo),
      codesExtensionDocumentaire(autre.codesExtensionDocumentaire) {
    if (autre.historiques_) historiques_.reset(new HistoriqueNiveauActivite(*autre.historiques_));
    phases_.reserve(autre.phases_.size());
    for (const auto& phase : autre.phases_) phases_.emplace_back(new NiveauPhase(*phase));
}

NiveauActivite::~NiveauActivite() = default;

uint16_t NiveauActivite::lireNiveauActivite(Lecteur& lecteur) {
    uint16_t cr = 0;
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "NiveauActivite::lireNiveauActivite : Lecture d'une donnee de Niveau Activite");
    LectureNiveau lecture(lecteur, cr);
    lecture.code(codeActivite, true, "code activite incorrect");
    lecture.listeCodes(typesAgrementRadio, 2, nullptr, "Code type d'agrement radio incorrect");
    lecture.listeCodes(rmo, 5, nullptr, "Code RMO incorrect");
    lecture.listeCodes(codesExtensionDocumentaire, nullptr, "Code extension documentaire incorrect");

    uint16_t nombre = lecture.compte("Le nombre d'historiques de niveau activite ne doit pas etre nul");
    std::unique_ptr<HistoriqueNiveauActivite>* fin = &historiques_;
    for (uint16_t i = 0; i < nombre && cr == 0; ++i) {
        std::unique_ptr<HistoriqueNiveauActivite> historique(new (std::nothrow) HistoriqueNiveauActivite);
        if (!historique) {
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        cr = historique->lireHistorique(lecteur);
        *fin = std::move(historique);
        fin = &(*fin)->lienSuivant();
    }

    uint16_t nombrePhases = lecture.compte(nullptr);
    lecture.reserver(phases_, nombrePhases);
    for (uint16_t i = 0; i < nombrePhases && cr == 0; ++i) {
        std::unique_ptr<NiveauPhase> phase(new (std::nothrow) NiveauPhase);
        if (!phase) {
            cr = KPX_CR_CONSTRUCTION;
            break;
        }
        cr = phase->lireNiveauPhase(lecteur);
        // The phase search is a binary search: a record out of order would hide phases.
        if (cr == 0 && !phases_.empty())
            lecture.verifier(static_cast<signed char>(phases_.back()->codePhase) <
                                 static_cast<signed char>(phase->codePhase),
                             "phases non triees par code phase croissant");
        phases_.push_back(std::move(phase));
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur de lecture des donnees dans le fichier");
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code retour NiveauActivite::lireNiveauActivite : 0x%04X", cr);
    return cr;
}

uint16_t NiveauActivite::ecrireNiveauActivite(Ecrivain& ecrivain) const {
    uint16_t cr = 0;
    EcritureNiveau ecriture(ecrivain, cr);
    ecriture.octet(codeActivite);
    ecriture.listeCodes(typesAgrementRadio, 2);
    ecriture.listeCodes(rmo, 5);
    ecriture.listeCodes(codesExtensionDocumentaire);
    ecriture.compte(nombreHistoriques());
    for (const HistoriqueNiveauActivite* h = historiques_.get(); h != nullptr && cr == 0; h = h->suivant())
        cr = h->ecrireHistorique(ecrivain);
    ecriture.compte(phases_.size());
    for (size_t i = 0; i < phases_.size() && cr == 0; ++i) cr = phases_[i]->ecrireNiveauPhase(ecrivain);
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : erreur d'ecriture des donnees dans le fichier");
    return cr;
}

uint16_t NiveauActivite::chercherNiveauPhase(char codePhase, NiveauPhase*& phase) const {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Code phase recherche : %c", codePhase);
    phase = chercherParCode(phases_, codePhase, [](const NiveauPhase& p) { return p.codePhase; });
    if (phase != nullptr) return 0;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : code phase non trouve dans la liste des phases");
    return KPX_CR_ELEMENT_ABSENT;
}

uint16_t NiveauActivite::chercherHistorique(const Date& dateReference,
                                            const HistoriqueNiveauActivite*& historique) const {
    return chercherHistoriqueEnVigueur(historiques_.get(), dateReference, historique);
}

uint16_t NiveauActivite::nombreHistoriques() const { return compterHistoriques(historiques_.get()); }

void NiveauActivite::ajouterPhase(std::unique_ptr<NiveauPhase> phase) {
    auto place = std::upper_bound(phases_.begin(), phases_.end(), phase->codePhase,
                                  [](char code, const std::unique_ptr<NiveauPhase>& p) {
                                      return static_cast<signed char>(code) < static_cast<signed char>(p->codePhase);
                                  });
    phases_.insert(place, std::move(phase));
}

void NiveauActivite::afficher(uint16_t niveau) const {
    tracerDetail(CAT_CYCLE, niveau, "Code activite : %c", codeActivite);
    for (const std::string& type : typesAgrementRadio)
        tracerDetail(CAT_CYCLE, niveau, "Type d'agrement radio : %s", type.c_str());
    for (const std::string& code : rmo) tracerDetail(CAT_CYCLE, niveau, "RMO : %s", code.c_str());
    for (char code : codesExtensionDocumentaire)
        tracerDetail(CAT_CYCLE, niveau, "Code extension documentaire : %c", code);
    for (const HistoriqueNiveauActivite* h = historiques_.get(); h != nullptr; h = h->suivant()) h->afficher(niveau);
    for (const auto& phase : phases_) phase->afficher(niveau);
}
