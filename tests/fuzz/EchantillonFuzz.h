// For the fuzz targets over the compiled sample: the sample with its interface description,
// loaded once (with the replay of local modifications when the target makes or cancels some).
#pragma once

#include "VerifierFuzz.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "referentiel/Referentiel.h"
#include "referentiel/RejeuModifications.h"

struct EchantillonFuzz {
    Referentiel referentiel;
    Interface interface;
    explicit EchantillonFuzz(RejeuModifications* rejeu = nullptr) {
        referentiel.definirRejeu(rejeu);
        verifier(referentiel.chargerReferentiel(KPX_SAMPLE_DIR, KPX_SAMPLE_DIR, "0302", "1000") == 0,
                 "the sample does not load");
        LectureDonnees lecture(&referentiel);
        verifier(lecture.ouvrir() == 0 && interface.initialiser(lecture) == 0, "no interface description");
    }
};
