// For the fuzz targets over the compiled sample: a failed check aborts with the
// target's name, and the sample with its interface description is loaded once (with
// the replay of local modifications when the target makes or cancels some).
#pragma once

#include <cstdio>
#include <cstdlib>

#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "referentiel/Referentiel.h"
#include "referentiel/RejeuModifications.h"

inline void verifierFuzz(const char* cible, bool condition, const char* quoi) {
    if (condition) return;
    std::fprintf(stderr, "%s: %s\n", cible, quoi);
    std::abort();
}

struct EchantillonFuzz {
    Referentiel referentiel;
    Interface interface;
    explicit EchantillonFuzz(const char* cible, RejeuModifications* rejeu = nullptr) {
        referentiel.definirRejeu(rejeu);
        verifierFuzz(cible, referentiel.chargerReferentiel(KPX_SAMPLE_DIR, KPX_SAMPLE_DIR, "0302", "1000") == 0,
                     "the sample does not load");
        LectureDonnees lecture(&referentiel);
        verifierFuzz(cible, lecture.ouvrir() == 0 && interface.initialiser(lecture) == 0, "no interface description");
    }
};
