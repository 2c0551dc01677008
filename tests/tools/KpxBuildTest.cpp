// The référentiel compiler: decompile then compile gives the same bytes, compile
// then decompile the same source, and each source fault is named where it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "kpxbuild/Compilateur.h"
#include "kpxbuild/SourceJson.h"
#include "kpxbuild/Synthetique.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

void ecrireJson(const fs::path& chemin, const json& document) { std::ofstream(chemin) << document.dump(2); }

std::string joindre(const std::vector<std::string>& erreurs) {
    std::string texte;
    for (const auto& e : erreurs) texte += e + "\n";
    return texte;
}

}  // namespace

// What the decompiled sources hold is checked on the sample, whose sources are checked in
// and compared whole.
TEST(KpxBuild, DecompileThenCompileIsTheIdentityOnTheBytes) {
    RepertoireTemporaire racine("kpx-build-identite");
    const std::string original = racine.chemin() + "/original";
    const std::string source = racine.chemin() + "/source";
    const std::string recompile = racine.chemin() + "/recompile";
    fs::create_directories(original);

    ConstructeurReferentiel constructeur;
    constructeur.commentaire = "Jeu d'essai";
    auto acte = ConstructeurReferentiel::acteSimple("LAQK001", 19.95);
    acte->libelleCourt = "Ex\xE9r\xE8se";  // the file holds Latin-1
    acte->dateFin = Date(2030, 6, 30);
    constructeur.ajouterActe(std::move(acte));
    auto& modificateur = constructeur.ajouter<Modificateur>();
    modificateur.codeModificateur = 'F';
    modificateur.historiquesCoherence = {0, 1};
    modificateur.grillesTarifaires = {0, 1};
    constructeur.ajouter<HistoriqueCoherenceModificateur>().dateDebut = Date(2005, 1, 1);
    ASSERT_TRUE(constructeur.ecrire(original));
    ASSERT_TRUE(constructeur.ecrireModifications(original));

    std::vector<std::string> erreurs;
    ASSERT_TRUE(decompiler(original, source, erreurs)) << joindre(erreurs);
    ASSERT_TRUE(compiler(source, recompile, erreurs)) << joindre(erreurs);
    EXPECT_EQ(lireOctets(original + "/table_v2.kpx"), lireOctets(recompile + "/table_v2.kpx"));
    EXPECT_EQ(lireOctets(original + "/modrefv2.kpx"), lireOctets(recompile + "/modrefv2.kpx"));
}

