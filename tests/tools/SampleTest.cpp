// The bundled sample référentiel: it compiles, loads with every deferred table and
// every act, is its own canonical source, and holds the cases later layers test on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "kpxbuild/Compilateur.h"
#include "kpxbuild/ContenuReferentiel.h"
#include "referentiel/HistoriqueNiveauPhase.h"
#include "referentiel/NiveauActivite.h"
#include "referentiel/NiveauPhase.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"

namespace fs = std::filesystem;

namespace {

const std::string kSource = std::string(KPX_SOURCE_DIR) + "/data/sample";

std::string lireTexte(const fs::path& chemin) {
    std::ifstream entree(chemin, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(entree)), std::istreambuf_iterator<char>());
}

std::string joindre(const std::vector<std::string>& erreurs) {
    std::string texte;
    for (const auto& e : erreurs) texte += e + "\n";
    return texte;
}

std::string sansBlancs(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

// The sample as the tests compile it, read back.
struct Echantillon {
    std::string repertoire;
    ContenuReferentiel contenu;
    bool ok = false;
    std::string erreur;
    Echantillon() {
        repertoire = repertoireEchantillon(&erreur);
        ok = !repertoire.empty() && lireFichiers(repertoire, contenu, erreur);
    }
    std::string fichier(const std::string& nom) const { return repertoire + "/" + nom; }
    const NiveauActe* acte(const std::string& code) const {
        for (const auto& a : contenu.actes)
            if (sansBlancs(a->codeStructure) == code) return a.get();
        return nullptr;
    }
};

Echantillon& echantillon() {
    static Echantillon e;
    return e;
}

}  // namespace

TEST(Sample, CompilesAndLoadsWithEveryDeferredTable) {
    Echantillon& e = echantillon();
    ASSERT_TRUE(e.ok) << e.erreur;

    Referentiel referentiel;
    const std::string& rep = e.repertoire;
    ASSERT_EQ(referentiel.chargerReferentiel(rep.c_str(), rep.c_str(), "0302", "1000"), 0);
    for (uint16_t deferee : {30, 31, 58}) EXPECT_EQ(referentiel.chargerTable(deferee), 0) << deferee;
    EXPECT_EQ(referentiel.controlerTables(), 0);
    // Every reference table of the file is present and none is left empty.
    uint16_t presentes = 0;
    for (uint16_t id = 0; id < Referentiel::kNombreIdentifiants; ++id) {
        if (id >= Referentiel::kPremiereTableModification && id <= Referentiel::kDerniereTableModification) continue;
        if (referentiel.table(id) == nullptr) continue;
        ++presentes;
        EXPECT_GT(referentiel.table(id)->nombreLignes(), 0u) << "table " << id;
    }
    EXPECT_EQ(presentes, Referentiel::kNombreTablesReference);
    EXPECT_EQ(referentiel.table(0)->nombreLignes(), e.contenu.actes.size());
}

TEST(Sample, IsItsOwnCanonicalSource) {
    Echantillon& e = echantillon();
    ASSERT_TRUE(e.ok) << e.erreur;
    RepertoireTemporaire racine("sample-canonique");
    std::vector<std::string> erreurs;
    ASSERT_TRUE(decompiler(e.repertoire, racine.chemin() + "/source", erreurs)) << joindre(erreurs);
    std::set<std::string> fichiers;
    for (const auto& f : fs::recursive_directory_iterator(kSource))
        if (f.is_regular_file()) fichiers.insert(fs::relative(f.path(), kSource).string());
    for (const auto& f : fs::recursive_directory_iterator(racine.chemin() + "/source"))
        if (f.is_regular_file()) fichiers.insert(fs::relative(f.path(), racine.chemin() + "/source").string());
    for (const std::string& f : fichiers)
        EXPECT_EQ(lireTexte(fs::path(kSource) / f), lireTexte(fs::path(racine.chemin()) / "source" / f))
            << f << " is not in canonical form: decompile the compiled sample over data/sample";
    ASSERT_TRUE(compiler(racine.chemin() + "/source", racine.chemin() + "/recompile", erreurs)) << joindre(erreurs);
    EXPECT_EQ(lireOctets(e.fichier("table_v2.kpx")), lireOctets(racine.chemin() + "/recompile/table_v2.kpx"));
}

