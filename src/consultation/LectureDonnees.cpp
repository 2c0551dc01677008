// The reader place, the shared access patterns (trace, keys, tables, act lookup
// and descent) and the header values. An index slot moves from null to the
// loading marker to the loaded act, and back to null only when the read fails.
#include "consultation/LectureDonnees.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "consultation/ParcoursReferentiel.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/NiveauActivite.h"
#include "referentiel/NiveauPhase.h"
#include "referentiel/RechercheNiveau.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Index.h"

namespace {

constexpr int kTailleLigne = 1024;

KPX_NOINLINE void formaterVa(uint16_t niveau, const char* format, va_list arguments) {
    char ligne[kTailleLigne];
    std::vsnprintf(ligne, sizeof ligne, format, arguments);
    tracerDetail(CAT_CONSULTATION, niveau, "%s", ligne);
}

// The check comes before the frame of the line buffer: most queries run untraced.
void tracerVa(uint16_t niveau, const char* format, va_list arguments) {
    if (TraceDetail::estActif(CAT_CONSULTATION, niveau)) formaterVa(niveau, format, arguments);
}

}  // namespace

void ecrireLecture(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    tracerVa(NIV_DETAIL, format, arguments);
    va_end(arguments);
}

void tracerErreurLecture(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    tracerVa(NIV_ERREUR, format, arguments);
    va_end(arguments);
}

void TraceRequete::tracerEntree(const char* objet) { tracerLecture("LectureDonnees::%s, %s", nom_, objet); }

void TraceRequete::tracerSortie() { tracerLecture("Code retour de LectureDonnees::%s : 0x%04X", nom_, cr_); }

int comparerCle(const std::string& champ, const char* cle, size_t n) {
    // memcmp orders bytes as unsigned, as comparerOctet does.
    const size_t commun = champ.size() < n ? champ.size() : n;
    const int c = std::memcmp(champ.data(), cle, commun);
    if (c != 0) return c;
    for (size_t i = commun; i < n; ++i) {
        const int d = comparerOctet(' ', cle[i]);
        if (d != 0) return d;
    }
    return 0;
}

CleFixe::CleFixe(const Texte& code, size_t largeur, uint16_t& cr) {
    if (cr != 0) return;
    if (code.longueur() > largeur || largeur > kLargeurMax) {
        tracerErreurLecture("La taille du code excede la taille attendue pour le buffer");
        cr = KPX_CR_DONNEES_INCOHERENTES;
        return;
    }
    // Blanks over the whole buffer, then the code: a dozen bytes, cheaper than two calls.
    std::memset(octets_, ' ', kLargeurMax);
    const char* octets = code.chaine();
    for (size_t i = 0; i < code.longueur(); ++i) octets_[i] = octets[i];
    octets_[largeur] = '\0';
    largeur_ = largeur;
}

// Label columns are wide and mostly blank: their tail is skipped eight blanks at a time.
Texte texteFixe(const std::string& champ) {
    constexpr uint64_t kHuitBlancs = 0x2020202020202020ull;
    const char* octets = champ.data();
    size_t fin = champ.size();
    for (uint64_t mot = 0; fin >= 8; fin -= 8) {
        std::memcpy(&mot, octets + fin - 8, 8);
        if (mot != kHuitBlancs) break;
    }
    while (fin > 0 && octets[fin - 1] == ' ') --fin;
    return Texte(octets, fin);
}

// ---------------------------------------------------------------------------

LectureDonnees::LectureDonnees(Referentiel* referentiel, Place place) : referentiel(referentiel), place_(place) {}

LectureDonnees::~LectureDonnees() { fermer(); }

uint16_t LectureDonnees::ouvrir() {
    if (referentiel == nullptr) {
        tracerErreurLecture("Référentiel non chargé en mémoire");
        return KPX_CR_NON_CHARGE;
    }
    if (ouvert_) return 0;
    const uint16_t cr = place_ == Place::lecteur ? referentiel->ouvrirLecteur() : referentiel->ouvrirEcrivain();
    ouvert_ = cr == 0;
    return cr;
}

