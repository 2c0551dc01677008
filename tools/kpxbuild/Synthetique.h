// A full-scale référentiel made up deterministically, for benchmarks: as many acts
// as the real classification, with histories, activities, phases and grid prices,
// and a keyword index of matching size.
#pragma once

#include <cstdint>

#include "kpxbuild/ContenuReferentiel.h"

struct TailleSynthetique {
    uint32_t actes = 8000;
    uint32_t motsCles = 4000;
    uint32_t actesParMotCle = 6;
};

void remplirSynthetique(ContenuReferentiel& contenu, const TailleSynthetique& taille = {});
