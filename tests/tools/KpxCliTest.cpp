// kpx run as a user runs it, over the sample compiled by the project's compiler:
// what each command prints, readable and as JSON, its exit status, and the zone
// bytes it writes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"
#include "support/LectureTrace.h"

namespace {

struct Execution {
    int statut = -1;
    std::string sortie;
    std::string erreurs;
};

std::string entreGuillemets(const std::string& argument) {
    std::string texte = "'";
    for (char c : argument) texte += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return texte + "'";
}

// kpx over the sample with the library of the build tree; stdin from a file when given.
Execution kpx(const std::vector<std::string>& arguments, const std::string& entree = "") {
    static const std::string dossier = repertoireTemporaire("kpx-cli");
    std::string commande = entreGuillemets(std::string(KPX_BIN_DIR) + "/kpx") + " --lib " +
                           entreGuillemets(KPX_LIB_DIR) + " --referentiel " + entreGuillemets(repertoireEchantillon());
    for (const std::string& argument : arguments) commande += " " + entreGuillemets(argument);
    if (!entree.empty()) {
        std::ofstream(dossier + "/entree", std::ios::binary) << entree;
        commande += " <" + entreGuillemets(dossier + "/entree");
    }
    commande += " >" + dossier + "/sortie 2>" + dossier + "/erreurs";
    Execution execution;
    const int brut = std::system(commande.c_str());
    execution.statut = WIFEXITED(brut) ? WEXITSTATUS(brut) : -1;
    execution.sortie = lireTexte(dossier + "/sortie");
    execution.erreurs = lireTexte(dossier + "/erreurs");
    return execution;
}

nlohmann::json json(const Execution& execution) {
    auto valeur = nlohmann::json::parse(execution.sortie, nullptr, false);
    EXPECT_FALSE(valeur.is_discarded()) << execution.sortie << execution.erreurs;
    return valeur;
}

// A refused run: its exit status, and a text its error output holds.
void refuse(const std::vector<std::string>& arguments, int statut, const std::string& message,
            const std::string& entree = "") {
    const Execution e = kpx(arguments, entree);
    EXPECT_EQ(e.statut, statut) << message;
    EXPECT_NE(e.erreurs.find(message), std::string::npos) << e.erreurs;
}

class KpxCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string erreur;
        ASSERT_FALSE(repertoireEchantillon(&erreur).empty()) << erreur;
    }
};

}  // namespace

TEST_F(KpxCli, VersionShowsTheSevenFieldsOfGroup3600) {
    const Execution lisible = kpx({"version"});
    ASSERT_EQ(lisible.statut, 0) << lisible.erreurs;
    EXPECT_NE(lisible.sortie.find("version:         1000\n"), std::string::npos) << lisible.sortie;
    EXPECT_NE(lisible.sortie.find("variante:        A001\n"), std::string::npos);
    EXPECT_NE(lisible.sortie.find("versionLogiciel: 0302\n"), std::string::npos);

    const auto machine = json(kpx({"--json", "version"}));
    ASSERT_EQ(machine["groupes"].size(), 1u);
    EXPECT_EQ(machine["cr"], "0x0000");
    EXPECT_EQ(machine["groupes"][0]["groupe"], 3600);
    EXPECT_EQ(machine["groupes"][0]["champs"].size(), 7u);
    EXPECT_EQ(machine["groupes"][0]["valeurs"]["version"], "1000");
    EXPECT_EQ(machine["groupes"][0]["valeurs"]["versionLogiciel"], "0302");
}

