// A host's view of the library: loads libKPXW32.so (or KPXW32.dll) from a
// directory at run time and resolves the 24 exported functions by name.
#pragma once

#include <string>

#include "KPXW32.h"

struct Hote {
    Hote() = default;
    ~Hote();
    Hote(const Hote&) = delete;
    Hote& operator=(const Hote&) = delete;

    // False with `erreur` filled when the file or one entry is missing.
    bool charger(const std::string& repertoire);
    void decharger();

    std::string erreur;
    void* bibliotheque = nullptr;

#define KPX_ENTREE(nom) decltype(&::nom) nom = nullptr;
#include "hote/EntreesKPX.inc"
#undef KPX_ENTREE
};
