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
