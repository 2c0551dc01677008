// Zone bytes, both ways; a length of exactly 255, 65535 or 16777215 takes the longer form.
#include "CodageZone.h"

uint32_t nbOctetsLongueur(uint32_t longueur) {
    if (longueur < 128) return 1;
    if (longueur < 255) return 2;
    if (longueur < 65535) return 3;
    if (longueur < 16777215) return 4;
    return 5;
}

void coderLongueur(uint32_t longueur, std::string& octets) {
    const uint32_t taille = nbOctetsLongueur(longueur);
    if (taille == 1) {
        octets.push_back(static_cast<char>(longueur));
        return;
    }
    octets.push_back(static_cast<char>(0x80 | (taille - 1)));
    for (uint32_t i = taille - 1; i > 0; --i) octets.push_back(static_cast<char>((longueur >> (8 * (i - 1))) & 0xFF));
}

std::string coderZone(const std::vector<GroupeZone>& groupes) {
    std::string zone;
    for (const GroupeZone& groupe : groupes) {
        std::string contenu;
        for (const std::string& champ : groupe.champs) {
            coderLongueur(static_cast<uint32_t>(champ.size()), contenu);
            contenu += champ;
        }
        zone.push_back(static_cast<char>(groupe.groupe >> 8));
        zone.push_back(static_cast<char>(groupe.groupe & 0xFF));
        coderLongueur(static_cast<uint32_t>(contenu.size()), zone);
        zone += contenu;
    }
    return zone;
}

namespace {

// A first byte up to 0x80 is the length itself; above, its low bits count the bytes that follow.
bool lireLongueur(const std::string& octets, size_t& position, size_t fin, uint32_t& longueur, std::string& erreur) {
    if (position >= fin) {
        erreur = "length expected at offset " + std::to_string(position);
        return false;
    }
    const auto premier = static_cast<unsigned char>(octets[position]);
    if (premier <= 0x80) {
        longueur = premier;
        ++position;
        return true;
    }
    const uint32_t suivants = premier & 0x7F;
    if (suivants > 4 || position + suivants >= fin) {
        erreur = "coded length malformed at offset " + std::to_string(position);
        return false;
    }
    longueur = 0;
    for (uint32_t i = 1; i <= suivants; ++i) longueur = (longueur << 8) | static_cast<unsigned char>(octets[position + i]);
    position += suivants + 1;
    return true;
}

}  // namespace

bool decoderZone(const std::string& octets, std::vector<GroupeZone>& groupes, std::string& erreur) {
    groupes.clear();
    size_t position = 0;
    while (position < octets.size()) {
        if (position + 2 >= octets.size()) {
            erreur = "group header cut short at offset " + std::to_string(position);
            return false;
        }
        GroupeZone groupe;
        groupe.groupe = static_cast<uint16_t>((static_cast<unsigned char>(octets[position]) << 8) |
                                              static_cast<unsigned char>(octets[position + 1]));
        const size_t debut = position;
        position += 2;
        uint32_t longueur = 0;
        if (!lireLongueur(octets, position, octets.size(), longueur, erreur)) return false;
        if (longueur > octets.size() - position) {
            erreur = "group " + std::to_string(groupe.groupe) + " at offset " + std::to_string(debut) +
                     " runs past the zone";
            return false;
        }
        const size_t finGroupe = position + longueur;
        while (position < finGroupe) {
            uint32_t taille = 0;
            if (!lireLongueur(octets, position, finGroupe, taille, erreur)) return false;
            if (taille > finGroupe - position) {
                erreur = "field at offset " + std::to_string(position) + " runs past its group";
                return false;
            }
            groupe.champs.push_back(octets.substr(position, taille));
            position += taille;
        }
        groupes.push_back(std::move(groupe));
    }
    return true;
}
