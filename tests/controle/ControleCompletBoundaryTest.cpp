// KPX_ControleComplet as a host calls it over the sample:
// the sample invoices of data/factures against their expected answers, the worked
// tariff cases as the exact bytes of the answer, the overrides, and the frame's codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FactureJson.h"
#include "KPXW32.h"
#include "kpxbuild/Latin1.h"
#include "support/HoteEchantillon.h"
#include "support/LectureTrace.h"

namespace {

using nlohmann::json;

struct Reponse {
    uint16_t cr = 0;
    std::string sortie;  // the zone's bytes, already given back to the library
};

std::string lireFichier(const std::string& chemin) {
    std::ifstream entree(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(entree), std::istreambuf_iterator<char>());
}

std::string zoneFacture(const std::string& texte) {
    FactureJson facture;
    std::string erreur;
    EXPECT_TRUE(lireFacture(json::parse(texte), facture, erreur)) << erreur;
    return coderZone(facture.groupes);
}

Reponse controler(Hote& hote, const std::string& entree) {
    Reponse r;
    unsigned char* sortie = nullptr;
    uint32_t taille = 0;
    r.cr = hote.KPX_ControleComplet(reinterpret_cast<const unsigned char*>(entree.data()),
                                    static_cast<uint32_t>(entree.size()), &sortie, &taille);
    if (sortie != nullptr) r.sortie.assign(reinterpret_cast<char*>(sortie), taille);
    hote.KPX_LibererZoneMem(sortie);
    return r;
}

std::string latin1(const std::string& utf8) {
    std::string octets;
    EXPECT_TRUE(utf8VersLatin1(utf8, octets)) << utf8;
    return octets;
}

// The answer an expected file describes: a 2000 group per line with an indicator, a 3520 per error.
std::vector<GroupeZone> groupesAttendus(const json& attendu) {
    std::vector<GroupeZone> groupes;
    for (const json& ligne : attendu["lignes"])
        if (!ligne["forcage"].is_null())
            groupes.push_back({2000, {std::to_string(ligne["numero"].get<int>()), ligne["forcage"].get<std::string>()}});
    for (const json& e : attendu["erreurs"]) {
        GroupeZone g{3520, {e["regle"].get<std::string>(), e["outrePassable"].get<bool>() ? "O" : "N",
                            latin1(e["libelle"].get<std::string>()), latin1(e["message"].get<std::string>()),
                            std::to_string(e["lignes"].size())}};
        for (const json& l : e["lignes"]) g.champs.push_back(std::to_string(l.get<int>()));
        groupes.push_back(std::move(g));
    }
    return groupes;
}

// Last accounted memory total the trace shows.
long totalMemoire(const std::string& fichier) {
    static const std::regex forme(R"(^Taille memoire cumulee = (\d+).*)");
    long total = -1;
    std::smatch m;
    for (const LigneTrace& l : lireTrace(fichier))
        if (std::regex_match(l.texte, m, forme)) total = std::stol(m[1]);
    return total;
}

std::string hex(uint16_t cr) {
    char texte[8];
    std::snprintf(texte, sizeof texte, "0x%04X", cr);
    return texte;
}

}  // namespace

