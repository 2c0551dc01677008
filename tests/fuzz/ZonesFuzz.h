// Input zones made from a function's own description: its groups in the order of the
// tree, each field a value the sample knows or bytes taken as they come. The fuzz
// targets build their zones this way, their seeds are written the same way, and the
// corruption test calls every function of a damaged référentiel with them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CodageZone.h"
#include "consultation/Interface.h"
#include "zone/Date.h"
#include "zone/SuperGroupe.h"

namespace zonesfuzz {

// Values the sample knows, so that the functions and rules are reached and not only the
// field checks. New entries go at the end: a corpus names values by their rank.
const char* const kValeurs[] = {
    "",        "1",        "2",        "0",        "4",        "20240101", "20190601", "HBGD035", "AHQP001",
    "QZFA014", "HHFA011",  "HHFA016",  "AAQP012",  "QZFA036",  "HBQD001",  "DZEA001",  "ZZZZ999", "JAFA002",
    "JAFC019", "HBMD049",  "K",        "J",        "M",        "C",        "N",        "O",       "36",
    "51",      "001",      "973",      "10000",    "2508",     "70",       "100",      "PROD500", "PROD510",
    "PROD870", "PROD550",  "12345678", "3",        "IK",       "CHIR001",  "DENT001",  "MZQK002", "F",
    "U",       "972",      "971",      "5000",     "1200",     "1100",     "ADC",      "ADZ",     "Actes locaux",
    "20000101", "20231220", "AS",      "AT",       "01",       "02",       "R1",       "CM1",     "20250101"};
constexpr size_t kNombreValeurs = sizeof kValeurs / sizeof kValeurs[0];

// Every group of the tree once, in the order of the description.
inline void groupesDe(const SuperGroupe& racine, std::vector<const Groupe*>& groupes) {
    for (uint16_t i = 0; i < racine.nombreFils(); ++i) {
        const OccurrenceGroupe& fils = racine.fils(i);
        if (fils.estSuperGroupe()) groupesDe(*fils.superGroupe, groupes);
        else if (fils.groupe != nullptr) groupes.push_back(fils.groupe);
    }
}

inline std::vector<const Groupe*> groupesDe(const SuperGroupe& racine) {
    std::vector<const Groupe*> groupes;
    groupesDe(racine, groupes);
    return groupes;
}

// From the fuzzer's bytes, group after group: a byte picks a group of the function, then
// a byte per field picks a known value or, from 0xF0, takes that many next bytes as they are.
inline std::string construire(const std::vector<const Groupe*>& forme, const uint8_t* data, size_t size) {
    std::vector<GroupeZone> groupes;
    size_t i = 0;
    const auto octet = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    while (i < size && !forme.empty()) {
        const Groupe& g = *forme[octet() % forme.size()];
        GroupeZone groupe;
        groupe.groupe = g.numero();
        for (uint16_t c = 0; c < g.nombreChamps(); ++c) {
            const uint8_t choix = octet();
            if (choix < 0xF0) {
                groupe.champs.emplace_back(kValeurs[choix % kNombreValeurs]);
            } else {
                std::string brut;
                for (int n = choix & 0x0F; n > 0 && i < size; --n) brut += static_cast<char>(octet());
                groupe.champs.push_back(brut);
            }
        }
        groupes.push_back(groupe);
    }
    return coderZone(groupes);
}

// The bytes that make construire give these groups back (each group of the function's form).
inline std::string octetsDeConstruction(const std::vector<const Groupe*>& forme, const std::vector<GroupeZone>& groupes) {
    std::string octets;
    for (const GroupeZone& g : groupes) {
        size_t rang = 0;
        while (rang < forme.size() && forme[rang]->numero() != g.groupe) ++rang;
        octets += static_cast<char>(rang);
        for (const std::string& champ : g.champs) {
            size_t v = 0;
            while (v < kNombreValeurs && champ != kValeurs[v]) ++v;
            if (v < kNombreValeurs) {
                octets += static_cast<char>(v);
            } else {
                const std::string coupe = champ.substr(0, 15);
                octets += static_cast<char>(0xF0 | coupe.size());
                octets += coupe;
            }
        }
    }
    return octets;
}

// A function of the family and its input zone: the low bits of choix pick the function in
// the family's range of the description, the high bit takes the bytes as the zone itself
// instead of building it in the function's groups.
struct Appel {
    const SuperGroupe* racine = nullptr;
    std::string zone;
};

inline Appel appelDe(const Interface& interface, Interface::Famille famille, uint8_t choix, const uint8_t* data,
                     size_t size) {
    Appel appel;
    const uint16_t debut = interface.debutFamille(famille);
    const uint16_t nombre = static_cast<uint16_t>(interface.finFamille(famille) - debut);
    if (nombre == 0) return appel;
    appel.racine = interface.racine(static_cast<uint16_t>(debut + (choix & 0x7F) % nombre));
    appel.zone = (choix & 0x80) ? std::string(reinterpret_cast<const char*>(data), size)
                                : construire(groupesDe(*appel.racine), data, size);
    return appel;
}

// Three bytes as a date from 1990 to 2039, always valid (an export refuses the others).
inline Date dateDe(const uint8_t* octets) {
    const unsigned annee = 1990 + octets[0] % 50;
    const unsigned mois = 1 + octets[1] % 12;
    const bool bissextile = annee % 4 == 0 && (annee % 100 != 0 || annee % 400 == 0);
    const unsigned jours[] = {31, bissextile ? 29u : 28u, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Date(static_cast<uint16_t>(annee), static_cast<uint8_t>(mois),
                static_cast<uint8_t>(1 + octets[2] % jours[mois - 1]));
}

// The bytes dateDe reads as that date.
inline std::string octetsDeDate(uint16_t annee, uint8_t mois, uint8_t jour) {
    return {static_cast<char>(annee - 1990), static_cast<char>(mois - 1), static_cast<char>(jour - 1)};
}

// What each single-value group carries for a call to succeed on the sample, first choice first.
struct ValeursGroupe {
    uint16_t groupe;
    std::vector<std::vector<std::string>> choix;
};
const ValeursGroupe kValeursGroupes[] = {
    {3001, {{"AHQP001"}, {"CHIR001"}, {"DENT001"}}},
    {3002, {{"1"}}},
    {3003, {{""}, {"0"}}},
    {3004, {{"1", "1"}}},
    {3005, {{"F"}, {"U"}}},
    {3006, {{"972"}, {"971"}, {"001"}}},
    {3007, {{"3"}}},
    {3008, {{"5000"}}},
    {3009, {{"1200"}}},
    {3010, {{"1100"}}},
    {3011, {{"ADC"}, {"ADZ"}}},
    {3012, {{"Actes locaux"}}},
    {3013, {{"20000101"}, {"20231220"}}},
    {3014, {{"AS"}}},
    {3015, {{"02"}, {"01"}}},
    {3016, {{"C"}}},
    {3017, {{"R1"}}},
    {3018, {{"CM1"}}},
};

// The choices for one group: its known values, else for each field the first known value
// (not empty when possible) that the field's description accepts.
inline std::vector<std::vector<std::string>> choixGroupe(const Groupe& g) {
    for (const ValeursGroupe& v : kValeursGroupes)
        if (v.groupe == g.numero() && v.choix.front().size() == g.nombreChamps()) return v.choix;
    std::vector<std::string> champs;
    for (uint16_t c = 0; c < g.nombreChamps(); ++c) {
        const Champ& champ = g.champ(c);
        std::string retenu;
        for (size_t v = 1; v <= kNombreValeurs; ++v) {
            const std::string valeur = kValeurs[v % kNombreValeurs];  // the empty value last
            if (champ.controler(reinterpret_cast<const uint8_t*>(valeur.data()),
                                static_cast<uint32_t>(valeur.size())) == 0) {
                retenu = valeur;
                break;
            }
        }
        champs.push_back(retenu);
    }
    return {champs};
}

// One zone of the function: each group of its form once, the choice of rank rangs[k] for
// group k (taken modulo its choices); the ranks in an odometer reach every combination.
inline std::vector<GroupeZone> zoneDe(const std::vector<const Groupe*>& forme, const std::vector<size_t>& rangs) {
    std::vector<GroupeZone> groupes;
    for (size_t k = 0; k < forme.size(); ++k) {
        const auto choix = choixGroupe(*forme[k]);
        GroupeZone g;
        g.groupe = forme[k]->numero();
        g.champs = choix[(k < rangs.size() ? rangs[k] : 0) % choix.size()];
        groupes.push_back(g);
    }
    return groupes;
}

}  // namespace zonesfuzz