void LectureDonnees::fermer() {
    // What the slots point to is the référentiel's, which may change once the place is given back.
    dernierActe_ = nullptr;
    premierActe_ = ActeRecent();
    classeRetenue_ = ClasseRetenue();
    regroupementRetenu_ = RegroupementRetenu();
    grilleRetenue_ = GrilleRetenue();
    if (++generationDatees_ == 0) {
        // Past four billion closes a row of the first generations could look current again.
        for (LigneDateeRetenue& retenue : lignesDatees_) retenue = LigneDateeRetenue();
        generationDatees_ = 1;
    }
    actesRecents_.reset();
    capaciteRecents_ = 0;
    occupesRecents_ = 0;
    decalageRecents_ = 0;
    if (!ouvert_) return;
    if (place_ == Place::lecteur) referentiel->fermerLecteur();
    else referentiel->fermerEcrivain();
    ouvert_ = false;
}

void LectureDonnees::definirComptageModifications(bool compter) {
    compterModifications = compter;
    if (!compter) nombreModificationsLues = 0;
}

void LectureDonnees::compter(bool modifie) {
    if (compterModifications && modifie) ++nombreModificationsLues;
}

bool LectureDonnees::modificationsACompter(uint16_t identifiant) const {
    if (!compterModifications) return false;
    const Table* table = referentiel != nullptr ? referentiel->table(identifiant) : nullptr;
    const bool sansEnregistrement = table != nullptr && table->etat() == Table::kChargee && table->nombreLignes() == 0;
    return !sansEnregistrement || TraceDetail::estActif(CAT_CONSULTATION, NIV_DETAIL);
}

std::string LectureDonnees::initBufferCode(const Texte& code, size_t largeur, uint16_t& cr) {
    const CleFixe cle(code, largeur, cr);
    return std::string(cle.data(), cle.size());
}

const Table* LectureDonnees::tableReferentiel(uint16_t identifiant, uint16_t& cr) {
    if (cr != 0) return nullptr;
    if (referentiel == nullptr) {
        tracerErreurLecture("Référentiel non chargé en mémoire");
        cr = KPX_CR_NON_CHARGE;
        return nullptr;
    }
    Table* table = referentiel->table(identifiant);
    if (table == nullptr) {
        tracerErreurLecture("ERREUR : table %03u absente du referentiel", identifiant);
        cr = KPX_CR_DONNEES_INCOHERENTES;
        return nullptr;
    }
    if (table->etat() == Table::kDifferee) {
        cr = referentiel->chargerTable(identifiant);
        if (cr != 0) return nullptr;
    }
    return table;
}

// --- Act lookup -------------------------------------------------------------

LectureDonnees::ActeRecent* LectureDonnees::acteRetenuParmiRecents(const MotsCode& mots) {
    if (mots.longueur > kLargeurCodeActe) return nullptr;
    ActeRecent* recent = nullptr;
    if (!actesRecents_) {
        if (premierActe_.designe(mots)) recent = &premierActe_;
    } else {
        const size_t rang = rangRecent(mots);
        if (actesRecents_[rang].designe(mots)) recent = &actesRecents_[rang];
        else if (actesRecents_[rang ^ 1].designe(mots)) recent = &actesRecents_[rang ^ 1];
    }
    if (recent != nullptr) dernierActe_ = recent;
    return recent;
}

void LectureDonnees::agrandirRecents() {
    const uint32_t capacite = capaciteRecents_ == 0 ? kActesRecentsInitial : capaciteRecents_ * 4;
    std::unique_ptr<ActeRecent[]> anciens(new (std::nothrow) ActeRecent[capacite]);
    if (!anciens) return;  // the slots kept go on serving
    anciens.swap(actesRecents_);
    const uint32_t ancienneCapacite = capaciteRecents_;
    capaciteRecents_ = capacite;
    decalageRecents_ = 64;
    while ((1u << (64 - decalageRecents_)) < capacite) --decalageRecents_;
    occupesRecents_ = 0;
    dernierActe_ = nullptr;
    auto replacer = [this](const ActeRecent& recent) {
        if (recent.ligne != nullptr) *placeLibre(recent.mots) = recent;
    };
    if (ancienneCapacite == 0) replacer(premierActe_);
    for (uint32_t i = 0; i < ancienneCapacite; ++i) replacer(anciens[i]);
    premierActe_ = ActeRecent();
}