TEST(ControleCompletBoundary, SampleInvoicesGiveTheirExpectedAnswerAndTheirMemoryBack) {
    HoteEchantillon h;
    ASSERT_TRUE(h.pret());
    const std::string trace = repertoireTemporaire("boundary/complet") + "/kpx.log";
    ASSERT_EQ(h.hote().KPX_InitTrace(("fichier=" + trace + ";niveau=2").c_str(), 0, 0, 0), KPX_OK);
    unsigned char* amorce = nullptr;
    ASSERT_EQ(h.hote().KPX_AllouerZoneMem(&amorce, 1), KPX_OK);
    h.hote().KPX_LibererZoneMem(amorce);

    size_t factures = 0;
    for (const auto& entree : std::filesystem::directory_iterator(std::string(KPX_SOURCE_DIR) + "/data/factures")) {
        const std::string chemin = entree.path().string();
        // The rule-application inputs live in a folder of their own.
        if (!entree.is_regular_file() || chemin.size() < 13 || chemin.compare(chemin.size() - 13, 13, ".attendu.json") == 0) continue;
        ++factures;
        const json attendu = json::parse(lireFichier(chemin.substr(0, chemin.size() - 5) + ".attendu.json"));
        const long avant = totalMemoire(trace);
        ASSERT_GE(avant, 0);
        const Reponse r = controler(h.hote(), zoneFacture(lireFichier(chemin)));
        EXPECT_EQ(hex(r.cr), attendu["cr"].get<std::string>()) << chemin;
        std::vector<GroupeZone> groupes;
        std::string erreur;
        ASSERT_TRUE(decoderZone(r.sortie, groupes, erreur)) << chemin << ": " << erreur;
        const std::vector<GroupeZone> attendus = groupesAttendus(attendu);
        ASSERT_EQ(groupes.size(), attendus.size()) << chemin;
        for (size_t i = 0; i < groupes.size(); ++i) {
            EXPECT_EQ(groupes[i].groupe, attendus[i].groupe) << chemin << " group " << i;
            EXPECT_EQ(groupes[i].champs, attendus[i].champs) << chemin << " group " << i;
        }
        EXPECT_EQ(totalMemoire(trace), avant) << chemin;
    }
    EXPECT_EQ(factures, 10u);
}