TEST_F(KpxCli, ConsultFillsTheInputFieldsInOrderAndNamesTheOutput) {
    struct Cas {
        std::vector<std::string> arguments;
        std::string attendu;
    };
    const Cas cas[] = {
        // The unit price changes on 2024-01-01; an empty phase is phase 0.
        {{"consult", "CCAM_37", "AHQP001", "1", "0", "1", "1", "--date", "20231231"}, "3117 montant: 41.80 EUR\n"},
        {{"consult", "CCAM_37", "AHQP001", "1", "", "1", "1", "--date", "20240101"}, "3117 montant: 45.00 EUR\n"},
        {{"consult", "CCAM_2", "AHQP001", "--date", "20240101"},
         "3118 code: 1, libelle: Acte principal (chirurgien ou médecin réalisant l'acte)\n"},
        {{"consult", "CCAM_16a", "AHQP001", "--date", "20240101"},
         "3119 nombre: 2, textes: Actes du système nerveux central | Système nerveux\n"},
    };
    for (const Cas& c : cas) {
        const Execution e = kpx(c.arguments);
        EXPECT_EQ(e.statut, 0) << c.arguments[1] << e.erreurs;
        EXPECT_EQ(e.sortie, c.attendu) << c.arguments[1];
    }

    const auto prix = json(kpx({"--json", "consult", "CCAM_37", "AHQP001", "1", "0", "1", "1", "--date", "20240101"}));
    EXPECT_EQ(prix["identifiant"], "CCAM_37");
    EXPECT_EQ(prix["date"], "20240101");
    ASSERT_EQ(prix["groupes"].size(), 1u);
    EXPECT_EQ(prix["groupes"][0]["groupe"], 3117);
    EXPECT_EQ(prix["groupes"][0]["champs"], nlohmann::json::array({"4500"}));
    EXPECT_EQ(prix["groupes"][0]["valeurs"]["montant"], "45.00");

    // Too few or too many values are the tool's to refuse, naming the field.
    refuse({"consult", "CCAM_37", "AHQP001", "1"}, 2, "value 3 missing: group 3003, field 1");
    refuse({"consult", "CCAM_7", "AHQP001", "X"}, 2, "value 2 (X) has no field");
}

TEST_F(KpxCli, CheckAnswersOOrNWithItsCodeAndTheRulesItRan) {
    const Execution oui = kpx({"check", "C_Ccam", "01", "C", "--date", "20240101"});
    EXPECT_EQ(oui.statut, 0) << oui.erreurs;
    EXPECT_EQ(oui.sortie, "O\n");
    // A grouping code is refused with its own code: 'N', status 1, the code explained.
    const Execution regroupement = kpx({"check", "C_Ccam", "01", "ADC", "--date", "20240101"});
    EXPECT_EQ(regroupement.statut, 1);
    EXPECT_EQ(regroupement.sortie, "N\n");
    EXPECT_NE(regroupement.erreurs.find("0xD110 the prestation code is a grouping code"), std::string::npos)
        << regroupement.erreurs;

    const Execution trace = kpx({"check", "C_Ccam", "01", "K", "--date", "20240101", "--trace"});
    EXPECT_EQ(trace.statut, 0) << trace.erreurs;
    EXPECT_EQ(trace.sortie.rfind("N\n", 0), 0u) << trace.sortie;
    EXPECT_NE(trace.sortie.find("\n  Reglementation::appliquerProd211 >> IN\n"), std::string::npos) << trace.sortie;
    EXPECT_NE(trace.sortie.find("\n  Reglementation::appliquerCCcam << OUT : cr = 0x0000, résultat = faux\n"),
              std::string::npos);

    const auto j = json(kpx({"--json", "check", "C_Radio", "0", "ZBQK002", "1", "--date", "20240101"}));
    EXPECT_EQ(j["resultat"], "N");
    EXPECT_EQ(j["cr"], "0x0000");
    EXPECT_EQ(kpx({"check", "C_Radio", "0"}).statut, 2);  // values missing for the act and the activity
}

