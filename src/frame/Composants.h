// Binding of the two sibling components from the library's own directory.
// Either both are bound with all their entries, or none is and the failure
// code (0xF6F5 session-zone, 0xF6F6 common services) is kept.
#pragma once

#include <cstdint>
#include <string>

#include "components/bfhw32/bfhw32.h"
#include "components/dlnw32/dlnw32.h"

class Composants {
public:
    // Directory the siblings are loaded from; set at load from the module path.
    static void definirRepertoire(const std::string& repertoire);
    static std::string repertoire();

    // Binds both components; releases everything on the first failure.
    static uint16_t lier();
    static void delier();
    // 0 when bound; the kept error when there is one; otherwise one new attempt.
    static uint16_t verifierALaDemande();

    static bool sontCharges();
    static uint16_t erreur();

    static LN_usSetFichierKoral_t setFichierKoral();
    static LN_ulLireChaineKoral_t lireChaineKoral();
    static LN_usEcrireVersionComposant_t ecrireVersionComposant();
    static LN_usActiverTrace_t activerTrace();
    static LN_TraceEcrire_t traceEcrire();
    // Null when the bound component does not tell its trace level.
    static LN_usNiveauTrace_t niveauTrace();
    static LN_ArretTraces_t arretTraces();
    static BFH_LireZoneIn_t lireZoneIn();
    static BFH_EcrireZoneOut_t ecrireZoneOut();
};
