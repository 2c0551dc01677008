// The complete control under arbitrary input zones and under edits of the sample
// invoices' zones, over the compiled sample: whatever the bytes, a call ends with a
// code, makes a zone only on success, gives its reader place back, and the accounted
// memory comes back to where it was once the zone is released; and a control that
// writes no line answers as the traced one does.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "EchantillonFuzz.h"
#include "FactureJson.h"
#include "controle/FonctionControleComplet.h"
#include "frame/Systeme.h"
#include "frame/Trace.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

namespace {

struct Etat : EchantillonFuzz {
    const SuperGroupe* racine = nullptr;
    std::vector<std::string> factures;  // the zones of data/factures

    Etat() {
        interface.lireSuperGroupeControleComplet(racine);
        for (const auto& entree : std::filesystem::directory_iterator(KPX_FACTURES_DIR)) {
            const std::string chemin = entree.path().string();
            if (!entree.is_regular_file() || chemin.find(".attendu.") != std::string::npos) continue;
            std::ifstream fichier(chemin, std::ios::binary);
            const std::string texte((std::istreambuf_iterator<char>(fichier)), std::istreambuf_iterator<char>());
            FactureJson facture;
            std::string erreur;
            verifier(lireFacture(nlohmann::json::parse(texte), facture, erreur), "a sample invoice does not read");
            factures.push_back(coderZone(facture.groupes));
        }
        verifier(!factures.empty(), "no sample invoice");
    }
};

// Byte 0 below 0x80: the rest is the zone. Otherwise byte 1 chooses a sample invoice,
// byte 2 where to cut it, and each following triple overwrites one of its bytes.
std::string zoneEntree(const Etat& etat, const uint8_t* data, size_t size) {
    if (size == 0 || data[0] < 0x80) return std::string(reinterpret_cast<const char*>(data), size);
    if (size < 3) return std::string();
    std::string zone = etat.factures[data[1] % etat.factures.size()];
    if (data[2] != 0) zone.resize(zone.size() * data[2] / 256);
    for (size_t i = 3; i + 2 < size && !zone.empty(); i += 3)
        zone[(static_cast<size_t>(data[i]) << 8 | data[i + 1]) % zone.size()] = static_cast<char>(data[i + 2]);
    return zone;
}

struct Resultat {
    uint16_t cr = 0;
    uint16_t niveau = 0;
    std::string reponse;
};

// One control at a trace level: with no line to write it takes its quiet paths.
Resultat controler(Etat& etat, const std::string& octets, uint16_t niveauTrace) {
    const uint32_t memoire = Systeme::tailleMemoireCumulee();
    ZoneKPX entree(reinterpret_cast<const uint8_t*>(octets.data()), static_cast<uint32_t>(octets.size()));
    ZoneSortie sortie;
    Resultat resultat;
    NiveauTrace::niveauEcrit.store(niveauTrace);
    {
        LectureDonnees lecture(&etat.referentiel);
        verifier(lecture.ouvrir() == 0, "no reader place");
        resultat.cr = FonctionControleComplet::controler(lecture, etat.racine, &entree, sortie, resultat.niveau);
    }
    NiveauTrace::oublier();
    verifier(resultat.cr == 0 || !sortie, "a zone was made for a failed control");
    verifier(resultat.niveau <= 2, "an error level beyond 2");
    verifier(etat.referentiel.nombreLecteurs() == 0, "a reader place was kept");
    if (sortie) {
        resultat.reponse.assign(reinterpret_cast<const char*>(sortie->buffer), sortie->tailleDonnees);
        ZoneKPX relue(sortie->buffer, sortie->tailleDonnees);
        uint16_t groupe = 0;
        while (relue.lireGroupeSuivant(groupe) == 0) verifier(groupe == 2000 || groupe == 3520, "an unknown group");
    }
    sortie.liberer();
    verifier(Systeme::tailleMemoireCumulee() == memoire, "accounted memory not given back");
    return resultat;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Etat etat;
    const std::string octets = zoneEntree(etat, data, size);
    if (octets.empty()) return 0;
    const Resultat calme = controler(etat, octets, 0);
    const Resultat trace = controler(etat, octets, NiveauTrace::kInconnu);
    verifier(calme.cr == trace.cr && calme.niveau == trace.niveau && calme.reponse == trace.reponse,
             "the quiet and the traced control differ");
    return 0;
}
