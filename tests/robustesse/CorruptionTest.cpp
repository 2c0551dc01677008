// Every single-byte change (the CRC written anew, so the structure checks are reached)
// and every truncation of the compiled sample and of a modification file the library
// saved: each load answers a code or succeeds; a référentiel that loads gives its deferred
// tables and acts or a code, answers every consultation function of its own description
// and the searches, and once destroyed the heap and the accounted memory are back where
// they were. The suite tries about kOffsets evenly spread offsets of each file;
// KPX_CORRUPTION=complet tries them all (run it under the sanitizers: the figures are in
// docs/reliability.md).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "consultation/FonctionsConsulter.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "consultation/RechercheActes.h"
#include "frame/BlocsGardes.h"
#include "frame/Systeme.h"
#include "fuzz/ModificationsFuzz.h"
#include "fuzz/ZonesFuzz.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "referentiel/Referentiel.h"
#include "robustesse/PlafondMemoire.h"
#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"
#include "support/SectionsTables.h"

namespace {

constexpr size_t kOffsets = 150;

size_t pas(size_t taille) {
    const char* choix = std::getenv("KPX_CORRUPTION");
    if (choix != nullptr && std::strcmp(choix, "complet") == 0) return 1;
    return taille / kOffsets > 1 ? taille / kOffsets : 1;
}

struct Bilan {
    size_t cas = 0;
    size_t charges = 0;
    size_t appels = 0;
};

// Everything a loaded référentiel answers from its files and its own description.
void exercer(Referentiel& referentiel, Bilan& bilan, const std::string& cas) {
    for (uint16_t id : {30, 31, 58}) referentiel.chargerTable(id);
    chargerActes(referentiel);
    Interface interface;
    {
        LectureDonnees lecture(&referentiel);
        ASSERT_EQ(lecture.ouvrir(), 0) << cas;
        if (interface.initialiser(lecture) != 0) return;
    }
    const Date date(2024, 1, 1);
    for (uint16_t i = interface.debutFamille(Interface::CONSULTATION); i < interface.finFamille(Interface::CONSULTATION);
         ++i) {
        const SuperGroupe* racine = interface.racine(i);
        const std::string octets = coderZone(zonesfuzz::zoneDe(zonesfuzz::groupesDe(*racine), {}));
        ZoneKPX entree(reinterpret_cast<const uint8_t*>(octets.data()), static_cast<uint32_t>(octets.size()));
        LectureDonnees lecture(&referentiel);
        ASSERT_EQ(lecture.ouvrir(), 0) << cas;
        FonctionsConsulter fonctions(date, racine->decritGroupes() ? &entree : nullptr, racine, lecture);
        ZoneSortie sortie;
        const uint16_t cr = fonctions.executer(racine->numero(), sortie);
        EXPECT_TRUE(cr == 0 || !sortie) << cas << ", " << racine->nom();
        ++bilan.appels;
    }
    LectureDonnees lecture(&referentiel);
    ASSERT_EQ(lecture.ouvrir(), 0) << cas;
    RechercheActes recherche(lecture);
    for (int k = 0; k < 2; ++k) {
        ZoneSortie sortie;
        const uint16_t cr = k == 0 ? recherche.parMotCle("genou", 0, sortie) : recherche.parFiltre("H", sortie);
        EXPECT_TRUE(cr == 0 || !sortie) << cas << ", search " << k;
        ++bilan.appels;
    }
}

// Files the process holds open (none counted where the system does not list them).
size_t fichiersOuverts() {
    size_t n = 0;
    std::error_code erreur;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", erreur);
         !erreur && it != std::filesystem::directory_iterator(); it.increment(erreur))
        ++n;
    return n;
}

// One load of the directory and all it answers; the heap, the accounted memory and the
// open files come back.
void essayer(const std::string& repertoire, Bilan& bilan, const std::string& cas) {
    const size_t fichiers = fichiersOuverts();
    // Blocks the thread keeps for its next values are no leak.
    libererBlocsGardes();
    const size_t tas = PlafondMemoire::enCours();
    const uint32_t memoire = Systeme::tailleMemoireCumulee();
    {
        RejeuModificationDonnees rejeu;
        Referentiel referentiel;
        referentiel.definirRejeu(&rejeu);
        if (referentiel.chargerReferentiel(repertoire.c_str(), repertoire.c_str(), "0302", "1000") == 0) {
            ++bilan.charges;
            exercer(referentiel, bilan, cas);
            EXPECT_EQ(referentiel.nombreLecteurs(), 0u) << cas;
        }
    }
    ++bilan.cas;
    libererBlocsGardes();
    EXPECT_EQ(PlafondMemoire::enCours(), tas) << cas << ": heap bytes kept";
    EXPECT_EQ(Systeme::tailleMemoireCumulee(), memoire) << cas << ": accounted memory kept";
    EXPECT_EQ(fichiersOuverts(), fichiers) << cas << ": files kept open";
}

