// Input zones as a host builds them, from groups of field texts, for boundary tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GroupeEntree {
    uint16_t numero;
    std::vector<std::string> champs;
};

// The zone's bytes, written by the library's own codec.
std::vector<uint8_t> zone(const std::vector<GroupeEntree>& groupes);

// An output zone as text, "3118:1,Acte principal|3130:202401010000": groups by '|',
// fields by ',', texts read as ISO 8859-1 and shown as UTF-8.
std::string texteZone(const unsigned char* octets, uint32_t taille);
