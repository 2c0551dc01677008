// A référentiel for the rule tests, written with the fixture builder: acts made to
// break or pass each regulatory rule, their modifiers, concepts, specialities, the
// rule information (label "L" + rule, the message formats below), rule references
// "RG" + rule, the rules PROD500 makes unverifiable and the forcing indicators
// G 1, R 2, S 3, A 4, B 5, with A over B giving E.
#pragma once

#include <memory>
#include <string>

#include "consultation/LectureDonnees.h"
#include "referentiel/Referentiel.h"
#include "support/ConstructeurReferentiel.h"

// Act codes of the fixture:
// AAAA001 the plain act (type 0, category 01, grouping ADC, natures "10");
// ACTE001 created 2005-01-01, ended 2010-12-31;
// CHIR001 type 2, category 02, procedure PROC01, incompatible with CHIR003, associable
//   with CHIR002 and CHIR004, prior agreement, natures AS and MA, radio approval R1,
//   modifiers F and U, class 02, CMU CM1, travel expenses "1";
// CHIR002 type 1 (complementary), category 03, procedure PROC01, admission 6;
// CHIR003 category 02, procedure PROC01, admission 7;
// CHIR004 category 02, no procedure;
// DENT001 category 05 (dental), associable with DENT002; phase 0: 2 teeth, ages 3 to
//   60, tooth 11 refused; phase 1: "00" teeth; phase 2: "17" teeth;
// DENT002 category 05.
void remplirRegles(ConstructeurReferentiel& constructeur);

// The fixture written into a fresh directory and loaded, with an open reader.
class ReferentielDeRegles {
public:
    // remplir gives the content; the rule fixture by default.
    explicit ReferentielDeRegles(const std::string& nom, void (*remplir)(ConstructeurReferentiel&) = remplirRegles);
    ~ReferentielDeRegles();
    ReferentielDeRegles(const ReferentielDeRegles&) = delete;
    ReferentielDeRegles& operator=(const ReferentielDeRegles&) = delete;

    bool pret() const { return pret_; }
    LectureDonnees& lecture() { return lecture_; }
    Referentiel& referentiel() { return referentiel_; }

private:
    RepertoireTemporaire repertoire_;
    Referentiel referentiel_;
    LectureDonnees lecture_{&referentiel_};
    bool pret_ = false;
};
