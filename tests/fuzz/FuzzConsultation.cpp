// Every consultation function under arbitrary input zones and reference dates,
// over the compiled sample: whatever the bytes, a call ends with a code, hands out
// a zone only on success, and gives every reader place back.
#include <cstdint>
#include <string>

#include "EchantillonFuzz.h"
#include "ZonesFuzz.h"
#include "consultation/FonctionsConsulter.h"
#include "consultation/LectureDonnees.h"
#include "consultation/RechercheActes.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"

// Byte 0 chooses the function in the description (or, with its high bit, a search whose
// keyword or filter is the rest), bytes 1 to 3 the reference date, byte 4 whether the
// rest is the input zone as it is (even) or built in the function's groups (odd).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static EchantillonFuzz etat;
    if (size < 5) return 0;
    if (data[0] & 0x80) {
        const std::string texte(reinterpret_cast<const char*>(data + 5), size - 5);
        LectureDonnees lecture(&etat.referentiel);
        verifier(lecture.ouvrir() == 0, "no reader place");
        RechercheActes recherche(lecture);
        ZoneSortie sortie;
        const uint16_t cr = (data[0] & 0x40) ? recherche.parFiltre(texte.c_str(), sortie)
                                             : recherche.parMotCle(texte.c_str(), data[1], sortie);
        verifier(cr == 0 || !sortie, "a zone was made for a failed search");
        return 0;
    }
    const auto choix = static_cast<uint8_t>((data[4] & 1) ? data[0] : data[0] | 0x80);
    const zonesfuzz::Appel appel = zonesfuzz::appelDe(etat.interface, Interface::CONSULTATION, choix, data + 5, size - 5);
    verifier(appel.racine != nullptr, "no consultation function in the description");
    const SuperGroupe* racine = appel.racine;
    const uint16_t numero = racine->numero();
    const Date date = zonesfuzz::dateDe(data + 1);
    ZoneKPX entree(reinterpret_cast<const uint8_t*>(appel.zone.data()), static_cast<uint32_t>(appel.zone.size()));
    ZoneSortie sortie;
    uint16_t cr = 0;
    {
        LectureDonnees lecture(&etat.referentiel);
        verifier(lecture.ouvrir() == 0, "no reader place");
        FonctionsConsulter fonctions(date, racine->decritGroupes() ? &entree : nullptr, racine, lecture);
        cr = fonctions.executer(numero, sortie);
    }
    verifier(cr == 0 || !sortie, "a zone was made for a failed call");
    verifier(etat.referentiel.nombreLecteurs() == 0, "a reader place was kept");
    if (sortie) {
        ZoneKPX relue(sortie->buffer, sortie->tailleDonnees);
        uint16_t groupe = 0;
        while (relue.lireGroupeSuivant(groupe) == 0) {
        }
    }
    return 0;
}
