// The one place where Linux and Windows differ: module path, dynamic loading,
// usable size of a heap block, path separator and file names of components.
#pragma once

#include <cstddef>
#include <string>

namespace Plateforme {

extern const char separateur;

// Full path of the module holding this address; empty when it cannot be obtained.
std::string cheminModule(const void* adresseDansModule);

// Directory of a path, cut at its last separator (the separator dropped).
std::string repertoireDe(const std::string& chemin);

// "libNOM.so" on Linux, "NOM.dll" under Windows.
std::string nomBibliotheque(const char* nom);

void* chargerBibliotheque(const std::string& chemin);
void* symbole(void* bibliotheque, const char* nom);
void libererBibliotheque(void* bibliotheque);

std::size_t tailleUtilisable(void* bloc);

// Text of the last system error of a file operation.
std::string texteErreurSysteme();

}  // namespace Plateforme
