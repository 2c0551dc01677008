// kpx-build: compiles a référentiel source into its files, and back.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "kpxbuild/Compilateur.h"
#include "kpxbuild/Documentation.h"
#include "kpxbuild/Minimal.h"
#include "kpxbuild/SourceJson.h"
#include "kpxbuild/Synthetique.h"

int main(int argc, char** argv) {
    CLI::App app{"Compile a référentiel source (JSON) into table_v2.kpx and modrefv2.kpx, or back."};
    app.require_subcommand(1);
    std::string source, sortie;
    CLI::App* compile = app.add_subcommand("compile", "SRC_DIR OUT_DIR: write OUT_DIR/table_v2.kpx");
    compile->add_option("SRC_DIR", source)->required();
    compile->add_option("OUT_DIR", sortie)->required();
    CLI::App* decompile = app.add_subcommand("decompile", "OUT_DIR SRC_DIR: write the source of a référentiel");
    decompile->add_option("OUT_DIR", sortie)->required();
    decompile->add_option("SRC_DIR", source)->required();
    CLI::App* init = app.add_subcommand("init", "SRC_DIR: write the source of the smallest référentiel the loader accepts");
    init->add_option("SRC_DIR", source)->required();
    TailleSynthetique taille;
    CLI::App* synthetique = app.add_subcommand("synthetic", "OUT_DIR: write a full-scale made-up référentiel (benchmarks)");
    synthetique->add_option("OUT_DIR", sortie)->required();
    std::string base = "data/sample";
    synthetique->add_option("--acts", taille.actes, "number of acts")->capture_default_str();
    synthetique->add_option("--seed", taille.graine, "seed: the same seed gives the same file")->capture_default_str();
    synthetique->add_option("--keywords", taille.motsCles, "number of keywords")->capture_default_str();
    synthetique->add_option("--indexed", taille.actesIndexes, "number of indexed-act entries")->capture_default_str();
    synthetique->add_option("--base", base, "source whose reference tables are used")->capture_default_str();
    CLI::App* schema = app.add_subcommand("schema", "print the field reference of every table (Markdown)");
    std::string document = "docs/interface.md";
    CLI::App* doc = app.add_subcommand("doc", "SRC_DIR [OUT_FILE]: write the function interface reference (Markdown)");
    doc->add_option("SRC_DIR", source)->required();
    doc->add_option("OUT_FILE", document, "default docs/interface.md")->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    if (schema->parsed()) {
        std::fputs(schemaSource().c_str(), stdout);
        return 0;
    }

    std::vector<std::string> erreurs;
    bool ok = false;
    if (doc->parsed()) {
        ok = ecrireDocumentation(source, document, erreurs);
    } else if (compile->parsed()) {
        ok = compiler(source, sortie, erreurs);
    } else if (decompile->parsed()) {
        ok = decompiler(sortie, source, erreurs);
    } else if (synthetique->parsed()) {
        ContenuReferentiel contenu;
        lireSource(base, contenu, erreurs);
        if (erreurs.empty()) remplirSynthetique(contenu, taille);
        if (erreurs.empty()) verifierContenu(contenu, erreurs);
        std::string erreur;
        std::error_code ec;
        std::filesystem::create_directories(sortie, ec);
        ok = erreurs.empty() && ecrireFichierTables(contenu, sortie + "/table_v2.kpx", erreur);
        if (!erreur.empty()) erreurs.push_back(erreur);
    } else {
        ContenuReferentiel contenu;
        remplirMinimal(contenu);
        std::string erreur;
        ok = ecrireSource(contenu, source, erreur);
        if (!ok) erreurs.push_back(erreur);
    }
    for (const std::string& erreur : erreurs) std::fprintf(stderr, "kpx-build: %s\n", erreur.c_str());
    if (!ok && erreurs.empty()) std::fprintf(stderr, "kpx-build: echec\n");
    return ok ? 0 : 1;
}
