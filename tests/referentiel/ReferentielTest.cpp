// Loading a référentiel written by the fixture builder: what a good file gives,
// and the code of each way a file can be wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "referentiel/RejeuModifications.h"
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

// Records what the storage hands the replay, and answers the codes asked.
class RejeuEnregistre : public RejeuModifications {
public:
    uint16_t appliquerModificationsReferentiel(Referentiel& referentiel) override {
        tablesAuRejeu = referentiel.nombreTables;
        seuilsAuRejeu = referentiel.table(ModificationSeuil::kIdentifiant)->nombreLignes();
        return crReferentiel;
    }
    uint16_t appliquerModificationsActe(Referentiel&, const char* codeActe, NiveauActe& acte) override {
        actes.push_back(std::string(codeActe) + "|" + acte.libelleCourt);
        return crActe;
    }
    uint16_t crReferentiel = 0;
    uint16_t crActe = 0;
    uint16_t tablesAuRejeu = 0;
    uint32_t seuilsAuRejeu = 0;
    std::vector<std::string> actes;
};

}  // namespace

TEST(Referentiel, StoredModificationsAreReplayedByWhomeverTheLoadIsGiven) {
    RepertoireTemporaire repertoire("referentiel-rejeu");
    ConstructeurReferentiel constructeur;
    constructeur.ajouter<ModificationSeuil>().dateEffet = Date(2024, 1, 1);
    ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));
    ASSERT_TRUE(constructeur.ecrireModifications(repertoire.chemin()));

    // Without a replay, the records are kept as read and applied to nothing.
    Referentiel sansRejeu;
    ASSERT_EQ(charger(repertoire.chemin(), sansRejeu), 0);
    EXPECT_EQ(sansRejeu.table(ModificationSeuil::kIdentifiant)->nombreLignes(), 1u);
    EXPECT_EQ(sansRejeu.table(Seuil::kIdentifiant)->nombreLignes(), 1u);

    // Given one, the load hands it every table with the records, and each act read from the file.
    RejeuEnregistre rejeu;
    Referentiel referentiel;
    referentiel.definirRejeu(&rejeu);
    ASSERT_EQ(charger(repertoire.chemin(), referentiel), 0);
    EXPECT_EQ(rejeu.tablesAuRejeu, Referentiel::kNombreTablesTotal);
    EXPECT_EQ(rejeu.seuilsAuRejeu, 1u);
    EXPECT_TRUE(rejeu.actes.empty());
    const Index* ligne = referentiel.table(0)->ligneDe<Index>(0);
    NiveauActe acte;
    ASSERT_EQ(referentiel.chargerActe(ligne->positionActe, acte, ligne->codeActe.c_str()), 0);
    EXPECT_EQ(rejeu.actes, std::vector<std::string>{"AAAA001      |" + acte.libelleCourt});
    EXPECT_FALSE(acte.libelleCourt.empty());

    // Its refusals are the load's and the act's.
    rejeu.crActe = KPX_CR_CONSTRUCTION;
    NiveauActe refuse;
    EXPECT_EQ(referentiel.chargerActe(ligne->positionActe, refuse, ligne->codeActe.c_str()), KPX_CR_CONSTRUCTION);
    rejeu.crReferentiel = KPX_CR_DONNEES_INCOHERENTES;
    Referentiel autre;
    autre.definirRejeu(&rejeu);
    EXPECT_EQ(charger(repertoire.chemin(), autre), KPX_CR_DONNEES_INCOHERENTES);
}

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

TEST(Referentiel, ReadsAnActOnlyFromItsIndexOffset) {
    RepertoireTemporaire repertoire("referentiel-acte");
    ConstructeurReferentiel constructeur;
    constructeur.ajouterActe(ConstructeurReferentiel::acteSimple("BBBB002", 25.5));
    ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));

    Referentiel referentiel;
    ASSERT_EQ(charger(repertoire.chemin(), referentiel), 0);
    const Table* index = referentiel.table(0);
    ASSERT_EQ(index->nombreLignes(), 2u);
    Index* ligne = index->ligneDe<Index>(1);
    EXPECT_EQ(ligne->codeActe, "BBBB002      ");
    EXPECT_EQ(ligne->acte(), nullptr);

    std::unique_ptr<NiveauActe> acte(new NiveauActe);
    ASSERT_EQ(referentiel.chargerActe(ligne->positionActe, *acte, ligne->codeActe.c_str()), 0);
    EXPECT_EQ(acte->codeStructure, "BBBB002      ");
    NiveauActivite* activite = nullptr;
    ASSERT_EQ(acte->chercherActivite('1', activite), 0);
    NiveauPhase* phase = nullptr;
    ASSERT_EQ(activite->chercherNiveauPhase('0', phase), 0);
    const HistoriqueNiveauPhase* historique = nullptr;
    ASSERT_EQ(phase->chercherHistorique(Date(2020, 1, 1), historique), 0);
    EXPECT_DOUBLE_EQ(historique->prixUnitaireBase, 25.5);
    ligne->attacherActe(std::move(acte));
    EXPECT_NE(ligne->acte(), nullptr);

    // An offset inside another record reads garbage, which the checks refuse.
    NiveauActe mauvais;
    EXPECT_EQ(referentiel.chargerActe(ligne->positionActe + 3, mauvais, "BBBB002"), KPX_CR_LECTURE);
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

TEST(Referentiel, ChecksTheFileCrcAndReportsAMissingFile) {
    RepertoireTemporaire repertoire("referentiel-crc");
    ConstructeurReferentiel constructeur;
    ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));
    const std::string chemin = repertoire.fichier("table_v2.kpx");
    std::vector<uint8_t> octets = lireOctets(chemin);
    ASSERT_GT(octets.size(), 200u);
    octets[150] ^= 0x01;
    ecrireOctets(chemin, octets);
    Referentiel referentiel;
    EXPECT_EQ(charger(repertoire.chemin(), referentiel), KPX_CR_CRC);

    RepertoireTemporaire vide("referentiel-absent");
    Referentiel absent;
    EXPECT_EQ(charger(vide.chemin(), absent), KPX_CR_OUVERTURE_FICHIER);
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

TEST(Referentiel, FullFileNamesAndSystemDate) {
    std::string nom;
    ASSERT_TRUE(Referentiel::nomCompletFichier("", "table_v2.kpx", nom));
    EXPECT_EQ(nom, "table_v2.kpx");
    ASSERT_TRUE(Referentiel::nomCompletFichier("/data/", "table_v2.kpx", nom));
    EXPECT_EQ(nom, "/data/table_v2.kpx");
    ASSERT_TRUE(Referentiel::nomCompletFichier("C:\\ref\\", "table_v2.kpx", nom));
    EXPECT_EQ(nom, "C:\\ref\\table_v2.kpx");
    ASSERT_TRUE(Referentiel::nomCompletFichier("/data", "table_v2.kpx", nom));
    EXPECT_EQ(nom.size(), std::strlen("/data/table_v2.kpx"));

    Date aujourdhui;
    Referentiel::lireDateSysteme(aujourdhui);
    EXPECT_GE(aujourdhui.annee(), 2024);
    EXPECT_TRUE(aujourdhui.estRenseigne());
}
