// One dated version of a phase's tariff data, in a list owned from head to tail,
// newest effective date first; the modification layer inserts versions into it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "zone/Date.h"

class Lecteur;
class Ecrivain;

// The unit price of the phase for one tariff grid.
struct PrixGrille {
    uint16_t codeGrille = 0;
    double prixUnitaire = 0.0;
};

class HistoriqueNiveauPhase {
public:
    HistoriqueNiveauPhase() = default;
    // Copies this version and every later one of the list.
    HistoriqueNiveauPhase(const HistoriqueNiveauPhase& autre);
    HistoriqueNiveauPhase& operator=(const HistoriqueNiveauPhase&) = delete;
    ~HistoriqueNiveauPhase();
    // A copy of this version alone, without the later ones (a new head to link in front).
    std::unique_ptr<HistoriqueNiveauPhase> copierVersion() const;

    uint16_t lireHistorique(Lecteur& lecteur);
    uint16_t ecrireHistorique(Ecrivain& ecrivain) const;
    void afficher(uint16_t niveau) const;

    const HistoriqueNiveauPhase* suivant() const { return suivant_.get(); }
    HistoriqueNiveauPhase* suivant() { return suivant_.get(); }
    std::unique_ptr<HistoriqueNiveauPhase>& lienSuivant() { return suivant_; }

    Date dateEffet;
    double prixUnitaireBase = 0.0;
    double supplementCharge = 0.0;
    double majorationsDOM[4] = {0.0, 0.0, 0.0, 0.0};  // DOM1 to DOM4
    std::vector<PrixGrille> grilles;

private:
    // The version's own fields, and the later versions when avecSuite.
    HistoriqueNiveauPhase(const HistoriqueNiveauPhase& autre, bool avecSuite);

    std::unique_ptr<HistoriqueNiveauPhase> suivant_;
};
