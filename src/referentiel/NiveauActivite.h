// An activity of an act: fixed data, dated versions (newest first) and its phases.
// Phases are kept in ascending order of their code, which the phase search relies on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "referentiel/HistoriqueNiveauActivite.h"
#include "referentiel/NiveauPhase.h"
#include "zone/Date.h"

class Lecteur;
class Ecrivain;

class NiveauActivite {
public:
    NiveauActivite() = default;
    NiveauActivite(const NiveauActivite& autre);
    NiveauActivite& operator=(const NiveauActivite&) = delete;
    ~NiveauActivite();

    uint16_t lireNiveauActivite(Lecteur& lecteur);
    uint16_t ecrireNiveauActivite(Ecrivain& ecrivain) const;
    // 0xD002 when no phase has that code.
    uint16_t chercherNiveauPhase(char codePhase, NiveauPhase*& phase) const;
    uint16_t chercherHistorique(const Date& dateReference, const HistoriqueNiveauActivite*& historique) const;
    void afficher(uint16_t niveau) const;

    const HistoriqueNiveauActivite* premierHistorique() const { return historiques_.get(); }
    HistoriqueNiveauActivite* premierHistorique() { return historiques_.get(); }
    std::unique_ptr<HistoriqueNiveauActivite>& teteHistoriques() { return historiques_; }
    uint16_t nombreHistoriques() const;
    const std::vector<std::unique_ptr<NiveauPhase>>& phases() const { return phases_; }
    // Keeps the ascending order of phase codes.
    void ajouterPhase(std::unique_ptr<NiveauPhase> phase);

    char codeActivite = ' ';
    std::vector<std::string> typesAgrementRadio;  // 2 characters each
    std::vector<std::string> rmo;                 // 5 characters each
    std::vector<char> codesExtensionDocumentaire;

private:
    std::unique_ptr<HistoriqueNiveauActivite> historiques_;
    std::vector<std::unique_ptr<NiveauPhase>> phases_;
};