// Each offset changed (to the next value, then with its high bit turned over) and each
// length cut, one in pas(size); the CRC is written anew except when the change
// is in the CRC itself.
Bilan balayer(const std::vector<uint8_t>& original, const std::string& chemin, const std::string& repertoire,
              const std::string& nom) {
    Bilan bilan;
    ecrireOctets(chemin, original);
    essayer(repertoire, bilan, nom + " as saved");  // warms up what the library keeps for the process
    bilan = Bilan();
    for (size_t position = 0; position < original.size(); position += pas(original.size())) {
        for (uint8_t masque : {0x00, 0x80}) {
            std::vector<uint8_t> fichier = original;
            fichier[position] = masque ? static_cast<uint8_t>(fichier[position] ^ masque)
                                       : static_cast<uint8_t>(fichier[position] + 1);
            if (position >= 4) recalculerCRC(fichier);
            ecrireOctets(chemin, fichier);
            essayer(repertoire, bilan, nom + " byte " + std::to_string(position) + (masque ? " ^0x80" : " +1"));
        }
        std::vector<uint8_t> coupe(original.begin(), original.begin() + static_cast<long>(position));
        recalculerCRC(coupe);
        ecrireOctets(chemin, coupe);
        essayer(repertoire, bilan, nom + " cut at " + std::to_string(position));
        if (bilan.cas % 3000 == 0) {
            std::printf("%s: %zu cases so far\n", nom.c_str(), bilan.cas);
            std::fflush(stdout);
        }
    }
    std::printf("%s: %zu cases, %zu loaded, %zu calls answered\n", nom.c_str(), bilan.cas, bilan.charges,
                bilan.appels);
    ::testing::Test::RecordProperty(nom, static_cast<int>(bilan.cas));
    return bilan;
}

}  // namespace

TEST(Corruption, EveryChangeOrCutOfTheTableFileLoadsWithACodeOrAnswersEveryConsultation) {
    ASSERT_FALSE(repertoireEchantillon().empty());
    const std::vector<uint8_t> tables = lireOctets(repertoireEchantillon() + "/table_v2.kpx");
    RepertoireTemporaire repertoire("corruption-tables-" + std::to_string(getpid()));  // a long run beside the suite
    const Bilan bilan = balayer(tables, repertoire.fichier("table_v2.kpx"), repertoire.chemin(), "table_v2.kpx");
    EXPECT_EQ(bilan.cas, 3 * ((tables.size() + pas(tables.size()) - 1) / pas(tables.size())));
    // Changes in the acts' records and in the comment load: the consultations did run.
    EXPECT_GT(bilan.charges, 0u);
    EXPECT_GT(bilan.appels, bilan.charges);
}

TEST(Corruption, EveryChangeOrCutOfASavedModificationFileLoadsWithACodeOrAnswersEveryConsultation) {
    ASSERT_FALSE(repertoireEchantillon().empty());
    RepertoireTemporaire repertoire("corruption-modifications-" + std::to_string(getpid()));
    ecrireOctets(repertoire.fichier("table_v2.kpx"), lireOctets(repertoireEchantillon() + "/table_v2.kpx"));
    {
        RejeuModificationDonnees rejeu;
        Referentiel referentiel;
        referentiel.definirRejeu(&rejeu);
        const char* r = repertoire.chemin().c_str();
        ASSERT_EQ(referentiel.chargerReferentiel(r, r, "0302", "1000"), 0);
        ModificationDonnees modification(&referentiel);
        ASSERT_EQ(changerDeChaqueSorte(modification), 0);
        ASSERT_EQ(referentiel.sauvegarderModifications(), 0);
    }
    const std::vector<uint8_t> modifications = lireOctets(repertoire.fichier("modrefv2.kpx"));
    ASSERT_EQ(sectionsTables(modifications, false).size(), 9u);
    const Bilan bilan =
        balayer(modifications, repertoire.fichier("modrefv2.kpx"), repertoire.chemin(), "modrefv2.kpx");
    EXPECT_GT(bilan.charges, 0u);
    EXPECT_GT(bilan.appels, bilan.charges);
}