LectureDonnees::ActeRecent* LectureDonnees::placeLibre(const MotsCode& mots) {
    const size_t rang = rangRecent(mots);
    ActeRecent* place = &actesRecents_[rang];
    if (place->ligne != nullptr && actesRecents_[rang ^ 1].ligne == nullptr) place = &actesRecents_[rang ^ 1];
    if (place->ligne == nullptr) ++occupesRecents_;
    return place;
}

LectureDonnees::ActeRecent* LectureDonnees::placeRecente(const Code& codeActe) {
    // A call that asks for a second act is likely to ask for many: the slots are made then.
    if (!actesRecents_ && premierActe_.ligne == nullptr) return &premierActe_;
    if (!actesRecents_ || (occupesRecents_ * 4 >= capaciteRecents_ && capaciteRecents_ < kActesRecentsMaximum))
        agrandirRecents();
    if (!actesRecents_) return &premierActe_;
    return placeLibre(MotsCode(codeActe.chaine(), codeActe.longueur()));
}

uint16_t LectureDonnees::chercherActeDansIndex(const Code& codeActe, Index*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherActeDansIndex", "recherche d'un code acte dans la table d'Index", cr);
    tracerLecture("Code acte recherche : %s", codeActe.chaine());
    ligne = nullptr;
    if (const ActeRecent* recent = acteRetenu(codeActe)) {
        ligne = recent->ligne;
        return cr;
    }
    const CleFixe cle(codeActe, kLargeurCodeActe, cr);
    const Table* index = tableReferentiel(Index::kIdentifiant, cr);
    const Index* trouve = cr == 0 ? referentiel->acteIndexe(cle.data()) : nullptr;
    if (trouve == nullptr)
        trouve = chercherDichotomie<Index>(
            index, [&cle](const Index& l) { return comparerCle(l.codeActe, cle); }, cr,
            "code acte non trouve dans la table d'Index");
    if (cr != 0) return cr;
    ligne = const_cast<Index*>(trouve);  // the index owns its act slot, which loading fills
    // A code found fits its column, so it fits a slot.
    ActeRecent* recent = placeRecente(codeActe);
    *recent = ActeRecent();
    recent->mots = MotsCode(codeActe.chaine(), codeActe.longueur());
    recent->ligne = ligne;
    // An act already read (by an earlier call, most often) is the level its search would
    // find: kept now, the first question on it needs no second search.
    if (NiveauActe* lu = ligne->acte(); lu != Index::enChargement()) recent->niveau = lu;
    dernierActe_ = recent;
    return cr;
}

size_t LectureDonnees::rangRecent(const MotsCode& mots) const {
    uint64_t melange = CodeActe::melanger(mots.tete, mots.queue ^ mots.longueur);
    melange ^= melange >> 29;
    return static_cast<size_t>(CodeActe::etaler(melange) >> decalageRecents_);
}

uint16_t LectureDonnees::chercherActeComplet(const Code& codeActe, NiveauActe*& acte) {
    uint16_t cr = 0;
    TraceRequete trace("chercherActe", "recherche des donnees d'un acte", cr);
    cr = chercherActeSansTrace(codeActe, acte);
    return cr;
}

