// Pattern A: a change of an act's data is a new version at the head of a phase's or an
// activity's history, so any date before the effective date still finds the older one.
// Also their replay on an act just read, and their cancellation, which drops the act
// from memory so that its next read replays the records left.
#include <algorithm>
#include <cstring>
#include <string>

#include "modification/ModificationDonnees.h"
#include "modification/OutilsModification.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Index.h"
#include "referentiel/lignes/Modifications.h"

namespace {

// The key of an act-level value as the records store it: the act code padded to 13.
struct CleActe {
    std::string acte;
    char activite = ' ';
    char phase = ' ';
};

CleActe cleActe(const Code& acte, const Code& activite, const Code* phase, uint16_t& cr) {
    CleActe cle;
    cle.acte = LectureDonnees::initBufferCode(acte, LectureDonnees::kLargeurCodeActe, cr);
    const std::string a = LectureDonnees::initBufferCode(activite, 1, cr);
    if (cr == 0) cle.activite = a[0];
    if (phase != nullptr) {
        const std::string p = LectureDonnees::initBufferCode(*phase, 1, cr);
        if (cr == 0) cle.phase = p[0];
    }
    return cle;
}

template <class E>
bool memeActivite(const E& e, const CleActe& cle) {
    return e.codeActe == cle.acte && e.activite == cle.activite;
}

bool positionDOMValide(int32_t position) {
    if (position >= 1 && position <= 4) return true;
    tracerModification(NIV_ERREUR, "ERREUR: Parametre position DOM incorrect");
    return false;
}

// The changes a new version carries.
auto prixGrille(uint16_t grille, double prix) {
    return [grille, prix](HistoriqueNiveauPhase& h) -> uint16_t {
        for (PrixGrille& g : h.grilles)
            if (g.codeGrille == grille) {
                g.prixUnitaire = prix;
                return 0;
            }
        tracerModification(NIV_ERREUR, "ERREUR : grille tarifaire %03u absente de l'historique", grille);
        return KPX_CR_ELEMENT_ABSENT;
    };
}

auto supplement(double valeur) {
    return [valeur](HistoriqueNiveauPhase& h) -> uint16_t {
        h.supplementCharge = valeur;
        return 0;
    };
}

auto majorationDOM(int32_t position, double coefficient) {
    return [position, coefficient](HistoriqueNiveauPhase& h) -> uint16_t {
        h.majorationsDOM[position - 1] = coefficient;
        return 0;
    };
}

auto codeRegroupement(const std::string& code) {
    return [code](HistoriqueNiveauActivite& h) -> uint16_t {
        h.codeRegroupement = code;
        return 0;
    };
}

// One record of tables 35 to 37 to replay, with the key it is ordered by.
struct ModificationPhase {
    char activite;
    char phase;
    Date dateEffet;
    const LigneTable* enregistrement;
};

bool avant(const ModificationPhase& a, const ModificationPhase& b) {
    if (a.activite != b.activite) return a.activite < b.activite;
    if (a.phase != b.phase) return a.phase < b.phase;
    return a.dateEffet < b.dateEffet;
}

template <class E>
void chercherModificationsHistoriquePhase(const Table* table, const char* codeActe,
                                          std::vector<ModificationPhase>& liste) {
    for (uint32_t i = 0; table != nullptr && i < table->nombreLignes(); ++i) {
        const E* e = table->ligneDe<E>(i);
        if (e != nullptr && std::strncmp(e->codeActe.c_str(), codeActe, LectureDonnees::kLargeurCodeActe) == 0)
            liste.push_back({e->activite, e->phase, e->dateEffet, e});
    }
}

}  // namespace

