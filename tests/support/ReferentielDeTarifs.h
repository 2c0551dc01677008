// A référentiel for the tariff rule tests, written with the fixture builder (load it
// with ReferentielDeRegles(nom, remplirTarifs)). Grid 1 only; 2 price-changing
// modifiers: K rate 1.2, J 1.1, M 1.5, F a lump sum of 10.00. Tariff rule B 0.50
// (rule X, named by an association, is absent); unplanned association 1 at 0.50. Non-contracted
// practitioners: rate 0.20 until 2019, a lump sum of 20.00 from 2020. Thresholds
// 120 / 126 / 124 / 130. Exoneration concepts: 13 "1", 14 "2", 15 "3", 16 "4",
// 17 "5", 22 "6"; act types without reduction (1) "2"; admission codes 6 "6", 7 "7".
// Every reporting tariff rule has its information: label "L" + rule, message
// "<rule> %s".
#pragma once

#include "support/ConstructeurReferentiel.h"

// Acts, price in grid 1 (exoneration codes):
// PRIX001 100.00 (1), supplement 4.00, overseas 1.05 1.05 1.10 1.08, associable with
//   PRIX002 by rule B and with PRIX003 by rule X;
// PRIX002 221.18 (1), associable with PRIX001 by rule B; PRIX003 50.00 (0);
// CHER001 10000.00 (0), overseas 1.05; GEST001 500.00, type 2 (0);
// NREM001 300.00, admission 6 (0); EXCP001 80.00, admission 7 (0);
// EXO2001 (2), EXO3001 (3), EXO4001 (4), PREV001 (5), PREV002 (0, 5), REFU001 (6),
// every one of them at 100.00.
void remplirTarifs(ConstructeurReferentiel& constructeur);
