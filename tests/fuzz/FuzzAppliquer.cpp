// Every rule-application function over the compiled sample, under input zones built
// from the fuzzer's bytes in the groups of its description (or taken raw): whatever
// the input, a call ends with a code, makes a zone exactly when it succeeds or warns,
// and gives every reader place back.
#include <cstdint>

#include "EchantillonFuzz.h"
#include "ZonesFuzz.h"
#include "KPXW32.h"
#include "controle/FonctionsAppliquer.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

// Byte 0 picks the function (high bit: the rest is the zone as it is).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static EchantillonFuzz etat;
    if (size < 1) return 0;
    const zonesfuzz::Appel appel = zonesfuzz::appelDe(etat.interface, Interface::REGLE, data[0], data + 1, size - 1);
    verifier(appel.racine != nullptr, "no rule function in the description");
    if (appel.zone.empty()) return 0;
    ZoneKPX entree(reinterpret_cast<const uint8_t*>(appel.zone.data()), static_cast<uint32_t>(appel.zone.size()));
    ZoneSortie sortie;
    uint16_t cr = 0;
    {
        LectureDonnees lecture(&etat.referentiel);
        verifier(lecture.ouvrir() == 0, "no reader place");
        cr = FonctionsAppliquer::appliquer(lecture, appel.racine, appel.racine->numero(), &entree, sortie);
    }
    const bool avecZone = cr == 0 || cr == KPX_CR_REGLE_AVERTISSEMENT_1 || cr == KPX_CR_REGLE_AVERTISSEMENT_2;
    verifier(avecZone == static_cast<bool>(sortie), "a zone was made for a failed call, or none for a success");
    verifier(etat.referentiel.nombreLecteurs() == 0, "a reader place was kept");
    return 0;
}