TEST(Sample, HoldsTheCasesTheQueryAndRuleLayersNeed) {
    Echantillon& e = echantillon();
    ASSERT_TRUE(e.ok) << e.erreur;
    ContenuReferentiel& c = e.contenu;
    EXPECT_GE(c.actes.size(), 40u);

    // Acts in the shape of the nomenclature, three of them under the filter AB.
    int ab = 0;
    for (const auto& a : c.actes) {
        const std::string code = sansBlancs(a->codeStructure);
        ASSERT_EQ(code.size(), 7u) << code;
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(code[i] >= 'A' && code[i] <= 'Z') << code;
        for (int i = 4; i < 7; ++i) EXPECT_TRUE(code[i] >= '0' && code[i] <= '9') << code;
        if (code.compare(0, 2, "AB") == 0) ++ab;
    }
    EXPECT_EQ(ab, 3);

    // A price that changes on 2024-01-01, 41.80 before and 45.00 from that day.
    const NiveauActe* emg = e.acte("AHQP001");
    ASSERT_NE(emg, nullptr);
    NiveauActivite* activite = nullptr;
    ASSERT_EQ(emg->chercherActivite('1', activite), 0);
    NiveauPhase* phase = nullptr;
    ASSERT_EQ(activite->chercherNiveauPhase('0', phase), 0);
    const HistoriqueNiveauPhase* h = nullptr;
    ASSERT_EQ(phase->chercherHistorique(Date(2024, 1, 1), h), 0);
    EXPECT_DOUBLE_EQ(h->prixUnitaireBase, 45.0);
    ASSERT_EQ(phase->chercherHistorique(Date(2023, 12, 31), h), 0);
    EXPECT_DOUBLE_EQ(h->prixUnitaireBase, 41.8);

    // An act with an end date; an anaesthesia activity; phases 0 to 2.
    ASSERT_NE(e.acte("MZQK002"), nullptr);
    EXPECT_EQ(e.acte("MZQK002")->dateFin.annee(), 2022);
    ASSERT_EQ(e.acte("HHFA016")->chercherActivite('4', activite), 0);
    ASSERT_EQ(e.acte("HBLD035")->chercherActivite('1', activite), 0);
    ASSERT_EQ(activite->phases().size(), 3u);
    for (char p : {'0', '1', '2'}) EXPECT_EQ(activite->chercherNiveauPhase(p, phase), 0) << p;

    // Concepts 1 to 22 and the eleven code lists, by row.
    EXPECT_EQ(c.table(ConceptCCAM::kIdentifiant).nombreLignes(), 22u);
    EXPECT_EQ(c.table(Codes::kIdentifiant).nombreLignes(), 11u);

    // Keywords in canonical form, accented and hyphenated ones included.
    std::set<std::string> canoniques;
    Table& mots = c.table(MotCle::kIdentifiant);
    for (uint32_t i = 0; i < mots.nombreLignes(); ++i) canoniques.insert(mots.ligneDe<MotCle>(i)->motCleCanonique);
    EXPECT_TRUE(canoniques.count("COTE"));
    EXPECT_TRUE(canoniques.count("REINDROIT"));
    EXPECT_TRUE(canoniques.count("ECHOGRAPHIE"));

    // Every rule identifier the rules can raise has its information row.
    std::set<std::string> regles;
    Table& informations = c.table(InformationRegle::kIdentifiant);
    for (uint32_t i = 0; i < informations.nombreLignes(); ++i)
        regles.insert(sansBlancs(informations.ligneDe<InformationRegle>(i)->identifiantRegle));
    for (const char* r : {"PROD136A", "PROD211", "PROD500", "PROD590A", "PROD590B", "PROD650", "PROD720", "PROD785",
                          "PROD791C", "PROD798A", "PROD850", "PROD880A", "PROD930"})
        EXPECT_TRUE(regles.count(r)) << r;
}
