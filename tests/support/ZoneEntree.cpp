#include "support/ZoneEntree.h"

#include <gtest/gtest.h>

#include "frame/Systeme.h"
#include "kpxbuild/Latin1.h"
#include "zone/ZoneKPX.h"

std::vector<uint8_t> zone(const std::vector<GroupeEntree>& groupes) {
    uint32_t taille = 0;
    for (const auto& g : groupes) {
        uint32_t contenu = 0;
        for (const auto& c : g.champs) contenu += ZoneKPX::tailleChamp(static_cast<uint32_t>(c.size()));
        taille += ZoneKPX::tailleGroupeContenu(contenu);
    }
    ZoneKPX z(taille);
    for (const auto& g : groupes) {
        EXPECT_EQ(z.ajouterGroupe(g.numero), 0);
        for (const auto& c : g.champs)
            EXPECT_EQ(z.ajouterChamp(reinterpret_cast<const uint8_t*>(c.data()), static_cast<uint32_t>(c.size())), 0);
    }
    std::vector<uint8_t> octets(z.buffer, z.buffer + z.tailleDonnees);
    Systeme::liberer(z.buffer);  // a zone never frees its buffer
    return octets;
}

std::string texteZone(const unsigned char* octets, uint32_t taille) {
    std::string texte;
    ZoneKPX lue(octets, taille);
    uint16_t groupe = 0;
    while (lue.lireGroupeSuivant(groupe) == 0) {
        if (!texte.empty()) texte += "|";
        texte += std::to_string(groupe) + ":";
        uint16_t numero = 0;
        const uint8_t* donnees = nullptr;
        uint32_t longueur = 0;
        bool premier = true;
        while (lue.lireChampSuivant(numero, donnees, longueur) == 0) {
            if (!premier) texte += ",";
            texte += latin1VersUtf8(std::string(reinterpret_cast<const char*>(donnees), longueur));
            premier = false;
        }
    }
    return texte;
}
