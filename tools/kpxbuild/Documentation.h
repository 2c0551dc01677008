// The host developer's reference of every function: its number and the tree of
// its input groups and fields, read from the interface tables (049 to 053).
// The document is a pure function of those tables, so the checked-in copy can be compared.
#pragma once

#include <string>
#include <vector>

#include "kpxbuild/ContenuReferentiel.h"
#include "kpxbuild/ParcoursInterface.h"

// Markdown document of the interface; every row reference that leads nowhere is added
// to erreurs (and left out of the document).
std::string documenterInterface(const ContenuReferentiel& contenu, std::vector<std::string>& erreurs);

// The indented lines of a function's input tree, as the document shows them.
std::string texteArbreInterface(const std::vector<NoeudInterface>& noeuds, size_t profondeur = 0);
// Name of a field's data type letter ('C' -> "Code").
std::string texteTypeChamp(char type);

// SRC_DIR -> fichier (its directory created if needed). False with the reasons in erreurs.
bool ecrireDocumentation(const std::string& source, const std::string& fichier, std::vector<std::string>& erreurs);
