// kpx: a host on the command line. It loads the library at run time, as a billing
// program does, and shows what the exported functions answer.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "CommandesKPX.h"
#include "DescriptionFonctions.h"

namespace {

// The build tree puts bin/, lib/ and referentiel/ side by side.
std::filesystem::path racineInstallation() {
    std::error_code ec;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path(".") : executable.parent_path().parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"kpx: call the KPXW32 library as a host does, over a référentiel."};
    app.require_subcommand(1);
    app.fallthrough();

    const auto racine = racineInstallation();
    OptionsKPX options;
    options.session.bibliotheque = (racine / "lib").string();
    const char* environnement = std::getenv("KPX_REFERENTIEL");
    options.session.referentiel = environnement != nullptr && environnement[0] != '\0'
                                      ? std::string(environnement)
                                      : (racine / "referentiel" / "sample").string();
    // The last one given wins, so a wrapper's defaults can be overridden.
    const auto dernier = CLI::MultiOptionPolicy::TakeLast;
    app.add_option("--lib", options.session.bibliotheque, "directory of libKPXW32.so")
        ->capture_default_str()
        ->multi_option_policy(dernier);
    app.add_option("--referentiel", options.session.referentiel,
                                       "directory of table_v2.kpx (default: $KPX_REFERENTIEL or the sample)")
                            ->capture_default_str()
                            ->multi_option_policy(dernier);
    app.add_option("--modifications", options.session.modifications,
                   "directory of modrefv2.kpx, where a save writes (default: the referentiel's)")
        ->multi_option_policy(dernier);
    app.add_option("--config", options.session.configuration, "INI configuration to load (--referentiel is then unused)")
        ->multi_option_policy(dernier);
    app.add_option("--trace", options.session.trace, "write the library's trace (level 5) to this file");
    app.add_flag("--json", options.json, "machine output");

    std::string identifiant, date, famille = "consultation", motCle, filtre, zone, fichier, sortieFichier;
    std::vector<std::string> valeurs;
    uint32_t cadre = 0;

    auto* version = app.add_subcommand("version", "the version zone (group 3600)");

    auto* consult = app.add_subcommand("consult", "IDENT [VALUE...]: a consultation; values fill the input fields in order");
    consult->add_option("IDENT", identifiant, "function identifier, e.g. CCAM_37")->required();
    consult->add_option("VALUE", valeurs, "input field values, in order (see kpx describe IDENT)");
    consult->add_option("--date", date, "reference date YYYYMMDD (default today)");

    auto* check = app.add_subcommand("check", "IDENT [VALUE...]: a control identifier, answered O or N");
    check->add_option("IDENT", identifiant, "control identifier, e.g. C_Ccam")->required();
    check->add_option("VALUE", valeurs, "input field values, in order (see kpx describe IDENT --family controle)");
    check->add_option("--date", date, "reference date YYYYMMDD (default today)");
    check->add_flag("--trace", options.session.traceRegles, "print the trace lines of the rules the control ran");

    auto* search = app.add_subcommand("search", "KEYWORD: act codes by keyword, with their short labels");
    search->add_option("KEYWORD", motCle)->required();
    search->add_option("--frame", cadre, "search frame (0: every frame)")->capture_default_str();
    search->add_option("--date", date, "date of the labels (default today)");

    auto* filter = app.add_subcommand("filter", "PREFIX: act codes starting with up to 4 capitals");
    filter->add_option("PREFIX", filtre, "empty lists every act");
    filter->add_option("--date", date, "date of the labels (default today)");

    auto* describe = app.add_subcommand("describe", "IDENT: input tree and output groups of a function");
    describe->add_option("IDENT", identifiant, "function identifier; none lists the family's functions");
    describe->add_option("--family", famille, nomsFamilles())->capture_default_str();

    bool zoneSeule = false;
    auto* control = app.add_subcommand("control", "INVOICE.json: the complete control of an invoice (docs/kpx.md)");
    control->add_option("INVOICE", fichier, "the invoice in JSON, - for stdin")->required();
    control->add_flag("--zone", zoneSeule, "print the input zone the invoice makes, without calling the library");

