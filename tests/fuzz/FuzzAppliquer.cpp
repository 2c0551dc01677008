// Every rule-application function over the compiled sample, under input zones built
// from the fuzzer's bytes in the groups of its input shape (or taken raw): whatever
// the input, a call ends with a code, makes a zone exactly when it succeeds or warns,
// and gives every reader place back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "EchantillonFuzz.h"
#include "KPXW32.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "controle/FonctionsAppliquer.h"
#include "frame/Systeme.h"
#include "referentiel/Referentiel.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

namespace {

struct GroupeForme {
    uint16_t numero;
    uint16_t champs;
};

struct Forme {
    const char* identifiant;
    std::vector<GroupeForme> groupes;
};

const std::vector<Forme> kFormes = {
    {"C_Association", {{3310, 6}, {3530, 2}}},
    {"C_Base", {{3401, 2}, {3420, 16}, {3470, 3}, {3422, 2}, {3530, 2}}},
    {"C_Compatibilite", {{3310, 6}, {3530, 2}}},
    {"C_Dent", {{3300, 5}, {3302, 17}}},
    {"C_ExoActe", {{3400, 2}, {3430, 4}, {3432, 4}}},
    {"C_ExoFacture",
     {{3400, 2}, {3450, 3}, {3451, 4}, {3452, 3}, {3441, 2}, {3530, 2}, {3460, 3}, {3461, 3}, {3462, 4}}},
    {"C_ExoPrevention", {{3440, 4}}},
    {"C_Pu", {{3400, 2}, {3410, 5}, {3470, 3}, {3530, 2}}},
};

// Values the sample knows, so that the rules are reached and not only the field checks.
const char* const kValeurs[] = {
    "",        "1",        "2",       "0",       "4",       "20240101", "20190601", "HBGD035",  "AHQP001",
    "QZFA014", "HHFA011",  "HHFA016", "AAQP012", "QZFA036", "HBQD001",  "DZEA001",  "ZZZZ999",  "JAFA002",
    "JAFC019", "HBMD049",  "K",       "J",       "M",       "C",        "N",        "O",        "36",
    "51",      "001",      "973",     "10000",   "2508",    "70",       "100",      "PROD500",  "PROD510",
    "PROD870", "PROD550",  "12345678", "3",      "IK"};
constexpr size_t kNombreValeurs = sizeof kValeurs / sizeof kValeurs[0];

void verifier(bool condition, const char* quoi) { verifierFuzz("fuzz_appliquer", condition, quoi); }

// Group after group: a byte picks the group of the shape, then a byte per field picks a
// known value, or, from 0xF0, takes that many of the next bytes as they are.
std::string construire(const Forme& forme, const uint8_t* data, size_t size) {
    std::vector<std::pair<uint16_t, std::vector<std::string>>> groupes;
    size_t i = 0;
    const auto octet = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const GroupeForme& g = forme.groupes[octet() % forme.groupes.size()];
        std::vector<std::string> champs;
        for (uint16_t c = 0; c < g.champs; ++c) {
            const uint8_t choix = octet();
            if (choix < 0xF0) {
                champs.emplace_back(kValeurs[choix % kNombreValeurs]);
            } else {
                std::string brut;
                for (int n = choix & 0x0F; n > 0 && i < size; --n) brut += static_cast<char>(octet());
                champs.push_back(brut);
            }
        }
        groupes.emplace_back(g.numero, champs);
    }
    uint32_t taille = 0;
    for (const auto& g : groupes) {
        uint32_t contenu = 0;
        for (const auto& c : g.second) contenu += ZoneKPX::tailleChamp(static_cast<uint32_t>(c.size()));
        taille += ZoneKPX::tailleGroupeContenu(contenu);
    }
    ZoneKPX zone(taille);
    for (const auto& g : groupes) {
        verifier(zone.ajouterGroupe(g.first) == 0, "the built zone refuses a group");
        for (const auto& c : g.second)
            verifier(zone.ajouterChamp(reinterpret_cast<const uint8_t*>(c.data()), static_cast<uint32_t>(c.size())) == 0,
                     "the built zone refuses a field");
    }
    std::string octets(reinterpret_cast<const char*>(zone.buffer), zone.tailleDonnees);
    Systeme::liberer(zone.buffer);
    return octets;
}

}  // namespace

// Byte 0 chooses the function and, with its high bit, takes the rest as raw zone bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static EchantillonFuzz etat("fuzz_appliquer");
    if (size < 1) return 0;
    const Forme& forme = kFormes[(data[0] & 0x7F) % kFormes.size()];
    const std::string octets = (data[0] & 0x80) ? std::string(reinterpret_cast<const char*>(data + 1), size - 1)
                                                : construire(forme, data + 1, size - 1);
    if (octets.empty()) return 0;
    const SuperGroupe* racine = nullptr;
    uint16_t numero = 0;
    verifier(etat.interface.lireSuperGroupeRegle(Code(forme.identifiant), racine, numero) == 0,
             "a rule function is missing from the description");
    ZoneKPX entree(reinterpret_cast<const uint8_t*>(octets.data()), static_cast<uint32_t>(octets.size()));
    ZoneSortie sortie;
    uint16_t cr = 0;
    {
        LectureDonnees lecture(&etat.referentiel);
        verifier(lecture.ouvrir() == 0, "no reader place");
        cr = FonctionsAppliquer::appliquer(lecture, racine, numero, &entree, sortie);
    }
    const bool avecZone = cr == 0 || cr == KPX_CR_REGLE_AVERTISSEMENT_1 || cr == KPX_CR_REGLE_AVERTISSEMENT_2;
    verifier(avecZone == static_cast<bool>(sortie), "a zone was made for a failed call, or none for a success");
    verifier(etat.referentiel.nombreLecteurs() == 0, "a reader place was kept");
    return 0;
}
