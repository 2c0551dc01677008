// Every regulatory rule over the rule fixture: a case that breaks it and one that
// passes, the exact record it fills, and the codes of rules that cannot be evaluated.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "kpxbuild/TraceDetailCapturee.h"
#include "reglementation/Reglementation.h"
#include "support/FactureDeTest.h"
#include "support/ReferentielDeRegles.h"

using facture::decrire;
using facture::ligneCCAM;

namespace {

const Date D(2024, 1, 1);

ListeCodes codes(std::initializer_list<const char*> valeurs) {
    ListeCodes liste(16);
    for (const char* v : valeurs) liste.ajouter(Code(v));
    return liste;
}

struct Cas {
    const char* nom;
    std::function<uint16_t(Reglementation&, Erreur&)> regle;
    uint16_t cr;
    std::string attendu;
};

class ReglementationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(referentiel.pret()); }
    void verifier(const std::vector<Cas>& cas) {
        for (const Cas& c : cas) {
            Erreur erreur;
            EXPECT_EQ(c.regle(reglementation, erreur), c.cr) << c.nom;
            EXPECT_EQ(decrire(erreur), c.attendu) << c.nom;
        }
    }

    ReferentielDeRegles referentiel{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    Reglementation reglementation{referentiel.lecture()};
};

using R = Reglementation;
using E = Erreur;

std::unique_ptr<LigneCCAM> L(int32_t numero, const char* acte, const char* code = "",
                             std::initializer_list<const char*> modificateurs = {}, const char* ps = "P1") {
    return ligneCCAM(numero, D, acte, code, modificateurs, "1", ps);
}

template <class... T>
std::vector<std::unique_ptr<LigneCCAM>> lignes(T... l) {
    std::vector<std::unique_ptr<LigneCCAM>> v;
    (v.push_back(std::move(l)), ...);
    return v;
}

// The record a rule on the first association of these lines fills.
template <class Regle>
std::string surAssociation(Reglementation& r, std::vector<std::unique_ptr<LigneCCAM>> lignes, Regle regle,
                           uint16_t crAttendu = 0) {
    Facture facture;
    for (auto& l : lignes) facture.ajouterLigne(std::move(l));
    facture.construireAssociations();
    Erreur erreur;
    EXPECT_EQ((r.*regle)(*facture.associations, erreur), crAttendu);
    return decrire(erreur);
}

}  // namespace