TEST(ControleCompletBoundary, WorkedTariffCasesAreTheBasesTheAnswerAccepts) {
    HoteEchantillon h;
    ASSERT_TRUE(h.pret());
    // A base the host sends above the computed one breaks PROD880; a theoretical base
    // that differs from it (the host's base being 0) breaks PROD880A. So each case is
    // a clean answer at the expected amount, the first and the non-contracted ones also a
    // violation a cent away.
    const std::string entete =
        R"({"praticien": {"numero": "22334455", "convention": "%C", "specialite": "%S", "caisse": "001", "agrementRadio": "1"},
            "beneficiaire": {"dateNaissance": "1980-01-01"}, "natureAssurance": "AS", "date": "%D", "contextes": [%X, 1],
            "lignes": [)";
    const auto facture = [&](const char* convention, const char* specialite, const char* date, const char* contexte,
                             const std::string& lignes) {
        std::string texte = entete;
        for (const auto& [marque, valeur] : {std::pair<std::string, std::string>{"%C", convention}, {"%S", specialite},
                                             {"%D", date}, {"%X", contexte}})
            texte.replace(texte.find(marque), marque.size(), valeur);
        return texte + lignes + "]}";
    };
    const std::string hhfa011 =
        R"({"type": "ccam", "prestation": "ADC", "acte": "HHFA011", "prixUnitaire": "221.18", "base": "221.18",
            "baseTheorique": "221.18", "taux": "1.00", "exoneration": "C"},)";
    // oc: the modifiers sent on to the complementary insurer (K has such a code from 2010).
    const auto theorique = [](const std::string& acte, const std::string& modificateurs, const std::string& prix,
                              const std::string& base, const char* prestation = "ADC", const char* oc = "") {
        return R"({"type": "ccam", "prestation": ")" + std::string(prestation) + R"(", "acte": ")" + acte +
               R"(", "modificateurs": [)" + modificateurs + R"(], "donneesComplementaires": ")" + oc +
               R"(", "prixUnitaire": ")" + prix +
               R"(", "base": "0", "baseTheorique": ")" + base + R"(", "taux": "1.00", "exoneration": "C"})";
    };
    // The radiograph by the radiologist, the biopsy the next day by a surgeon of the practice.
    const auto nonConventionne = [](const std::string& radio, const std::string& biopsie) {
        return R"({"type": "ccam", "date": "2025-03-01", "prestation": "ADI", "acte": "LDQK002", "prixUnitaire": "30.00",
                   "base": ")" + radio + R"(", "baseTheorique": "30.00", "taux": "0.70"},
                  {"type": "ccam", "date": "2025-03-02", "prestation": "ADC", "acte": "QZHA001", "prixUnitaire": "15.00",
                   "base": ")" + biopsie + R"(", "baseTheorique": "15.00", "taux": "0.70",
                   "executant": {"numero": "22334455", "specialite": "04"}})";
    };
    const auto violation = [](const char* regle, const char* libelle, const char* message, const char* ligne) {
        return GroupeZone{3520, {regle, "O", latin1(libelle), latin1(message), "1", ligne}};
    };
    const auto pr880A = [&](const char* acte, const char* ligne) {
        return violation("PROD880A", "Base théorique différente",
                         ("La base de remboursement théorique de l'acte " + std::string(acte) +
                          " est différente de la base calculée.").c_str(),
                         ligne);
    };
    const auto pr880 = [&](const char* acte, const char* ligne) {
        return violation("PROD880", "Base de remboursement trop élevée",
                         ("La base de remboursement de l'acte " + std::string(acte) + " dépasse la base calculée.").c_str(),
                         ligne);
    };
    // A tariff violation gives its line the forcing indicator R.
    const auto R = [](const char* ligne) { return GroupeZone{2000, {ligne, "R"}}; };
    struct Cas {
        const char* nom;
        std::string facture;
        std::vector<GroupeZone> reponse;
    };
    const std::string kj = R"("K", "J")", kjf = R"("K", "J", "F")";
    const Cas cas[] = {
        // Rates 1.2 and 1.1 on 100.00, reduced by 0.5 under the higher-priced act: 65.00.
        {"rates-reduced", facture("1", "04", "2024-01-01", "1", hhfa011 + theorique("QZFA014", kj, "100.00", "65.00", "ADC", "K")), {}},
        {"rates-reduced-a-cent-more", facture("1", "04", "2024-01-01", "1", hhfa011 + theorique("QZFA014", kj, "100.00", "65.01", "ADC", "K")),
         {R("2"), pr880A("QZFA014", "2")}},
        {"rates-reduced-a-cent-less", facture("1", "04", "2024-01-01", "1", hhfa011 + theorique("QZFA014", kj, "100.00", "64.99", "ADC", "K")),
         {R("2"), pr880A("QZFA014", "2")}},
        // A lump sum of 10.00 adds to the base: 14.26 + 10.00.
        {"lump-sum", facture("1", "01", "2024-01-01", "1", theorique("DEQP003", R"("M")", "14.26", "24.26", "ATM")), {}},
        // Two modifiers change the price in 2008: F, the third, is ignored (130.00, not 149.06).
        {"third-modifier-ignored", facture("1", "04", "2008-06-01", "1", theorique("QZFA014", kjf, "100.00", "130.00")), {}},
        // A non-contracted practitioner: the lump sum of 20.00 caps 30.00 and leaves 15.00.
        {"non-contracted", facture("0", "06", "2025-03-01", "4", nonConventionne("20.00", "15.00")), {}},
        {"non-contracted-a-cent-more", facture("0", "06", "2025-03-01", "4", nonConventionne("20.01", "15.01")),
         {R("1"), R("2"), pr880("LDQK002", "1"), pr880("QZHA001", "2")}},
    };
    for (const Cas& c : cas) {
        const Reponse r = controler(h.hote(), zoneFacture(c.facture));
        EXPECT_EQ(r.cr, c.reponse.empty() ? KPX_OK : KPX_CR_CONTROLE_NIVEAU_BASE + 1) << c.nom;
        EXPECT_EQ(r.sortie, coderZone(c.reponse)) << c.nom;
    }
}

