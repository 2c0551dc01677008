// The cancellation family: one handler per function number, each reading the key
// of a value and cancelling every local change of it (0xD005 when there is none).
#pragma once

#include <cstdint>

#include "consultation/Fonctions.h"

class ModificationDonnees;

class FonctionsAnnuler : public Fonctions {
public:
    FonctionsAnnuler(ZoneKPX* zoneEntree, const SuperGroupe* superGroupe, ModificationDonnees& modification);
    ~FonctionsAnnuler() override;

    // Runs the handler of that function number; 0xDFFF when the number has none.
    uint16_t executer(uint16_t numero);

    uint16_t CCAM_37();
    uint16_t CCAM_39();
    uint16_t CCAM_42();
    uint16_t CCAM_47a();
    uint16_t TB02_1();
    uint16_t TB07_1();
    uint16_t TB11();
    uint16_t TB13_1();
    uint16_t TB12();

private:
    using AnnulationPhase = uint16_t (ModificationDonnees::*)(const Code&, const Code&, const Code&);
    // A value of a phase: the act, the activity and the phase name it.
    uint16_t valeurDePhase(const char* nom, AnnulationPhase annuler);

    ModificationDonnees& modification;
};
