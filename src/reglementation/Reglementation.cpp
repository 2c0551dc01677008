#include "reglementation/Reglementation.h"

#include <cstring>

#include "consultation/LectureDonnees.h"
#include "facture/LigneCCAM.h"
#include "reglementation/OutilsRegles.h"

Reglementation::Reglementation(LectureDonnees& lectureDonnees) : Regles(lectureDonnees) {}

Reglementation::~Reglementation() = default;

namespace {

bool memeCode(const VueCode& a, const VueCode& b) {
    return a.longueur() == b.longueur() && std::memcmp(a.octets(), b.octets(), a.longueur()) == 0;
}

}  // namespace

uint16_t Reglementation::procedureCommune(const Code& acte1, const Code& acte2, const Date& date, Code& procedure) {
    VueCodes procedures1, procedures2;
    uint16_t cr = lecture.rechercherProcedures(acte1, date, procedures1);
    if (cr == 0) cr = lecture.rechercherProcedures(acte2, date, procedures2);
    procedure = cr == 0 ? procedureCommune(procedures1, procedures2).code() : Code();
    return cr;
}

// A common procedure that is blank does not end the search: a filled one further on is taken.
VueCode Reglementation::procedureCommune(const VueCodes& procedures1, const VueCodes& procedures2) {
    VueCode procedure;
    for (size_t i = 0; !regles::renseigne(procedure) && i < procedures1.nombre(); ++i) {
        const VueCode candidate = procedures1.element(i);
        for (size_t j = 0; j < procedures2.nombre(); ++j)
            if (memeCode(candidate, procedures2.element(j))) {
                procedure = candidate;
                break;
            }
    }
    return procedure;
}

uint16_t Reglementation::categoriesCompatibles(const Code& acte1, const Code& activite1, const Code& acte2,
                                               const Code& activite2, const Date& date, bool& compatibles) {
    Code categorie1, categorie2;
    ListeCodes valeurs;
    uint16_t cr = lecture.rechercherCategorieMedicale(acte1, activite1, date, categorie1);
    if (cr == 0) cr = lecture.rechercherCategorieMedicale(acte2, activite2, date, categorie2);
    if (cr == 0) cr = valeursConcept(kConceptProcedureCompatible, date, valeurs);
    compatibles = cr == 0 && valeurs.contient(categorie1) && valeurs.contient(categorie2);
    return cr;
}

uint16_t Reglementation::estAssociable(const LigneCCAM& i, const LigneCCAM& j, const Date& date, bool& associable) {
    ListeCodes actes;
    const uint16_t cr = lecture.rechercherActesCompatibles(ouVide(i.acte), ouVide(i.activite), date, actes);
    associable = cr == 0 && actes.contient(ouVide(j.acte));
    return cr;
}
