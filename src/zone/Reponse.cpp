#include "zone/Reponse.h"

#include <cstdio>

#include "zone/TypeSimple.h"
#include "zone/ZoneKPX.h"

namespace {
// Enough for most answers, so that the list grows once.
constexpr size_t kElementsReserves = 8;
}  // namespace

void Reponse::groupe(uint16_t numero) {
    if (elements_.empty()) elements_.reserve(kElementsReserves);
    groupeOuvert_ = elements_.size();
    elements_.push_back({0, 0, numero, true});
    ++nombreGroupes_;
}

void Reponse::ajouter(const char* octets, size_t longueur) {
    const uint32_t n = static_cast<uint32_t>(longueur);
    elements_.push_back({static_cast<uint32_t>(octets_.size()), n, 0, false});
    elements_[groupeOuvert_].longueur += ZoneKPX::tailleChamp(n);
    if (longueur > 0) octets_.append(octets, longueur);
}

void Reponse::champ(const TypeSimple& valeur) {
    FormeOctets forme;
    valeur.formeOctets(forme);
    ajouter(reinterpret_cast<const char*>(forme.donnees), forme.donnees != nullptr ? forme.longueur : 0);
}

void Reponse::champVide() { ajouter(nullptr, 0); }

void Reponse::montant(double valeur) {
    char texte[64];
    const int n = std::snprintf(texte, sizeof texte, "%.2f", valeur);
    ajouter(texte, n > 0 ? static_cast<size_t>(n) : 0);
}

uint32_t Reponse::taille() const {
    uint32_t total = 0;
    for (const Element& e : elements_)
        if (e.estGroupe) total += ZoneKPX::tailleGroupeContenu(e.longueur);
    return total;
}

void Reponse::ecrire(uint16_t& cr, ZoneSortie& sortie, uint16_t categorie) const {
    if (cr != 0) return;
    sortie.allouer(cr, taille(), categorie);
    for (const Element& e : elements_) {
        if (cr != 0) break;
        if (e.estGroupe)
            cr = sortie->ajouterGroupe(e.numero);
        else
            cr = sortie->ajouterChamp(reinterpret_cast<const uint8_t*>(octets_.data()) + e.debut, e.longueur);
    }
    if (cr != 0) sortie.liberer();
}
