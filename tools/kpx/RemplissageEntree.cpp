// Filling an input tree from positional values.
#include "RemplissageEntree.h"

#include "ZoneJson.h"

namespace {

class Remplissage {
public:
    Remplissage(const std::vector<std::string>& valeurs, std::vector<GroupeZone>& groupes, std::string& erreur)
        : valeurs_(valeurs), groupes_(groupes), erreur_(erreur) {}

    bool remplir(const std::vector<NoeudInterface>& noeuds, bool dernierDeLArbre) {
        for (size_t i = 0; i < noeuds.size(); ++i) {
            const NoeudInterface& noeud = noeuds[i];
            const bool dernier = dernierDeLArbre && i + 1 == noeuds.size();
            // A minimum of 65535 is never reached by design (any of its groups opens it again): none is owed.
            const uint32_t minimum = noeud.occurrencesMinimum == 0xFFFF ? 0 : noeud.occurrencesMinimum;
            uint32_t fois = 0;
            while (fois < minimum || (reste() && (fois == 0 || dernier))) {
                if (noeud.occurrencesMaximum != 0 && fois >= noeud.occurrencesMaximum) break;
                const size_t avant = suivante_;
                if (!occurrence(noeud, dernier)) return false;
                ++fois;
                // A group of no field takes no value: repeating it would never end.
                if (suivante_ == avant && fois >= minimum) break;
            }
        }
        return true;
    }

    bool reste() const { return suivante_ < valeurs_.size(); }
    size_t utilisees() const { return suivante_; }

private:
    bool occurrence(const NoeudInterface& noeud, bool dernier) {
        if (noeud.superGroupe) return remplir(noeud.enfants, dernier);
        GroupeZone groupe;
        groupe.groupe = noeud.numeroGroupe;
        for (size_t k = 0; k < noeud.champs.size(); ++k) {
            if (!reste()) {
                erreur_ = "value " + std::to_string(suivante_ + 1) + " missing: group " +
                          std::to_string(noeud.numeroGroupe) + ", field " + std::to_string(k + 1);
                return false;
            }
            std::string octets;
            if (!utf8VersLatin1(valeurs_[suivante_], octets)) {
                erreur_ = "value " + std::to_string(suivante_ + 1) + " has a character outside Latin-1";
                return false;
            }
            groupe.champs.push_back(std::move(octets));
            ++suivante_;
        }
        groupes_.push_back(std::move(groupe));
        return true;
    }

    const std::vector<std::string>& valeurs_;
    std::vector<GroupeZone>& groupes_;
    std::string& erreur_;
    size_t suivante_ = 0;
};

}  // namespace

bool remplirEntree(const std::vector<NoeudInterface>& arbre, const std::vector<std::string>& valeurs,
                   std::vector<GroupeZone>& groupes, std::string& erreur) {
    groupes.clear();
    Remplissage remplissage(valeurs, groupes, erreur);
    if (!remplissage.remplir(arbre, true)) return false;
    if (remplissage.reste()) {
        erreur = "value " + std::to_string(remplissage.utilisees() + 1) + " (" + valeurs[remplissage.utilisees()] +
                 ") has no field: the input takes " + std::to_string(remplissage.utilisees()) + " values";
        return false;
    }
    return true;
}