uint16_t LectureDonnees::chercherActeSansTrace(const Code& codeActe, NiveauActe*& acte) {
    acte = nullptr;
    Index* ligne = nullptr;
    uint16_t cr = chercherActeDansIndex(codeActe, ligne);
    if (cr != 0) return cr;

    NiveauActe* present = ligne->acte();
    if (present == nullptr) {
        std::unique_ptr<NiveauActe> nouveau(new (std::nothrow) NiveauActe);
        if (!nouveau) return KPX_CR_CONSTRUCTION;
        // Only the caller that moved the slot from null to the marker reads the act.
        if (ligne->echangerActe(nullptr, Index::enChargement())) {
            // A failed read, an exception included, gives the slot back for a later try.
            struct Marque {
                Index* ligne;
                ~Marque() { ligne->echangerActe(Index::enChargement(), nullptr); }
            } marque{ligne};
            cr = referentiel->chargerActe(ligne->positionActe, *nouveau, ligne->codeActe.c_str());
            if (cr == 0) ligne->attacherActe(std::move(nouveau));
            if (cr != 0) return cr;
        }
        present = ligne->acte();
    }
    if (present == Index::enChargement()) {
        tracerErreurLecture("Acte %s en cours de chargement par un autre thread", codeActe.chaine());
        return KPX_CR_OCCUPE;
    }
    acte = present;
    // The lookup above left the act's slot the last one; what it kept under another act goes.
    if (dernierActe_ != nullptr && dernierActe_->ligne == ligne && dernierActe_->niveau != acte) {
        dernierActe_->niveau = acte;
        dernierActe_->version = VersionRetenue<HistoriqueNiveauActe>();
        dernierActe_->activite = ActiviteRetenue();
    }
    return 0;
}

uint16_t LectureDonnees::rechercherExistenceActe(const Code& codeActe, Booleen& existe) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherExistenceActe", "recherche de l'existence d'un acte", cr);
    Index* ligne = nullptr;
    cr = chercherActeDansIndex(codeActe, ligne);
    existe = Booleen(cr == 0);
    if (cr == KPX_CR_ELEMENT_ABSENT) cr = 0;
    return cr;
}

uint16_t LectureDonnees::rechercherChargementActe(const Code& codeActe, Booleen& charge) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherChargementActe", "recherche si un acte est charge en memoire", cr);
    Index* ligne = nullptr;
    cr = chercherActeDansIndex(codeActe, ligne);
    charge = Booleen(false);
    if (cr == 0) {
        NiveauActe* acte = ligne->acte();
        charge = Booleen(acte != nullptr && acte != Index::enChargement());
    }
    return cr;
}

uint16_t LectureDonnees::rechercherPositionActe(const Code& codeActe, Nombre& position) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherPositionActe", "recherche de la position des donnees d'un acte", cr);
    Index* ligne = nullptr;
    cr = chercherActeDansIndex(codeActe, ligne);
    if (cr == 0) position = Nombre(static_cast<int32_t>(ligne->positionActe));
    return cr;
}

// --- Hierarchy descent and histories ------------------------------------------
// Each search ends with the act's slot the last one (its act lookup made it so), where
// what it found is kept under the level above it.

// Below a level kept, the child or version asked is searched without the lines (the trace is
// off whenever the descent is used) and kept as the complete search keeps it; what is not
// found is left to the complete search, for its code and its lines.

LectureDonnees::ActiviteRetenue* LectureDonnees::activiteDescendue(ActeRecent& recent, const Code& codeActivite) {
    if (codeActivite.longueur() != 1) return nullptr;
    NiveauActivite* activite = chercherParCode(recent.niveau->activites(), codeActivite[0],
                                               [](const NiveauActivite& a) { return a.codeActivite; });
    if (activite == nullptr) return nullptr;
    recent.activite = ActiviteRetenue();
    recent.activite.code = codeActivite[0];
    recent.activite.niveau = activite;
    return &recent.activite;
}

LectureDonnees::PhaseRetenue* LectureDonnees::phaseDescendue(ActiviteRetenue& activite, const Code& codePhase) {
    if (codePhase.longueur() != 1) return nullptr;
    NiveauPhase* phase = chercherParCode(activite.niveau->phases(), codePhase[0],
                                         [](const NiveauPhase& p) { return p.codePhase; });
    if (phase == nullptr) return nullptr;
    activite.phase = PhaseRetenue();
    activite.phase.code = codePhase[0];
    activite.phase.niveau = phase;
    return &activite.phase;
}

