// A full-scale référentiel made up for benchmarks: as many acts as the real
// classification, with activities, phases, histories and grid prices, and a keyword
// index of matching size, over the reference tables of a base source (the sample).
// The same seed always gives the same bytes.
#pragma once

#include <cstdint>

#include "kpxbuild/ContenuReferentiel.h"

struct TailleSynthetique {
    uint32_t actes = 11000;
    uint64_t graine = 1;
    uint32_t motsCles = 20000;
    uint32_t actesIndexes = 150000;
};

// Replaces the acts, the keywords, their synonyms and indexed acts of contenu, which
// holds the base's reference tables (when it holds none, the minimal ones are used).
void remplirSynthetique(ContenuReferentiel& contenu, const TailleSynthetique& taille = {});
