// Loads the session-zone component first, then the common-services one, and
// resolves every entry by its exact name.
#include "frame/Composants.h"

#include "KPXW32.h"
#include "frame/Plateforme.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kLongueurCheminMax = 260;

struct Liaisons {
    char repertoire[kLongueurCheminMax] = {};
    bool charges = false;
    uint16_t erreur = 0;
    void* bfh = nullptr;
    void* dln = nullptr;
    BFH_EcrireZoneOut_t ecrireZoneOut = nullptr;
    BFH_LireZoneIn_t lireZoneIn = nullptr;
    LN_usSetFichierKoral_t setFichierKoral = nullptr;
    LN_ulLireChaineKoral_t lireChaineKoral = nullptr;
    LN_usEcrireVersionComposant_t ecrireVersionComposant = nullptr;
    LN_usActiverTrace_t activerTrace = nullptr;
    LN_TraceEcrire_t traceEcrire = nullptr;
    LN_ArretTraces_t arretTraces = nullptr;
    LN_usNiveauTrace_t niveauTrace = nullptr;  // optional: another component may not have it
};

// Trivially destructible on purpose: the unload notification may come after
// the static destructors of the library have run.
Liaisons instanceLiaisons;

Liaisons& liaisons() { return instanceLiaisons; }

void* chargerComposant(const char* nom) {
    auto& l = liaisons();
    std::string chemin = std::string(l.repertoire) + Plateforme::separateur + Plateforme::nomBibliotheque(nom);
    if (chemin.size() >= kLongueurCheminMax) return nullptr;
    return Plateforme::chargerBibliotheque(chemin);
}

template <typename F>
bool resoudre(void* bibliotheque, const char* nom, F& entree) {
    entree = reinterpret_cast<F>(Plateforme::symbole(bibliotheque, nom));
    return entree != nullptr;
}

bool lierSession() {
    auto& l = liaisons();
    l.bfh = chargerComposant("bfhw32");
    return l.bfh != nullptr && resoudre(l.bfh, "BFH_EcrireZoneOut", l.ecrireZoneOut) &&
           resoudre(l.bfh, "BFH_LireZoneIn", l.lireZoneIn);
}

bool lierServices() {
    auto& l = liaisons();
    l.dln = chargerComposant("dlnw32");
    return l.dln != nullptr && resoudre(l.dln, "LN_usSetFichierKoral", l.setFichierKoral) &&
           resoudre(l.dln, "LN_ulLireChaineKoral", l.lireChaineKoral) &&
           resoudre(l.dln, "LN_usEcrireVersionComposant", l.ecrireVersionComposant) &&
           resoudre(l.dln, "LN_usActiverTrace", l.activerTrace) &&
           resoudre(l.dln, "LN_TraceEcrire", l.traceEcrire) && resoudre(l.dln, "LN_ArretTraces", l.arretTraces) &&
           (resoudre(l.dln, "LN_usNiveauTrace", l.niveauTrace) || true);
}

void toutDelier() {
    auto& l = liaisons();
    Plateforme::libererBibliotheque(l.dln);
    Plateforme::libererBibliotheque(l.bfh);
    Liaisons vide;
    std::memcpy(vide.repertoire, l.repertoire, sizeof vide.repertoire);
    vide.erreur = l.erreur;
    l = vide;
}

}  // namespace

// A directory too long for the buffer cannot hold the components anyway: it is cut,
// and the full path then fails the length check.
void Composants::definirRepertoire(const std::string& repertoire) {
    auto& l = liaisons();
    std::size_t n = std::min(repertoire.size(), sizeof l.repertoire - 1);
    std::memcpy(l.repertoire, repertoire.data(), n);
    l.repertoire[n] = '\0';
}

std::string Composants::repertoire() { return liaisons().repertoire; }

uint16_t Composants::lier() {
    auto& l = liaisons();
    if (l.charges) return KPX_OK;
    uint16_t cr = KPX_OK;
    if (!lierSession())
        cr = KPX_CR_COMPOSANT_SESSION;
    else if (!lierServices())
        cr = KPX_CR_COMPOSANT_SERVICES;
    l.erreur = cr;
    if (cr != KPX_OK) {
        toutDelier();
        return cr;
    }
    l.charges = true;
    return KPX_OK;
}

void Composants::delier() {
    liaisons().erreur = 0;
    toutDelier();
}

uint16_t Composants::verifierALaDemande() {
    auto& l = liaisons();
    if (l.charges) return KPX_OK;
    if (l.erreur != 0) return l.erreur;
    return lier();
}

bool Composants::sontCharges() { return liaisons().charges; }
uint16_t Composants::erreur() { return liaisons().erreur; }
LN_usSetFichierKoral_t Composants::setFichierKoral() { return liaisons().setFichierKoral; }
LN_ulLireChaineKoral_t Composants::lireChaineKoral() { return liaisons().lireChaineKoral; }
LN_usEcrireVersionComposant_t Composants::ecrireVersionComposant() { return liaisons().ecrireVersionComposant; }
LN_usActiverTrace_t Composants::activerTrace() { return liaisons().activerTrace; }
LN_TraceEcrire_t Composants::traceEcrire() { return liaisons().traceEcrire; }
LN_usNiveauTrace_t Composants::niveauTrace() { return liaisons().niveauTrace; }
LN_ArretTraces_t Composants::arretTraces() { return liaisons().arretTraces; }
BFH_LireZoneIn_t Composants::lireZoneIn() { return liaisons().lireZoneIn; }
BFH_EcrireZoneOut_t Composants::ecrireZoneOut() { return liaisons().ecrireZoneOut; }
