// Process-wide state of the library between calls: the loaded référentiel,
// whether the interface description is built, and the modified flag.
// "Loaded" means both a référentiel and a built description exist.
#pragma once

#include <cstdint>
#include <memory>

class Interface;
class Referentiel;

class Bibliotheque {
public:
    static constexpr const char* kVersionLogicielle = "0302";
    static constexpr const char* kVersionReferentielMinimale = "1000";

    static bool estCharge();
    static Referentiel* referentiel();
    // The interface description, built by the load and released with the référentiel.
    static Interface& interface();
    static bool referentielModifie();
    static void marquerModifie(bool modifie);

    // Steps of KPX_InitLIB2 after the configuration file was handed over.
    static uint16_t chargerReferentiel();
    static void verifierReferentiel(uint16_t& cr);
    // KPX_InitTrace, also run by the load when the configuration asks for it.
    static uint16_t initialiserTrace(const char* parametreTrace);
    // KPX_TermLIB once a référentiel is loaded: the writer place first, so that nothing
    // is released while anyone holds the référentiel (0xDF01); then the trace stops and
    // the description and the référentiel are released.
    static uint16_t terminer();
    // Releases the description and the référentiel.
    static void liberer();
};
