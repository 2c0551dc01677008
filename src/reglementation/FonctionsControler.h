// The control family: one handler per function number, each reading its input
// fields and running one combined control of the regulatory rules, whose answer
// fills the yes/no result of the call.
#pragma once

#include <cstdint>

#include "consultation/Fonctions.h"
#include "zone/Booleen.h"
#include "zone/Date.h"

class LectureDonnees;
class Reglementation;

class FonctionsControler : public Fonctions {
public:
    FonctionsControler(const Date& dateReference, ZoneKPX* zoneEntree, const SuperGroupe* superGroupe,
                       Reglementation& reglementation);
    ~FonctionsControler() override;

    // Runs the handler of that function number; 0xDFFF when the number has none.
    uint16_t executer(uint16_t numero, Booleen& resultat);
    // One call of the family over an opened reader.
    static uint16_t controler(LectureDonnees& lecture, const SuperGroupe* racine, uint16_t numero,
                              const Date& dateReference, ZoneKPX* entree, Booleen& resultat);

    using Gestionnaire = uint16_t (FonctionsControler::*)(Booleen&);

    uint16_t C_Age_1(Booleen& resultat);
    uint16_t C_Age_2(Booleen& resultat);
    uint16_t C_Assurance(Booleen& resultat);
    uint16_t C_Ccam(Booleen& resultat);
    uint16_t C_Executant(Booleen& resultat);
    uint16_t C_Radio(Booleen& resultat);
    uint16_t C_ForfaitCMU(Booleen& resultat);

private:
    Date dateReference;
    Reglementation& reglementation;
};
