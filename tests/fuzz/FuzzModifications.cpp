// The loader and the replay under any modification file beside the compiled sample:
// whatever the bytes, the load ends with a code; a loaded référentiel gives every act
// or a code, cancels every kind of change or answers why not, and saves or answers 0xD700.
// Byte 0 chooses how the rest is used (modulo 3, so the digits '0' to '2' also do):
//   0  the modification file, as it is (the CRC check comes first);
//   1  the modification file, with its CRC written anew so the records are read;
//   2  edits of a file the library saved with a change of every kind, CRC written anew.
// An edit is 4 bytes: a 24-bit big-endian offset (modulo the file's size) and the byte put there.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FichiersFuzz.h"
#include "fuzz/ModificationsFuzz.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "referentiel/Table.h"

namespace {

struct Etat {
    std::string repertoire = repertoireFuzz("fuzz_modifications");
    RejeuModificationDonnees rejeu;
    std::vector<uint8_t> modele;

    Etat() {
        const std::vector<uint8_t> tables = lire(std::string(KPX_SAMPLE_DIR) + "/table_v2.kpx");
        ecrire(repertoire + "/table_v2.kpx", tables.data(), tables.size());
        // One change of every kind, saved by the library itself.
        Referentiel referentiel;
        verifier(charger(referentiel) == 0, "the sample does not load");
        ModificationDonnees m(&referentiel);
        uint16_t cr = changerDeChaqueSorte(m);
        if (cr == 0) cr = referentiel.sauvegarderModifications();
        verifier(cr == 0, "the changes of the model file are refused");
        modele = lire(repertoire + "/modrefv2.kpx");
    }

    uint16_t charger(Referentiel& referentiel) {
        referentiel.definirRejeu(&rejeu);
        const char* r = repertoire.c_str();
        return referentiel.chargerReferentiel(r, r, "0302", "1000");
    }

    void nettoyer() {
        for (const char* nom : {"/modrefv2.kpx", "/modifv2~.kpx", "/modiftmp.kpx", "/modif~.sav"})
            std::remove((repertoire + nom).c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Etat etat;
    if (size < 1) return 0;
    etat.nettoyer();
    std::vector<uint8_t> fichier;
    switch (data[0] % 3) {
        case 0: fichier.assign(data + 1, data + size); break;
        case 1:
            fichier.assign(data + 1, data + size);
            recalculerCRC(fichier);
            break;
        default:
            fichier = etat.modele;
            appliquer(fichier, data + 1, size - 1);
            break;
    }
    ecrire(etat.repertoire + "/modrefv2.kpx", fichier.data(), fichier.size());

    Referentiel referentiel;
    if (etat.charger(referentiel) != 0) return 0;
    chargerActes(referentiel);
    ModificationDonnees m(&referentiel);
    m.annulerModificationsPrixUnitaire("AHQP001", "1", "0");
    m.annulerModificationsSupplementCharges("AHQP001", "1", "0");
    m.annulerModificationsMajorationDOM("AHQP001", "1", "0", 2);
    m.annulerModificationsCodeRegroupement("AHQP001", "1");
    for (const char* association : {"1", "3"}) m.annulerModificationsCoefficientAssociationNonPrevue(association);
    for (int32_t position = 1; position <= 4; ++position) m.annulerModificationsSeuilExoTM(position);
    m.annulerModificationsValeurModificateur("F");
    m.annulerModificationsValeurNonConventionnes();
    m.annulerNouveauxCodesRegroupement();
    const uint16_t cr = referentiel.sauvegarderModifications();
    verifier(cr == 0 || cr == KPX_CR_ECRITURE || cr == KPX_CR_DONNEES_INCOHERENTES, "a save answered another code");
    return 0;
}
