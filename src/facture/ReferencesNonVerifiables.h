// The rules no longer verified on a group of lines (an association, a session): for
// each rule reference, how many of its lines hold it. Asking the group is then one
// lookup instead of a walk through the list of every line, which on a long day of
// acts grew with the square of its lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "zone/Code.h"
#include "zone/TypeListe.h"

class LigneActe;

class ReferencesNonVerifiables {
public:
    // A line joins the group with the rules it no longer verifies.
    void ajouterLigne(const LigneActe& ligne);
    // A line of the group holds these too (each reference once per line).
    void ajouter(const TypeListe<Code>& references);
    void ajouter(const Code& reference) { ajouter(reference, hacher(reference)); }
    // The same with the reference's hash known: the line that tells it has just made it.
    void ajouter(const Code& reference, uint64_t hachage);
    // A line of the group no longer holds these.
    void retirer(const TypeListe<Code>& references);
    // Some line of the group holds it.
    bool contient(const Code& reference) const { return contient(reference, hacher(reference)); }
    // The same with the reference's hash known: a rule's is kept for the call. Inline: the
    // rules of an association ask it by the hundred, nearly always of a reference no line
    // holds, which the signature tells without a probe.
    bool contient(const Code& reference, uint64_t hachage) const {
        return (signature_ & bitSignature(hachage)) != 0 && lignesDe(reference, hachage) > 0;
    }
    static uint64_t hacher(const Code& reference);
    // The bit a reference's hash sets in a signature of references.
    static uint64_t bitSignature(uint64_t hachage) { return uint64_t{1} << (hachage >> 58); }

private:
    // Open addressing on the reference's hash: every rule of every line asks the group,
    // and a lookup builds nothing. A reference no line holds any more keeps its place
    // with no line until the table grows: a group meets few distinct references.
    struct Place {
        bool prise = false;
        uint64_t hachage = 0;
        Code reference;
        uint32_t lignes = 0;
    };
    // The place that holds the reference, or the free one where it would go.
    size_t rang(const Code& reference, uint64_t hachage) const;
    // The lines that hold the reference.
    uint32_t lignesDe(const Code& reference, uint64_t hachage) const;
    void agrandir();

    std::vector<Place> places_;  // a power of two of them, at most half taken
    size_t prises_ = 0;
    // A bit for each reference of the places, by its hash: 0 while none is taken.
    uint64_t signature_ = 0;
};
