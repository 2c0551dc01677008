// Loading and release of the référentiel, driven by the configuration keys.
#include "exports/Bibliotheque.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "KPXW32.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "exports/Ouverture.h"
#include "frame/Composants.h"
#include "frame/Trace.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "referentiel/Referentiel.h"

namespace {

constexpr uint32_t kTailleValeur = 1024;

struct Etat {
    // The replay of the stored modifications that every référentiel loaded is given.
    RejeuModificationDonnees rejeu;
    std::unique_ptr<Referentiel> referentiel;
    Interface interface;
    bool interfaceConstruite = false;
    bool modifie = false;
};

Etat& etat() {
    static Etat instance;
    return instance;
}

// A key is absent when the component answers 0.
bool lireCle(const char* section, const char* cle, std::string& valeur) {
    char tampon[kTailleValeur] = {};
    if (Composants::lireChaineKoral()(section, cle, tampon, kTailleValeur) == 0) return false;
    tampon[kTailleValeur - 1] = '\0';
    valeur = tampon;
    return true;
}

// Identifier 21: the variant's first character and the référentiel version;
// identifier 20: the software version. Returns the recording code; a failure of
// identifier 21 other than "already written" goes to cr and fails the load.
uint16_t enregistrerVersions(LectureDonnees& lecture, uint16_t& cr) {
    std::string travail;
    if (!lireCle("COMMUN", "repertoiretravail", travail)) return KPX_CR_REPERTOIRE_TRAVAIL;
    Code variante, versionReferentiel;
    uint16_t lu = lecture.lireVariante(variante);
    if (lu == 0) lu = lecture.lireVersionReferentiel(versionReferentiel);
    if (lu != 0) return lu;
    char version[6] = {' ', ' ', ' ', ' ', ' ', '\0'};
    if (variante.longueur() > 0) version[0] = variante[0];
    std::memcpy(version + 1, versionReferentiel.chaine(), std::min<size_t>(versionReferentiel.longueur(), 4));
    uint16_t ecrit = Composants::ecrireVersionComposant()(21, version, 5);
    if (ecrit != 0 && ecrit != KPX_CR_VERSION_DEJA_ECRITE) {
        cr = ecrit;
        return 0;
    }
    return Composants::ecrireVersionComposant()(20, Bibliotheque::kVersionLogicielle, 4);
}

}  // namespace

bool Bibliotheque::estCharge() { return etat().interfaceConstruite && etat().referentiel != nullptr; }
Referentiel* Bibliotheque::referentiel() { return etat().referentiel.get(); }
Interface& Bibliotheque::interface() { return etat().interface; }
bool Bibliotheque::referentielModifie() { return etat().modifie; }
void Bibliotheque::marquerModifie(bool modifie) { etat().modifie = modifie; }

uint16_t Bibliotheque::chargerReferentiel() {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    tracer(CAT_CYCLE, NIV_EXPORT, "chargerReferentiel >> IN");

    std::string activation;
    if (lireCle("COMMUN", "ActivationTracesLog4c", activation) && activation == "1") {
        tracer(CAT_SYSTEME, NIV_EXPORT, "Activation traces log4c dans les KPX");
        // The value read would be the second, unused, argument of KPX_InitTrace.
        initialiserTrace("");
    }

    std::string repertoireTables;
    std::string repertoireModifications;
    if (!lireCle("KPX", "repertoiretable", repertoireTables)) cr = KPX_CR_REPERTOIRE_TABLE_ABSENT;
    if (cr == 0 && !lireCle("KPX", "repertoireModification", repertoireModifications))
        repertoireModifications = repertoireTables;

    auto& e = etat();
    // However the load ends short of success, an exception included, nothing half-built is kept.
    struct Abandon {
        bool reussi = false;
        ~Abandon() {
            if (!reussi) Bibliotheque::liberer();
        }
    } abandon;
    uint16_t crEnregistrement = 0;
    if (cr == 0) {
        // A référentiel left by a load that stopped short of the description is replaced.
        e.interfaceConstruite = false;
        e.referentiel.reset(new (std::nothrow) Referentiel);
        if (!e.referentiel) {
            tracer(CAT_CYCLE, NIV_ERREUR, "Construction du référentiel impossible.");
            cr = KPX_CR_CONSTRUCTION;
        } else {
            e.referentiel->definirRejeu(&e.rejeu);
            cr = e.referentiel->chargerReferentiel(repertoireTables.c_str(), repertoireModifications.c_str(),
                                                   kVersionLogicielle, kVersionReferentielMinimale);
            e.modifie = false;
        }
    }
    // The description is read through one reader of the référentiel, closed before returning.
    if (cr == 0) {
        Ouverture<LectureDonnees> lecture(cr);
        if (cr == 0) {
            cr = e.interface.initialiser(*lecture);
            e.interfaceConstruite = cr == 0;
        }
        if (cr == 0) crEnregistrement = enregistrerVersions(*lecture, cr);
    }
    if (cr == 0) {
        abandon.reussi = true;
        cr = crEnregistrement;
    }
    tracer(CAT_CYCLE, NIV_EXPORT, "chargerReferentiel << OUT : cr = 0x%04x", cr);
    return cr;
}

uint16_t Bibliotheque::initialiserTrace(const char* parametreTrace) {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    cr = Composants::activerTrace()("KPX", parametreTrace);
    NiveauTrace::oublier();
    // "cr = 0x % 04X": the blank flag has no effect on an unsigned conversion.
    tracer(CAT_SYSTEME, NIV_EXPORT, "cr = 0x %04X", cr);
    tracer(CAT_SYSTEME, NIV_EXPORT, "KPX_InitTrace << OUT");
    return cr;
}

void Bibliotheque::verifierReferentiel(uint16_t& cr) {
    if (cr != 0) return;
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail) tracer(CAT_CONTROLE, NIV_DETAIL, "verifierReferentiel >> IN");
    if (!estCharge()) {
        tracer(CAT_CONTROLE, NIV_ERREUR, "Référentiel non chargé.");
        cr = KPX_CR_NON_CHARGE;
    }
    if (detail) tracer(CAT_CONTROLE, NIV_DETAIL, "verifierReferentiel << OUT cr = 0x%04x", cr);
}

uint16_t Bibliotheque::terminer() {
    uint16_t cr = 0;
    Ouverture<ModificationDonnees> ecrivain(cr);
    if (cr != 0) return cr;
    if (auto arret = Composants::arretTraces()) arret();
    NiveauTrace::oublier();
    // The place goes back before the référentiel that holds its count.
    ecrivain.fermer();
    liberer();
    return cr;
}

void Bibliotheque::liberer() {
    if (etat().interface.estConstruite()) etat().interface.liberer();
    etat().interfaceConstruite = false;
    etat().referentiel.reset();
}
