// Values given on the command line, in order, fill the fields of a function's input
// tree in order: each group takes its minimum number of occurrences (an optional one
// is taken while values remain), and the tree's last element repeats while values remain.
#pragma once

#include <string>
#include <vector>

#include "CodageZone.h"
#include "kpxbuild/ParcoursInterface.h"

// False with the missing or extra value named in erreur. Values are UTF-8.
bool remplirEntree(const std::vector<NoeudInterface>& arbre, const std::vector<std::string>& valeurs,
                   std::vector<GroupeZone>& groupes, std::string& erreur);
