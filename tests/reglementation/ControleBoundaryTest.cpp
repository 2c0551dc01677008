// KPX_ControlerDonnees as a host calls it, over the rule
// fixture with the sample's interface description: every control identifier with
// 'O', with 'N' and with a failure, and the frame's own answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KPXW32.h"
#include "hote/Hote.h"
#include "kpxbuild/SourceJson.h"
#include "referentiel/lignes/Interface.h"
#include "support/HoteEchantillon.h"
#include "support/LectureTrace.h"
#include "support/ReferentielDeRegles.h"
#include "support/ZoneEntree.h"

namespace {

const char* const kDate = "20240101";

// "O", "N" or "-" (unwritten), then the code when it is not 0.
std::string controler(Hote& hote, const char* identifiant, const char* date, const std::vector<GroupeEntree>& groupes) {
    const std::vector<uint8_t> octets = zone(groupes);
    char resultat = '-';
    const uint16_t cr =
        hote.KPX_ControlerDonnees(identifiant, date, octets.data(), static_cast<uint32_t>(octets.size()), &resultat);
    return std::string(1, resultat) + (cr == 0 ? "" : " " + std::to_string(cr));
}

// The rule fixture with the sample's interface description, in a directory of its own.
struct ReferentielControle {
    ReferentielControle() {
        ConstructeurReferentiel constructeur;
        remplirRegles(constructeur);
        ContenuReferentiel echantillon;
        std::vector<std::string> erreurs;
        lireSource(std::string(KPX_SOURCE_DIR) + "/data/sample", echantillon, erreurs);
        for (uint16_t id = DescriptifSuperGroupe::kIdentifiant; id <= FilsSuperGroupe::kIdentifiant; ++id)
            constructeur.contenu().tables[id] = std::move(echantillon.tables[id]);
        ecrit = erreurs.empty() && constructeur.ecrire(repertoire.chemin());
    }
    RepertoireTemporaire repertoire{"controle-boundary"};
    bool ecrit = false;
};

// The library loaded by a host and initialised on that fixture, for one test.
class HoteRegles : private ReferentielControle, public HoteEchantillon {
public:
    HoteRegles() : HoteEchantillon(ecrit ? repertoire.chemin() : std::string()) {}

    std::string controler(const char* identifiant, const std::vector<GroupeEntree>& groupes) {
        return ::controler(hote(), identifiant, kDate, groupes);
    }
};

GroupeEntree A(const std::string& acte) { return {3001, {acte}}; }
GroupeEntree Ac(const std::string& activite) { return {3002, {activite}}; }
GroupeEntree Ph(const std::string& phase) { return {3003, {phase}}; }
GroupeEntree M(const std::string& modificateur) { return {3005, {modificateur}}; }
GroupeEntree Naissance(const std::string& date) { return {3013, {date}}; }
GroupeEntree Nature(const std::string& nature) { return {3014, {nature}}; }
GroupeEntree Spe(const std::string& specialite) { return {3015, {specialite}}; }
GroupeEntree Prest(const std::string& prestation) { return {3016, {prestation}}; }
GroupeEntree Radio(const std::string& agrement) { return {3017, {agrement}}; }
GroupeEntree Cmu(const std::string& forfait) { return {3018, {forfait}}; }

std::string code(uint16_t cr) { return std::to_string(cr); }

}  // namespace

// Each control's plain yes and no are the sample's cases below; here, what they do not reach.
TEST(ControleBoundary, EveryIdentifierAnswersYesNoOrItsCode) {
    HoteRegles h;
    ASSERT_TRUE(h.pret());
    struct Cas {
        const char* identifiant;
        std::vector<GroupeEntree> entree;
        std::string attendu;
    };
    const std::string absent = " " + code(KPX_CR_CONTROLE_ABSENT);
    const Cas cas[] = {
        {"C_Age_2", {Naissance("20220101"), A("DENT001"), Ac("1"), Ph("")}, "N"},  // the empty phase is "0"
        {"C_Age_2", {Naissance("19000101"), A("AAAA001"), Ac("1"), Ph("")}, "O"},
        // The résultat starts true before the act is looked up.
        {"C_Age_2", {Naissance("20000101"), A("ZZZZ999"), Ac("1"), Ph("0")}, "O" + absent},
        {"C_Assurance", {Nature("AS"), A("ZZZZ999")}, "N" + absent},
        {"C_Ccam", {Spe("03"), Prest("C")}, "N" + absent},
        {"C_Radio", {Radio("0"), A("ZZZZ999"), Ac("1")}, "N" + absent},
        {"C_ForfaitCMU", {A("ZZZZ999"), Cmu("CM1")}, "N" + absent},
        // The référentiel was opened: 'N' comes with the code of the fault.
        {"C_Ccam", {Spe("01"), Prest("C"), Prest("C")}, "N " + code(0xA003)},
        // Not a control identifier: nothing is written.
        {"C_Inconnu", {Spe("01")}, "- " + code(KPX_CR_CONTROLE_IDENTIFIANT)},
        {"CCAM_1", {A("CHIR001")}, "- " + code(KPX_CR_CONTROLE_IDENTIFIANT)},
    };
    for (const Cas& c : cas) EXPECT_EQ(h.controler(c.identifiant, c.entree), c.attendu) << c.identifiant;

    const std::vector<uint8_t> octets = zone({Spe("01"), Prest("C")});
    EXPECT_EQ(h.hote().KPX_ControlerDonnees("C_Ccam", kDate, octets.data(), static_cast<uint32_t>(octets.size()),
                                            nullptr),
              KPX_CR_ARGUMENT);
}