template <class Historique, class Changer>
uint16_t ModificationDonnees::nouvelHistorique(std::unique_ptr<Historique>& tete, const Date& dateEffet,
                                               Changer changer, std::unique_ptr<LigneTable> enregistrement) {
    if (!tete) {
        tracerModification(NIV_ERREUR, "historique vide");
        return KPX_CR_DONNEES_INCOHERENTES;
    }
    if (dateEffet < tete->dateEffet) {
        tracerModification(NIV_ERREUR, "Date d'effet anterieure a la date du dernier historique");
        return KPX_CR_DATE_EFFET_REFUSEE;
    }
    Table* modifications = nullptr;
    uint16_t cr = preparerEnregistrement(enregistrement.get(), modifications);
    if (cr != 0) return cr;
    std::unique_ptr<Historique> nouvel;
    try {
        nouvel = tete->copierVersion();
    } catch (const std::bad_alloc&) {
        tracerModification(NIV_ERREUR, "probleme d'allocation memoire lors de la creation du nouvel historique");
        return KPX_CR_CONSTRUCTION;
    }
    nouvel->dateEffet = dateEffet;
    cr = changer(*nouvel);
    if (cr != 0) return cr;
    nouvel->lienSuivant() = std::move(tete);
    tete = std::move(nouvel);
    if (modifications != nullptr) modifications->ajouterLigne(std::move(enregistrement));
    return 0;
}

template <class Enregistrement, class Remplir, class Changer>
uint16_t ModificationDonnees::modifierPhase(const Code& acte, const Code& activite, const Code& phase,
                                            const Date& dateEffet, bool enregistrer, NiveauPhase* niveau,
                                            Remplir remplir, Changer changer) {
    return sansExceptionMemoire([&]() -> uint16_t {
        uint16_t cr = 0;
        const CleActe cle = cleActe(acte, activite, &phase, cr);
        std::unique_ptr<Enregistrement> enregistrement;
        if (cr == 0 && enregistrer) {
            enregistrement.reset(new Enregistrement);
            enregistrement->codeActe = cle.acte;
            enregistrement->activite = cle.activite;
            enregistrement->phase = cle.phase;
            enregistrement->dateEffet = dateEffet;
            remplir(*enregistrement);
        }
        if (cr == 0 && niveau == nullptr) cr = chercherPhase(acte, activite, phase, niveau);
        if (cr == 0) cr = nouvelHistorique(niveau->teteHistoriques(), dateEffet, changer, std::move(enregistrement));
        return cr;
    });
}

uint16_t ModificationDonnees::modifierPrixUnitaire(const Code& acte, const Code& activite, const Code& phase,
                                                   const Date& dateEffet, const Nombre& grille, double prix,
                                                   bool enregistrer, NiveauPhase* niveau) {
    uint16_t cr = 0;
    TraceModification trace("modifierPrixUnitaire", cr);
    const uint16_t codeGrille = static_cast<uint16_t>(grille.valeur());
    cr = modifierPhase<ModificationPrixUnitaire>(
        acte, activite, phase, dateEffet, enregistrer, niveau,
        [&](ModificationPrixUnitaire& e) {
            e.grille = codeGrille;
            e.prixUnitaire = prix;
        },
        prixGrille(codeGrille, prix));
    return cr;
}

uint16_t ModificationDonnees::modifierSupplementCharges(const Code& acte, const Code& activite, const Code& phase,
                                                        const Date& dateEffet, double montant, bool enregistrer,
                                                        NiveauPhase* niveau) {
    uint16_t cr = 0;
    TraceModification trace("modifierSupplementCharges", cr);
    cr = modifierPhase<ModificationSupplementCharge>(
        acte, activite, phase, dateEffet, enregistrer, niveau,
        [&](ModificationSupplementCharge& e) { e.nouveauSupplement = montant; }, supplement(montant));
    return cr;
}

uint16_t ModificationDonnees::modifierMajorationDOM(const Code& acte, const Code& activite, const Code& phase,
                                                    const Date& dateEffet, int32_t position, double coefficient,
                                                    bool enregistrer, NiveauPhase* niveau) {
    uint16_t cr = 0;
    TraceModification trace("modifierMajorationDOM", cr);
    if (!positionDOMValide(position)) return cr = KPX_CR_DONNEES_INCOHERENTES;
    cr = modifierPhase<ModificationMajorationDOM>(
        acte, activite, phase, dateEffet, enregistrer, niveau,
        [&](ModificationMajorationDOM& e) {
            e.positionDOM = static_cast<uint16_t>(position);
            e.nouvelleMajoration = coefficient;
        },
        majorationDOM(position, coefficient));
    return cr;
}

