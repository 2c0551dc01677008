// Every control function over the compiled sample, under input zones built in the groups
// of its description (or taken raw) and any reference date: whatever the input, a call
// ends with a code, gives its reader place back and leaves the accounted memory as it was.
// Byte 0 picks the function (high bit: the zone is raw), bytes 1 to 3 the date, the rest
// the zone.
#include <cstdint>

#include "EchantillonFuzz.h"
#include "ZonesFuzz.h"
#include "frame/Systeme.h"
#include "reglementation/FonctionsControler.h"
#include "zone/Booleen.h"
#include "zone/ZoneKPX.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static EchantillonFuzz etat;
    if (size < 4) return 0;
    const zonesfuzz::Appel appel = zonesfuzz::appelDe(etat.interface, Interface::CONTROLE, data[0], data + 4, size - 4);
    verifier(appel.racine != nullptr, "no control function in the description");
    if (appel.zone.empty()) return 0;
    const uint32_t memoire = Systeme::tailleMemoireCumulee();
    ZoneKPX entree(reinterpret_cast<const uint8_t*>(appel.zone.data()), static_cast<uint32_t>(appel.zone.size()));
    {
        LectureDonnees lecture(&etat.referentiel);
        verifier(lecture.ouvrir() == 0, "no reader place");
        Booleen resultat(false);
        FonctionsControler::controler(lecture, appel.racine, appel.racine->numero(), zonesfuzz::dateDe(data + 1),
                                      &entree, resultat);
    }
    verifier(etat.referentiel.nombreLecteurs() == 0, "a reader place was kept");
    verifier(Systeme::tailleMemoireCumulee() == memoire, "accounted memory moved");
    return 0;
}
