// The function trees of the interface tables (049 to 053), walked as the library
// builds its description: roots are the super-groups with a function code, children
// are followed by position. A reference that leads nowhere is reported, never followed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kpxbuild/ContenuReferentiel.h"

class DescriptifSuperGroupe;

struct ChampInterface {
    char format = ' ';
    char type = ' ';
    uint16_t tailleMinimale = 0;
    uint16_t tailleMaximale = 0;  // 0: any length
    std::vector<std::string> valeurs;
};

// A group (with its fields) or a super-group (with its children) at one place of a tree.
struct NoeudInterface {
    bool superGroupe = false;
    uint16_t numeroGroupe = 0;
    std::string nom;
    uint16_t occurrencesMinimum = 0;
    uint16_t occurrencesMaximum = 0;  // 0: no maximum
    std::vector<ChampInterface> champs;
    std::vector<NoeudInterface> enfants;
};

struct FonctionInterface {
    std::string nom;
    uint16_t numero = 0;
    char codeFonction = ' ';
    std::vector<NoeudInterface> entrees;
};

class ParcoursInterface {
public:
    ParcoursInterface(const ContenuReferentiel& contenu, std::vector<std::string>& erreurs);

    bool tablesPresentes() const;
    // The functions of one family code ('1' consultation ... '6' complete control), in
    // the byte order of their names as the library searches them.
    std::vector<FonctionInterface> fonctions(char codeFonction);

private:
    void enfants(const DescriptifSuperGroupe& superGroupe, std::vector<uint32_t>& chemin,
                 std::vector<NoeudInterface>& noeuds);
    void groupe(const DescriptifSuperGroupe& parent, uint16_t position, NoeudInterface& noeud);
    void erreur(const DescriptifSuperGroupe& superGroupe, const std::string& faute);

    const Table* superGroupes_;
    const Table* groupes_;
    const Table* champs_;
    const Table* valeurs_;
    const Table* fils_;
    std::vector<std::string>& erreurs_;
};