uint16_t ModificationDonnees::modifierCodeRegroupement(const Code& acte, const Code& activite, const Date& dateEffet,
                                                       const Code& code, bool enregistrer, NiveauActivite* niveau) {
    uint16_t cr = 0;
    TraceModification trace("modifierCodeRegroupement", cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        const CleActe cle = cleActe(acte, activite, nullptr, c);
        const std::string nouveau = initBufferCode(code, kLargeurCodeRegroupement, c);
        std::unique_ptr<ModificationCodeRegroupement> enregistrement;
        if (c == 0 && enregistrer) {
            enregistrement.reset(new ModificationCodeRegroupement);
            enregistrement->codeActe = cle.acte;
            enregistrement->activite = cle.activite;
            enregistrement->dateEffet = dateEffet;
            enregistrement->nouveauCode = nouveau;
        }
        if (c == 0 && niveau == nullptr) c = chercherActivite(acte, activite, niveau);
        if (c == 0)
            c = nouvelHistorique(niveau->teteHistoriques(), dateEffet, codeRegroupement(nouveau),
                                 std::move(enregistrement));
        return c;
    });
    return cr;
}

// --- Replay on an act just read -------------------------------------------------------------

uint16_t ModificationDonnees::rejouerPhase(const LigneTable& enregistrement, NiveauPhase& phase) {
    switch (enregistrement.identifiantTable()) {
        case ModificationPrixUnitaire::kIdentifiant: {
            const auto& e = static_cast<const ModificationPrixUnitaire&>(enregistrement);
            return nouvelHistorique(phase.teteHistoriques(), e.dateEffet, prixGrille(e.grille, e.prixUnitaire),
                                    nullptr);
        }
        case ModificationSupplementCharge::kIdentifiant: {
            const auto& e = static_cast<const ModificationSupplementCharge&>(enregistrement);
            return nouvelHistorique(phase.teteHistoriques(), e.dateEffet, supplement(e.nouveauSupplement), nullptr);
        }
        default: {
            const auto& e = static_cast<const ModificationMajorationDOM&>(enregistrement);
            if (!positionDOMValide(e.positionDOM)) return KPX_CR_DONNEES_INCOHERENTES;
            return nouvelHistorique(phase.teteHistoriques(), e.dateEffet,
                                    majorationDOM(e.positionDOM, e.nouvelleMajoration), nullptr);
        }
    }
}

uint16_t ModificationDonnees::appliquerModificationsHistoriquePhase(const char* codeActe, NiveauActe& acte) {
    uint16_t cr = 0;
    TraceModification trace("appliquerModificationsHistoriquePhase", cr);
    std::vector<ModificationPhase> liste;
    try {
        chercherModificationsHistoriquePhase<ModificationPrixUnitaire>(
            referentiel->table(ModificationPrixUnitaire::kIdentifiant), codeActe, liste);
        chercherModificationsHistoriquePhase<ModificationSupplementCharge>(
            referentiel->table(ModificationSupplementCharge::kIdentifiant), codeActe, liste);
        chercherModificationsHistoriquePhase<ModificationMajorationDOM>(
            referentiel->table(ModificationMajorationDOM::kIdentifiant), codeActe, liste);
        // Records of one date keep their order.
        std::stable_sort(liste.begin(), liste.end(), avant);
    } catch (const std::bad_alloc&) {
        tracerModification(NIV_ERREUR,
                           "ERREUR: erreur d'allocation memoire lors de la creation du tableau modificationsTemp");
        return cr = KPX_CR_CONSTRUCTION;
    }
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        for (size_t i = 0; c == 0 && i < liste.size(); ++i) {
            NiveauActivite* activite = nullptr;
            NiveauPhase* phase = nullptr;
            c = acte.chercherActivite(liste[i].activite, activite);
            if (c == 0) c = activite->chercherNiveauPhase(liste[i].phase, phase);
            if (c == 0) c = rejouerPhase(*liste[i].enregistrement, *phase);
        }
        return c;
    });
    return cr;
}

