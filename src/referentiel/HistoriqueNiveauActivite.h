// One dated version of an activity's data, in a list owned from head to tail,
// newest effective date first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zone/Date.h"

class Lecteur;
class Ecrivain;

// An act this activity may be associated with, and the tariff rule of that association.
struct AssociationActivite {
    std::string codeActe;  // 13 characters
    char codeRegleTarifaire = ' ';
};

class HistoriqueNiveauActivite {
public:
    HistoriqueNiveauActivite() = default;
    // Copies this version and every later one of the list.
    HistoriqueNiveauActivite(const HistoriqueNiveauActivite& autre);
    HistoriqueNiveauActivite& operator=(const HistoriqueNiveauActivite&) = delete;
    ~HistoriqueNiveauActivite();
    // A copy of this version alone, without the later ones (a new head to link in front).
    std::unique_ptr<HistoriqueNiveauActivite> copierVersion() const;

    uint16_t lireHistorique(Lecteur& lecteur);
    uint16_t ecrireHistorique(Ecrivain& ecrivain) const;
    void afficher(uint16_t niveau) const;

    const HistoriqueNiveauActivite* suivant() const { return suivant_.get(); }
    HistoriqueNiveauActivite* suivant() { return suivant_.get(); }
    std::unique_ptr<HistoriqueNiveauActivite>& lienSuivant() { return suivant_; }

    Date dateEffet;
    std::string categorieMedicale = "  ";   // 2 characters
    std::string codeRegroupement = "   ";   // 3 characters
    std::vector<char> modificateurs;
    std::vector<std::string> classesSpecialite;  // 2 characters each
    std::vector<AssociationActivite> associations;

private:
    // The version's own fields, and the later versions when avecSuite.
    HistoriqueNiveauActivite(const HistoriqueNiveauActivite& autre, bool avecSuite);

    std::unique_ptr<HistoriqueNiveauActivite> suivant_;
};
