#include "zone/Reponse.h"

#include <cstdio>
#include <cstring>

#include "frame/Trace.h"
#include "zone/TypeSimple.h"
#include "zone/ZoneKPX.h"

void Reponse::ajouterElement(const Element& e) {
    if (nombreElements_ < kCourts)
        courts_[nombreElements_] = e;
    else
        suite_.push_back(e);
    ++nombreElements_;
}

void Reponse::groupe(uint16_t numero) {
    groupeOuvert_ = nombreElements_;
    ajouterElement({0, 0, numero, true});
    ++nombreGroupes_;
}

void Reponse::ajouter(const char* octets, size_t longueur) {
    const uint32_t n = static_cast<uint32_t>(longueur);
    ajouterElement({static_cast<uint32_t>(octets_.size()), n, 0, false});
    element(groupeOuvert_).longueur += ZoneKPX::tailleChamp(n);
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
    for (size_t i = 0; i < nombreElements_; ++i)
        if (const Element& e = element(i); e.estGroupe) total += ZoneKPX::tailleGroupeContenu(e.longueur);
    return total;
}

void Reponse::ecrire(uint16_t& cr, ZoneSortie& sortie, uint16_t categorie) const {
    if (cr != 0) return;
    sortie.allouer(cr, taille(), categorie);
    if (cr != 0) return;
    // Without the zone's detail lines, the bytes are laid end to end: the zone was sized for
    // exactly them, so the inserting writer's checks and moves have nothing to do.
    if (!NiveauTrace::ecrit(NIV_DETAIL)) {
        ecrireALaSuite(*sortie.zone());
        return;
    }
    for (size_t i = 0; cr == 0 && i < nombreElements_; ++i) {
        const Element& e = element(i);
        if (e.estGroupe)
            cr = sortie->ajouterGroupe(e.numero);
        else
            cr = sortie->ajouterChamp(reinterpret_cast<const uint8_t*>(octets_.data()) + e.debut, e.longueur);
    }
    if (cr != 0) sortie.liberer();
}

void Reponse::ecrireALaSuite(ZoneKPX& zone) const {
    uint32_t position = 0;
    for (size_t i = 0; i < nombreElements_; ++i) {
        const Element& e = element(i);
        if (e.estGroupe) {
            position += zone.coderEnteteGroupe(e.numero, e.longueur, position);
        } else {
            position += zone.coderLongueur(e.longueur, position);
            if (e.longueur > 0) std::memcpy(zone.buffer + position, octets_.data() + e.debut, e.longueur);
            position += e.longueur;
        }
    }
    zone.tailleDonnees = position;
}