TEST_F(KpxCli, ControlShowsEachLineAndEachViolationAndTheInvoicesZone) {
    const std::string factures = std::string(KPX_SOURCE_DIR) + "/data/factures/";
    const Execution propre = kpx({"control", factures + "consultation-ecg.json"});
    EXPECT_EQ(propre.statut, 0) << propre.erreurs;
    EXPECT_EQ(propre.sortie,
              "0x0000 success\n\n"
              "line   date        prestation  act            forcing\n"
              "1      2024-01-01  C           (acte)         -\n"
              "2      2024-01-01  ATM         DEQP003        -\n");
    const Execution violations = kpx({"control", factures + "deux-actes-une-procedure.json"});
    EXPECT_EQ(violations.statut, 1);
    EXPECT_NE(violations.sortie.find("0xD121 the invoice breaks rules that may be overridden (error level 1)\n"),
              std::string::npos)
        << violations.sortie;
    EXPECT_NE(violations.sortie.find("\nPROD590B (may be overridden) Actes d'une même procédure sans code association\n"
                                     "  Prestations 1 et 2 : "),
              std::string::npos);
    EXPECT_NE(violations.sortie.find("\n  lines: 1, 2\n"), std::string::npos);

    const auto j = json(kpx({"--json", "control", factures + "deux-actes-une-procedure.json"}));
    EXPECT_EQ(j["cr"], "0xD121");
    EXPECT_EQ(j["niveau"], 1);
    EXPECT_EQ(j["lignes"][0]["forcage"], "A");
    EXPECT_EQ(j["erreurs"][0]["regle"], "PROD590B");
    EXPECT_EQ(j["erreurs"][0]["lignes"], nlohmann::json::array({1, 2}));

    // --zone: the groups the invoice makes, for a host developer to copy.
    const Execution zone = kpx({"control", factures + "consultation-ecg.json", "--zone"});
    EXPECT_EQ(zone.statut, 0);
    EXPECT_NE(zone.sortie.find(R"({"groupe":2100,"champs":["2","DEQP003","","1","0","","","","","","","",""]})"),
              std::string::npos)
        << zone.sortie;
    EXPECT_NE(zone.sortie.find(R"({"groupe":1610,"champs":["1","20240101","","C","","","","","","","2650","2650","70"]})"),
              std::string::npos);
}

TEST_F(KpxCli, ControlNamesTheFieldOfAnInvoiceItCannotRead) {
    const std::string debut =
        R"({"praticien": {"convention": "1", "specialite": "01", "caisse": "001"}, "beneficiaire": {"dateNaissance": "1980-01-01"},
            "natureAssurance": "AS", "date": "2024-01-01", "contextes": [1, 1], "lignes": [
            {"type": "acte", "prestation": "C", "prixUnitaire": "26.50", "base": "26.50", "taux": "0.70"},)";
    struct Cas {
        std::string ligne;
        std::string message;
    };
    const Cas cas[] = {
        {R"({"type": "ccam", "prestation": "ATM", "prixUnitaire": 14.26, "base": 14.26, "taux": 0.7})",
         "lignes[1].acte: missing"},
        {R"({"type": "ccam", "acte": "DEQP003", "prestation": "ATM", "prixUnitaire": "14,26", "base": 14.26, "taux": 0.7})",
         "lignes[1].prixUnitaire: not a positive amount with at most 2 decimals, as \"26.50\""},
        {R"({"type": "ccam", "acte": "DEQP003", "prestation": "ATM", "prixUnitaire": 14.26, "base": 14.26, "taux": 0.7,
             "modificateurs": ["K", 7, "F", "A", "J"]})",
         "lignes[1].modificateurs: more than 4"},
        {R"({"type": "ccam", "acte": "DEQP003", "prestation": "ATM", "prixUnitaire": 14.26, "base": 14.26, "taux": 0.7,
             "modificateurs": ["K", true]})",
         "lignes[1].modificateurs[1]: not a string"},
        {R"({"type": "acte", "prestation": "C", "prixunitaire": 26.5, "base": 26.5, "taux": 0.7})",
         "lignes[1].prixunitaire: unknown field"},
        {R"({"type": "deplacement", "prestation": "ID", "taux": 0.7, "acte": "DEQP003"})",
         "lignes[1].acte: not for a travel line"},
        {R"({"type": "visite"})", "lignes[1].type: one of acte, ccam, deplacement, kilometres"},
        {R"(42)", "lignes[1]: not an object"},
    };
    for (const Cas& c : cas) {
        const Execution e = kpx({"control", "-"}, debut + c.ligne + "]}");
        EXPECT_EQ(e.statut, 2) << c.message;
        EXPECT_EQ(e.erreurs, "kpx: -: " + c.message + "\n");
    }
    EXPECT_EQ(kpx({"control", "-"}, "{").erreurs, "kpx: -: not JSON\n");
}