const HistoriqueNiveauActe* LectureDonnees::versionDescendue(ActeRecent& recent, const Date& dateReference) {
    if (recent.niveau == nullptr) return nullptr;
    const HistoriqueNiveauActe* version = versionEnVigueur(recent.niveau->premierHistorique(), dateReference);
    if (version != nullptr) recent.version.garder(dateReference, version);
    return version;
}

const HistoriqueNiveauActivite* LectureDonnees::versionDescendue(ActiviteRetenue& activite,
                                                                  const Date& dateReference) {
    const HistoriqueNiveauActivite* version = versionEnVigueur(activite.niveau->premierHistorique(), dateReference);
    if (version != nullptr) activite.version.garder(dateReference, version);
    return version;
}

const HistoriqueNiveauPhase* LectureDonnees::versionDescendue(PhaseRetenue& phase, const Date& dateReference) {
    const HistoriqueNiveauPhase* version = versionEnVigueur(phase.niveau->premierHistorique(), dateReference);
    if (version != nullptr) phase.version.garder(dateReference, version);
    return version;
}

uint16_t LectureDonnees::chercherActiviteComplet(const Code& codeActe, const Code& codeActivite,
                                                 NiveauActivite*& activite) {
    uint16_t cr = 0;
    TraceRequete trace("chercherActivite", "recherche d'une activite d'un acte", cr);
    tracerLecture("Code activite recherche : %s", codeActivite.chaine());
    activite = nullptr;
    const CleFixe cle(codeActivite, 1, cr);
    NiveauActe* acte = nullptr;
    if (cr == 0) cr = chercherActe(codeActe, acte);
    if (cr == 0) cr = acte->chercherActivite(cle[0], activite);
    if (cr == 0 && codeActivite.longueur() == 1 && dernierActe_->niveau == acte &&
        dernierActe_->activite.niveau != activite) {
        dernierActe_->activite = ActiviteRetenue();
        dernierActe_->activite.code = cle[0];
        dernierActe_->activite.niveau = activite;
    }
    return cr;
}

uint16_t LectureDonnees::chercherPhaseComplet(const Code& codeActe, const Code& codeActivite,
                                              const Code& codePhase, NiveauPhase*& phase) {
    uint16_t cr = 0;
    TraceRequete trace("chercherPhase", "recherche d'une phase d'une activite", cr);
    tracerLecture("Code phase recherche : %s", codePhase.chaine());
    phase = nullptr;
    const CleFixe cle(codePhase, 1, cr);
    NiveauActivite* activite = nullptr;
    if (cr == 0) cr = chercherActivite(codeActe, codeActivite, activite);
    if (cr == 0) cr = activite->chercherNiveauPhase(cle[0], phase);
    if (cr == 0 && codePhase.longueur() == 1 && dernierActe_->activite.niveau == activite) {
        PhaseRetenue& retenue = dernierActe_->activite.phase;
        if (retenue.niveau != phase) {
            retenue = PhaseRetenue();
            retenue.code = cle[0];
            retenue.niveau = phase;
        }
    }
    return cr;
}

uint16_t LectureDonnees::chercherHistoActeComplet(const Code& codeActe, const Date& dateReference,
                                                  const HistoriqueNiveauActe*& historique) {
    uint16_t cr = 0;
    TraceRequete trace("chercherHistoActe", "recherche de l'historique d'un acte a une date", cr);
    tracerDateReference(dateReference);
    historique = nullptr;
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) cr = acte->chercherHistorique(dateReference, historique);
    if (cr == 0 && dernierActe_->niveau == acte) dernierActe_->version.garder(dateReference, historique);
    return cr;
}

