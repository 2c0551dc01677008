// Modification and cancellation through the exported functions, over the compiled
// sample copied into a directory of the test's own: each change as consultation then
// shows it at every date, each refusal with its code.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "hote/Hote.h"
#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"
#include "support/HoteEchantillon.h"
#include "support/ZoneEntree.h"

namespace {

GroupeEntree A(const std::string& acte) { return {3001, {acte}}; }
GroupeEntree Ac(const std::string& activite) { return {3002, {activite}}; }
GroupeEntree Ph(const std::string& phase) { return {3003, {phase}}; }
GroupeEntree Ctx(const std::string& ps, const std::string& bs) { return {3004, {ps, bs}}; }
GroupeEntree M(const std::string& modificateur) { return {3005, {modificateur}}; }
GroupeEntree Caisse(const std::string& caisse) { return {3006, {caisse}}; }
GroupeEntree Asso(const std::string& code) { return {3007, {code}}; }
GroupeEntree Montant(const std::string& valeur) { return {3008, {valeur}}; }
GroupeEntree Coef(const std::string& valeur) { return {3009, {valeur}}; }
GroupeEntree Taux(const std::string& valeur) { return {3010, {valeur}}; }
GroupeEntree Regroupement(const std::string& code) { return {3011, {code}}; }
GroupeEntree Libelle(const std::string& texte) { return {3012, {texte}}; }

std::string code(uint16_t cr) {
    char texte[8];
    std::snprintf(texte, sizeof texte, "#%04X", cr);
    return cr == 0 ? "ok" : texte;
}

// A copy of the sample's table file in a directory of the test's own; modifications go beside it.
struct CopieEchantillon {
    explicit CopieEchantillon(const std::string& nom) : copie(nom) {
        ecrireOctets(copie.fichier("table_v2.kpx"), lireOctets(repertoireEchantillon() + "/table_v2.kpx"));
    }
    RepertoireTemporaire copie;
};

// The library loaded on the copy.
class HoteModifiable : private CopieEchantillon, public HoteEchantillon {
public:
    explicit HoteModifiable(const std::string& nom) : CopieEchantillon(nom), HoteEchantillon(copie.chemin()) {}

    const RepertoireTemporaire& repertoire() const { return copie; }

    // 'M' modification at the date, 'A' cancellation, 'C' consultation at the date: "ok", the
    // zone's text, or "#" and the code.
    std::string appeler(char quoi, const char* identifiant, const char* date,
                        const std::vector<GroupeEntree>& groupes) {
        const std::vector<uint8_t> octets = zone(groupes);
        const unsigned char* entree = octets.empty() ? nullptr : octets.data();
        const auto taille = static_cast<uint32_t>(octets.size());
        if (quoi == 'M') return code(hote().KPX_ModifierDonnee(identifiant, date, entree, taille));
        if (quoi == 'A') return code(hote().KPX_AnnulerModification(identifiant, entree, taille));
        unsigned char* sortie = nullptr;
        uint32_t tailleSortie = 0;
        const uint16_t cr = hote().KPX_ConsulterDonnee(identifiant, date, entree, taille, &sortie, &tailleSortie);
        const std::string texte = cr == 0 ? texteZone(sortie, tailleSortie) : code(cr);
        hote().KPX_LibererZoneMem(sortie);
        return texte;
    }
};

struct Etape {
    char quoi;
    const char* identifiant;
    const char* date;
    std::vector<GroupeEntree> entree;
    const char* attendu;
};

void derouler(HoteModifiable& h, const std::vector<Etape>& etapes) {
    for (const Etape& e : etapes)
        EXPECT_EQ(h.appeler(e.quoi, e.identifiant, e.date, e.entree), e.attendu)
            << e.quoi << " " << e.identifiant << " " << (e.date ? e.date : "");
}

const std::vector<GroupeEntree> kPrix = {A("AHQP001"), Ac("1"), Ph(""), Ctx("1", "1")};
// The grouping codes of the sample, as listed where no local one is in force.
const char* const kRegroupements =
    "3118:ADA,Actes d'anesthésie|3118:ADC,Actes de chirurgie|3118:ADE,Actes d'échographie|3118:ADI,Actes "
    "d'imagerie|3118:ATM,Actes techniques médicaux|3118:PDT,Prothèses dentaires|3118:SDE,Soins dentaires";
std::vector<GroupeEntree> nouveauPrix(const char* acte, const char* prix) {
    return {A(acte), Ac("1"), Ph(""), Montant(prix), Ctx("1", "1")};
}

}  // namespace

