// Where the table sections of a table file lie, and its CRC written anew, for the
// tests and fuzz targets that damage files the way anyone could.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "referentiel/Codage.h"

struct SectionTable {
    uint16_t identifiant;
    size_t entete;  // offset of the section header; the row count follows the 3 identifier digits
    uint32_t lignes;
    uint32_t taille;
};

// The sections after the header (ended by CR LF SUB), up to table 000 when jusquIndex,
// else to the end of the file; stops at the first one that does not fit.
inline std::vector<SectionTable> sectionsTables(const std::vector<uint8_t>& octets, bool jusquIndex) {
    std::vector<SectionTable> sections;
    size_t position = 0;
    while (position + 3 <= octets.size() &&
           !(octets[position] == 0x0D && octets[position + 1] == 0x0A && octets[position + 2] == 0x1A))
        ++position;
    position += 3;
    while (position + 11 <= octets.size()) {
        SectionTable s{};
        for (size_t i = 0; i < 3; ++i) s.identifiant = static_cast<uint16_t>(s.identifiant * 10 + octets[position + i] - '0');
        s.entete = position;
        s.lignes = Codage::lireEntier32(&octets[position + 3]);
        s.taille = Codage::lireEntier32(&octets[position + 7]);
        if (position + 11 + s.taille > octets.size()) break;
        sections.push_back(s);
        position += 11 + s.taille;
        if (jusquIndex && s.identifiant == 0) break;
    }
    return sections;
}

inline void recalculerCRC(std::vector<uint8_t>& octets) {
    if (octets.size() < 4) return;
    Codage::Crc16 crc;
    crc.ajouter(octets.data() + 4, octets.size() - 4);
    char texte[5];
    std::snprintf(texte, sizeof texte, "%04X", crc.valeur());
    for (size_t i = 0; i < 4; ++i) octets[i] = static_cast<uint8_t>(texte[i]);
}
