#include "facture/ReferencesNonVerifiables.h"

#include <utility>

#include "facture/LigneActe.h"
#include "frame/Hachage.h"

namespace {

constexpr size_t kPlacesMin = 8;

}  // namespace

uint64_t ReferencesNonVerifiables::hacher(const Code& reference) {
    return hacherTexte(reference.chaine(), reference.longueur());
}

void ReferencesNonVerifiables::ajouterLigne(const LigneActe& ligne) {
    if (ligne.reglesNonVerifiables() != nullptr) ajouter(*ligne.reglesNonVerifiables());
}

void ReferencesNonVerifiables::ajouter(const TypeListe<Code>& references) {
    for (uint16_t i = 0; i < references.nombre(); ++i) ajouter(references.element(i));
}

void ReferencesNonVerifiables::ajouter(const Code& reference, uint64_t hachage) {
    if (2 * (prises_ + 1) > places_.size()) agrandir();
    Place& place = places_[rang(reference, hachage)];
    if (!place.prise) {
        place.prise = true;
        place.hachage = hachage;
        place.reference = reference;
        place.lignes = 0;
        ++prises_;
        signature_ |= bitSignature(hachage);
    }
    ++place.lignes;
}

void ReferencesNonVerifiables::retirer(const TypeListe<Code>& references) {
    for (uint16_t i = 0; prises_ > 0 && i < references.nombre(); ++i) {
        Place& place = places_[rang(references.element(i), hacher(references.element(i)))];
        if (place.prise && place.lignes > 0) --place.lignes;
    }
}

uint32_t ReferencesNonVerifiables::lignesDe(const Code& reference, uint64_t hachage) const {
    const Place& place = places_[rang(reference, hachage)];
    return place.prise ? place.lignes : 0;
}

size_t ReferencesNonVerifiables::rang(const Code& reference, uint64_t hachage) const {
    const size_t masque = places_.size() - 1;
    size_t i = static_cast<size_t>(hachage) & masque;
    while (places_[i].prise && !(places_[i].hachage == hachage && places_[i].reference == reference))
        i = (i + 1) & masque;
    return i;
}

// The references no line holds are left behind.
void ReferencesNonVerifiables::agrandir() {
    std::vector<Place> anciennes(places_.size() < kPlacesMin ? kPlacesMin : 2 * places_.size());
    anciennes.swap(places_);
    prises_ = 0;
    signature_ = 0;
    for (Place& ancienne : anciennes) {
        if (!ancienne.prise || ancienne.lignes == 0) continue;
        signature_ |= bitSignature(ancienne.hachage);
        places_[rang(ancienne.reference, ancienne.hachage)] = std::move(ancienne);
        ++prises_;
    }
}