TEST_F(ReglementationTest, RulesOnOneActRecordTheirViolation) {
    const Code adc("ADC"), aaaa("AAAA001"), chir1("CHIR001"), chir2("CHIR002"), chir3("CHIR003"), dent("DENT001");
    const Code un("1"), zero("0"), deux("2");
    const Montant base(10.0);
    const Code n("N"), o("O"), quatre("4"), r1("R1");
    verifier({
        {"136A Z first", [&](R& r, E& e) { return r.appliquerProd136A(codes({"Z", "F"}), D, e); }, 0,
         "PROD136A/O/LPROD136A/Modificateur Z inexistant//"},
        {"136A Z beyond the count", [&](R& r, E& e) { return r.appliquerProd136A(codes({"F", "Z"}), D, e); }, 0, ""},
        {"136B Z beyond the count", [&](R& r, E& e) { return r.appliquerProd136B(codes({"F", "Z"}), D, e); }, 0,
         "PROD136B/O/LPROD136B/Modificateur Z inexistant//"},
        {"136B Z before 2011",
         [&](R& r, E& e) { return r.appliquerProd136B(codes({"F", "Z"}), Date(2010, 12, 31), e); }, 0, ""},
        {"137 unknown", [&](R& r, E& e) { Code c("9"); return r.appliquerProd137(&c, D, Nombre(1), e); }, 0,
         "PROD137/O/LPROD137/Code association 9 inexistant//"},
        {"137 known", [&](R& r, E& e) { return r.appliquerProd137(&un, D, Nombre(1), e); }, 0, ""},
        {"137 none", [&](R& r, E& e) { return r.appliquerProd137(nullptr, D, Nombre(1), e); }, 0, ""},
        {"170 grouping code", [&](R& r, E& e) { return r.appliquerProd170(adc, D, e); }, 0,
         "PROD170/N/LPROD170/La prestation ADC est un code regroupement//"},
        {"170 plain code", [&](R& r, E& e) { return r.appliquerProd170(Code("C"), D, e); }, 0, ""},
        {"190 F then Z", [&](R& r, E& e) { return r.appliquerProd190(codes({"F", "Z"}), D, e); }, 0,
         "PROD190/O/LPROD190/Modificateur F incompatible//A"},
        {"190 U then F", [&](R& r, E& e) { return r.appliquerProd190(codes({"U", "F"}), D, e); }, 0, ""},
        {"211 obligation reached", [&](R& r, E& e) { return r.appliquerProd211(Code("01"), adc, D, e); }, 0,
         "PROD211/N/LPROD211/La prestation ADC doit etre codee//"},
        {"211 the day before",
         [&](R& r, E& e) { return r.appliquerProd211(Code("01"), adc, Date(2004, 12, 31), e); }, 0, ""},
        {"211 not yet", [&](R& r, E& e) { return r.appliquerProd211(Code("02"), adc, D, e); }, 0, ""},
        {"211 no obligation", [&](R& r, E& e) { return r.appliquerProd211(Code("03"), adc, D, e); },
         KPX_CR_ELEMENT_ABSENT, ""},
        {"220 plain code", [&](R& r, E& e) { return r.appliquerProd220(Code("C"), D, e); }, 0,
         "PROD220/N/LPROD220/La prestation C n'est pas un code regroupement//"},
        {"220 grouping code", [&](R& r, E& e) { return r.appliquerProd220(adc, D, e); }, 0, ""},
        {"500 unknown", [&](R& r, E& e) { return r.appliquerProd500(Code("ZZZZ999"), e); }, 0,
         "PROD500/N/LPROD500/Acte ZZZZ999 inconnu//"},
        {"500 known", [&](R& r, E& e) { return r.appliquerProd500(aaaa, e); }, 0, ""},
        {"510 end date", [&](R& r, E& e) { return r.appliquerProd510(Code("ACTE001"), Date(2010, 12, 31), e); }, 0,
         "PROD510/O/LPROD510/Acte ACTE001 hors validite//B"},
        {"510 before creation",
         [&](R& r, E& e) { return r.appliquerProd510(Code("ACTE001"), Date(2004, 12, 31), e); }, 0,
         "PROD510/O/LPROD510/Acte ACTE001 hors validite//B"},
        {"510 creation", [&](R& r, E& e) { return r.appliquerProd510(Code("ACTE001"), Date(2005, 1, 1), e); }, 0, ""},
        {"510 last day", [&](R& r, E& e) { return r.appliquerProd510(Code("ACTE001"), Date(2010, 12, 30), e); }, 0,
         ""},
        {"510 no end", [&](R& r, E& e) { return r.appliquerProd510(aaaa, D, e); }, 0, ""},
        {"511A before birth", [&](R& r, E& e) { return r.appliquerProd511A(aaaa, D, Date(2024, 6, 1), e); }, 0,
         "PROD511A/N/LPROD511A/Acte AAAA001 du 01/01/2024 avant la naissance//"},
        {"511A born that day", [&](R& r, E& e) { return r.appliquerProd511A(aaaa, D, D, e); }, 0, ""},
        {"530 activity 4", [&](R& r, E& e) { return r.appliquerProd530(aaaa, Code("4"), e); }, 0,
         "PROD530/O/LPROD530/Activite non prevue pour AAAA001//"},
        {"530 activity 1", [&](R& r, E& e) { return r.appliquerProd530(aaaa, un, e); }, 0, ""},
        {"530 unknown act", [&](R& r, E& e) { return r.appliquerProd530(Code("ZZZZ999"), un, e); },
         KPX_CR_ELEMENT_ABSENT, ""},
        {"540 phase 1", [&](R& r, E& e) { return r.appliquerProd540(aaaa, un, un, e); }, 0,
         "PROD540/O/LPROD540/Phase non prevue pour AAAA001//"},
        {"540 phase 0", [&](R& r, E& e) { return r.appliquerProd540(aaaa, un, zero, e); }, 0, ""},
        {"550 Z", [&](R& r, E& e) { return r.appliquerProd550(chir1, un, codes({"F", "Z"}), D, e); }, 0,
         "PROD550/O/LPROD550/Modificateur non applicable a CHIR001//"},
        {"550 F and U", [&](R& r, E& e) { return r.appliquerProd550(chir1, un, codes({"U", "F"}), D, e); }, 0, ""},
        {"555 F at 24 years", [&](R& r, E& e) { return r.appliquerProd555(codes({"F"}), D, Date(2000, 1, 1), e); }, 0,
         "PROD555/O/LPROD555/Age incompatible avec F//B"},
        {"555 F under 2 years",
         [&](R& r, E& e) { return r.appliquerProd555(codes({"F"}), D, Date(2023, 6, 1), e); }, 0,
         "PROD555/O/LPROD555/Age incompatible avec F//B"},
        {"555 U at 10 years",
         [&](R& r, E& e) { return r.appliquerProd555(codes({"F", "U"}), D, Date(2013, 11, 1), e); }, 0,
         "PROD555/O/LPROD555/Age incompatible avec U//B"},
        {"555 U at 28 days", [&](R& r, E& e) { return r.appliquerProd555(codes({"U"}), D, Date(2023, 12, 3), e); }, 0,
         ""},
        {"555 F at 16", [&](R& r, E& e) { return r.appliquerProd555(codes({"F"}), D, Date(2008, 1, 1), e); }, 0, ""},
        {"670 class 01", [&](R& r, E& e) { return r.appliquerProd670(chir1, un, D, Code("01"), e); }, 0,
         "PROD670/O/LPROD670/Specialite non habilitee pour CHIR001//"},
        {"670 class ended", [&](R& r, E& e) { return r.appliquerProd670(chir1, un, D, Code("09"), e); }, 0,
         "PROD670/O/LPROD670/Specialite non habilitee pour CHIR001//"},
        {"670 no speciality", [&](R& r, E& e) { return r.appliquerProd670(chir1, un, D, Code("77"), e); }, 0,
         "PROD670/O/LPROD670/Specialite non habilitee pour CHIR001//"},
        {"670 class 02", [&](R& r, E& e) { return r.appliquerProd670(chir1, un, D, Code("02"), e); }, 0, ""},
        {"690A kind 2", [&](R& r, E& e) { return r.appliquerProd690A(Code("IK"), 2, chir1, D, e); }, 0,
         "PROD690A/O/LPROD690A/Deplacement IK non prevu pour CHIR001//"},
        {"690A kind 1", [&](R& r, E& e) { return r.appliquerProd690A(Code("IK"), 1, chir1, D, e); }, 0, ""},
        {"690A act line", [&](R& r, E& e) { return r.appliquerProd690A(Code("IK"), 0, Code("ZZZZ999"), D, e); }, 0,
         ""},
        {"700 no tooth", [&](R& r, E& e) { return r.appliquerProd700(dent, codes({}), e); }, 0,
         "PROD700/O/LPROD700/Dents absentes pour DENT001//"},
        {"700 a tooth", [&](R& r, E& e) { return r.appliquerProd700(dent, codes({"21"}), e); }, 0, ""},
        {"702 one of 02", [&](R& r, E& e) { return r.appliquerProd702(dent, un, zero, codes({"21"}), e); }, 0,
         "PROD702/O/LPROD702/Dents manquantes pour DENT001//"},
        {"702 two of 02", [&](R& r, E& e) { return r.appliquerProd702(dent, un, zero, codes({"21", "22"}), e); }, 0,
         ""},
        {"702 of 00", [&](R& r, E& e) { return r.appliquerProd702(dent, un, un, codes({}), e); }, 0, ""},
        {"702 of 17", [&](R& r, E& e) { return r.appliquerProd702(dent, un, deux, codes({"21"}), e); }, 0, ""},
        {"710 tooth 11", [&](R& r, E& e) { return r.appliquerProd710(dent, un, zero, codes({"21", "11"}), e); }, 0,
         "PROD710/O/LPROD710/Dent incompatible avec DENT001//"},
        {"710 tooth 21", [&](R& r, E& e) { return r.appliquerProd710(dent, un, zero, codes({"21"}), e); }, 0, ""},
        {"720 two years", [&](R& r, E& e) { return r.appliquerProd720(dent, un, zero, D, Date(2022, 1, 2), e); }, 0,
         "PROD720/O/LPROD720/Age minimal : DENT001 activite 1 phase 0//"},
        {"720 three years", [&](R& r, E& e) { return r.appliquerProd720(dent, un, zero, D, Date(2021, 1, 1), e); }, 0,
         ""},
        {"720 unknown phase", [&](R& r, E& e) { return r.appliquerProd720(dent, un, Code("9"), D, D, e); },
         KPX_CR_ELEMENT_ABSENT, ""},
        {"730 sixty and a day",
         [&](R& r, E& e) { return r.appliquerProd730(dent, un, zero, D, Date(1963, 12, 30), e); }, 0,
         "PROD730/O/LPROD730/Age maximal : DENT001//"},
        {"730 sixty", [&](R& r, E& e) { return r.appliquerProd730(dent, un, zero, D, Date(1964, 1, 1), e); }, 0, ""},
        {"760 billed", [&](R& r, E& e) { return r.appliquerProd760(chir2, D, &base, nullptr, nullptr, e); }, 0,
         "PROD760/O/LPROD760/Acte CHIR002 non remboursable//"},
        {"760 nothing billed", [&](R& r, E& e) { return r.appliquerProd760(chir2, D, nullptr, nullptr, &n, e); }, 0,
         ""},
        {"760 reimbursable", [&](R& r, E& e) { return r.appliquerProd760(aaaa, D, &base, nullptr, nullptr, e); }, 0,
         ""},
        {"765 without O", [&](R& r, E& e) { return r.appliquerProd765(chir3, D, nullptr, &base, &n, nullptr, e); }, 0,
         "PROD765/O/LPROD765/Acte CHIR003 remboursable sous condition//"},
        {"765 with O", [&](R& r, E& e) { return r.appliquerProd765(chir3, D, nullptr, &base, &n, &o, e); }, 0, ""},
        {"765 nothing billed",
         [&](R& r, E& e) { return r.appliquerProd765(chir3, D, nullptr, nullptr, &n, nullptr, e); }, 0, ""},
        {"780 code 1", [&](R& r, E& e) { return r.appliquerProd780(chir1, D, &un, e); }, 0,
         "PROD780/O/LPROD780/Entente prealable pour CHIR001//"},
        {"780 no code", [&](R& r, E& e) { return r.appliquerProd780(chir1, D, nullptr, e); }, 0,
         "PROD780/O/LPROD780/Entente prealable pour CHIR001//"},
        {"780 code 4", [&](R& r, E& e) { return r.appliquerProd780(chir1, D, &quatre, e); }, 0, ""},
        {"780 not needed", [&](R& r, E& e) { return r.appliquerProd780(aaaa, D, nullptr, e); }, 0, ""},
        {"798 other code", [&](R& r, E& e) { return r.appliquerProd798(aaaa, un, D, Code("ATM"), e); }, 0,
         "PROD798/O/LPROD798/Code regroupement de AAAA001//"},
        {"798 ADC", [&](R& r, E& e) { return r.appliquerProd798(aaaa, un, D, adc, e); }, 0, ""},
        {"798A OC missing", [&](R& r, E& e) { return r.appliquerProd798A(codes({"F", "U"}), codes({}), D, e); }, 0,
         "PROD798A/O/LPROD798A/Modificateurs FU / OC //"},
        {"798A OC beyond", [&](R& r, E& e) { return r.appliquerProd798A(codes({"U", "F"}), codes({"K"}), D, e); }, 0,
         "PROD798A/O/LPROD798A/Modificateurs UF / OC K//"},
        {"798A OC mismatch", [&](R& r, E& e) { return r.appliquerProd798A(codes({"F"}), codes({"U"}), D, e); }, 0,
         "PROD798A/O/LPROD798A/Modificateurs F / OC U//"},
        {"798A OC matched", [&](R& r, E& e) { return r.appliquerProd798A(codes({"F", "U"}), codes({"K"}), D, e); }, 0,
         ""},
        {"890 AT", [&](R& r, E& e) { return r.appliquerProd890(chir1, Code("AT"), e); }, 0,
         "PROD890/O/LPROD890/Nature d'assurance refusee pour CHIR001//"},
        {"890 MA", [&](R& r, E& e) { return r.appliquerProd890(chir1, Code("MA"), e); }, 0, ""},
        {"895A approval 0", [&](R& r, E& e) { return r.appliquerProd895A(chir1, un, &zero, D, e); }, 0,
         "PROD895A/O/LPROD895A/Agrement radio pour CHIR001 activite 1//"},
        {"895A approval R1", [&](R& r, E& e) { return r.appliquerProd895A(chir1, un, &r1, D, e); }, 0, ""},
        {"895A no approval needed", [&](R& r, E& e) { return r.appliquerProd895A(aaaa, un, &zero, D, e); }, 0, ""},
        {"930 CM9", [&](R& r, E& e) { return r.appliquerProd930(chir1, Code("CM9"), D, e); }, 0,
         "PROD930/O/LPROD930/Forfait CMU refuse pour CHIR001//"},
        {"930 CM1", [&](R& r, E& e) { return r.appliquerProd930(chir1, Code("CM1"), D, e); }, 0, ""},
    });
}

