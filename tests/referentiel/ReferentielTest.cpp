// Loading a référentiel written by the fixture builder: what a good file gives,
// and the code of each way a file can be wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"
#include "kpxbuild/TraceDetailCapturee.h"

namespace {

uint16_t charger(const std::string& repertoire, Referentiel& referentiel, const char* versionMinimale = "1000") {
    return referentiel.chargerReferentiel(repertoire.c_str(), repertoire.c_str(), "0302", versionMinimale);
}

uint16_t construireEtCharger(ConstructeurReferentiel& constructeur, const std::string& nom) {
    RepertoireTemporaire repertoire(nom);
    EXPECT_TRUE(constructeur.ecrire(repertoire.chemin()));
    Referentiel referentiel;
    return charger(repertoire.chemin(), referentiel);
}

// A modification file of another version holding a record the loader would read.
void versionAutre(ConstructeurReferentiel& c, const char* version) {
    c.versionModifications = version;
    c.ajouter<ModificationSeuil>().dateEffet = Date(2024, 1, 1);
}

}  // namespace

TEST(Referentiel, LoadsEveryTableDefersTheSearchTablesAndCreatesEmptyModificationTables) {
    RepertoireTemporaire repertoire("referentiel-charge");
    ConstructeurReferentiel constructeur;
    constructeur.commentaire = "Echantillon";
    ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));

    Referentiel referentiel;
    TraceDetailCapturee trace;
    ASSERT_EQ(charger(repertoire.chemin(), referentiel), 0) << trace.texte();
    EXPECT_EQ(referentiel.nombreTables, Referentiel::kNombreTablesTotal);
    EXPECT_EQ(std::string(referentiel.version, 4), "1000");
    EXPECT_EQ(std::string(referentiel.variante, 10), "A001      ");
    EXPECT_EQ(referentiel.numeroRevision, 3);
    EXPECT_EQ(referentiel.commentaire, "Echantillon");
    for (uint16_t id : {30, 31, 58}) {
        ASSERT_NE(referentiel.table(id), nullptr) << id;
        EXPECT_EQ(referentiel.table(id)->etat(), Table::kDifferee) << id;
        EXPECT_EQ(referentiel.table(id)->ligne(0), nullptr) << id;
        EXPECT_EQ(referentiel.table(id)->nombreLignes(), 1u) << id;
    }
    for (uint16_t id = 35; id <= 43; ++id) {
        ASSERT_NE(referentiel.table(id), nullptr) << id;
        EXPECT_EQ(referentiel.table(id)->nombreLignes(), 0u) << id;
    }
    EXPECT_EQ(referentiel.table(15), nullptr);
    EXPECT_EQ(referentiel.table(28), nullptr);
    const Modificateur* rien = referentiel.table(22)->ligneDe<Modificateur>(0);
    EXPECT_EQ(rien, nullptr);
    EXPECT_EQ(referentiel.table(1)->ligneDe<AssociationNonPrevue>(0)->codeAssociation, '1');

    // Deferred tables come in on demand, with their checks.
    ASSERT_EQ(referentiel.chargerTable(58), 0);
    EXPECT_EQ(referentiel.table(58)->etat(), Table::kChargee);
    EXPECT_EQ(referentiel.table(58)->ligneDe<MotCle>(0)->motCleCanonique, "COTE");
    ASSERT_EQ(referentiel.chargerTable(30), 0);
    EXPECT_EQ(referentiel.table(30)->ligneDe<ActeIndexe>(0)->codeActe, "AAAA001      ");

    // The copy is deep: its tables and rows are its own.
    Referentiel copie(referentiel);
    EXPECT_EQ(copie.nombreTables, referentiel.nombreTables);
    EXPECT_NE(copie.table(58), referentiel.table(58));
    EXPECT_EQ(copie.table(58)->ligneDe<MotCle>(0)->motCle, "cote");
    EXPECT_EQ(std::string(copie.variante, 10), std::string(referentiel.variante, 10));
}

TEST(Referentiel, RefusesDamagedOrIncompleteFilesWithTheirCode) {
    struct Cas {
        const char* nom;
        void (*preparer)(ConstructeurReferentiel&);
        uint16_t attendu;
    };
    const Cas cas[] = {
        {"nom", [](ConstructeurReferentiel& c) { c.nomFichier = "autre.kpx"; }, KPX_CR_LECTURE},
        {"57-tables", [](ConstructeurReferentiel& c) { c.ordre.erase(c.ordre.begin()); }, KPX_CR_NOMBRE_TABLES},
        {"sans-index", [](ConstructeurReferentiel& c) { c.ordre.pop_back(); }, KPX_CR_LECTURE},
        {"index-tot",
         [](ConstructeurReferentiel& c) {
             c.ordre.pop_back();
             c.ordre.insert(c.ordre.begin() + 3, 0);
         },
         KPX_CR_NOMBRE_TABLES},
        {"doublon", [](ConstructeurReferentiel& c) { c.ordre.insert(c.ordre.begin(), 1); }, KPX_CR_LECTURE},
        {"table-vide", [](ConstructeurReferentiel& c) { c.vider(14); }, KPX_CR_LECTURE},
        {"plage-hors-table", [](ConstructeurReferentiel& c) { c.ligne<AssociationNonPrevue>(0).grilles = {0, 2}; },
         KPX_CR_LECTURE},
        {"plage-obligatoire", [](ConstructeurReferentiel& c) { c.ligne<Specialite>(0).historiques = {0, 0}; },
         KPX_CR_LECTURE},
        {"ligne-invalide", [](ConstructeurReferentiel& c) { c.ligne<HistoriqueValeurModificateur>(0).coefficient = 0.5; },
         KPX_CR_LECTURE},
        {"version-min-logiciel", [](ConstructeurReferentiel& c) { c.versionMinimaleLogiciel = "0303"; }, KPX_CR_VERSION},
        {"version-0999", [](ConstructeurReferentiel& c) { c.version = "0999"; }, KPX_CR_VERSION},
        {"version-1000", [](ConstructeurReferentiel& c) { c.version = "1000"; }, 0},
        {"inconnue-015",
         [](ConstructeurReferentiel& c) {
             c.ordre.insert(c.ordre.begin() + 5, 15);
             c.sectionsBrutes[15] = std::string("015\0\0\0\2\0\0\0\3xyz", 14);
         },
         0},
        {"inconnue-040",
         [](ConstructeurReferentiel& c) {
             c.ordre.insert(c.ordre.begin(), 40);
             c.sectionsBrutes[40] = std::string("040\0\0\0\0\0\0\0\0", 11);
         },
         0},
    };
    for (const Cas& c : cas) {
        ConstructeurReferentiel constructeur;
        c.preparer(constructeur);
        EXPECT_EQ(construireEtCharger(constructeur, std::string("referentiel-") + c.nom), c.attendu) << c.nom;
    }
}