TEST_F(KpxCli, AFailureExitsNonZeroWithItsCodeMeaningAndTraceLines) {
    const Execution inconnu = kpx({"consult", "CCAM_99", "--date", "20240101"});
    EXPECT_EQ(inconnu.statut, 1);
    EXPECT_EQ(inconnu.sortie, "");
    EXPECT_NE(inconnu.erreurs.find("0xD000 function identifier not found"), std::string::npos) << inconnu.erreurs;
    EXPECT_NE(inconnu.erreurs.find("CCAM_99"), std::string::npos);

    const auto machine = json(kpx({"--json", "consult", "CCAM_99", "--date", "20240101"}));
    EXPECT_EQ(machine["cr"], "0xD000");
    EXPECT_EQ(machine["signification"], "function identifier not found");
    ASSERT_FALSE(machine["explications"].empty());
    EXPECT_NE(machine["explications"][0].get<std::string>().find("CCAM_99"), std::string::npos);

    // An act outside its life: the library's own reason, from its trace.
    refuse({"consult", "CCAM_7", "MZQK002", "--date", "20230101"}, 1,
           "0xD003 nothing in force at that date\n  Date de référence postérieure à la date de fin de l'acte\n");
    refuse({"--referentiel", "/nonexistent", "version"}, 2, "no table_v2.kpx in /nonexistent");
}

TEST_F(KpxCli, AUsersConfigurationIsLoadedAndTheTraceGoesWhereAsked) {
    const std::string dossier = repertoireTemporaire("kpx-config");
    std::ofstream(dossier + "/kpx.ini") << "[COMMUN]\nrepertoiretravail=" << dossier << "\n[KPX]\nrepertoiretable="
                                        << repertoireEchantillon() << "\n";
    const std::string trace = dossier + "/kpx.log";
    const Execution e = kpx({"--config", dossier + "/kpx.ini", "--trace", trace, "consult", "CCAM_7", "AHQP001",
                             "--date", "20240101"});
    EXPECT_EQ(e.statut, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, "3112 texte: Électromyographie\n");
    const auto textes = textesTrace(lireTrace(trace));
    EXPECT_NE(std::find(textes.begin(), textes.end(),
                        "KPX_ConsulterDonnee >> IN : identifiant = CCAM_7, dateReference = 20240101"),
              textes.end());
    // The component version records land in the configuration's working directory.
    EXPECT_NE(lireTexte(dossier + "/versions.txt").find("20=0302"), std::string::npos);
}

TEST_F(KpxCli, SearchAndFilterListActCodesWithTheirShortLabels) {
    const Execution cote = kpx({"search", "cote", "--date", "20240101"});
    ASSERT_EQ(cote.statut, 0) << cote.erreurs;
    EXPECT_EQ(cote.sortie,
              "4 acts\n"
              "JAFA002  Néphrectomie totale unilatérale\n"
              "JAFC019  Néphrectomie par coelioscopie\n"
              "NEKA020  Prothèse totale de hanche\n"
              "NFKA007  Prothèse totale de genou\n");

    const auto filtre = json(kpx({"--json", "filter", "HB", "--date", "20240101"}));
    EXPECT_EQ(filtre["nombre"], 11);
    ASSERT_EQ(filtre["actes"].size(), 11u);
    for (const auto& acte : filtre["actes"]) EXPECT_EQ(acte["code"].get<std::string>().substr(0, 2), "HB");
    EXPECT_EQ(filtre["actes"][0]["code"], "HBGD035");
    EXPECT_EQ(filtre["actes"][0]["libelle"], "Avulsion d'une dent permanente");

    // A label out of the act's life is said so, the code still listed.
    const auto membre = json(kpx({"--json", "filter", "MZQK", "--date", "20230101"}));
    ASSERT_EQ(membre["actes"].size(), 2u);
    EXPECT_EQ(membre["actes"][0]["code"], "MZQK002");
    EXPECT_TRUE(membre["actes"][0]["libelle"].is_null());
    EXPECT_EQ(membre["actes"][0]["crLibelle"], "0xD003");
    EXPECT_EQ(membre["actes"][1]["libelle"], "Radiographie d'un membre");

    refuse({"filter", "ab"}, 1, "0xF802 invalid argument");
    EXPECT_EQ(kpx({"search", "inexistant"}).statut, 1);
}

