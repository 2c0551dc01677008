// KPX_AppliquerRegle as a host calls it, over the compiled
// sample: every rule identifier with its exact answer, the overrides that withhold an
// act's result, the warnings that come with a zone, and the limit of 250 acts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "support/HoteEchantillon.h"
#include "support/LectureTrace.h"
#include "support/ZoneEntree.h"

namespace {

const char* const kDate = "20240101";

class Regles : public HoteEchantillon {
public:
    // The answer as text; a non-zero code as "#XXXX", followed by the zone when one came with it.
    std::string appliquer(const char* identifiant, const std::vector<GroupeEntree>& entree) {
        const std::vector<uint8_t> octets = zone(entree);
        unsigned char* sortie = nullptr;
        uint32_t taille = 0;
        const uint16_t cr = hote().KPX_AppliquerRegle(identifiant, octets.data(), static_cast<uint32_t>(octets.size()),
                                                      &sortie, &taille);
        std::string texte;
        if (cr != 0) {
            char code[8];
            std::snprintf(code, sizeof code, "#%04X", cr);
            texte = code;
        }
        if (sortie != nullptr) texte += (texte.empty() ? "" : " ") + texteZone(sortie, taille);
        if (cr == 0 && sortie == nullptr) texte = "(no zone)";
        octets_.assign(sortie, sortie + (sortie != nullptr ? taille : 0));
        hote().KPX_LibererZoneMem(sortie);
        return texte;
    }
    // The bytes of the last zone handed over, as the host received them.
    const std::vector<uint8_t>& octets() const { return octets_; }

private:
    std::vector<uint8_t> octets_;
};

// Input groups, field by field as the interface describes them.
GroupeEntree Outre(const std::string& numero, const std::string& regle) { return {3530, {numero, regle}}; }
GroupeEntree ActeDent(const std::string& acte, const std::string& phase) {
    return {3300, {"1", kDate, acte, "1", phase}};
}
GroupeEntree Dents(std::vector<std::string> dents, const std::string& numero = "1") {
    dents.insert(dents.begin(), numero);
    dents.resize(17);
    return {3302, dents};
}
GroupeEntree Acte(const std::string& numero, const std::string& acte, const std::string& activite = "1",
                  const std::string& date = kDate) {
    return {3310, {numero, date, acte, activite, "12345678", "1"}};
}
GroupeEntree Caisse(const std::string& caisse) { return {3400, {"", caisse}}; }
GroupeEntree ActePu(const std::string& numero, const std::string& acte) {
    return {3410, {numero, kDate, acte, "1", ""}};
}
GroupeEntree Grille(const std::string& ps, const std::string& beneficiaire) { return {3470, {"", ps, beneficiaire}}; }
GroupeEntree ActeBase(const std::string& numero, const std::string& acte, std::vector<std::string> modificateurs,
                      const std::string& codeAssociation = "") {
    modificateurs.resize(4);
    return {3420, {numero, kDate, "", "", acte, "1", "", modificateurs[0], modificateurs[1], modificateurs[2],
                   modificateurs[3], codeAssociation, "", "", "12345678", "1"}};
}
GroupeEntree Prix(const std::string& numero, const std::string& prix) { return {3422, {numero, prix}}; }
GroupeEntree ActeExo(const std::string& acte, const std::string& motif) {
    return {3430, {"1", kDate, acte, motif}};
}
GroupeEntree Montants(const std::string& horsForfait, const std::string& numero = "1") {
    return {3432, {numero, "0", horsForfait, "0"}};
}
GroupeEntree Prevention(const std::string& acte, const std::string& drapeau) {
    return {3440, {"1", kDate, acte, drapeau}};
}
// A CCAM line of C_ExoFacture: its act, bases, rate and exoneration code.
std::vector<GroupeEntree> Ccam(const std::string& numero, const std::string& acte, const std::string& horsForfait,
                               const std::string& taux, const std::string& exoneration) {
    return {{3450, {numero, kDate, acte}}, {3451, {numero, horsForfait, horsForfait, ""}},
            {3452, {numero, taux, exoneration}}};
}
std::vector<GroupeEntree> operator+(std::vector<GroupeEntree> a, const std::vector<GroupeEntree>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string code(uint16_t cr) {
    char texte[8];
    std::snprintf(texte, sizeof texte, "#%04X", cr);
    return texte;
}

struct Cas {
    const char* nom;
    const char* identifiant;
    std::vector<GroupeEntree> entree;
    std::string attendu;
};

}  // namespace

TEST(AppliquerBoundary, EachFunctionAnswersPerActWithItsWarningsInTheZoneOfItsGroups) {
    Regles r;
    ASSERT_TRUE(r.pret());
    const auto pu = [](const std::string& caisse, const std::string& acte) {
        return std::vector<GroupeEntree>{Caisse(caisse), ActePu("1", acte), Grille("1", "1")};
    };
    // HHFA011 is the dearer act of the association; QZFA014 under it is reduced by rule B
    // (0.50) after K and J raise it by 20 % and 10 %: 100.00 x 1.3 x 0.5.
    const std::vector<GroupeEntree> association = {
        {3401, {"1", ""}}, ActeBase("1", "HHFA011", {}), Grille("1", "1"), Prix("1", "22118"),
        ActeBase("2", "QZFA014", {"K", "J"}), Grille("1", "1"), Prix("2", "10000")};
    const auto exo = [](const std::string& caisse, const std::string& acte, const std::string& motif,
                        const std::string& horsForfait) {
        return std::vector<GroupeEntree>{Caisse(caisse), ActeExo(acte, motif), Montants(horsForfait)};
    };
    const std::vector<GroupeEntree> tete = {Caisse("001")};
    // At most 250 acts per call.
    std::vector<GroupeEntree> pu250 = {Caisse("001")};
    std::string attendu250;
    for (int i = 1; i <= 250; ++i) {
        pu250.push_back(ActePu(std::to_string(i), "AHQP001"));
        pu250.push_back(Grille("1", "1"));
        attendu250 += (i == 1 ? "" : "|") + std::string("3411:") + std::to_string(i) + ",4500";
    }
    const Cas cas[] = {
        // Tooth 51 is deciduous, incompatible with HBGD035: one result per tooth, 16 fields in all.
        {"dent-trois", "C_Dent", {ActeDent("HBGD035", ""), Dents({"36", "51", "37"})}, "3301:1,O,N,O,,,,,,,,,,,,,"},
        {"dent-non-dentaire", "C_Dent", {ActeDent("AHQP001", "0"), Dents({"36"})}, "3301:1,N,,,,,,,,,,,,,,,"},
        {"dent-non-comptee", "C_Dent", {ActeDent("HBJD001", "0"), Dents({"36"})}, "3301:1,N,,,,,,,,,,,,,,,"},
        {"dent-double", "C_Dent", {ActeDent("HBGD035", "0"), Dents({"36", "36"})}, code(KPX_CR_LISTE_DENTS)},
        {"dent-autre-prestation", "C_Dent", {ActeDent("HBGD035", "0"), Dents({"36"}, "2")},
         code(KPX_CR_NUMERO_PRESTATION_BASE + 1)},

        // One procedure, both categories compatible: "2" for both, with the procedure and the other act.
        {"compat-procedure", "C_Compatibilite", {Acte("1", "JAFA002"), Acte("2", "JAFC019")},
         "3311:1,2,2,L'acte JAFA002 appartient à la même procédure JAFA002 que l'acte JAFC019 ; ces deux actes "
         "peuvent cependant être associés en renseignant le code \"association non prévue\".,JAFC019,JAFA002|"
         "3311:2,2,2,L'acte JAFC019 appartient à la même procédure JAFA002 que l'acte JAFA002 ; ces deux actes "
         "peuvent cependant être associés en renseignant le code \"association non prévue\".,JAFA002,JAFA002"},
        {"compat-procedure-incompatible", "C_Compatibilite", {Acte("1", "DZQM006"), Acte("2", "EBQM001")},
         "3311:1,3,3,L'acte DZQM006 appartient à la même procédure DZQM006 que l'acte EBQM001 ; ces deux actes ne "
         "peuvent pas être associés.,EBQM001,DZQM006|"
         "3311:2,3,3,L'acte EBQM001 appartient à la même procédure DZQM006 que l'acte DZQM006 ; ces deux actes ne "
         "peuvent pas être associés.,DZQM006,DZQM006"},
        // A third act compatible with both keeps "1" but its last pair's code.
        {"compat-incompatibles", "C_Compatibilite", {Acte("1", "LAQK013"), Acte("2", "ZBQK002"), Acte("3", "ZCQK002")},
         "3311:1,4,1,L'acte LAQK013 est incompatible médicalement avec l'acte ZBQK002 ; ces deux actes ne peuvent "
         "pas être associés.,ZBQK002,|"
         "3311:2,4,1,L'acte ZBQK002 est incompatible médicalement avec l'acte LAQK013 ; ces deux actes ne peuvent "
         "pas être associés.,LAQK013,|"
         "3311:3,1,1,L'acte ZCQK002 est compatible avec les autres actes.,,"},
        // PROD500 disengages the service: the act is withheld and compared with no other.
        {"compat-debraye", "C_Compatibilite",
         {Acte("1", "HHFA011"), Outre("1", "PROD720"), Outre("1", "PROD500"), Acte("2", "HHFA016")},
         "3531:1|3311:2,1,,L'acte HHFA016 est compatible avec les autres actes.,,"},
        {"compat-outrepassement-sans-effet", "C_Compatibilite",
         {Acte("1", "HHFA011"), Outre("1", "PROD720"), Acte("2", "HHFA016")},
         "3311:1,4,4,L'acte HHFA011 est incompatible médicalement avec l'acte HHFA016 ; ces deux actes ne peuvent "
         "pas être associés.,HHFA016,HHFA016|"
         "3311:2,4,4,L'acte HHFA016 est incompatible médicalement avec l'acte HHFA011 ; ces deux actes ne peuvent "
         "pas être associés.,HHFA011,HHFA016"},
        {"compat-outrepassement-autre-prestation", "C_Compatibilite", {Acte("1", "HHFA011"), Outre("2", "PROD500")},
         code(KPX_CR_NUMERO_PRESTATION_BASE + 1)},

        // Planned, unplanned, dental planned and unplanned, and two associations by activity.
        {"asso-prevue", "C_Association", {Acte("1", "HHFA011"), Acte("2", "QZFA014")}, "3321:1,1,P|3321:2,1,P"},
        {"asso-non-prevue", "C_Association", {Acte("1", "NFKA007"), Acte("2", "HHFA016")}, "3321:1,1,N|3321:2,1,N"},
        {"asso-dentaire", "C_Association", {Acte("1", "HBGD035"), Acte("2", "HBMD049")}, "3321:1,1,D|3321:2,1,D"},
        {"asso-dentaire-non-prevue", "C_Association", {Acte("1", "HBGD035"), Acte("2", "HBGD037")},
         "3321:1,1,E|3321:2,1,E"},
        {"asso-deux", "C_Association", {Acte("1", "JAFA002"), Acte("2", "HHFA011", "4"), Acte("3", "JAFC019")},
         "3321:1,1,N|3321:2,2,P|3321:3,1,N"},
        {"asso-incompatibles", "C_Association", {Acte("1", "HHFA011"), Acte("2", "HHFA016")}, code(0xD111)},
        // The override withholds the whole association and spares it the rule.
        {"asso-debrayee", "C_Association",
         {Acte("1", "HHFA011"), Acte("2", "HHFA016"), Outre("2", "PROD530"), Acte("3", "NFKA007", "4")},
         "3531:1|3531:2|3321:3,2,P"},

        {"pu-outre-mer", "C_Pu", pu("973", "AHQP001"), "3411:1,4950"},
        {"pu-250-actes", "C_Pu", pu250, attendu250},
        {"pu-trop-long", "C_Pu", pu("973", "DZEA001"), code(KPX_CR_MONTANT_TROP_LONG)},
        {"pu-grille-absente", "C_Pu", {Caisse("001"), ActePu("1", "HBJD001"), Grille("3", "1")},
         code(KPX_CR_CONTROLE_ABSENT)},
        {"pu-debraye", "C_Pu",
         {Caisse("001"), ActePu("1", "AHQP001"), Grille("1", "1"), ActePu("2", "DZEA001"), Grille("1", "1"),
          Outre("2", "PROD510"), ActePu("3", "ZBQK002"), Grille("1", "1"), Outre("3", "PROD720")},
         "3411:1,4500|3531:2|3411:3,2128"},
        {"base-association", "C_Base", association, "3421:1,22118,22118,22118|3421:2,6500,6500,6500"},
        // A lump sum adds to the base and not to the base without lump sums.
        {"base-forfait", "C_Base",
         {{3401, {"1", ""}}, ActeBase("1", "DEQP003", {"M"}), Grille("1", "1"), Prix("1", "1426")},
         "3421:1,2426,1426,2426"},
        // Not contracted: capped at the lump sum of the date.
        {"base-non-conventionne", "C_Base",
         {{3401, {"0", ""}}, ActeBase("1", "AHQP001", {}), Grille("4", "1"), Prix("1", "4500")},
         "3421:1,150,4500,4500"},
        {"base-non-remboursable", "C_Base",
         {{3401, {"1", ""}}, ActeBase("1", "QZMA001", {}), Grille("1", "1"), Prix("1", "1000")}, "3421:1,000,000,000"},
        {"base-debrayee", "C_Base",
         {{3401, {"1", ""}}, ActeBase("1", "AHQP001", {}), Grille("1", "1"), Prix("1", "4500"), Outre("1", "PROD550")},
         "3531:1"},
        {"base-prix-autre-prestation", "C_Base",
         {{3401, {"1", ""}}, ActeBase("1", "AHQP001", {}), Grille("1", "1"), Prix("2", "4500")},
         code(KPX_CR_NUMERO_PRESTATION_BASE + 1)},

        {"exo-motif-N", "C_ExoActe", exo("001", "AAQP012", "N", "0"), "3431:1,1.00,3|3441:1,N"},
        {"exo-droit", "C_ExoActe", exo("001", "AAQP001", "", "0"), "3431:1,1.00,C|3441:1,N"},
        {"exo-droit-seance", "C_ExoActe", exo("001", "DZEA001", "", "0"), "3431:1,1.00,C|3441:1,O"},
        {"exo-seuil", "C_ExoActe", exo("001", "AAQP012", "", "12000"), "3431:1,1.00,C|3441:1,O"},
        {"exo-sous-seuil", "C_ExoActe", exo("001", "AAQP012", "", "11999"), "3431:1,,|3441:1,N"},
        {"exo-seuil-guyane", "C_ExoActe", exo("973", "AAQP012", "", "12500"), "3431:1,,|3441:1,N"},
        {"exo-seuil-acte", "C_ExoActe", exo("001", "QZJA002", "", "12000"), "3431:1,1.00,C|3441:1,N"},
        {"exo-autre-prestation", "C_ExoActe", {Caisse("001"), ActeExo("AAQP012", ""), Montants("0", "2")},
         code(KPX_CR_NUMERO_PRESTATION_BASE + 1)},

        {"prevention", "C_ExoPrevention", {Prevention("HBQD001", "O")}, "3431:1,1.00,7"},
        {"prevention-sans-drapeau", "C_ExoPrevention", {Prevention("HBQD001", "N")},
         code(KPX_CR_REGLE_AVERTISSEMENT_1) + " 3431:1,1.00,7"},
        {"prevention-plusieurs-codes", "C_ExoPrevention", {Prevention("JKHD001", "O")}, "3431:1,1.00,7"},
        {"prevention-plusieurs-codes-sans-drapeau", "C_ExoPrevention", {Prevention("JKHD001", "N")}, "3431:1,,"},
        {"prevention-acte-inconnu", "C_ExoPrevention", {Prevention("ZZZZ999", "O")}, code(KPX_CR_CONTROLE_ABSENT)},

        // 100.00 alone stays below the threshold of 120.00: no session exonerated, an empty zone.
        {"facture-sous-seuil", "C_ExoFacture", tete + Ccam("1", "QZFA014", "10000", "70", "0"), ""},
        // 100.00 + 25.08 reach it: PROD790C exonerates both acts.
        {"facture-seuil", "C_ExoFacture",
         tete + Ccam("1", "QZFA014", "10000", "70", "0") + Ccam("2", "QZFA036", "2508", "70", "0"),
         "3431:1,1.00,C|3431:2,1.00,C"},
        // The invoice flag exonerates the session; the travel line after the act takes its
        // rate and code, the act line of another prestation is no act of the session.
        {"facture-drapeau", "C_ExoFacture",
         tete + Ccam("1", "QZFA014", "10000", "70", "0") +
             std::vector<GroupeEntree>{{3441, {"1", "O"}}, {3462, {"2", kDate, "IK", "70"}},
                                       {3460, {"3", kDate, "C"}}, {3461, {"3", "70", "0"}},
                                       {3462, {"4", kDate, "ID", "70"}}},
         "3431:1,1.00,C|3431:2,1.00,C"},
        // PROD500 disengages the threshold rule and PROD790C for the act and its travel line.
        {"facture-debrayee", "C_ExoFacture",
         tete + Ccam("1", "QZFA014", "10000", "70", "0") +
             std::vector<GroupeEntree>{{3441, {"1", "O"}}, Outre("1", "PROD500"), {3462, {"2", kDate, "IK", "70"}}} +
             Ccam("3", "QZFA036", "2508", "70", "0"),
         "3531:1|3531:2|3431:3,1.00,C"},
        {"facture-deplacement-autre-jour", "C_ExoFacture",
         tete + Ccam("1", "QZFA014", "10000", "70", "0") +
             std::vector<GroupeEntree>{{3462, {"2", "20240102", "IK", "70"}}},
         code(0xD106)},
    };
    for (const Cas& c : cas) EXPECT_EQ(r.appliquer(c.identifiant, c.entree), c.attendu) << c.nom;

    // An answer is the zone of its groups exactly.
    ASSERT_EQ(r.appliquer("C_Pu", {Caisse("001"), ActePu("1", "AHQP001"), Grille("1", "1")}), "3411:1,4500");
    // Group 3411, content of 7 bytes: "1" and "4500", each after its length.
    EXPECT_EQ(r.octets(), (std::vector<uint8_t>{0x0D, 0x53, 0x07, 0x01, '1', 0x04, '4', '5', '0', '0'}));
    ASSERT_EQ(r.appliquer("C_ExoPrevention", {Prevention("AHQP001", "O")}), code(KPX_CR_REGLE_AVERTISSEMENT_2) + " 3431:1,,");
    EXPECT_EQ(r.octets(), (std::vector<uint8_t>{0x0D, 0x67, 0x04, 0x01, '1', 0x00, 0x00}));
}

TEST(AppliquerBoundary, HandlersTraceTheirEntryOverridesAndLimit) {
    Regles r;
    ASSERT_TRUE(r.pret());
    const std::string fichier = repertoireTemporaire("boundary/appliquer-trace") + "/kpx.log";
    ASSERT_EQ(r.hote().KPX_InitTrace(("fichier=" + fichier + ";niveau=5").c_str(), 0, 0, 0), KPX_OK);
    EXPECT_EQ(r.appliquer("C_Pu", {Caisse("001"), ActePu("7", "AHQP001"), Grille("1", "1"), Outre("7", "PROD510")}),
              "3531:7");
    EXPECT_EQ(r.appliquer("C_ExoPrevention", {Prevention("HBQD001", "O")}), "3431:1,1.00,7");
    EXPECT_EQ(r.appliquer("C_Compatibilite", {Acte("1", "HHFA011"), Acte("2", "HHFA016", "1", "20240102")}),
              "3311:1,1,,L'acte HHFA011 est compatible avec les autres actes.,,|"
              "3311:2,1,,L'acte HHFA016 est compatible avec les autres actes.,,");
    std::vector<GroupeEntree> trop;
    for (int i = 1; i <= 251; ++i) trop.push_back(Acte(std::to_string(i), "AHQP001"));
    EXPECT_EQ(r.appliquer("C_Association", trop), code(KPX_CR_TROP_DE_LIGNES));

    std::vector<std::string> lignes;
    for (const auto& l : lireTrace(fichier))
        if (l.categorie == 4 && (l.texte.rfind("FonctionsAppliquer::", 0) == 0 || l.texte.rfind("Règle ", 0) == 0 ||
                                 l.texte.rfind("ERREUR: Nombre", 0) == 0 ||
                                 l.texte.rfind("Reglementation::appliquerCCompatibilite", 0) == 0))
            lignes.push_back(std::to_string(l.niveau) + " " + l.texte);
    EXPECT_EQ(lignes, (std::vector<std::string>{
                          "2 FonctionsAppliquer::C_Pu >> IN",
                          "2 FonctionsAppliquer::extraireGroupes3530 >> IN : ligne n° 1",
                          "2 Règle PROD510 outrepassée à la prestation n° 7",
                          "2 FonctionsAppliquer::extraireGroupes3530 << OUT : top débrayage = vrai",
                          "2 FonctionsAppliquer::C_Pu << OUT : cr = 0x0000",
                          "2 FonctionsAppliquer::C_ExoPrevention >> in",
                          "2 FonctionsAppliquer::C_ExoPrevention << OUT : cr = 0x0000",
                          // Acts of different dates: no pair is compared.
                          "2 FonctionsAppliquer::C_Compatibilite >> IN",
                          "2 FonctionsAppliquer::C_Compatibilite << OUT : cr = 0x0000",
                          "2 FonctionsAppliquer::C_Association >> IN",
                          "5 ERREUR: Nombre de groupes 3310 trop grand",
                          "2 FonctionsAppliquer::C_Association << OUT : cr = 0xE100",
                      }));
}
