// Every consultation function under arbitrary input zones and reference dates,
// over the compiled sample: whatever the bytes, a call ends with a code, hands out
// a zone only on success, and gives every reader place back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "EchantillonFuzz.h"
#include "consultation/FonctionsConsulter.h"
#include "consultation/LectureDonnees.h"
#include "consultation/RechercheActes.h"
#include "referentiel/Referentiel.h"
#include "consultation/Interface.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"

namespace {

const char* const kIdentifiants[] = {
    "CCAM_1",  "CCAM_10", "CCAM_11", "CCAM_12", "CCAM_13",  "CCAM_14", "CCAM_15",  "CCAM_16a", "CCAM_18", "CCAM_19",
    "CCAM_2",  "CCAM_20", "CCAM_22", "CCAM_24", "CCAM_25",  "CCAM_3",  "CCAM_30_1", "CCAM_32a", "CCAM_37", "CCAM_39",
    "CCAM_40a", "CCAM_41", "CCAM_42", "CCAM_43a", "CCAM_44", "CCAM_45", "CCAM_46",  "CCAM_47a", "CCAM_4a", "CCAM_5",
    "CCAM_52a", "CCAM_6", "CCAM_7",  "CCAM_8",  "CCAM_9",   "CCAM_9_1", "TB02_1",  "TB02_2",   "TB06_1",  "TB06_2",
    "TB07_1",  "TB08_1",  "TB09_1",  "TB10_1",  "TB10_2",   "TB11_1",  "TB11_2",   "TB11_3",   "TB12_1",  "TB12_2",
    "TB13_1",  "TB15_1",  "TB15_2",  "TB19_1",  "TB20_1",   "TB21_1",  "TB22_3",   "TB23"};
constexpr size_t kNombre = sizeof kIdentifiants / sizeof kIdentifiants[0];

void verifier(bool condition, const char* quoi) { verifierFuzz("fuzz_consultation", condition, quoi); }

}  // namespace

// Byte 0 chooses the function (or, with its high bit, a search whose keyword or
// filter is the rest), bytes 1 to 4 the reference date, the rest is the input zone.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static EchantillonFuzz etat("fuzz_consultation");
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
    const SuperGroupe* racine = nullptr;
    uint16_t numero = 0;
    verifier(etat.interface.lireSuperGroupeConsulter(Code(kIdentifiants[data[0] % kNombre]), racine, numero) == 0,
             "a consultation function is missing from the description");
    const Date date(static_cast<uint16_t>(1990 + data[1] % 50), static_cast<uint8_t>(1 + data[2] % 12),
                    static_cast<uint8_t>(1 + data[3] % 31));
    ZoneKPX entree(data + 5, static_cast<uint32_t>(size - 5));
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