TEST_F(KpxCli, DescribeShowsTheInputTreeAndTheOutputGroups) {
    const Execution prix = kpx({"describe", "CCAM_37"});
    ASSERT_EQ(prix.statut, 0) << prix.erreurs;
    EXPECT_EQ(prix.sortie,
              "CCAM_37: consultation function 17 (KPX_ConsulterDonnee)\n"
              "\n"
              "Input:\n"
              "- groupe 3001, occurrences 1..1\n"
              "  - champ 1: format A, type Code, taille 1..13\n"
              "- groupe 3002, occurrences 1..1\n"
              "  - champ 1: format A, type Code, taille 1..1\n"
              "- groupe 3003, occurrences 1..1\n"
              "  - champ 1: format A, type Code, taille 0..1\n"
              "- groupe 3004, occurrences 1..1\n"
              "  - champ 1: format N, type Code, taille 1..5\n"
              "  - champ 2: format N, type Code, taille 1..5\n"
              "\n"
              "Output: 3117: the unit price; 3130 follows when a local modification is in force\n"
              "- groupe 3117 montant: montant (Montant)\n"
              "- groupe 3130 date de modification: dateModification (Date)\n");

    // Nested super-groups of a rule function, as JSON.
    const auto regle = json(kpx({"--json", "describe", "C_Pu", "--family", "regle"}));
    EXPECT_EQ(regle["pointEntree"], "KPX_AppliquerRegle");
    ASSERT_EQ(regle["entrees"].size(), 2u);
    EXPECT_EQ(regle["entrees"][0]["groupe"], 3400);
    EXPECT_EQ(regle["entrees"][1]["superGroupe"], "C_Pu_Acte");
    EXPECT_TRUE(regle["entrees"][1]["occurrencesMaximum"].is_null());
    EXPECT_EQ(regle["entrees"][1]["enfants"][0]["groupe"], 3410);
    EXPECT_EQ(regle["entrees"][1]["enfants"][0]["champs"][1]["type"], "Date");
    EXPECT_EQ(regle["sorties"]["groupes"][0]["groupe"], 3411);
    EXPECT_EQ(regle["sorties"]["groupes"][0]["champs"][1]["nature"], "Montant");

    refuse({"describe", "CCAM_37", "--family", "controle"}, 1, "0xD000");
    EXPECT_EQ(kpx({"describe", "CCAM_37", "--family", "nulle"}).statut, 2);
}

