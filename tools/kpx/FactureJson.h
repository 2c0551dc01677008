// An invoice written as a person writes it (docs/kpx.md, "The invoice format") and the
// input zone of the complete control it stands for. Every fault names its field, as
// "lignes[2].acte: missing"; what the JSON cannot say wrong is left to the library.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "CodageZone.h"

// What is shown of each line beside the library's answer.
struct LigneFacture {
    int numero = 0;
    std::string type;  // acte, ccam, deplacement, kilometres
    std::string date;  // YYYYMMDD
    std::string prestation;
    std::string acte;
};

struct FactureJson {
    std::vector<GroupeZone> groupes;
    std::vector<LigneFacture> lignes;
};

// False with the faulty field and the fault in erreur.
bool lireFacture(const nlohmann::json& json, FactureJson& facture, std::string& erreur);