    auto* call = app.add_subcommand("call", "FAMILY IDENT --zone JSON: a raw call");
    call->add_option("FAMILY", famille, nomsFamilles())->required();
    call->add_option("IDENT", identifiant, "function identifier (ignored by complet)");
    call->add_option("--date", date, "reference or effective date YYYYMMDD (default today)");
    call->add_option("--zone", zone, "input zone as JSON, - for stdin, @FILE for a file");

    std::string effet, commentaire;
    auto* modify = app.add_subcommand("modify", "IDENT [VALUE...] --effet DATE: a local change from that date");
    modify->add_option("IDENT", identifiant, "modification function, e.g. CCAM_37")->required();
    modify->add_option("VALUE", valeurs, "input field values, in order (see kpx describe IDENT --family modification)");
    modify->add_option("--effet", effet, "effective date YYYYMMDD")->required();
    auto* saveModify = modify->add_option("--save", commentaire, "save, with this comment (may be empty)");
    auto* cancel = app.add_subcommand("cancel", "IDENT [VALUE...]: cancel every local change of a value");
    cancel->add_option("IDENT", identifiant, "cancellation function, e.g. CCAM_37")->required();
    cancel->add_option("VALUE", valeurs, "input field values, in order (see kpx describe IDENT --family annulation)");
    auto* saveCancel = cancel->add_option("--save", commentaire, "save, with this comment (may be empty)");
    auto* save = app.add_subcommand("save", "[COMMENT]: save; without a comment nothing is written");
    auto* commentaireSave = save->add_option("COMMENT", commentaire, "comment of the modification file (200 bytes at most)");

    auto* apply = app.add_subcommand("apply", "IDENT FILE.json: a rule-application function on readable JSON");
    apply->add_option("IDENT", identifiant, "C_Dent, C_Compatibilite, C_Association, C_Pu, C_Base, C_ExoActe, ...")
        ->required();
    apply->add_option("FILE", fichier, "the input as JSON (docs/kpx.md), - for stdin")->required();

    auto* zoneCmd = app.add_subcommand("zone", "between zone bytes and their JSON");
    zoneCmd->require_subcommand(1);
    auto* decode = zoneCmd->add_subcommand("decode", "FILE|-: zone bytes to JSON");
    decode->add_option("FILE", fichier)->required();
    auto* encode = zoneCmd->add_subcommand("encode", "JSON: zone bytes to stdout or -o FILE");
    encode->add_option("JSON", zone, "the zone, - for stdin, @FILE for a file")->required();
    encode->add_option("-o", sortieFichier, "output file");

    CLI11_PARSE(app, argc, argv);

    if (call->parsed() && identifiant.empty() && famille != "complet") {
        std::fprintf(stderr, "kpx: call %s needs IDENT\n", famille.c_str());
        return 2;
    }
    CommandesKPX commandes(options);
    if (version->parsed()) return commandes.version();
    if (consult->parsed()) return commandes.consulter(identifiant, date, valeurs);
    if (check->parsed()) return commandes.verifier(identifiant, date, valeurs);
    if (search->parsed()) return commandes.rechercher(motCle, cadre, date);
    if (filter->parsed()) return commandes.filtrer(filtre, date);
    if (describe->parsed()) return commandes.decrire(identifiant, famille);
    if (control->parsed()) return commandes.controlerFacture(fichier, zoneSeule);
    if (call->parsed()) return commandes.appeler(famille, identifiant, date, zone);
    if (modify->parsed())
        return commandes.changer("modification", identifiant, effet, valeurs, saveModify->count() ? &commentaire : nullptr);
    if (cancel->parsed())
        return commandes.changer("annulation", identifiant, "", valeurs, saveCancel->count() ? &commentaire : nullptr);
    if (save->parsed()) return commandes.sauvegarder(commentaireSave->count() ? &commentaire : nullptr);
    if (apply->parsed()) return commandes.appliquer(identifiant, fichier);
    if (decode->parsed()) return commandes.decoder(fichier);
    return commandes.coder(zone, sortieFichier);
}
