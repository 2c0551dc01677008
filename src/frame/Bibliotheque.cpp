// Loading and release of the référentiel, driven by the configuration keys.
#include "frame/Bibliotheque.h"

#include <cstring>
#include <new>
#include <string>

#include "KPXW32.h"
#include "frame/Composants.h"
#include "frame/Trace.h"
#include "referentiel/Referentiel.h"
#include "zone/Code.h"

namespace {

constexpr uint32_t kTailleValeur = 1024;

struct Etat {
    std::unique_ptr<Referentiel> referentiel;
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

// Records the variant letter and version (id 21), then the software version (id 20).
// A failure of id 21 fails the load; a failure of id 20 is only reported.
uint16_t enregistrerVersions(uint16_t& cr, const Referentiel& referentiel) {
    uint16_t crVersion = 0;
    std::string repertoireTravail;
    if (!lireCle("COMMUN", "repertoiretravail", repertoireTravail)) crVersion = KPX_CR_REPERTOIRE_TRAVAIL;
    if (crVersion == 0) {
        std::string variante = referentiel.variante();
        std::string version = referentiel.version();
        std::string composant = std::string(1, variante.empty() ? ' ' : variante[0]) + version.substr(0, 4);
        composant.resize(5, ' ');
        uint16_t crEcriture = Composants::ecrireVersionComposant()(21, composant.c_str(), 5);
        if (crEcriture == KPX_CR_VERSION_DEJA_ECRITE) crEcriture = 0;
        if (crEcriture != 0) {
            cr = crEcriture;
            return crVersion;
        }
        crVersion = Composants::ecrireVersionComposant()(20, Bibliotheque::kVersionLogicielle, 4);
    }
    return crVersion;
}

}  // namespace

bool Bibliotheque::estCharge() { return etat().interfaceConstruite && etat().referentiel != nullptr; }
Referentiel* Bibliotheque::referentiel() { return etat().referentiel.get(); }
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
    if (cr == 0) {
        e.referentiel.reset(new (std::nothrow) Referentiel());
        if (!e.referentiel) {
            tracer(CAT_CYCLE, NIV_ERREUR, "Construction du référentiel impossible.");
            cr = KPX_CR_CONSTRUCTION;
        } else {
            cr = e.referentiel->chargerReferentiel(repertoireTables.c_str(), repertoireModifications.c_str(),
                                                   kVersionLogicielle, kVersionReferentielMinimale);
        }
        e.modifie = false;
    }

    // The interface description is built from the référentiel's description
    // tables by the consultation layer; an empty one is all there is for now.
    if (cr == 0) e.interfaceConstruite = true;

    uint16_t crVersion = 0;
    if (cr == 0) crVersion = enregistrerVersions(cr, *e.referentiel);

    if (cr != 0) {
        e.interfaceConstruite = false;
        e.referentiel.reset();
    } else {
        cr = crVersion;
    }
    tracer(CAT_CYCLE, NIV_EXPORT, "chargerReferentiel << OUT : cr = 0x%04x", cr);
    return cr;
}

uint16_t Bibliotheque::initialiserTrace(const char* parametreTrace) {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    cr = Composants::activerTrace()("KPX", parametreTrace);
    // "cr = 0x % 04X": the blank flag has no effect on an unsigned conversion.
    tracer(CAT_SYSTEME, NIV_EXPORT, "cr = 0x %04X", cr);
    tracer(CAT_SYSTEME, NIV_EXPORT, "KPX_InitTrace << OUT");
    return cr;
}

void Bibliotheque::verifierReferentiel(uint16_t& cr) {
    if (cr != 0) return;
    tracer(CAT_CONTROLE, NIV_DETAIL, "verifierReferentiel >> IN");
    if (!estCharge()) {
        tracer(CAT_CONTROLE, NIV_ERREUR, "Référentiel non chargé.");
        cr = KPX_CR_NON_CHARGE;
    }
    tracer(CAT_CONTROLE, NIV_DETAIL, "verifierReferentiel << OUT cr = 0x%04x", cr);
}

void Bibliotheque::liberer() {
    etat().interfaceConstruite = false;
    etat().referentiel.reset();
}
