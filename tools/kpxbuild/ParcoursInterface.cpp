// Walk of the interface tables into function trees; the reference document and
// the command-line host both read the trees, so they show what the library checks.
#include "kpxbuild/ParcoursInterface.h"

#include <algorithm>

#include "referentiel/lignes/Interface.h"

namespace {
constexpr uint16_t kSansPosition = 0xFFFF;
}

ParcoursInterface::ParcoursInterface(const ContenuReferentiel& contenu, std::vector<std::string>& erreurs)
    : superGroupes_(contenu.tables[49].get()), groupes_(contenu.tables[50].get()), champs_(contenu.tables[51].get()),
      valeurs_(contenu.tables[52].get()), fils_(contenu.tables[53].get()), erreurs_(erreurs) {}

bool ParcoursInterface::tablesPresentes() const {
    return superGroupes_ != nullptr && groupes_ != nullptr && champs_ != nullptr && valeurs_ != nullptr &&
           fils_ != nullptr;
}

std::vector<FonctionInterface> ParcoursInterface::fonctions(char codeFonction) {
    std::vector<FonctionInterface> fonctions;
    if (!tablesPresentes()) return fonctions;
    std::vector<uint32_t> racines;
    for (uint32_t i = 0; i < superGroupes_->nombreLignes(); ++i) {
        const auto* ligne = superGroupes_->ligneDe<DescriptifSuperGroupe>(i);
        if (ligne != nullptr && ligne->codeFonction == codeFonction) racines.push_back(i);
    }
    std::stable_sort(racines.begin(), racines.end(), [&](uint32_t a, uint32_t b) {
        return superGroupes_->ligneDe<DescriptifSuperGroupe>(a)->nom <
               superGroupes_->ligneDe<DescriptifSuperGroupe>(b)->nom;
    });
    for (uint32_t i : racines) {
        const auto& racine = *superGroupes_->ligneDe<DescriptifSuperGroupe>(i);
        FonctionInterface fonction;
        fonction.nom = racine.nom;
        fonction.numero = racine.numero;
        fonction.codeFonction = racine.codeFonction;
        std::vector<uint32_t> chemin{i};
        enfants(racine, chemin, fonction.entrees);
        fonctions.push_back(std::move(fonction));
    }
    return fonctions;
}

void ParcoursInterface::enfants(const DescriptifSuperGroupe& superGroupe, std::vector<uint32_t>& chemin,
                                std::vector<NoeudInterface>& noeuds) {
    for (uint32_t k = 0; k < superGroupe.fils.nombre; ++k) {
        const auto* fils = fils_->ligneDe<FilsSuperGroupe>(uint32_t{superGroupe.fils.position} + k);
        if (fils == nullptr) {
            erreur(superGroupe, "fils " + std::to_string(superGroupe.fils.position + k) + " hors de la table");
            continue;
        }
        NoeudInterface noeud;
        noeud.occurrencesMinimum = fils->occurrencesMinimum;
        noeud.occurrencesMaximum = fils->occurrencesMaximum;
        if (fils->positionGroupe != kSansPosition) {
            const auto* ligne = groupes_->ligneDe<DescriptifGroupe>(fils->positionGroupe);
            if (ligne == nullptr) {
                erreur(superGroupe, "groupe " + std::to_string(fils->positionGroupe) + " hors de la table");
                continue;
            }
            groupe(superGroupe, fils->positionGroupe, noeud);
        } else if (fils->positionSuperGroupe != kSansPosition) {
            const auto* sousGroupe = superGroupes_->ligneDe<DescriptifSuperGroupe>(fils->positionSuperGroupe);
            if (sousGroupe == nullptr) {
                erreur(superGroupe, "super-groupe " + std::to_string(fils->positionSuperGroupe) + " hors de la table");
                continue;
            }
            if (std::find(chemin.begin(), chemin.end(), fils->positionSuperGroupe) != chemin.end()) {
                erreur(superGroupe, "super-groupe " + sousGroupe->nom + " contenu en lui-meme");
                continue;
            }
            noeud.superGroupe = true;
            noeud.nom = sousGroupe->nom;
            chemin.push_back(fils->positionSuperGroupe);
            enfants(*sousGroupe, chemin, noeud.enfants);
            chemin.pop_back();
        } else {
            erreur(superGroupe, "fils sans groupe ni super-groupe");
            continue;
        }
        noeuds.push_back(std::move(noeud));
    }
}

void ParcoursInterface::groupe(const DescriptifSuperGroupe& parent, uint16_t position, NoeudInterface& noeud) {
    const auto& ligne = *groupes_->ligneDe<DescriptifGroupe>(position);
    noeud.numeroGroupe = ligne.numero;
    for (uint32_t j = 0; j < ligne.champs.nombre; ++j) {
        const auto* champ = champs_->ligneDe<DescriptifChamp>(uint32_t{ligne.champs.position} + j);
        if (champ == nullptr) {
            erreur(parent, "champ " + std::to_string(ligne.champs.position + j) + " hors de la table");
            continue;
        }
        ChampInterface decrit;
        decrit.format = champ->formatAttendu;
        decrit.type = champ->typeDonnee;
        decrit.tailleMinimale = champ->tailleMinimale;
        decrit.tailleMaximale = champ->tailleMaximale;
        for (uint32_t v = 0; v < champ->valeursAutorisees.nombre; ++v) {
            const auto* valeur = valeurs_->ligneDe<ValeurAutorisee>(uint32_t{champ->valeursAutorisees.position} + v);
            if (valeur == nullptr) {
                erreur(parent, "valeur autorisee " + std::to_string(champ->valeursAutorisees.position + v) +
                                   " hors de la table");
                continue;
            }
            decrit.valeurs.push_back(valeur->valeur);
        }
        noeud.champs.push_back(std::move(decrit));
    }
}

void ParcoursInterface::erreur(const DescriptifSuperGroupe& superGroupe, const std::string& faute) {
    erreurs_.push_back("interface: " + superGroupe.nom + ": " + faute);
}
