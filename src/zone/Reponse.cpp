#include "zone/Reponse.h"

#include <cstdio>

#include "zone/TypeSimple.h"
#include "zone/ZoneKPX.h"

void Reponse::groupe(uint16_t numero) { groupes_.push_back({numero, {}}); }

void Reponse::champ(const TypeSimple& valeur) {
    FormeOctets forme;
    valeur.formeOctets(forme);
    groupes_.back().champs.emplace_back(reinterpret_cast<const char*>(forme.donnees),
                                        forme.donnees != nullptr ? forme.longueur : 0);
}

void Reponse::champVide() { groupes_.back().champs.emplace_back(); }

void Reponse::montant(double valeur) {
    char texte[64];
    std::snprintf(texte, sizeof texte, "%.2f", valeur);
    groupes_.back().champs.emplace_back(texte);
}

uint32_t Reponse::taille() const {
    uint32_t total = 0;
    for (const Groupe& g : groupes_) {
        uint32_t contenu = 0;
        for (const std::string& c : g.champs) contenu += ZoneKPX::tailleChamp(static_cast<uint32_t>(c.size()));
        total += ZoneKPX::tailleGroupeContenu(contenu);
    }
    return total;
}

void Reponse::ecrire(uint16_t& cr, ZoneSortie& sortie, uint16_t categorie) const {
    if (cr != 0) return;
    sortie.allouer(cr, taille(), categorie);
    for (const Groupe& g : groupes_) {
        if (cr == 0) cr = sortie->ajouterGroupe(g.numero);
        for (const std::string& c : g.champs)
            if (cr == 0) cr = sortie->ajouterChamp(reinterpret_cast<const uint8_t*>(c.data()), static_cast<uint32_t>(c.size()));
    }
    if (cr != 0) sortie.liberer();
}
