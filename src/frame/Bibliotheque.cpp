// Loading and release of the référentiel, driven by the configuration keys.
#include "frame/Bibliotheque.h"

#include <cstdio>
#include <new>
#include <string>

#include "KPXW32.h"
#include "frame/Composants.h"
#include "frame/Trace.h"
#include "frame/Plateforme.h"

namespace {

constexpr uint32_t kTailleValeur = 1024;

struct Etat {
    // Set by the storage layer once it loads a référentiel; stays null until then.
    Referentiel* referentiel = nullptr;
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

// Opens the reference table file of the tables directory; reading its tables is
// the storage layer's work, which is not part of the library yet.
uint16_t chargerFichierTables(const std::string& repertoireTables) {
    std::string nom = repertoireTables.empty() ? std::string("table_v2.kpx")
                                               : repertoireTables + Plateforme::separateur + "table_v2.kpx";
    FILE* fichier = std::fopen(nom.c_str(), "rb");
    if (fichier == nullptr) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : Probleme d'ouverture du fichier %s, %s", nom.c_str(),
                     Plateforme::texteErreurSysteme().c_str());
        return KPX_CR_OUVERTURE_FICHIER;
    }
    std::fclose(fichier);
    return KPX_CR_NON_PREVU;
}

}  // namespace

bool Bibliotheque::estCharge() { return etat().interfaceConstruite && etat().referentiel != nullptr; }
Referentiel* Bibliotheque::referentiel() { return etat().referentiel; }
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
        e.modifie = false;
        cr = chargerFichierTables(repertoireTables);
    }
    if (cr != 0) {
        e.interfaceConstruite = false;
        e.referentiel = nullptr;
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
    etat().referentiel = nullptr;
}