TEST(ModificationBoundary, EachFunctionChangesWhatConsultationShowsFromItsDateUntilCancelled) {
    HoteModifiable h("modification-fonctions");
    ASSERT_TRUE(h.pret());
    derouler(
        h,
        {
            // Two prices D1 < D2: the reference before D1, then each from its date, with its date.
            {'M', "CCAM_37", "20250101", nouveauPrix("AHQP001", "5000"), "ok"},
            {'M', "CCAM_37", "20260101", nouveauPrix("AHQP001", "5500"), "ok"},
            {'M', "CCAM_37", "20251231", nouveauPrix("AHQP001", "5200"), "#D004"},
            {'C', "CCAM_37", "20241231", kPrix, "3117:4500"},
            {'C', "CCAM_37", "20250101", kPrix, "3117:5000|3130:202501010000"},
            {'C', "CCAM_37", "20260101", kPrix, "3117:5500|3130:202601010000"},
            {'C', "CCAM_37", "20260101", {A("AHQP001"), Ac("1"), Ph(""), Ctx("3", "1")}, "3117:4050|3130:202601010000"},
            {'A', "CCAM_37", nullptr, {A("AHQP001"), Ac("1"), Ph("")}, "ok"},
            {'C', "CCAM_37", "20260101", kPrix, "3117:4500"},
            {'C', "CCAM_37", "20231231", kPrix, "3117:4180"},
            {'A', "CCAM_37", nullptr, {A("AHQP001"), Ac("1"), Ph("")}, "#D005"},
            // The act's life bounds the effective date, both ends allowed.
            {'M', "CCAM_37", "20221231", nouveauPrix("MZQK002", "2100"), "ok"},
            {'M', "CCAM_37", "20230101", nouveauPrix("MZQK002", "2200"), "#D004"},
            {'M', "CCAM_37", "20050324", nouveauPrix("MZQK002", "2200"), "#D004"},
            {'M', "CCAM_37", "20250101", nouveauPrix("ZZZZ999", "2200"), "#D002"},
            {'M', "CCAM_37", "20250101", {A("AHQP001"), Ac("1"), Ph(""), Montant("100"), Ctx("9", "9")}, "#D002"},
            // Supplement and overseas surcharge; the caisse chooses the position, 975 is none.
            {'M', "CCAM_39", "20250101", {A("AHQP001"), Ac("1"), Ph(""), Montant("300")}, "ok"},
            {'C', "CCAM_39", "20250101", {A("AHQP001"), Ac("1"), Ph("")}, "3117:300|3130:202501010000"},
            {'M', "CCAM_47a", "20250101", {Caisse("972"), A("AHQP001"), Ac("1"), Ph(""), Coef("1200")}, "ok"},
            {'M', "CCAM_47a", "20250101", {Caisse("975"), A("AHQP001"), Ac("1"), Ph(""), Coef("1200")}, "#D006"},
            {'C',
             "CCAM_47a",
             "20250101",
             {Caisse("972"), A("AHQP001"), Ac("1"), Ph("")},
             "3114:1200|3130:202501010000"},
            {'C', "CCAM_47a", "20250101", {Caisse("971"), A("AHQP001"), Ac("1"), Ph("")}, "3114:1050"},
            {'A', "CCAM_47a", nullptr, {Caisse("971"), A("AHQP001"), Ac("1"), Ph("")}, "#D005"},
            {'A', "CCAM_47a", nullptr, {Caisse("972"), A("AHQP001"), Ac("1"), Ph("")}, "ok"},
            {'C', "CCAM_39", "20250101", {A("AHQP001"), Ac("1"), Ph("")}, "3117:300|3130:202501010000"},
            // Grouping codes: an existing one for an activity, a new one in the table.
            {'M', "CCAM_42", "20250101", {A("AHQP001"), Ac("1"), Regroupement("ZZZ")}, "#D007"},
            {'M', "CCAM_42", "20250101", {A("AHQP001"), Ac("1"), Regroupement("ADC")}, "ok"},
            {'C', "CCAM_42", "20250101", {A("AHQP001"), Ac("1")}, "3118:ADC,Actes de chirurgie|3130:202501010000"},
            {'M', "TB13_1", "20250101", {Regroupement("ADA"), Libelle("Double")}, "#D008"},
            {'M', "TB13_1", "20250101", {Regroupement("KC"), Libelle("Nature")}, "#D009"},
            {'M', "TB13_1", "20250101", {Regroupement("ADZ"), Libelle("Actes locaux")}, "ok"},
            {'C', "TB13_1", "20241231", {}, kRegroupements},
            {'C',
             "TB13_1",
             "20250101",
             {},
             "3118:ADA,Actes d'anesthésie|3118:ADC,Actes de chirurgie|3118:ADE,Actes d'échographie|3118:ADI,Actes "
             "d'imagerie|3118:ADZ,Actes locaux|3130:202501010000|3118:ATM,Actes techniques médicaux|3118:PDT,Prothèses "
             "dentaires|3118:SDE,Soins dentaires"},
            {'A', "TB13_1", nullptr, {}, "ok"},
            {'C', "TB13_1", "20250101", {}, kRegroupements},
            {'A', "TB13_1", nullptr, {}, "#D005"},
            // Dated tables: a metropolitan caisse changes position 1 only.
            {'M', "TB07_1", "20250101", {Caisse("751"), Montant("13000")}, "ok"},
            {'C', "TB07_1", "20250101", {Caisse("975")}, "3117:13000|3130:202501010000"},
            {'C', "TB07_1", "20241231", {Caisse("975")}, "3117:12000"},
            {'C', "TB07_1", "20250101", {Caisse("974")}, "3117:12400"},
            {'M', "TB07_1", "20240101", {Caisse("751"), Montant("13000")}, "#D004"},
            {'M', "TB02_1", "20250101", {Asso("3"), Coef("850"), Ctx("1", "1")}, "ok"},
            {'C', "TB02_1", "20250101", {Asso("3"), Ctx("1", "1")}, "3114:0850|3130:202501010000"},
            {'C', "TB02_1", "20250101", {Asso("3"), Ctx("3", "1")}, "3114:0800"},
            {'M', "TB11_1", "20250101", {M("F"), Montant("3000"), Ctx("1", "1")}, "ok"},
            {'M', "TB11_2", "20250101", {M("K"), Taux("120"), Ctx("3", "1")}, "ok"},
            {'C', "TB11_1", "20250101", {M("F"), Ctx("1", "1")}, "3117:3000|3130:202501010000"},
            {'C', "TB11_2", "20250101", {M("K"), Ctx("3", "1")}, "3114:1200|3130:202501010000"},
            {'A', "TB11", nullptr, {M("K")}, "ok"},
            {'C', "TB11_2", "20250101", {M("K"), Ctx("3", "1")}, "3114:1115"},
            {'C', "TB11_1", "20250101", {M("F"), Ctx("1", "1")}, "3117:3000|3130:202501010000"},
            {'M', "TB12_1", "20260101", {Montant("2500")}, "ok"},
            {'M', "TB12_2", "20260101", {Taux("20")}, "ok"},
            {'C', "TB12_1", "20260101", {}, "3117:2500|3130:202601010000"},
            {'C', "TB12_2", "20251231", {}, "3114:0160"},
            {'A', "TB12", nullptr, {Montant("1")}, "#A000"},
            {'A', "TB12", nullptr, {}, "ok"},
            {'C', "TB12_2", "20260101", {}, "3114:0160"},
            // Identifiers are looked up in their own family.
            {'M', "CCAM_7", "20250101", {A("AHQP001")}, "#D000"},
            {'A', "TB11_1", nullptr, {M("F")}, "#D000"},
        });
}

