// kpx-build: compiles a référentiel source into its files, and back.
#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "kpxbuild/Compilateur.h"

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
    CLI11_PARSE(app, argc, argv);

    std::vector<std::string> erreurs;
    bool ok = compile->parsed() ? compiler(source, sortie, erreurs) : decompiler(sortie, source, erreurs);
    for (const std::string& erreur : erreurs) std::fprintf(stderr, "kpx-build: %s\n", erreur.c_str());
    if (!ok && erreurs.empty()) std::fprintf(stderr, "kpx-build: echec\n");
    return ok ? 0 : 1;
}
