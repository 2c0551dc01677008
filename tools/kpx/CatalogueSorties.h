// What the output groups hold and which groups each function writes: the interface
// tables describe inputs only, so the host keeps this knowledge itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

enum class NatureChamp { Code, Texte, Nombre, Date, Montant, Coefficient, Booleen };

struct ChampSortie {
    const char* nom;
    NatureChamp nature;
};

struct GroupeSortie {
    uint16_t groupe;
    const char* nom;
    std::vector<ChampSortie> champs;
    bool dernierRepete;  // the last field repeats (a count usually comes first)
};

// Null for a group the catalogue does not know.
const GroupeSortie* groupeSortie(uint16_t groupe);

struct SortiesFonction {
    std::vector<uint16_t> groupes;
    std::string texte;  // when and how often each group is written
};

// famille: consultation, modification, annulation, controle, regle, complet.
SortiesFonction sortiesFonction(const std::string& famille, const std::string& identifiant);

// Field bytes as a person reads them ("4500" as an amount: "45.00 EUR") and as JSON.
std::string valeurLisible(NatureChamp nature, const std::string& octets);
nlohmann::ordered_json valeurJson(NatureChamp nature, const std::string& octets);

// "montant: 45.00 EUR" for each field, by the group's names; unknown groups list their fields.
std::string groupeLisible(uint16_t groupe, const std::vector<std::string>& champs);
nlohmann::ordered_json valeursJson(uint16_t groupe, const std::vector<std::string>& champs);