namespace {

std::string version(Hote& hote) {
    unsigned char* sortie = nullptr;
    uint32_t taille = 0;
    const uint16_t cr = hote.KPX_LireVersion(&sortie, &taille);
    const std::string texte = cr == 0 ? texteZone(sortie, taille) : code(cr);
    hote.KPX_LibererZoneMem(sortie);
    return texte;
}

std::string aujourdhui() {
    const std::time_t maintenant = std::time(nullptr);
    char texte[16];
    std::strftime(texte, sizeof texte, "%Y%m%d0000", std::localtime(&maintenant));
    return texte;
}

}  // namespace

TEST(ModificationBoundary, SavedChangesComeBackAtTheNextStartAndASaveWithoutChangeWritesNothing) {
    HoteModifiable h("modification-sauvegarde");
    ASSERT_TRUE(h.pret());
    Hote& hote = h.hote();
    auto fichier = [&](const char* nom) { return lireOctets(h.repertoire().fichier(nom)); };
    derouler(h, {
                    {'M', "CCAM_37", "20250101", nouveauPrix("AHQP001", "5000"), "ok"},
                    {'M', "CCAM_37", "20260101", nouveauPrix("AHQP001", "5500"), "ok"},
                    {'M', "TB07_1", "20250101", {Caisse("751"), Montant("13000")}, "ok"},
                    {'M', "TB11_2", "20250101", {M("K"), Taux("120"), Ctx("3", "1")}, "ok"},
                    {'M', "TB13_1", "20250101", {Regroupement("ADZ"), Libelle("Actes locaux")}, "ok"},
                    {'M', "CCAM_42", "20250101", {A("AHQP001"), Ac("1"), Regroupement("ADZ")}, "ok"},
                });
    const std::vector<Etape> consultations = {
        {'C', "CCAM_37", "20241231", kPrix, "3117:4500"},
        {'C', "CCAM_37", "20250101", kPrix, "3117:5000|3130:202501010000"},
        {'C', "CCAM_37", "20260101", kPrix, "3117:5500|3130:202601010000"},
        {'C', "TB07_1", "20250101", {Caisse("751")}, "3117:13000|3130:202501010000"},
        {'C', "TB07_1", "20241231", {Caisse("751")}, "3117:12000"},
        {'C', "TB11_2", "20250101", {M("K"), Ctx("3", "1")}, "3114:1200|3130:202501010000"},
        {'C', "CCAM_42", "20250101", {A("AHQP001"), Ac("1")}, "3118:ADZ,Actes locaux|3130:202501010000"},
        {'C', "CCAM_42", "20241231", {A("AHQP001"), Ac("1")}, "3118:ATM,Actes techniques médicaux"},
    };

    // A comment of 201 bytes is refused before any file is touched; 200 are accepted.
    EXPECT_EQ(hote.KPX_SauvegarderReferentiel(std::string(201, 'c').c_str()), KPX_CR_ARGUMENT);
    EXPECT_TRUE(fichier("modrefv2.kpx").empty());
    ASSERT_EQ(hote.KPX_SauvegarderReferentiel(nullptr), KPX_OK);
    const std::vector<uint8_t> premier = fichier("modrefv2.kpx");
    EXPECT_FALSE(premier.empty());
    for (const char* reste : {"modifv2~.kpx", "modif~.sav", "modiftmp.kpx"})
        EXPECT_TRUE(fichier(reste).empty()) << reste;
    EXPECT_EQ(version(hote), "3600:1000,0000," + aujourdhui() + ",A001,,1,0302");

    // The next start replays what was saved.
    ASSERT_EQ(hote.KPX_TermLIB(), KPX_OK);
    ASSERT_EQ(h.initialiser(), KPX_OK);
    derouler(h, consultations);
    EXPECT_EQ(version(hote), "3600:1000,0000," + aujourdhui() + ",A001,,1,0302");

    // Nothing changed since the load, and a refused change changes nothing: no file is written.
    derouler(h, {{'M', "CCAM_37", "20251231", nouveauPrix("AHQP001", "5200"), "#D004"}});
    const auto date = std::filesystem::last_write_time(h.repertoire().fichier("modrefv2.kpx"));
    ASSERT_EQ(hote.KPX_SauvegarderReferentiel(""), KPX_OK);
    EXPECT_EQ(fichier("modrefv2.kpx"), premier);
    EXPECT_EQ(std::filesystem::last_write_time(h.repertoire().fichier("modrefv2.kpx")), date);
    EXPECT_TRUE(fichier("modifv2~.kpx").empty());

    // A comment alone is saved, with the next revision; the file it replaces becomes the previous one.
    const std::string commentaire(200, 'c');
    ASSERT_EQ(hote.KPX_SauvegarderReferentiel(commentaire.c_str()), KPX_OK);
    EXPECT_EQ(fichier("modifv2~.kpx"), premier);
    EXPECT_EQ(version(hote), "3600:1000,0000," + aujourdhui() + ",A001," + commentaire + ",2,0302");
    // A cancellation saved is gone at the next start.
    derouler(h, {{'A', "CCAM_37", nullptr, {A("AHQP001"), Ac("1"), Ph("")}, "ok"}});
    ASSERT_EQ(hote.KPX_SauvegarderReferentiel(nullptr), KPX_OK);
    ASSERT_EQ(hote.KPX_TermLIB(), KPX_OK);
    ASSERT_EQ(h.initialiser(), KPX_OK);
    derouler(h, {{'C', "CCAM_37", "20260101", kPrix, "3117:4500"}, consultations[3]});
    EXPECT_EQ(version(hote), "3600:1000,0000," + aujourdhui() + ",A001," + commentaire + ",3,0302");
}