TEST(ControleBoundary, HandlerAndControlTraceTheirEntryAndExit) {
    HoteRegles h;
    ASSERT_TRUE(h.pret());
    const std::string fichier = repertoireTemporaire("boundary/controle-trace") + "/kpx.log";
    ASSERT_EQ(h.hote().KPX_InitTrace(("fichier=" + fichier + ";niveau=5").c_str(), 0, 0, 0), KPX_OK);
    EXPECT_EQ(h.controler("C_Ccam", {Spe("01"), Prest("CS")}), "N");
    const auto lignes = lireTrace(fichier);
    std::vector<std::string> controle;
    for (const auto& l : lignes)
        if ((l.texte.rfind("FonctionsControler::", 0) == 0 || l.texte.rfind("Reglementation::appliquerC", 0) == 0) &&
            l.categorie == 4 && l.niveau == 2)
            controle.push_back(l.texte);
    EXPECT_EQ(controle, (std::vector<std::string>{
                            "FonctionsControler::C_Ccam >> IN",
                            "Reglementation::appliquerCCcam >> IN",
                            "Reglementation::appliquerCCcam << OUT : cr = 0x0000, résultat = faux",
                            "FonctionsControler::C_Ccam << OUT : cr = 0x0000",
                        }));
}

// The sample's cases of each combined control, as docs/sample.md lists them, through the export.
TEST(ControleBoundary, SampleGivesEachCombinedControlItsYesItsNoAndItsCodes) {
    HoteEchantillon h;
    ASSERT_TRUE(h.pret());
    struct Cas {
        const char* identifiant;
        const char* date;
        std::vector<GroupeEntree> entree;
        std::string attendu;
    };
    const std::string absent = " " + code(KPX_CR_CONTROLE_ABSENT);
    const std::string avantNaissance = " " + code(KPX_CR_AVANT_NAISSANCE);
    const Cas cas[] = {
        {"C_Age_1", kDate, {Naissance("20180601"), M("A")}, "N"},
        {"C_Age_1", kDate, {Naissance("20231202"), M("E")}, "N"},  // 30 days old
        {"C_Age_1", kDate, {Naissance("20230923"), M("Z")}, "N"},  // 100 days old
        {"C_Age_1", kDate, {Naissance("20240601"), M("F")}, "N" + avantNaissance},
        {"C_Age_1", kDate, {Naissance("20210601"), M("A")}, "O"},
        {"C_Age_1", kDate, {Naissance("20231231"), M("F")}, "O"},
        {"C_Age_2", kDate, {Naissance("20060601"), A("HBLD490"), Ac("1"), Ph("1")}, "N"},  // 17 years old
        {"C_Age_2", kDate, {Naissance("20080601"), A("HBMD351"), Ac("1"), Ph("")}, "N"},   // 15 years old
        {"C_Age_2", kDate, {Naissance("20240601"), A("AHQP001"), Ac("1"), Ph("0")}, "N" + avantNaissance},
        {"C_Age_2", kDate, {Naissance("20080601"), A("HBLD490"), Ac("1"), Ph("1")}, "O"},
        {"C_Age_2", kDate, {Naissance("20231231"), A("AHQP001"), Ac("1"), Ph("0")}, "O"},  // not dental
        {"C_Assurance", kDate, {Nature("AS"), A("JQGD010")}, "N"},
        {"C_Assurance", kDate, {Nature("AT"), A("HBGD035")}, "N"},
        {"C_Assurance", kDate, {Nature("MA"), A("JQGD010")}, "O"},
        {"C_Ccam", kDate, {Spe("01"), Prest("K")}, "N"},
        {"C_Ccam", kDate, {Spe("01"), Prest("ADC")}, "N " + code(KPX_CR_PRESTATION_REGROUPEMENT)},
        {"C_Ccam", kDate, {Spe("01"), Prest("CM1")}, "N" + absent},
        {"C_Ccam", kDate, {Spe("01"), Prest("C")}, "O"},
        {"C_Ccam", "20050101", {Spe("01"), Prest("K")}, "O"},
        {"C_Executant", kDate, {Spe("04"), A("DEQP003"), Ac("1")}, "N"},
        {"C_Executant", kDate, {Spe("99"), A("DEQP003"), Ac("1")}, "N"},
        {"C_Executant", kDate, {Spe("01"), A("DEQP003"), Ac("1")}, "O"},
        {"C_Executant", kDate, {Spe("03"), A("DEQP003"), Ac("1")}, "O"},
        {"C_Radio", kDate, {Radio("0"), A("ZBQK002"), Ac("1")}, "N"},
        {"C_Radio", kDate, {Radio("1"), A("ZBQK002"), Ac("1")}, "O"},
        {"C_Radio", kDate, {Radio("0"), A("DEQP003"), Ac("1")}, "O"},
        {"C_ForfaitCMU", kDate, {A("HBLD035"), Cmu("CM2")}, "N"},
        {"C_ForfaitCMU", kDate, {A("HBLD035"), Cmu("CM1")}, "O"},
        {"C_ForfaitCMU", "20190601", {A("HBLD035"), Cmu("CM2")}, "O"},
        {"C_ForfaitCMU", kDate, {A("HBLD490"), Cmu("CM3")}, "O"},
        // An act the sample does not have: the query's code, translated.
        {"C_Executant", kDate, {Spe("01"), A("ZZZZ999"), Ac("1")}, "N" + absent},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(controler(h.hote(), c.identifiant, c.date, c.entree), c.attendu)
            << c.identifiant << " " << c.entree.front().champs.front() << " " << c.entree.back().champs.front();
}
