// One dated version of an act's data. Versions form a singly linked list that
// each version owns from its successor on, newest effective date first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zone/Date.h"

class Lecteur;
class Ecrivain;

// A CMU package an act is compatible with, between two dates (end open when absent).
struct ForfaitCMU {
    std::string codeForfait;  // 3 characters
    Date dateDebutValidite;
    Date dateFinValidite;
};

class HistoriqueNiveauActe {
public:
    HistoriqueNiveauActe() = default;
    // Copies this version and every later one of the list.
    HistoriqueNiveauActe(const HistoriqueNiveauActe& autre);
    HistoriqueNiveauActe& operator=(const HistoriqueNiveauActe&) = delete;
    ~HistoriqueNiveauActe();

    uint16_t lireHistorique(Lecteur& lecteur);
    uint16_t ecrireHistorique(Ecrivain& ecrivain) const;
    void afficher(uint16_t niveau) const;

    const HistoriqueNiveauActe* suivant() const { return suivant_.get(); }
    HistoriqueNiveauActe* suivant() { return suivant_.get(); }
    std::unique_ptr<HistoriqueNiveauActe>& lienSuivant() { return suivant_; }

    Date dateEffet;
    char admissionRemboursement = ' ';
    char ententePrealable = ' ';
    std::vector<char> codesETM;
    std::vector<std::string> procedures;         // 13 characters each
    std::vector<std::string> actesIncompatibles;  // 13 characters each
    std::vector<ForfaitCMU> forfaitsCMU;

private:
    std::unique_ptr<HistoriqueNiveauActe> suivant_;
};
