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

    size_t nombreGroupes() const { return nombreGroupes_; }
    uint32_t taille() const;
    // Allocates and fills; skipped when cr is set. A zone without group is still made.
    void ecrire(uint16_t& cr, ZoneSortie& sortie, uint16_t categorie) const;

private:
    // Groups and fields in their order; the bytes of every field lie end to end in
    // one string.
    struct Element {
        uint32_t debut;     // of a field's bytes
        uint32_t longueur;  // of a field; of a group, the encoded size of its fields
        uint16_t numero;    // of a group
        bool estGroupe;
    };
    void ajouter(const char* octets, size_t longueur);
    void ajouterElement(const Element& element);
    // The zone allocated at taille(), filled from its start.
    void ecrireALaSuite(ZoneKPX& zone) const;
    const Element& element(size_t i) const { return i < kCourts ? courts_[i] : suite_[i - kCourts]; }
    Element& element(size_t i) { return i < kCourts ? courts_[i] : suite_[i - kCourts]; }

    // A short answer (a value and its date) holds its elements here and allocates nothing.
    static constexpr size_t kCourts = 6;
    Element courts_[kCourts];
    std::vector<Element> suite_;
    size_t nombreElements_ = 0;
    std::string octets_;
    size_t nombreGroupes_ = 0;
    size_t groupeOuvert_ = 0;  // index of the group fields go to
};
