// The interface description as the host reads it: the compiled référentiel's
// tables 049 to 053, walked into one tree of input groups per function.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "kpxbuild/ContenuReferentiel.h"
#include "kpxbuild/ParcoursInterface.h"

struct FamilleKPX {
    const char* nom;  // as kpx names it on the command line
    char code;        // function code of the interface tables
    const char* pointEntree;
};

// Null when the name is not one of the six families.
const FamilleKPX* familleKPX(const std::string& nom);
std::string nomsFamilles();

class DescriptionFonctions {
public:
    // False with erreur when the directory holds no readable référentiel or no interface.
    bool charger(const std::string& repertoire, std::string& erreur);
    // Null when the family has no such function. The complete control has one
    // description whatever the identifier, as the library uses it.
    const FonctionInterface* trouver(const FamilleKPX& famille, const std::string& identifiant) const;

    const std::vector<FonctionInterface>& fonctions(const FamilleKPX& famille) const;

private:
    std::map<char, std::vector<FonctionInterface>> fonctions_;
};