TEST_F(ReglementationTest, RulesThatAnswerABoolean) {
    Reglementation& r = reglementation;
    const Code un("1");
    struct Reponse {
        const char* nom;
        std::function<uint16_t(Booleen&)> regle;
        bool attendu;
    };
    // Complementary acts and the teeth count are the sample invoices' and the rule functions' cases.
    const std::vector<Reponse> cas = {
        {"696 dental", [&](Booleen& b) { return r.appliquerProd696(Code("DENT001"), un, D, b); }, true},
        {"696 not dental", [&](Booleen& b) { return r.appliquerProd696(Code("AAAA001"), un, D, b); }, false},
    };
    for (const Reponse& c : cas) {
        Booleen resultat(!c.attendu);
        EXPECT_EQ(c.regle(resultat), 0) << c.nom;
        EXPECT_EQ(resultat.valeur(), c.attendu) << c.nom;
    }
}

TEST_F(ReglementationTest, RulesOnAnAssociationNameItsLines) {
    Reglementation& r = reglementation;
    struct CasAssociation {
        const char* nom;
        std::string obtenu;
        const char* attendu;
    };
    const CasAssociation cas[] = {
        {"590A categories apart", surAssociation(r, lignes(L(1, "CHIR001"), L(2, "CHIR002")), &R::appliquerProd590),
         "PROD590A/O/LPROD590A/Prestations 1 et 2 : CHIR001 et CHIR002 de la meme procedure/1,2/"},
        {"590B no code", surAssociation(r, lignes(L(3, "CHIR003"), L(4, "CHIR001")), &R::appliquerProd590),
         "PROD590B/O/LPROD590B/Prestations 3 et 4 : CHIR003 et CHIR001 sans code association/3,4/"},
        {"590 with code", surAssociation(r, lignes(L(3, "CHIR003", "1"), L(4, "CHIR001")), &R::appliquerProd590), ""},
        {"590 no procedure", surAssociation(r, lignes(L(1, "CHIR001"), L(2, "CHIR004")), &R::appliquerProd590), ""},
        // Each line's procedures are read once: the pair found last still names its own lines.
        {"590 third pair",
         surAssociation(r, lignes(L(1, "CHIR004"), L(2, "CHIR003"), L(3, "CHIR001")), &R::appliquerProd590),
         "PROD590B/O/LPROD590B/Prestations 2 et 3 : CHIR003 et CHIR001 sans code association/2,3/"},
        {"648 alone with code", surAssociation(r, lignes(L(5, "CHIR001", "1")), &R::appliquerProd648),
         "PROD648/O/LPROD648/Acte CHIR001 seul avec code association/5/"},
        {"648 alone", surAssociation(r, lignes(L(5, "CHIR001")), &R::appliquerProd648), ""},
        {"649 code after none",
         surAssociation(r, lignes(L(1, "CHIR001"), L(2, "CHIR004", "2")), &R::appliquerProd649),
         "PROD649/O/LPROD649/Prestations 1 et 2 : code association de CHIR004/1,2/"},
        {"649 other code",
         surAssociation(r, lignes(L(1, "CHIR001", "2"), L(2, "CHIR004", "3")), &R::appliquerProd649),
         "PROD649/O/LPROD649/Prestations 1 et 2 : code association de CHIR004/1,2/"},
        {"649 same code",
         surAssociation(r, lignes(L(1, "CHIR001", "2"), L(2, "CHIR004", "2")), &R::appliquerProd649), ""},
        {"649 concept code missing",
         surAssociation(r, lignes(L(1, "CHIR001", "1"), L(2, "CHIR004"), L(3, "AAAA001", "1")),
                        &R::appliquerProd649),
         "PROD649/O/LPROD649/Prestations 1 et 2 : code association de CHIR004/1,2/"},
        {"649 concept code everywhere",
         surAssociation(r, lignes(L(1, "CHIR001", "1"), L(2, "CHIR004", "1")), &R::appliquerProd649), ""},
        {"650 not foreseen", surAssociation(r, lignes(L(1, "CHIR001"), L(2, "AAAA001")), &R::appliquerProd650),
         "PROD650/O/LPROD650/Association CHIR001 et AAAA001 non prevue/1,2/"},
        {"650 foreseen", surAssociation(r, lignes(L(1, "CHIR001"), L(2, "CHIR004")), &R::appliquerProd650), ""},
        {"650 with code", surAssociation(r, lignes(L(1, "CHIR001", "1"), L(2, "AAAA001")), &R::appliquerProd650), ""},
        {"650 unknown act",
         surAssociation(r, lignes(L(1, "ZZZZ999"), L(2, "CHIR001")), &R::appliquerProd650, KPX_CR_ELEMENT_ABSENT), ""},
        {"653 code on foreseen acts",
         surAssociation(r, lignes(L(1, "CHIR001", "1"), L(2, "CHIR004")), &R::appliquerProd653),
         "PROD653/O/LPROD653/Code association 1 inutile/1,2/"},
        {"653 code needed", surAssociation(r, lignes(L(1, "CHIR001", "1"), L(2, "AAAA001")), &R::appliquerProd653), ""},
        {"653 one act", surAssociation(r, lignes(L(1, "CHIR001", "1")), &R::appliquerProd653), ""},
    };
    for (const CasAssociation& c : cas) EXPECT_EQ(c.obtenu, c.attendu) << c.nom;
}

