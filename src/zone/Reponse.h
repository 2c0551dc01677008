// An output zone built in two passes: the groups and the byte form of their fields
// are collected first, then the zone is allocated once at its exact size and
// written. Nothing reaches the zone until every value is known.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zone/ZoneSortie.h"

class TypeSimple;

class Reponse {
public:
    void groupe(uint16_t numero);
    // Fields of the group opened last.
    void champ(const TypeSimple& valeur);
    void champVide();
    // A floating value as text with two decimals ("12.50").
    void montant(double valeur);

    size_t nombreGroupes() const { return groupes_.size(); }
    uint32_t taille() const;
    // Allocates and fills; skipped when cr is set. A zone without group is still made.
    void ecrire(uint16_t& cr, ZoneSortie& sortie, uint16_t categorie) const;

private:
    struct Groupe {
        uint16_t numero;
        std::vector<std::string> champs;
    };
    std::vector<Groupe> groupes_;
};