TEST_F(KpxCli, RawCallRoundTripsItsZone) {
    const std::string entree = R"([{"groupe":3001,"champs":["AHQP001"]}])";
    const auto libelle = json(kpx({"--json", "call", "consultation", "CCAM_7", "--date", "20240101", "--zone", entree}));
    EXPECT_EQ(libelle["cr"], "0x0000");
    EXPECT_EQ(libelle["zone"], nlohmann::json::parse(R"([{"groupe":3112,"champs":["Électromyographie"]}])"));

    // The input through stdin gives the same answer; readable, the code comes first.
    const Execution lisible = kpx({"call", "consultation", "CCAM_7", "--date", "20240101", "--zone", "-"}, entree);
    EXPECT_EQ(lisible.statut, 0) << lisible.erreurs;
    EXPECT_EQ(lisible.sortie, "0x0000 success\n[\n  {\"groupe\":3112,\"champs\":[\"Électromyographie\"]}\n]\n");

    // The output zone given back as input reaches the library intact: group 3112 where
    // 3001 is expected is 0xB000 + 3001, with the library's reason.
    const std::string sortie = libelle["zone"].dump();
    const Execution refus = kpx({"--json", "call", "consultation", "CCAM_7", "--date", "20240101", "--zone", sortie});
    EXPECT_EQ(refus.statut, 1);
    const auto refusJson = json(refus);
    EXPECT_EQ(refusJson["cr"], "0xBBB9");
    EXPECT_NE(refusJson["explications"].dump().find("3001"), std::string::npos) << refus.sortie;

    // The control family translates the unknown identifier and still gives its zone (none).
    const auto controle = json(kpx({"--json", "call", "controle", "CCAM_1", "--zone", entree}));
    EXPECT_EQ(controle["cr"], "0xD100");
    EXPECT_EQ(controle["zone"], nlohmann::json::array());

    EXPECT_EQ(kpx({"call", "consultation", "CCAM_7", "--zone", "[{\"groupe\":\"x\"}]"}).statut, 2);
}

TEST_F(KpxCli, ZoneEncodeWritesTheBytesAndDecodeGivesTheJsonBack) {
    struct Cas {
        std::string json;
        std::string octets;
    };
    const Cas cas[] = {
        {R"([{"groupe":3000,"champs":["12",""]}])", std::string("\x0B\xB8\x04\x02\x31\x32\x00", 7)},
        {R"([{"groupe":3001,"champs":["É"]}])", std::string("\x0B\xB9\x02\x01\xC9", 5)},
        {R"([{"groupe":1,"champs":[]},{"groupe":65535,"champs":[]}])", std::string("\x00\x01\x00\xFF\xFF\x00", 6)},
        // A field of 128 bytes takes two length bytes, and so does its group; 255 takes three.
        {R"([{"groupe":2,"champs":[")" + std::string(128, 'A') + R"("]}])",
         std::string("\x00\x02\x81\x82\x81\x80", 6) + std::string(128, 'A')},
        {R"([{"groupe":2,"champs":[")" + std::string(255, 'B') + R"("]}])",
         std::string("\x00\x02\x82\x01\x02\x82\x00\xFF", 8) + std::string(255, 'B')},
    };
    for (const Cas& c : cas) {
        const Execution code = kpx({"zone", "encode", c.json});
        ASSERT_EQ(code.statut, 0) << code.erreurs;
        EXPECT_EQ(code.sortie, c.octets) << c.json;
        const Execution retour = kpx({"--json", "zone", "decode", "-"}, c.octets);
        ASSERT_EQ(retour.statut, 0) << retour.erreurs;
        EXPECT_EQ(nlohmann::json::parse(retour.sortie), nlohmann::json::parse(c.json));
    }

    // Every byte value survives bytes -> JSON -> bytes, through a file both ways.
    std::string tous;
    for (int i = 0; i < 256; ++i) tous.push_back(static_cast<char>(i));
    const std::string zone = std::string("\x0C\x1C\x82\x01\x07\x82\x01\x00", 8) + tous + std::string("\x03zut", 4);
    const std::string dossier = repertoireTemporaire("kpx-zone");
    std::ofstream(dossier + "/zone.bin", std::ios::binary) << zone;
    const Execution decodee = kpx({"zone", "decode", dossier + "/zone.bin"});
    ASSERT_EQ(decodee.statut, 0) << decodee.erreurs;
    std::ofstream(dossier + "/zone.json", std::ios::binary) << decodee.sortie;
    ASSERT_EQ(kpx({"zone", "encode", "@" + dossier + "/zone.json", "-o", dossier + "/retour.bin"}).statut, 0);
    EXPECT_EQ(lireTexte(dossier + "/retour.bin"), zone);

    // A group announcing more than the zone holds, or a character beyond Latin-1, is refused.
    refuse({"zone", "decode", "-"}, 2, "runs past the zone", std::string("\x0B\xB8\x05\x02\x31", 5));
    EXPECT_EQ(kpx({"zone", "encode", R"([{"groupe":1,"champs":["€"]}])"}).statut, 2);
}