TEST_F(ReglementationTest, RulesOnASessionLookAtTheOtherLines) {
    Reglementation& r = reglementation;
    struct CasSeance {
        const char* nom;
        std::vector<std::unique_ptr<LigneCCAM>> lignes;
        std::function<uint16_t(const Seance&, Erreur&)> regle;
        const char* attendu;
    };
    const Code chir1("CHIR001"), chir2("CHIR002"), chir3("CHIR003"), p1("P1");
    std::vector<CasSeance> cas;
    cas.push_back({"240 F twice", lignes(L(1, "CHIR001", "", {"F"}), L(2, "CHIR004", "", {"U", "F"})),
                   [&](const Seance& s, Erreur& e) { return r.appliquerProd240(chir1, D, p1, codes({"F"}), 0, s, e); },
                   "PROD240/O/LPROD240/Prestations 1 et 2 : CHIR001 et CHIR004/1,2/A"});
    cas.push_back({"240 other practitioner", lignes(L(1, "CHIR001", "", {"F"}), L(2, "CHIR004", "", {"F"}, "P2")),
                   [&](const Seance& s, Erreur& e) { return r.appliquerProd240(chir1, D, p1, codes({"F"}), 0, s, e); },
                   ""});
    cas.push_back({"240 U twice", lignes(L(1, "CHIR001", "", {"U"}), L(2, "CHIR004", "", {"U"})),
                   [&](const Seance& s, Erreur& e) { return r.appliquerProd240(chir1, D, p1, codes({"U"}), 0, s, e); },
                   ""});
    cas.push_back({"580 alone", lignes(L(1, "AAAA001"), L(2, "CHIR002")),
                   [&](const Seance& s, Erreur& e) { return r.appliquerProd580(chir2, D, s, e); },
                   "PROD580/O/LPROD580/Acte complementaire CHIR002 seul//"});
    cas.push_back({"580 with its main act", lignes(L(1, "CHIR001"), L(2, "CHIR002")),
                   [&](const Seance& s, Erreur& e) { return r.appliquerProd580(chir2, D, s, e); }, ""});
    cas.push_back({"600 incompatible", lignes(L(7, "CHIR001"), L(8, "CHIR003")),
                   [&](const Seance& s, Erreur& e) { return r.appliquerProd600(chir1, D, 0, s, e); },
                   "PROD600/O/LPROD600/Prestations 7 et 8 incompatibles/7,8/A"});
    cas.push_back({"600 compatible", lignes(L(7, "CHIR001"), L(8, "CHIR003")),
                   [&](const Seance& s, Erreur& e) { return r.appliquerProd600(chir3, D, 1, s, e); }, ""});
    for (CasSeance& c : cas) {
        Facture facture;
        for (auto& l : c.lignes) facture.ajouterLigne(std::move(l));
        facture.construireSeances();
        Erreur erreur;
        EXPECT_EQ(c.regle(*facture.seances, erreur), 0) << c.nom;
        EXPECT_EQ(decrire(erreur), c.attendu) << c.nom;
    }
}

