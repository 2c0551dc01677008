// The rules no longer verified on a group of lines (an association, a session): for
// each rule reference, how many of its lines hold it. Asking the group is then one
// lookup instead of a walk through the list of every line, which on a long day of
// acts grew with the square of its lines.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "frame/Hachage.h"
#include "zone/Code.h"
#include "zone/TypeListe.h"

class LigneActe;

class ReferencesNonVerifiables {
public:
    // A line joins the group with the rules it no longer verifies.
    void ajouterLigne(const LigneActe& ligne);
    // A line of the group holds these too (each reference once per line).
    void ajouter(const TypeListe<Code>& references);
    void ajouter(const Code& reference);
    // A line of the group no longer holds these.
    void retirer(const TypeListe<Code>& references);
    // Some line of the group holds it.
    bool contient(const Code& reference) const;

private:
    std::unordered_map<std::string, uint32_t, HachageTexte> lignes_;
};
