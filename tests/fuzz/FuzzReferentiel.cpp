// The référentiel loader under any file: whatever the bytes, a load ends with a code,
// and a loaded référentiel gives its deferred tables and every act or a code.
// Byte 0 chooses how the rest is used (modulo 4, so the digits '0' to '3' also do):
//   0  the table file, as it is (the CRC check comes first);
//   1  the table file, with its CRC written anew so the structure checks are reached;
//   2  edits of the compiled sample's table file, CRC written anew;
//   3  edits of an empty modification file for the sample, beside the sample, CRC written anew.
// An edit is 4 bytes: a 24-bit big-endian offset (modulo the file's size) and the byte put there.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FichiersFuzz.h"
#include "fuzz/ModificationsFuzz.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Table.h"

namespace {

struct Etat {
    std::string repertoire = repertoireFuzz("fuzz_referentiel");
    bool echantillonEnPlace = false;
    std::vector<uint8_t> tables = lire(std::string(KPX_SAMPLE_DIR) + "/table_v2.kpx");
    std::vector<uint8_t> modifications;

    Etat() {
        // The nine modification tables, empty, after a header naming the sample's version.
        Referentiel referentiel;
        std::copy(tables.begin() + 18, tables.begin() + 22, referentiel.version);
        const std::string chemin = repertoire + "/modrefv2.kpx";
        FILE* fichier = std::fopen(chemin.c_str(), "w+b");
        verifier(fichier != nullptr, "cannot write a file");
        Ecrivain ecrivain(referentiel, fichier);
        uint16_t cr = ecrivain.ecrireEntete(Referentiel::kFichierModifications, Date(2026, 1, 15), "0000", 1,
                                            "A001      ");
        for (unsigned id = Referentiel::kPremiereTableModification; cr == 0 && id <= Referentiel::kDerniereTableModification;
             ++id) {
            char identifiant[4];
            std::snprintf(identifiant, sizeof identifiant, "%03u", id);
            cr = Table(identifiant, 0, 0, 0, false).ecrireTable(ecrivain);
        }
        verifier(cr == 0 && std::fclose(fichier) == 0, "cannot write the modification file");
        modifications = lire(chemin);
        std::remove(chemin.c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Etat etat;
    if (size < 1) return 0;
    const std::string tables = etat.repertoire + "/table_v2.kpx";
    const std::string modifications = etat.repertoire + "/modrefv2.kpx";
    std::remove(modifications.c_str());
    std::vector<uint8_t> fichier;
    switch (data[0] % 4) {
        case 0:
            ecrire(tables, data + 1, size - 1);
            etat.echantillonEnPlace = false;
            break;
        case 1:
            fichier.assign(data + 1, data + size);
            recalculerCRC(fichier);
            ecrire(tables, fichier.data(), fichier.size());
            etat.echantillonEnPlace = false;
            break;
        case 2:
            fichier = etat.tables;
            appliquer(fichier, data + 1, size - 1);
            ecrire(tables, fichier.data(), fichier.size());
            etat.echantillonEnPlace = false;
            break;
        default:
            if (!etat.echantillonEnPlace) ecrire(tables, etat.tables.data(), etat.tables.size());
            etat.echantillonEnPlace = true;
            fichier = etat.modifications;
            appliquer(fichier, data + 1, size - 1);
            ecrire(modifications, fichier.data(), fichier.size());
            break;
    }

    Referentiel referentiel;
    const char* r = etat.repertoire.c_str();
    if (referentiel.chargerReferentiel(r, r, "0302", "1000") != 0 || data[0] % 4 == 3) return 0;
    for (uint16_t id : {30, 31, 58}) {
        const uint16_t cr = referentiel.chargerTable(id);
        verifier(cr != 0 || referentiel.table(id)->etat() == Table::kChargee, "a deferred table loaded half");
    }
    chargerActes(referentiel);
    return 0;
}