TEST(KpxBuild, EverySourceFaultIsNamedByFileAndPathAndNothingIsWritten) {
    RepertoireTemporaire racine("kpx-build-erreurs");
    const std::string original = racine.chemin() + "/original";
    const std::string source = racine.chemin() + "/source";
    fs::create_directories(original);
    ConstructeurReferentiel constructeur;
    constructeur.ajouterActe(ConstructeurReferentiel::acteSimple("BBBB002"));
    ASSERT_TRUE(constructeur.ecrire(original));
    std::vector<std::string> erreurs;
    ASSERT_TRUE(decompiler(original, source, erreurs)) << joindre(erreurs);

    struct Cas {
        const char* nom;
        const char* fichier;
        void (*modifier)(json&);
        std::string attendu;
    };
    // A dated table that local modifications extend at its head, given a row newer than the one before.
    const std::string kOrdre =
        " non anterieure a celle de la ligne 0 (2000-01-01) : les lignes datees vont de la plus recente a la plus "
        "ancienne";
    const Cas cas[] = {
        {"champ inconnu", "tables/associations.json", [](json& d) { d["RegleTarifaire"][0]["couleur"] = "bleu"; },
         "tables/associations.json: /RegleTarifaire/0/couleur: champ inconnu"},
        {"mauvais type", "tables/associations.json", [](json& d) { d["RegleGrille"][0]["codeGrille"] = "un"; },
         "tables/associations.json: /RegleGrille/0/codeGrille: un entier de 0 a 65535 attendu"},
        {"plage hors table", "tables/associations.json",
         [](json& d) { d["RegleTarifaire"][0]["grilles"] = {{"position", 0}, {"nombre", 3}}; },
         "associations: /RegleTarifaire/0: Code regle 1 : / ERREUR : Position + nombre de grilles dépasse le nombre de "
         "lignes de la table RegleGrille"},
        {"table non triee", "tables/associations.json",
         [](json& d) { d["RegleTarifaire"].push_back(d["RegleTarifaire"][0]); },
         "associations: /RegleTarifaire/1: table non triee (cle egale ou inferieure a la ligne precedente)"},
        {"table vide", "tables/parametres.json", [](json& d) { d["Seuil"] = json::array(); },
         "parametres: /Seuil: table vide (interdit)"},
        {"valeur refusee", "tables/modificateurs.json",
         [](json& d) { d["HistoriqueValeurModificateur"][0]["coefficient"] = 0.5; },
         "modificateurs: /HistoriqueValeurModificateur/0: ERREUR : le coefficient modificateur doit etre superieur ou "
         "egal a 1, Code retour HistoriqueValeurModificateur::lireLigne : 0xD640 (0xD640)"},
        {"acte sans historique", "actes/actes.json", [](json& d) { d[1]["historiques"] = json::array(); },
         "actes/actes.json: /1/historiques: un acte a au moins un historique"},
        {"entente X", "actes/actes.json", [](json& d) { d[1]["historiques"][0]["ententePrealable"] = "X"; },
         "actes: BBBB002: ERREUR position 0x0000004B : Code entente prealable incorrect / ERREUR : erreur de lecture "
         "des donnees dans le fichier / ERREUR : erreur de lecture des donnees dans le fichier (0xD640)"},
        {"table inconnue", "tables/associations.json", [](json& d) { d["Couleur"] = json::array(); },
         "tables/associations.json: /Couleur: table inconnue ici"},
        {"table en double", "tables/associations.json", [](json& d) { d["Seuil"] = json::array(); },
         "tables/parametres.json: /Seuil: table deja definie dans un autre fichier"},
        {"hors Latin-1", "actes/actes.json", [](json& d) { d[1]["libelleCourt"] = "Prix en \u20AC"; },
         "actes/actes.json: /1/libelleCourt: caractere hors Latin-1"},
        {"date", "actes/actes.json", [](json& d) { d[1]["dateCreation"] = "2005/01/01"; },
         "actes/actes.json: /1/dateCreation: une date \"AAAA-MM-JJ\" ou null attendue"},
        {"seuils du plus ancien au plus recent", "tables/parametres.json",
         [](json& d) {
             d["Seuil"].push_back(d["Seuil"][0]);
             d["Seuil"][1]["dateDebut"] = "2011-01-01";
         },
         "parametres: /Seuil/1: date debut 2011-01-01" + kOrdre},
        {"non-conventionnes a la meme date", "tables/parametres.json",
         [](json& d) { d["ReductionNonConventionne"].push_back(d["ReductionNonConventionne"][0]); },
         "parametres: /ReductionNonConventionne/1: date debut 2000-01-01" + kOrdre},
        {"valeurs d'un modificateur", "tables/modificateurs.json",
         [](json& d) {
             d["HistoriqueValeurModificateur"].push_back(d["HistoriqueValeurModificateur"][0]);
             d["HistoriqueValeurModificateur"][1]["dateDebut"] = "2024-01-01";
             d["ModificaGrille"][0]["historiquesValeur"]["nombre"] = 2;
         },
         "modificateurs: /HistoriqueValeurModificateur/1: date debut 2024-01-01" + kOrdre},
        {"coefficients d'une association non prevue", "tables/associations.json",
         [](json& d) {
             d["HistoriqueAssociationNonPrevue"].push_back(d["HistoriqueAssociationNonPrevue"][0]);
             d["HistoriqueAssociationNonPrevue"][1]["dateDebut"] = "2020-01-01";
             d["AssoGrille"][0]["historiques"]["nombre"] = 2;
         },
         "associations: /HistoriqueAssociationNonPrevue/1: date debut 2020-01-01" + kOrdre},
        {"services cherches par leur nom", "tables/regles.json",
         [](json& d) { d["ServiceDebrayable"].push_back(d["ServiceDebrayable"][0]); },
         "regles: /ServiceDebrayable/1: table non triee (cle egale ou inferieure a la ligne precedente)"},
        {"menus cherches par leur numero", "tables/recherche.json",
         [](json& d) {
             d["Arborescence"].push_back(d["Arborescence"][0]);
             d["Arborescence"][1]["codeMenu"] = 0;
         },
         "recherche: /Arborescence/1: table non triee (cle egale ou inferieure a la ligne precedente)"},
    };
    for (const Cas& c : cas) {
        const fs::path chemin = fs::path(source) / c.fichier;
        const std::string avant = lireTexte(chemin);
        json document = json::parse(avant);
        c.modifier(document);
        ecrireJson(chemin, document);
        const std::string sortie = racine.chemin() + "/sortie";
        erreurs.clear();
        EXPECT_FALSE(compiler(source, sortie, erreurs)) << c.nom;
        EXPECT_NE(std::find(erreurs.begin(), erreurs.end(), c.attendu), erreurs.end()) << c.nom << "\n" << joindre(erreurs);
        EXPECT_FALSE(fs::exists(sortie + "/table_v2.kpx")) << c.nom;
        std::ofstream(chemin) << avant;
    }
}