TEST_F(KpxCli, ModifyAndCancelLastTheRunUnlessSavedAndDecompileShowsWhatWasSaved) {
    const std::string dossier = repertoireTemporaire("kpx-cli-modifications");
    ecrireOctets(dossier + "/table_v2.kpx", lireOctets(repertoireEchantillon() + "/table_v2.kpx"));
    const std::string modrefv2 = dossier + "/modrefv2.kpx";
    auto ici = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--referentiel", dossier});
        return kpx(arguments);
    };
    const std::vector<std::string> prix = {"CCAM_37", "AHQP001", "1", "", "5000", "1", "1", "--effet", "20250101"};
    const std::vector<std::string> consulter = {"consult", "CCAM_37", "AHQP001", "1", "", "1", "1", "--date", "20250101"};

    std::vector<std::string> arguments = {"modify"};
    arguments.insert(arguments.end(), prix.begin(), prix.end());
    Execution e = ici(arguments);
    EXPECT_EQ(e.statut, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, "CCAM_37 modified from 2025-01-01 (not saved: kpx holds the referentiel only while it runs; add --save)\n");
    EXPECT_EQ(lireTexte(modrefv2), "");
    EXPECT_EQ(ici(consulter).sortie, "3117 montant: 45.00 EUR\n");

    arguments.insert(arguments.end(), {"--save", "Tarifs locaux"});
    e = ici(arguments);
    EXPECT_EQ(e.statut, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, "CCAM_37 modified from 2025-01-01\nsaved in " + modrefv2 + ": revision 1, comment \"Tarifs locaux\"\n");
    EXPECT_EQ(ici(consulter).sortie, "3117 montant: 50.00 EUR\n3130 dateModification: 2025-01-01\n");
    e = ici({"modify", "TB07_1", "751", "13000", "--effet", "20250101", "--save", ""});
    EXPECT_EQ(e.statut, 0) << e.erreurs;

    // The records saved, as the compiler's source gives them.
    const std::string source2 = dossier + "/source";
    ASSERT_EQ(std::system((entreGuillemets(std::string(KPX_BIN_DIR) + "/kpx-build") + " decompile " +
                           entreGuillemets(dossier) + " " + entreGuillemets(source2) + " >/dev/null")
                              .c_str()),
              0);
    const auto modifications = nlohmann::json::parse(lireTexte(source2 + "/modifications.json"));
    EXPECT_EQ(modifications["ModificationPrixUnitaire"],
              nlohmann::json::parse(R"([{"codeActe":"AHQP001","activite":"1","phase":"0","grille":1,
                                        "dateEffet":"2025-01-01","prixUnitaire":50.0}])"));
    EXPECT_EQ(modifications["ModificationSeuil"],
              nlohmann::json::parse(R"([{"positionSeuil":1,"dateEffet":"2025-01-01","nouveauSeuil":130.0}])"));

    // A refusal explains itself; a cancellation saved is gone; a save with neither change nor comment writes nothing.
    e = ici({"modify", "CCAM_37", "MZQK002", "1", "", "2000", "1", "1", "--effet", "20230101"});
    EXPECT_EQ(e.statut, 1);
    EXPECT_NE(e.erreurs.find("0xD004 effective date refused"), std::string::npos) << e.erreurs;
    EXPECT_NE(e.erreurs.find("date d'effet postérieure a la date de fin de l'acte"), std::string::npos) << e.erreurs;
    const auto annulation = json(ici({"--json", "cancel", "CCAM_37", "AHQP001", "1", "", "--save", ""}));
    EXPECT_EQ(annulation["cr"], "0x0000");
    EXPECT_EQ(annulation["sauvegarde"]["revision"], 3);
    EXPECT_EQ(ici(consulter).sortie, "3117 montant: 45.00 EUR\n");
    const std::string avant = lireTexte(modrefv2);
    EXPECT_EQ(ici({"save"}).sortie, "nothing to save (no change and no comment)\n");
    EXPECT_EQ(lireTexte(modrefv2), avant);
    EXPECT_EQ(json(ici({"--json", "save", "Revue"}))["sauvegarde"]["commentaire"], "Revue");
    EXPECT_EQ(lireTexte(dossier + "/modifv2~.kpx"), avant);
}

