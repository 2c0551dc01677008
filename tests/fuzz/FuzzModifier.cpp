// Every modification function over a fresh copy of the compiled sample, under input zones
// built in the groups of its description (or taken raw) and any effective date: whatever
// the input, a call ends with a code, gives the writer place back, leaves the accounted
// memory as it was, and records exactly one change when it succeeds and none otherwise.
// Each run changes its own copy, so runs do not pile changes up and nothing is written.
// Byte 0 picks the function (high bit: the zone is raw), bytes 1 to 3 the effective date,
// the rest the zone.
#include <cstdint>
#include <memory>

#include "EchantillonFuzz.h"
#include "ModificationsFuzz.h"
#include "ZonesFuzz.h"
#include "frame/Systeme.h"
#include "modification/FonctionsModifier.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "zone/ZoneKPX.h"

namespace {

struct Etat {
    RejeuModificationDonnees rejeu;
    EchantillonFuzz echantillon{&rejeu};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Etat etat;
    if (size < 4) return 0;
    const zonesfuzz::Appel appel =
        zonesfuzz::appelDe(etat.echantillon.interface, Interface::MODIFICATION, data[0], data + 4, size - 4);
    verifier(appel.racine != nullptr, "no modification function in the description");
    if (appel.zone.empty()) return 0;
    Referentiel copie(etat.echantillon.referentiel);
    const uint32_t memoire = Systeme::tailleMemoireCumulee();
    const uint32_t avant = nombreEnregistrements(copie);
    ZoneKPX entree(reinterpret_cast<const uint8_t*>(appel.zone.data()), static_cast<uint32_t>(appel.zone.size()));
    uint16_t cr = 0;
    {
        ModificationDonnees modification(&copie);
        verifier(modification.ouvrir() == 0, "no writer place");
        FonctionsModifier fonctions(zonesfuzz::dateDe(data + 1), &entree, appel.racine, modification);
        cr = fonctions.executer(appel.racine->numero());
    }
    verifier(copie.nombreEcrivains() == 0, "the writer place was kept");
    verifier(Systeme::tailleMemoireCumulee() == memoire, "accounted memory moved");
    verifier(nombreEnregistrements(copie) == avant + (cr == 0 ? 1 : 0), "a change recorded other than once");
    return 0;
}
