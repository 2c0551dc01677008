// The modification family: one handler per function number, each reading its input
// fields, checking them (the effective date against the act, the grid chosen at the
// effective date, the overseas position, the grouping code), then making one change
// through the writer with its record.
#pragma once

#include <cstdint>

#include "consultation/Fonctions.h"
#include "zone/Date.h"

class ModificationDonnees;

class FonctionsModifier : public Fonctions {
public:
    FonctionsModifier(const Date& dateEffet, ZoneKPX* zoneEntree, const SuperGroupe* superGroupe,
                      ModificationDonnees& modification);
    ~FonctionsModifier() override;

    // Runs the handler of that function number; 0xDFFF when the number has none.
    uint16_t executer(uint16_t numero);

    uint16_t CCAM_37();
    uint16_t CCAM_39();
    uint16_t CCAM_42();
    uint16_t CCAM_47a();
    uint16_t TB02_1();
    uint16_t TB07_1();
    uint16_t TB11_1();
    uint16_t TB11_2();
    uint16_t TB12_1();
    uint16_t TB12_2();
    uint16_t TB13_1();

private:
    using ChangementParGrille = uint16_t (ModificationDonnees::*)(const Code&, const Date&, const Nombre&, double,
                                                                  bool);
    using ChangementDate = uint16_t (ModificationDonnees::*)(const Date&, double, bool);

    // A value keyed by a code, for the grid the contexts choose at the effective date.
    template <class Valeur>
    uint16_t valeurParGrille(const char* nom, ChangementParGrille changer);
    // A value of the non-contracted practitioners.
    template <class Valeur>
    uint16_t valeurNonConventionnes(const char* nom, ChangementDate changer);
    // The effective date within the act's life, both bounds allowed; 0xD004 otherwise.
    void controlerDateEffet(uint16_t& cr, const Code* acte);
    Nombre grille(uint16_t& cr, const Nombre* ps, const Nombre* bs);

    Date dateEffet;
    ModificationDonnees& modification;
};