TEST(Referentiel, ModificationFileIsIgnoredWhenForAnotherVersionAndCheckedOtherwise) {
    struct Cas {
        const char* nom;
        void (*preparer)(ConstructeurReferentiel&);
        bool corrompre;
        uint16_t attendu;
    };
    const Cas cas[] = {
        {"vide", [](ConstructeurReferentiel&) {}, false, 0},
        // Records of another référentiel version are never read, wherever the versions differ.
        {"autre-version", [](ConstructeurReferentiel& c) { versionAutre(c, "1001"); }, false, 0},
        {"autre-version-premier-octet", [](ConstructeurReferentiel& c) { versionAutre(c, "2000"); }, false, 0},
        {"autre-version-crc", [](ConstructeurReferentiel& c) { versionAutre(c, "1001"); }, true,
         KPX_CR_CRC_MODIFICATIONS},
        {"crc", [](ConstructeurReferentiel&) {}, true, KPX_CR_CRC_MODIFICATIONS},
        {"8-tables", [](ConstructeurReferentiel& c) { c.ordreModifications.pop_back(); }, false,
         KPX_CR_NOMBRE_TABLES_TOTAL},
        {"ligne-invalide",
         [](ConstructeurReferentiel& c) { c.ajouter<ModificationSeuil>(); }, false, KPX_CR_LECTURE_MODIFICATIONS},
    };
    for (const Cas& c : cas) {
        RepertoireTemporaire repertoire(std::string("modifications-") + c.nom);
        ConstructeurReferentiel constructeur;
        c.preparer(constructeur);
        ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));
        ASSERT_TRUE(constructeur.ecrireModifications(repertoire.chemin()));
        if (c.corrompre) {
            std::vector<uint8_t> octets = lireOctets(repertoire.fichier("modrefv2.kpx"));
            octets.back() ^= 0x40;
            ecrireOctets(repertoire.fichier("modrefv2.kpx"), octets);
        }
        Referentiel referentiel;
        EXPECT_EQ(charger(repertoire.chemin(), referentiel), c.attendu) << c.nom;
        if (c.attendu == 0) {
            EXPECT_EQ(referentiel.nombreTables, Referentiel::kNombreTablesTotal) << c.nom;
            for (uint16_t id = 35; id <= 43; ++id) EXPECT_EQ(referentiel.table(id)->nombreLignes(), 0u) << c.nom;
        }
    }
}

TEST(Referentiel, ArborescenceIsCheckedOnceLoaded) {
    RepertoireTemporaire repertoire("referentiel-arborescence");
    ConstructeurReferentiel constructeur;
    constructeur.vider(31);
    ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));
    Referentiel referentiel;
    ASSERT_EQ(charger(repertoire.chemin(), referentiel), 0);
    EXPECT_EQ(referentiel.chargerTable(31), KPX_CR_LECTURE);
    // A table whose own rows are fine but whose children are missing fails too and stays deferred.
    RepertoireTemporaire autre("referentiel-motcle");
    ConstructeurReferentiel sansSynonymes;
    sansSynonymes.vider(29);
    ASSERT_TRUE(sansSynonymes.ecrire(autre.chemin()));
    Referentiel second;
    ASSERT_EQ(charger(autre.chemin(), second), 0);
    ASSERT_EQ(second.chargerTable(58), 0);
    EXPECT_EQ(second.chargerTable(30), KPX_CR_LECTURE);
}

TEST(Referentiel, FullFileNames) {
    std::string nom;
    ASSERT_TRUE(Referentiel::nomCompletFichier("", "table_v2.kpx", nom));
    EXPECT_EQ(nom, "table_v2.kpx");
    ASSERT_TRUE(Referentiel::nomCompletFichier("/data/", "table_v2.kpx", nom));
    EXPECT_EQ(nom, "/data/table_v2.kpx");
    ASSERT_TRUE(Referentiel::nomCompletFichier("C:\\ref\\", "table_v2.kpx", nom));
    EXPECT_EQ(nom, "C:\\ref\\table_v2.kpx");
    ASSERT_TRUE(Referentiel::nomCompletFichier("/data", "table_v2.kpx", nom));
    EXPECT_EQ(nom.size(), std::strlen("/data/table_v2.kpx"));
}
