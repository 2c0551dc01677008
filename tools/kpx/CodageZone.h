// The exchange-zone bytes as a host builds and reads them: groups of length-prefixed
// fields, big-endian group numbers, coded lengths. Field bytes are kept as they travel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GroupeZone {
    uint16_t groupe = 0;
    std::vector<std::string> champs;
};

// Size of the coded form of a length: 1 to 5 bytes.
uint32_t nbOctetsLongueur(uint32_t longueur);
void coderLongueur(uint32_t longueur, std::string& octets);
std::string coderZone(const std::vector<GroupeZone>& groupes);
// False with the offset and the fault in erreur when the bytes are no zone.
bool decoderZone(const std::string& octets, std::vector<GroupeZone>& groupes, std::string& erreur);
