// Invoices for the model and rule tests: lines built in one call each, and an
// error record read back as one line of text.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "facture/Erreur.h"
#include "facture/Facture.h"
#include "facture/LigneCCAM.h"

namespace facture {

inline std::unique_ptr<LigneActe> ligneActe(int32_t numero, const Date& date, const char* prestation = "C",
                                            uint32_t type = LigneActe::kActe) {
    std::unique_ptr<LigneActe> ligne(new LigneActe);
    ligne->typeLigne = type;
    ligne->numero = Nombre(numero);
    ligne->date = Date(date);
    ligne->prestation = Code(prestation);
    ligne->numeroPS = Code("P1");
    return ligne;
}

// A CCAM line of practitioner P1; an empty association code is none.
inline std::unique_ptr<LigneCCAM> ligneCCAM(int32_t numero, const Date& date, const char* acte,
                                            const char* codeAssociation = "",
                                            std::initializer_list<const char*> modificateurs = {},
                                            const char* activite = "1", const char* numeroPS = "P1") {
    std::unique_ptr<LigneCCAM> ligne(new LigneCCAM(*ligneActe(numero, date, "ADC")));
    ligne->acte = Code(acte);
    ligne->activite = Code(activite);
    ligne->phase = Code("0");
    ligne->numeroPS = Code(numeroPS);
    if (*codeAssociation != '\0') ligne->codeAssociation = Code(codeAssociation);
    for (const char* m : modificateurs) ligne->modificateurs.ajouter(Code(m));
    return ligne;
}

// "PROD240/O/LPROD240/Prestations 1 et 2 : X et Y/1,2/A"; empty when the record is not set.
inline std::string decrire(const Erreur& erreur) {
    if (!erreur.estPositionnee()) return std::string();
    std::string lignes;
    for (uint16_t i = 0; i < erreur.prestations.nombre(); ++i)
        lignes += (i > 0 ? "," : "") + std::to_string(erreur.prestations.element(i).valeur());
    return std::string(erreur.codeRegle().chaine()) + "/" + erreur.outrePassable().chaine() + "/" +
           erreur.libelle().chaine() + "/" + erreur.message.chaine() + "/" + lignes + "/" +
           erreur.indicateurForcage().chaine();
}

}  // namespace facture