// Which errors the overrides withhold, line by line, and the level they leave are the complete
// control's own test over a stand-in control; the sample invoice overridden throughout shows
// them read through the export, and the session test gets level 2 from it.
TEST(ControleCompletBoundary, FailuresComeWithoutAZoneAndWithTheFramesCodes) {
    HoteEchantillon h;
    ASSERT_TRUE(h.pret());
    const std::string incompatibles = lireFichier(std::string(KPX_SOURCE_DIR) + "/data/factures/actes-incompatibles.json");
    const auto avec = [&](std::string texte, const std::string& ancien, const std::string& nouveau) {
        texte.replace(texte.find(ancien), ancien.size(), nouveau);
        return texte;
    };
    const std::string dent = lireFichier(std::string(KPX_SOURCE_DIR) + "/data/factures/dentaire.json");
    // Failures come without a zone; a query's code is translated into the control range.
    struct Cas {
        const char* nom;
        std::string entree;
        uint16_t attendu;
    };
    const Cas cas[] = {
        {"no-nature", coderZone({{1100, {"1", "", "", "", "1", "01", "", "", "", "", "", "", "19800101"}}, {1900, {"001"}}}),
         KPX_CR_NATURE_ASSURANCE},
        {"unknown-contexts", zoneFacture(avec(dent, R"("contextes": [5, 1])", R"("contextes": [8, 8])")),
         KPX_CR_CONTROLE_ABSENT},
        {"not-a-zone", std::string("\x06\x4C\x05" "ab"), KPX_CR_ZONE_MALFORMEE},
    };
    for (const Cas& c : cas) {
        const Reponse r = controler(h.hote(), c.entree);
        EXPECT_EQ(r.cr, c.attendu) << c.nom;
        EXPECT_TRUE(r.sortie.empty()) << c.nom;
    }
    unsigned char* sortie = nullptr;
    EXPECT_EQ(h.hote().KPX_ControleComplet(reinterpret_cast<const unsigned char*>(incompatibles.data()), 0, &sortie,
                                           nullptr),
              KPX_CR_ZONE_ENTREE);
}

TEST(ControleCompletBoundary, ExonerationRulesRunOnlyForTheNaturesThatHaveThem) {
    HoteEchantillon h;
    ASSERT_TRUE(h.pret());
    // The exonerated session's act billed at 70 % without exoneration: PROD785 and PROD792.
    std::string facture = lireFichier(std::string(KPX_SOURCE_DIR) + "/data/factures/seance-exoneree.json");
    const std::string exonere = R"("taux": "1.00", "exoneration": "C")";
    facture.replace(facture.find(exonere), exonere.size(), R"("taux": "0.70", "exoneration": "0")");
    const std::string nature = R"("natureAssurance": "AS")";
    const size_t position = facture.find(nature);
    for (const auto& [code, attendu] : {std::pair<const char*, uint16_t>{"AS", KPX_CR_CONTROLE_NIVEAU_BASE + 1},
                                        {"PM", KPX_CR_CONTROLE_NIVEAU_BASE + 1}, {"MA", KPX_OK}, {"AT", KPX_OK},
                                        {"SG", KPX_OK}}) {
        std::string texte = facture;
        texte.replace(position, nature.size(), std::string(R"("natureAssurance": ")") + code + "\"");
        const Reponse r = controler(h.hote(), zoneFacture(texte));
        EXPECT_EQ(r.cr, attendu) << code;
        if (attendu != KPX_OK) {
            std::vector<GroupeZone> groupes;
            std::string erreur;
            ASSERT_TRUE(decoderZone(r.sortie, groupes, erreur)) << erreur;
            ASSERT_EQ(groupes.size(), 3u) << code;
            EXPECT_EQ(groupes[1].champs[0], "PROD785") << code;
            EXPECT_EQ(groupes[2].champs[0], "PROD792") << code;
        }
    }
}