uint16_t ModificationDonnees::chargerModificationsCodesRegroupement(const char* codeActe, NiveauActe& acte) {
    uint16_t cr = 0;
    TraceModification trace("chargerModificationsCodesRegroupement", cr);
    const Table* table = referentiel->table(ModificationCodeRegroupement::kIdentifiant);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        for (uint32_t i = 0; c == 0 && table != nullptr && i < table->nombreLignes(); ++i) {
            const auto* e = table->ligneDe<ModificationCodeRegroupement>(i);
            if (e == nullptr || std::strncmp(e->codeActe.c_str(), codeActe, kLargeurCodeActe) != 0) continue;
            NiveauActivite* activite = nullptr;
            c = acte.chercherActivite(e->activite, activite);
            if (c == 0)
                c = nouvelHistorique(activite->teteHistoriques(), e->dateEffet, codeRegroupement(e->nouveauCode),
                                     nullptr);
        }
        return c;
    });
    return cr;
}

// --- Cancellation ---------------------------------------------------------------------------

// The key read from the act, activity and phase (none for an activity's value), then the
// records it picks out among those of that act; the act leaves memory.
template <class Enregistrement, class Cle>
uint16_t ModificationDonnees::annulerModificationsActe(const char* nom, const Code& acte, const Code& activite,
                                                       const Code* phase, Cle memeValeur) {
    uint16_t cr = 0;
    TraceModification trace(nom, cr);
    cr = sansExceptionMemoire([&]() -> uint16_t {
        uint16_t c = 0;
        const CleActe cle = cleActe(acte, activite, phase, c);
        std::vector<bool> annules;
        if (c == 0)
            c = enregistrementsDeLaCle<Enregistrement>(
                referentiel->table(Enregistrement::kIdentifiant),
                [&](const Enregistrement& e) { return memeActivite(e, cle) && memeValeur(e, cle); }, annules);
        if (c != 0) return c;
        retirerEnregistrements(Enregistrement::kIdentifiant, annules);
        // Its next read, from the table file, replays the records left.
        Index* ligne = nullptr;
        if (chercherActeDansIndex(acte, ligne) == 0) ligne->attacherActe(nullptr);
        return c;
    });
    return cr;
}

uint16_t ModificationDonnees::annulerModificationsPrixUnitaire(const Code& acte, const Code& activite,
                                                               const Code& phase) {
    return annulerModificationsActe<ModificationPrixUnitaire>(
        "annulerModificationsPrixUnitaire", acte, activite, &phase,
        [](const ModificationPrixUnitaire& e, const CleActe& cle) { return e.phase == cle.phase; });
}

uint16_t ModificationDonnees::annulerModificationsSupplementCharges(const Code& acte, const Code& activite,
                                                                    const Code& phase) {
    return annulerModificationsActe<ModificationSupplementCharge>(
        "annulerModificationsSupplementCharges", acte, activite, &phase,
        [](const ModificationSupplementCharge& e, const CleActe& cle) { return e.phase == cle.phase; });
}

uint16_t ModificationDonnees::annulerModificationsMajorationDOM(const Code& acte, const Code& activite,
                                                                const Code& phase, int32_t position) {
    return annulerModificationsActe<ModificationMajorationDOM>(
        "annulerModificationsMajorationDOM", acte, activite, &phase,
        [position](const ModificationMajorationDOM& e, const CleActe& cle) {
            return e.phase == cle.phase && e.positionDOM == position;
        });
}

uint16_t ModificationDonnees::annulerModificationsCodeRegroupement(const Code& acte, const Code& activite) {
    return annulerModificationsActe<ModificationCodeRegroupement>(
        "annulerModificationsCodeRegroupement", acte, activite, nullptr,
        [](const ModificationCodeRegroupement&, const CleActe&) { return true; });
}
