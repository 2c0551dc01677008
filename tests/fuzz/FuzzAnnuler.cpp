// Every cancellation function over a fresh copy of the compiled sample holding a local
// change of every kind, under input zones built in the groups of its description (or
// taken raw): whatever the input, a call ends with a code, gives the writer place back and
// leaves the accounted memory as it was; a cancellation that succeeds removed records and
// leaves nothing to cancel for the same key (0xD005 when repeated), one that fails removed
// none. Each run cancels on its own copy: nothing piles up and nothing is written.
// Byte 0 picks the function (high bit: the zone is raw), the rest is the zone.
#include <cstdint>

#include "EchantillonFuzz.h"
#include "KPXW32.h"
#include "ModificationsFuzz.h"
#include "ZonesFuzz.h"
#include "frame/Systeme.h"
#include "modification/FonctionsAnnuler.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "zone/ZoneKPX.h"

namespace {

struct Etat {
    RejeuModificationDonnees rejeu;
    EchantillonFuzz echantillon{&rejeu};

    Etat() {
        ModificationDonnees modification(&echantillon.referentiel);
        verifier(changerDeChaqueSorte(modification) == 0, "the changes to cancel are refused");
    }
};

uint16_t annuler(Referentiel& referentiel, const zonesfuzz::Appel& appel) {
    ZoneKPX entree(reinterpret_cast<const uint8_t*>(appel.zone.data()), static_cast<uint32_t>(appel.zone.size()));
    ModificationDonnees modification(&referentiel);
    verifier(modification.ouvrir() == 0, "no writer place");
    FonctionsAnnuler fonctions(appel.racine->decritGroupes() ? &entree : nullptr, appel.racine, modification);
    return fonctions.executer(appel.racine->numero());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Etat etat;
    if (size < 1) return 0;
    const zonesfuzz::Appel appel =
        zonesfuzz::appelDe(etat.echantillon.interface, Interface::ANNULATION, data[0], data + 1, size - 1);
    verifier(appel.racine != nullptr, "no cancellation function in the description");
    Referentiel copie(etat.echantillon.referentiel);
    const uint32_t memoire = Systeme::tailleMemoireCumulee();
    const uint32_t avant = nombreEnregistrements(copie);
    const uint16_t cr = annuler(copie, appel);
    verifier(copie.nombreEcrivains() == 0, "the writer place was kept");
    verifier(Systeme::tailleMemoireCumulee() == memoire, "accounted memory moved");
    const uint32_t apres = nombreEnregistrements(copie);
    verifier(cr == 0 ? apres < avant : apres == avant, "records removed by a failed cancellation, or none by a success");
    if (cr == 0) verifier(annuler(copie, appel) == KPX_CR_RIEN_A_ANNULER, "a cancelled value could be cancelled again");
    return 0;
}