// The rules ask whether a class or modifiers are in the activity's lists without filling them:
// the same answers, codes and trace lines as the list queries.
TEST_F(ReglementationTest, MembershipQueriesAnswerAsTheirListQueries) {
    LectureDonnees& lecture = referentiel.lecture();
    struct CasClasse {
        const char* acte;
        Date date;
        const char* classe;
        uint16_t cr;
        bool present;
    };
    const CasClasse classes[] = {
        {"CHIR001", D, "02", 0, true},
        {"CHIR001", D, "01", 0, false},
        {"CHIR001", D, "", 0, false},
        {"CHIR001", Date(1990, 1, 1), "02", KPX_CR_RIEN_EN_VIGUEUR, false},
        {"ZZZZ999", D, "02", KPX_CR_ELEMENT_ABSENT, false},
    };
    struct CasModificateurs {
        const char* acte;
        ListeCodes modificateurs;
        uint16_t cr;
        bool tous;
    };
    const CasModificateurs modificateurs[] = {
        {"CHIR001", codes({"U", "F"}), 0, true},
        {"CHIR001", codes({"F", "Z"}), 0, false},
        {"CHIR001", codes({}), 0, true},
        {"ZZZZ999", codes({}), KPX_CR_ELEMENT_ABSENT, false},
    };
    NiveauActe* lu = nullptr;
    ASSERT_EQ(lecture.chercherActe("CHIR001", lu), 0);  // the first query on an act also traces its reading
    TraceDetailCapturee trace;
    for (const CasClasse& c : classes) {
        ListeCodes liste;
        EXPECT_EQ(lecture.rechercherClassesSpecialitesExecutant(c.acte, "1", c.date, liste), c.cr) << c.classe;
        const std::vector<std::string> lignesListe = trace.lignes();
        trace.effacer();
        Booleen present(true);
        EXPECT_EQ(lecture.contientClasseSpecialiteExecutant(c.acte, "1", c.date, c.classe, present), c.cr);
        EXPECT_EQ(liste.contient(Code(c.classe)), c.present) << c.classe;
        EXPECT_EQ(present.valeur(), c.present) << c.classe;
        EXPECT_EQ(trace.lignes(), lignesListe) << c.classe;
        trace.effacer();
    }
    for (const CasModificateurs& c : modificateurs) {
        ListeCodes liste;
        EXPECT_EQ(lecture.rechercherModificateursApplicables(c.acte, "1", D, liste), c.cr);
        const std::vector<std::string> lignesListe = trace.lignes();
        trace.effacer();
        Booleen tous(!c.tous);
        EXPECT_EQ(lecture.contientModificateursApplicables(c.acte, "1", D, c.modificateurs, tous), c.cr);
        bool tousDansListe = c.cr == 0;
        for (uint16_t i = 0; i < c.modificateurs.nombre(); ++i)
            tousDansListe = tousDansListe && liste.contient(c.modificateurs.element(i));
        EXPECT_EQ(tousDansListe, c.tous) << c.modificateurs.nombre();
        EXPECT_EQ(tous.valeur(), c.tous) << c.modificateurs.nombre();
        EXPECT_EQ(trace.lignes(), lignesListe) << c.modificateurs.nombre();
        trace.effacer();
    }
}
