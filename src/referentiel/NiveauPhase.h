// A treatment phase of an activity: fixed data and its dated tariff versions.
// The version list is never empty once read, and is ordered newest first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "referentiel/HistoriqueNiveauPhase.h"
#include "zone/Date.h"

class Lecteur;
class Ecrivain;

class NiveauPhase {
public:
    NiveauPhase() = default;
    NiveauPhase(const NiveauPhase& autre);
    NiveauPhase& operator=(const NiveauPhase&) = delete;
    ~NiveauPhase();

    uint16_t lireNiveauPhase(Lecteur& lecteur);
    uint16_t ecrireNiveauPhase(Ecrivain& ecrivain) const;
    // The version in force at the date: the first of the list not after it.
    uint16_t chercherHistorique(const Date& dateReference, const HistoriqueNiveauPhase*& historique) const;
    void afficher(uint16_t niveau) const;

    const HistoriqueNiveauPhase* premierHistorique() const { return historiques_.get(); }
    HistoriqueNiveauPhase* premierHistorique() { return historiques_.get(); }
    std::unique_ptr<HistoriqueNiveauPhase>& teteHistoriques() { return historiques_; }
    uint16_t nombreHistoriques() const;

    char codePhase = ' ';
    std::string nombreDentsATraiter = "  ";  // 2 characters
    uint16_t ageMinimum = 0;
    uint16_t ageMaximum = 0;
    std::vector<std::string> dentsIncompatibles;  // 2 characters each

private:
    std::unique_ptr<HistoriqueNiveauPhase> historiques_;
};