uint16_t LectureDonnees::chercherHistoActiviteComplet(const Code& codeActe, const Code& codeActivite,
                                                      const Date& dateReference,
                                                      const HistoriqueNiveauActivite*& historique) {
    uint16_t cr = 0;
    TraceRequete trace("chercherHistoActivite", "recherche de l'historique d'une activite a une date", cr);
    tracerDateReference(dateReference);
    historique = nullptr;
    NiveauActivite* activite = nullptr;
    cr = chercherActivite(codeActe, codeActivite, activite);
    if (cr == 0) cr = activite->chercherHistorique(dateReference, historique);
    if (cr == 0 && dernierActe_->activite.niveau == activite)
        dernierActe_->activite.version.garder(dateReference, historique);
    return cr;
}

uint16_t LectureDonnees::chercherHistoPhaseComplet(const Code& codeActe, const Code& codeActivite,
                                                   const Code& codePhase, const Date& dateReference,
                                                   const HistoriqueNiveauPhase*& historique) {
    uint16_t cr = 0;
    TraceRequete trace("chercherHistoPhase", "recherche de l'historique d'une phase a une date", cr);
    tracerDateReference(dateReference);
    historique = nullptr;
    NiveauPhase* phase = nullptr;
    cr = chercherPhase(codeActe, codeActivite, codePhase, phase);
    if (cr == 0) cr = phase->chercherHistorique(dateReference, historique);
    if (cr == 0 && dernierActe_->activite.phase.niveau == phase)
        dernierActe_->activite.phase.version.garder(dateReference, historique);
    return cr;
}

// --- Header values ----------------------------------------------------------

namespace {

uint16_t controlerReferentiel(const Referentiel* referentiel) {
    if (referentiel != nullptr) return 0;
    tracerErreurLecture("Référentiel non chargé en mémoire");
    return KPX_CR_NON_CHARGE;
}

}  // namespace

uint16_t LectureDonnees::lireVersionReferentiel(Code& version) {
    uint16_t cr = 0;
    TraceRequete trace("lireVersionReferentiel", "lecture de la version du referentiel", cr);
    cr = controlerReferentiel(referentiel);
    if (cr == 0) version = referentiel->codeVersion();
    return cr;
}

uint16_t LectureDonnees::lireVersionMinLogicielle(Code& version) {
    uint16_t cr = 0;
    TraceRequete trace("lireVersionMinLogicielle", "lecture de la version logicielle minimale", cr);
    cr = controlerReferentiel(referentiel);
    if (cr == 0) version = referentiel->codeVersionMinimaleLogiciel();
    return cr;
}

uint16_t LectureDonnees::lireVersionBaseCCAM(Code& version) {
    uint16_t cr = 0;
    TraceRequete trace("lireVersionBaseCCAM", "lecture de la version de la base CCAM", cr);
    cr = controlerReferentiel(referentiel);
    if (cr == 0) version = referentiel->codeVersionBaseCCAM();
    return cr;
}

uint16_t LectureDonnees::lireVariante(Code& variante) {
    uint16_t cr = 0;
    TraceRequete trace("lireVariante", "lecture de la variante du referentiel", cr);
    cr = controlerReferentiel(referentiel);
    if (cr == 0) variante = referentiel->codeVariante();
    return cr;
}

uint16_t LectureDonnees::lireNumeroRevisionReferentiel(Nombre& numero) {
    uint16_t cr = 0;
    TraceRequete trace("lireNumeroRevisionReferentiel", "lecture du numero de revision du referentiel", cr);
    cr = controlerReferentiel(referentiel);
    if (cr == 0) numero = Nombre(referentiel->numeroRevision);
    return cr;
}

uint16_t LectureDonnees::lireDateModification(Date& date) {
    uint16_t cr = 0;
    TraceRequete trace("lireDateModification", "lecture de la date de derniere modification", cr);
    cr = controlerReferentiel(referentiel);
    if (cr == 0) date = referentiel->dateDerniereModification;
    return cr;
}

uint16_t LectureDonnees::lireCommentaireReferentiel(Texte& commentaire) {
    uint16_t cr = 0;
    TraceRequete trace("lireCommentaireReferentiel", "lecture du commentaire du referentiel", cr);
    cr = controlerReferentiel(referentiel);
    if (cr == 0) commentaire = referentiel->texteCommentaire();
    return cr;
}
