// A CCAM act as read from its record in the table file: fixed data, dated
// versions (newest first) and its activities in ascending order of their code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "referentiel/HistoriqueNiveauActe.h"
#include "referentiel/NiveauActivite.h"
#include "zone/Date.h"

class Lecteur;
class Ecrivain;

class NiveauActe {
public:
    NiveauActe() = default;
    NiveauActe(const NiveauActe& autre);
    NiveauActe& operator=(const NiveauActe&) = delete;
    ~NiveauActe();

    // Reads the record at the reader's position, with its activities and phases.
    uint16_t lireNiveauActe(Lecteur& lecteur);
    uint16_t ecrireNiveauActe(Ecrivain& ecrivain) const;
    // 0xD002 when no activity has that code.
    uint16_t chercherActivite(char codeActivite, NiveauActivite*& activite) const;
    uint16_t chercherHistorique(const Date& dateReference, const HistoriqueNiveauActe*& historique) const;
    void afficher(uint16_t niveau) const;

    const HistoriqueNiveauActe* premierHistorique() const { return historiques_.get(); }
    HistoriqueNiveauActe* premierHistorique() { return historiques_.get(); }
    std::unique_ptr<HistoriqueNiveauActe>& teteHistoriques() { return historiques_; }
    uint16_t nombreHistoriques() const;
    const std::vector<std::unique_ptr<NiveauActivite>>& activites() const { return activites_; }
    // Keeps the ascending order of activity codes.
    void ajouterActivite(std::unique_ptr<NiveauActivite> activite);

    std::string codeStructure = std::string(13, ' ');
    std::string libelleCourt;
    std::string libelleLong;
    char typeActe = ' ';
    std::string conditionsGenerales;
    std::string notes;
    char sexeCompatible = ' ';
    uint32_t codeMenu = 0;
    Date dateCreation;
    Date dateFin;
    char fraisDeplacement = ' ';
    std::vector<std::string> naturesAssurance;  // 2 characters each

private:
    std::unique_ptr<HistoriqueNiveauActe> historiques_;
    std::vector<std::unique_ptr<NiveauActivite>> activites_;
};