TEST_F(KpxCli, ApplyReadsEachInputShapeFromReadableJson) {
    const std::string regles = std::string(KPX_SOURCE_DIR) + "/data/factures/regles/";
    struct Cas {
        const char* identifiant;
        const char* fichier;
        int statut;
        std::string attendu;
    };
    const Cas cas[] = {
        {"C_Dent", "dent.json", 0, "3301 numero: 1, resultats: yes | no | yes\n"},
        {"C_Association", "actes.json", 0,
         "3321 numero: 1, association: 1, codeCalcule: P\n3321 numero: 2, association: 1, codeCalcule: P\n"
         "3321 numero: 3, association: 2, codeCalcule: N\n3321 numero: 4, association: 2, codeCalcule: N\n"
         "3531 numero: 5\n"},
        {"C_Pu", "pu.json", 0,
         "3411 numero: 1, prixUnitaire: 49.50 EUR\n3411 numero: 2, prixUnitaire: 21.07 EUR\n3531 numero: 3\n"},
        {"C_Base", "base.json", 0,
         "3421 numero: 1, baseRemboursement: 221.18 EUR, baseHorsForfait: 221.18 EUR, baseTheoriqueAMO: 221.18 EUR\n"
         "3421 numero: 2, baseRemboursement: 65.00 EUR, baseHorsForfait: 65.00 EUR, baseTheoriqueAMO: 65.00 EUR\n"},
        {"C_ExoActe", "exo-acte.json", 0, "3431 numero: 1, taux: 1.00, exonerationTM: C\n3441 numero: 1, exonereFacture: yes\n"},
        // A warning prints the zone it came with, then fails with the code.
        {"C_ExoPrevention", "exo-prevention.json", 1, "3431 numero: 1, taux: 1.00, exonerationTM: 7\n"},
        {"C_ExoFacture", "exo-facture.json", 0,
         "3431 numero: 1, taux: 1.00, exonerationTM: C\n3431 numero: 2, taux: 1.00, exonerationTM: C\n"
         "3431 numero: 3, taux: 1.00, exonerationTM: C\n"},
    };
    for (const Cas& c : cas) {
        const Execution e = kpx({"apply", c.identifiant, regles + c.fichier});
        EXPECT_EQ(e.statut, c.statut) << c.identifiant << e.erreurs;
        EXPECT_EQ(e.sortie, c.attendu) << c.identifiant;
    }
    EXPECT_NE(kpx({"apply", "C_ExoPrevention", regles + "exo-prevention.json"}).erreurs.find("0xD112"),
              std::string::npos);

    const auto compatibilite = json(kpx({"--json", "apply", "C_Compatibilite", regles + "actes.json"}));
    EXPECT_EQ(compatibilite["cr"], "0x0000");
    ASSERT_EQ(compatibilite["groupes"].size(), 5u);
    EXPECT_EQ(compatibilite["groupes"][2]["champs"][1], "2");
    EXPECT_EQ(compatibilite["groupes"][2]["valeurs"]["procedure"], "JAFA002");
    EXPECT_EQ(compatibilite["groupes"][4]["groupe"], 3531);

    // What the shape does not know is the tool's to refuse, with the key's path.
    refuse({"apply", "C_Pu", "-"}, 2, "actes[0].activte: unknown field",
           R"({"date":"2024-01-01","actes":[{"acte":"A","activte":"1"}]})");
    refuse({"apply", "C_Base", "-"}, 2, "actes[0].prixUnitaire: not a positive amount",
           R"({"actes":[{"prixUnitaire":"1.234"}]})");
    EXPECT_EQ(kpx({"apply", "CCAM_37", regles + "pu.json"}).statut, 2);
}