TEST(KpxBuild, TheCheckedInFieldReferenceIsCurrent) {
    const std::string document = lireTexte(fs::path(KPX_SOURCE_DIR) / "docs/referentiel-source.md");
    const std::string titre = "## Field reference\n\n";
    const size_t debut = document.find(titre);
    ASSERT_NE(debut, std::string::npos);
    EXPECT_EQ(document.substr(debut + titre.size()), schemaSource())
        << "regenerate the end of docs/referentiel-source.md with: build/bin/kpx-build schema";
}

TEST(KpxBuild, SyntheticReferentielOverTheSampleLoadsAndDependsOnlyOnItsSeed) {
    RepertoireTemporaire repertoire("kpx-build-synthetique");
    TailleSynthetique taille;
    taille.actes = 300;
    taille.motsCles = 120;
    taille.actesIndexes = 1000;
    taille.graine = 7;
    auto fabriquer = [&](const std::string& fichier) {
        ContenuReferentiel contenu;
        std::vector<std::string> erreurs;
        lireSource(std::string(KPX_SOURCE_DIR) + "/data/sample", contenu, erreurs);
        remplirSynthetique(contenu, taille);
        verifierContenu(contenu, erreurs);
        EXPECT_TRUE(erreurs.empty()) << joindre(erreurs);
        std::string erreur;
        EXPECT_TRUE(ecrireFichierTables(contenu, repertoire.fichier(fichier), erreur)) << erreur;
    };
    fabriquer("table_v2.kpx");
    ContenuReferentiel relu;
    std::string erreur;
    ASSERT_TRUE(lireFichiers(repertoire.chemin(), relu, erreur)) << erreur;
    EXPECT_EQ(relu.actes.size(), 300u);
    EXPECT_EQ(relu.table(58).nombreLignes(), 120u);
    EXPECT_EQ(relu.table(30).nombreLignes(), 1000u);
    // The sample's own reference tables are kept.
    EXPECT_EQ(relu.table(Modificateur::kIdentifiant).nombreLignes(), 11u);
    // Activities 1 to 3 per act and up to six histories per level.
    size_t plusieursActivites = 0, plusieursHistoriques = 0;
    for (const auto& acte : relu.actes) {
        EXPECT_GE(acte->activites().size(), 1u);
        EXPECT_LE(acte->activites().size(), 3u);
        if (acte->activites().size() > 1) ++plusieursActivites;
        if (acte->premierHistorique()->suivant() != nullptr) ++plusieursHistoriques;
    }
    EXPECT_GT(plusieursActivites, 0u);
    EXPECT_GT(plusieursHistoriques, 0u);

    // Decompiled and compiled again, it gives the same bytes.
    std::vector<std::string> erreurs;
    ASSERT_TRUE(decompiler(repertoire.chemin(), repertoire.fichier("source"), erreurs)) << joindre(erreurs);
    ASSERT_TRUE(compiler(repertoire.fichier("source"), repertoire.fichier("recompile"), erreurs)) << joindre(erreurs);
    EXPECT_EQ(lireOctets(repertoire.fichier("table_v2.kpx")), lireOctets(repertoire.fichier("recompile/table_v2.kpx")));

    fabriquer("encore.kpx");
    EXPECT_EQ(lireOctets(repertoire.fichier("table_v2.kpx")), lireOctets(repertoire.fichier("encore.kpx")));
    taille.graine = 8;
    fabriquer("autre.kpx");
    EXPECT_NE(lireOctets(repertoire.fichier("table_v2.kpx")), lireOctets(repertoire.fichier("autre.kpx")));
}
