// Every tariff rule over the tariff fixture: the amounts and decisions it gives, the
// record it fills, the tolerances and the rounding, and the codes of rules that fail.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "support/FactureDeTest.h"
#include "support/ReferentielDeRegles.h"
#include "support/ReferentielDeTarifs.h"
#include "tarification/Tarification.h"

using facture::decrire;
using facture::ligneCCAM;

namespace {

const Date D(2024, 1, 1);
const Nombre G1(1);

// "0000 12.50", "D123 10500.00"
std::string ecrire(uint16_t cr, double valeur) {
    char texte[64];
    std::snprintf(texte, sizeof texte, "%04X %.2f", cr, valeur);
    return texte;
}
std::string ecrire(uint16_t cr, bool valeur) { return ecrire(cr, 0.0).substr(0, 5) + (valeur ? "vrai" : "faux"); }
std::string ecrire(uint16_t cr, const Erreur& erreur) { return ecrire(cr, 0.0).substr(0, 5) + decrire(erreur); }

ListeCodes codes(std::initializer_list<const char*> valeurs) {
    ListeCodes liste;
    for (const char* v : valeurs) liste.ajouter(Code(v));
    return liste;
}

struct Cas {
    const char* nom;
    std::function<std::string(Tarification&)> regle;
    std::string attendu;
};

class TarificationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(referentiel.pret()); }
    void verifier(const std::vector<Cas>& cas) {
        for (const Cas& c : cas) EXPECT_EQ(c.regle(tarification), c.attendu) << c.nom;
    }

    ReferentielDeRegles referentiel{::testing::UnitTest::GetInstance()->current_test_info()->name(), remplirTarifs};
    Tarification tarification{referentiel.lecture()};
};

using T = Tarification;

std::string prix840(T& t, const char* acte, const char* caisse, const Nombre& grille = G1) {
    Code c(caisse);
    Montant prix;
    const uint16_t cr = t.appliquerProd840(Code(acte), Code("1"), Code("0"), grille, D, *caisse ? &c : nullptr, prix);
    return ecrire(cr, prix.valeur());
}

std::string base870(T& t, double taux, std::initializer_list<const char*> modificateurs, double supplement = 0.0) {
    Montant base, horsForfait;
    const uint16_t cr = t.appliquerProd870(Code("PRIX001"), Code("1"), Code("0"), D, Montant(100.0),
                                           Coefficient(taux), Montant(supplement), codes(modificateurs), G1, base,
                                           horsForfait);
    return ecrire(cr, base.valeur()) + ecrire(cr, horsForfait.valeur()).substr(4);
}

std::string base740(T& t, const char* convention, const Date& date, double base) {
    Code c(convention);
    Montant recalculee;
    const uint16_t cr = t.appliquerProd740(date, &c, Montant(base), recalculee);
    return ecrire(cr, recalculee.valeur());
}

std::string reduction656B(T& t, const char* acte, bool puMax, const char* code) {
    Code c(code);
    Booleen reduit(true);
    const uint16_t cr = t.appliquerProd656B(Code(acte), Booleen(puMax), D, *code ? &c : nullptr, reduit);
    return ecrire(cr, reduit.valeur());
}

std::string taux640(T& t, const char* puMax, bool reduit) {
    Code c(puMax);
    Coefficient taux;
    const uint16_t cr = t.appliquerProd640(Code("PRIX001"), Code("1"), D, Booleen(reduit), &c, G1, taux);
    return ecrire(cr, taux.valeur());
}

std::string taux655(T& t, bool reduit) {
    Coefficient taux;
    const uint16_t cr = t.appliquerProd655(Code("1"), D, Booleen(reduit), G1, taux);
    return ecrire(cr, taux.valeur());
}

std::string supplement860(T& t, const char* supplement, const char* lieu, const char* identifiant) {
    Code s(supplement), l(lieu), i(identifiant);
    Montant m(9.0);
    const uint16_t cr =
        t.appliquerProd860(Code("PRIX001"), Code("1"), Code("0"), D, &s, &l, *identifiant ? &i : nullptr, m);
    return ecrire(cr, m.valeur());
}

std::string remboursable763A(T& t, const char* acte, const char* code) {
    Code c(code);
    Booleen remboursable;
    const uint16_t cr = t.appliquerProd763A(Code(acte), D, *code ? &c : nullptr, remboursable);
    return ecrire(cr, remboursable.valeur());
}

}  // namespace

TEST_F(TarificationTest, PricesAndBasesOfALine) {
    verifier({
        {"840 metropole", [](T& t) { return prix840(t, "PRIX001", "001"); }, "0000 100.00"},
        {"840 Guyane", [](T& t) { return prix840(t, "PRIX001", "973"); }, "0000 110.00"},
        {"840 overseas past 7 characters", [](T& t) { return prix840(t, "CHER001", "971"); }, "D123 10500.00"},
        {"840 metropole is not checked", [](T& t) { return prix840(t, "CHER001", "001"); }, "0000 10000.00"},
        {"840 no price on the grid", [](T& t) { return prix840(t, "PRIX001", "001", Nombre(2)); }, "D002 0.00"},
        {"656B highest price", [](T& t) { return reduction656B(t, "PRIX001", true, ""); }, "0000 faux"},
        {"656B other act", [](T& t) { return reduction656B(t, "PRIX001", false, ""); }, "0000 vrai"},
        {"656B highest with a code", [](T& t) { return reduction656B(t, "PRIX001", true, "1"); }, "0000 vrai"},
        {"656B type without reduction", [](T& t) { return reduction656B(t, "GEST001", false, "1"); }, "0000 faux"},
        {"640 rule B", [](T& t) { return taux640(t, "PRIX002", true); }, "0000 0.50"},
        {"640 not reduced", [](T& t) { return taux640(t, "PRIX002", false); }, "0000 1.00"},
        {"640 rule without rate", [](T& t) { return taux640(t, "PRIX003", true); }, "DFFE 1.00"},
        {"640 no rule for the pair", [](T& t) { return taux640(t, "GEST001", true); }, "D002 1.00"},
        {"655 reduced", [](T& t) { return taux655(t, true); }, "0000 0.50"},
        {"655 not reduced", [](T& t) { return taux655(t, false); }, "0000 1.00"},
        {"860 in a practice", [](T& t) { return supplement860(t, "C", "0", ""); }, "0000 4.00"},
        {"860 elsewhere", [](T& t) { return supplement860(t, "C", "1", ""); }, "0000 0.00"},
        {"860 with a place identifier", [](T& t) { return supplement860(t, "C", "0", "X"); }, "0000 0.00"},
        {"870 rates 1.2 and 1.1 reduced by half", [](T& t) { return base870(t, 0.5, {"K", "J"}); },
         "0000 65.00 65.00"},
        {"870 lump sum outside the base without lump sums", [](T& t) { return base870(t, 1.0, {"F", "K"}); },
         "0000 130.00 120.00"},
        {"870 modifiers past the price-changing count", [](T& t) { return base870(t, 1.0, {"K", "J", "M"}); },
         "0000 130.00 130.00"},
        {"870 supplement", [](T& t) { return base870(t, 1.0, {}, 4.0); }, "0000 104.00 100.00"},
        {"870 unknown modifier", [](T& t) { return base870(t, 1.0, {"Q"}); }, "D002 0.00 0.00"},
        {"740 lump sum caps", [](T& t) { return base740(t, "0", Date(2025, 3, 1), 30.0); }, "0000 20.00"},
        {"740 under the lump sum", [](T& t) { return base740(t, "0", Date(2025, 3, 1), 15.0); }, "0000 15.00"},
        {"740 rate", [](T& t) { return base740(t, "0", Date(2019, 6, 1), 30.0); }, "0000 6.00"},
        {"740 contracted", [](T& t) { return base740(t, "1", Date(2025, 3, 1), 30.0); }, "0000 30.00"},
        {"763A admission never", [](T& t) { return remboursable763A(t, "NREM001", "O"); }, "0000 faux"},
        {"763A exceptional with O", [](T& t) { return remboursable763A(t, "EXCP001", "O"); }, "0000 vrai"},
        {"763A exceptional without", [](T& t) { return remboursable763A(t, "EXCP001", ""); }, "0000 faux"},
        {"763A plain", [](T& t) { return remboursable763A(t, "PRIX001", ""); }, "0000 vrai"},
    });
}

TEST_F(TarificationTest, HostAmountsComparedWithTheComputedOnes) {
    const Code acte("PRIX001"), un("1"), zero("0");
    const auto prix850 = [&](T& t, const Montant* ligne, double theorique) {
        Erreur e;
        const uint16_t cr = t.appliquerProd850(acte, un, zero, ligne, Montant(theorique), e);
        return ecrire(cr, e);
    };
    const auto base880 = [&](T& t, const Montant* hote, bool theorique) {
        Erreur e;
        const uint16_t cr = theorique ? t.appliquerProd880A(acte, un, zero, hote, Montant(100.0), e)
                                      : t.appliquerProd880(acte, un, zero, hote, Montant(100.0), e);
        return ecrire(cr, e);
    };
    const Montant cent(100.0), presque(100.000004), moins(99.99), plus(100.01);
    verifier({
        {"850 equal", [&](T& t) { return prix850(t, &cent, 100.0); }, "0000 "},
        {"850 within the tolerance once rounded", [&](T& t) { return prix850(t, &presque, 100.004); }, "0000 "},
        {"850 a cent less", [&](T& t) { return prix850(t, &moins, 100.0); },
         "0000 PROD850/O/LPROD850/PROD850 PRIX001//R"},
        {"880 above", [&](T& t) { return base880(t, &plus, false); }, "0000 PROD880/O/LPROD880/PROD880 PRIX001//R"},
        {"880 equal", [&](T& t) { return base880(t, &presque, false); }, "0000 "},
        {"880 below", [&](T& t) { return base880(t, &moins, false); }, "0000 "},
        {"880A differs", [&](T& t) { return base880(t, &moins, true); },
         "0000 PROD880A/O/LPROD880A/PROD880A PRIX001//R"},
        {"880A equal", [&](T& t) { return base880(t, &presque, true); }, "0000 "},
    });
}

TEST_F(TarificationTest, HighestPriceOfAnAssociation) {
    struct Ligne {
        const char* acte;
        double prix;
    };
    struct C {
        std::vector<Ligne> lignes;
        const char* attendu;
        int marquee;  // 0 for none
    };
    const C cas[] = {
        // A type without reduction and an act never reimbursed are never the highest.
        {{{"PRIX001", 100.0}, {"GEST001", 500.0}, {"NREM001", 300.0}, {"PRIX002", 221.18}}, "PRIX002", 4},
        {{{"PRIX003", 50.0}, {"PRIX001", 50.000001}}, "PRIX003", 1},
        {{{"GEST001", 500.0}}, "", 0},
    };
    for (const C& c : cas) {
        Facture facture;
        int32_t numero = 0;
        for (const Ligne& l : c.lignes) {
            auto ligne = ligneCCAM(++numero, D, l.acte);
            ligne->prixUnitaire = Montant(l.prix);
            facture.ajouterLigne(std::move(ligne));
        }
        facture.construireAssociations();
        Code acte("Z");
        EXPECT_EQ(tarification.appliquerProd656A(*facture.associations, acte), 0) << c.attendu;
        EXPECT_EQ(acte, c.attendu);
        for (int i = 0; i < numero; ++i)
            EXPECT_EQ(facture.lignes[i]->commeLigneCCAM()->topActePuMax.valeur(), i + 1 == c.marquee) << c.attendu;
    }
}

TEST_F(TarificationTest, ExonerationRulesRecordTheirViolation) {
    const auto exo = [](const char* code) { return Code(code); };
    const Code zero("0"), neuf("9"), c("C"), trois("3"), un("1"), n("N"), metropole("001"), guyane("973");
    const auto seuil = [&](T& t, int regle, const char* acte, const Code& code, double base, const Code& caisse) {
        Erreur e;
        uint16_t cr = regle == 785 ? t.appliquerProd785(Code(acte), D, &code, &caisse, Montant(base), e)
                      : regle == 791 ? t.appliquerProd791A(Code(acte), D, &code, &caisse, Montant(base), e)
                                     : t.appliquerProd791B(Code(acte), D, &code, &caisse, Montant(base), e);
        return ecrire(cr, e);
    };
    using Regle = uint16_t (T::*)(const Code&, const Date&, const Code*, Erreur&);
    // Without a rule, PROD793 (which takes no date).
    const auto codes = [&](T& t, Regle regle, const char* acte, const Code& code) {
        Erreur e;
        const uint16_t cr =
            regle != nullptr ? (t.*regle)(Code(acte), D, &code, e) : t.appliquerProd793(Code(acte), &code, e);
        return ecrire(cr, e);
    };
    const auto taux = [&](T& t, int regle, const char* acte, const Code& code, double valeur, const Code* qualif) {
        Erreur e;
        const Coefficient k(valeur);
        uint16_t cr = regle == 792    ? t.appliquerProd792(k, Code(acte), D, &code, qualif, e)
                      : regle == 7922 ? t.appliquerProd792B(Code("ID"), k, Code(acte), D, &code, qualif, e)
                                      : t.appliquerProd795A(Code(acte), &code, k, qualif, e);
        return ecrire(cr, e);
    };
    const auto message = [](const char* regle, const char* acte) {
        return std::string("0000 ") + regle + "/O/L" + regle + "/" + regle + " " + acte + "//R";
    };
    verifier({
        {"785 at the threshold", [&](T& t) { return seuil(t, 785, "PRIX001", zero, 120.0, metropole); },
         message("PROD785", "PRIX001")},
        {"785 below", [&](T& t) { return seuil(t, 785, "PRIX001", zero, 119.99, metropole); }, "0000 "},
        {"785 Guyane's threshold", [&](T& t) { return seuil(t, 785, "PRIX001", neuf, 125.0, guyane); }, "0000 "},
        {"785 act code", [&](T& t) { return seuil(t, 785, "EXO2001", neuf, 150.0, metropole); },
         message("PROD785", "EXO2001")},
        {"785 exonerated", [&](T& t) { return seuil(t, 785, "PRIX001", c, 150.0, metropole); }, "0000 "},
        {"791A below", [&](T& t) { return seuil(t, 791, "PRIX001", c, 100.0, metropole); },
         message("PROD791A", "PRIX001")},
        {"791A reached", [&](T& t) { return seuil(t, 791, "PRIX001", c, 120.0, metropole); }, "0000 "},
        {"791B below", [&](T& t) { return seuil(t, 7912, "EXO2001", c, 100.0, metropole); },
         message("PROD791B", "EXO2001")},
        {"791B session code", [&](T& t) { return seuil(t, 7912, "PRIX001", c, 100.0, metropole); }, "0000 "},
        {"786 by right", [&](T& t) { return codes(t, &T::appliquerProd786, "EXO3001", zero); },
         message("PROD786", "EXO3001")},
        {"786 by right of the session", [&](T& t) { return codes(t, &T::appliquerProd786, "EXO4001", neuf); },
         message("PROD786", "EXO4001")},
        {"787 prevention", [&](T& t) { return codes(t, &T::appliquerProd787, "PREV001", zero); },
         message("PROD787", "PREV001")},
        {"787 two codes", [&](T& t) { return codes(t, &T::appliquerProd787, "PREV002", zero); }, "0000 "},
        {"788 prevention exonerated", [&](T& t) { return codes(t, &T::appliquerProd788, "PREV001", c); },
         message("PROD788", "PREV001")},
        {"789 no prevention code", [&](T& t) { return codes(t, &T::appliquerProd789, "PRIX001", exo("7")); },
         message("PROD789", "PRIX001")},
        {"789 prevention", [&](T& t) { return codes(t, &T::appliquerProd789, "PREV002", exo("7")); }, "0000 "},
        {"791C refused", [&](T& t) { return codes(t, &T::appliquerProd791C, "REFU001", c); },
         message("PROD791C", "REFU001")},
        {"791C allowed", [&](T& t) { return codes(t, &T::appliquerProd791C, "PRIX001", c); }, "0000 "},
        {"792 reduced rate", [&](T& t) { return taux(t, 792, "PRIX001", zero, 0.7, nullptr); },
         message("PROD792", "PRIX001")},
        {"792 full rate", [&](T& t) { return taux(t, 792, "PRIX001", zero, 1.0, nullptr); }, "0000 "},
        {"792 qualifier N", [&](T& t) { return taux(t, 792, "PRIX001", zero, 0.7, &n); }, "0000 "},
        {"792 exonerated", [&](T& t) { return taux(t, 792, "PRIX001", c, 0.7, nullptr); }, "0000 "},
        {"792B travel line", [&](T& t) { return taux(t, 7922, "PRIX001", zero, 0.7, nullptr); },
         message("PROD792B", "PRIX001")},
        {"792B act without session code", [&](T& t) { return taux(t, 7922, "PRIX003", zero, 0.7, nullptr); },
         "0000 "},
        {"795A exonerated at a reduced rate", [&](T& t) { return taux(t, 795, "PRIX001", c, 0.7, nullptr); },
         message("PROD795A", "PRIX001")},
        {"795A full rate", [&](T& t) { return taux(t, 795, "PRIX001", trois, 1.0, nullptr); }, "0000 "},
        {"795A not exonerated", [&](T& t) { return taux(t, 795, "PRIX001", neuf, 0.7, nullptr); }, "0000 "},
        {"795A qualifier N", [&](T& t) { return taux(t, 795, "PRIX001", c, 0.7, &n); }, "0000 "},
        {"793", [&](T& t) { return codes(t, nullptr, "PRIX001", un); }, message("PROD793", "PRIX001")},
        {"793 other code", [&](T& t) { return codes(t, nullptr, "PRIX001", zero); }, "0000 "},
    });
}

// The act and prevention exoneration decisions are the exported functions' cases, byte for byte.
TEST_F(TarificationTest, ExonerationDecisions) {
    const Code metropole("001");
    const auto seance790A = [&](T& t, const char* acte, const char* exoneration, double base) {
        Code e(exoneration), etat("3");
        const uint16_t cr = t.appliquerProd790A(Code(acte), D, &e, &metropole, Montant(base), etat);
        return ecrire(cr, 0.0).substr(0, 5) + etat.chaine();
    };
    struct LigneSeance {
        const char* acte;
        const char* exoneration;
        double taux;
        double base;
    };
    const auto seance790B = [&](T& t, std::vector<LigneSeance> lignes, const char* caisse) {
        Facture facture;
        for (const LigneSeance& l : lignes) {
            auto ligne = ligneCCAM(1, D, l.acte);
            ligne->exonerationTM = Code(l.exoneration);
            ligne->tauxRemboursement = Coefficient(l.taux);
            ligne->baseHorsForfait = Montant(l.base);
            facture.ajouterLigne(std::move(ligne));
        }
        facture.construireSeances();
        Code c(caisse);
        const uint16_t cr = t.appliquerProd790B(&c, *facture.seances);
        return ecrire(cr, 0.0).substr(0, 5) + facture.seances->seanceExoneree.chaine();
    };
    const auto exo790C = [&](T& t, const char* acte, double valeur) {
        Code e("0");
        Coefficient k(valeur);
        const uint16_t cr = t.appliquerProd790C(Code(acte), D, e, k);
        return ecrire(cr, k.valeur()) + " " + e.chaine();
    };
    verifier({
        {"790A threshold reached", [&](T& t) { return seance790A(t, "PRIX001", "0", 120.0); }, "0000 2"},
        {"790A below", [&](T& t) { return seance790A(t, "PRIX001", "0", 100.0); }, "0000 3"},
        {"790A by right of the session", [&](T& t) { return seance790A(t, "EXO4001", "C", 0.0); }, "0000 2"},
        {"790A other exoneration", [&](T& t) { return seance790A(t, "PRIX001", "3", 200.0); }, "0000 3"},
        {"790B together",
         [&](T& t) { return seance790B(t, {{"PRIX001", "C", 1.0, 100.0}, {"PRIX002", "0", 0.7, 20.0}}, "001"); },
         "0000 2"},
        {"790B full rate not counted",
         [&](T& t) { return seance790B(t, {{"PRIX001", "C", 1.0, 100.0}, {"PRIX002", "0", 1.0, 20.0}}, "001"); },
         "0000 3"},
        {"790B code without threshold not counted",
         [&](T& t) { return seance790B(t, {{"PRIX001", "C", 1.0, 100.0}, {"PRIX003", "C", 1.0, 50.0}}, "001"); },
         "0000 3"},
        {"790B Guyane", [&](T& t) { return seance790B(t, {{"PRIX001", "C", 1.0, 125.0}}, "973"); }, "0000 3"},
        {"790C reduced rate", [&](T& t) { return exo790C(t, "PRIX001", 0.7); }, "0000 1.00 C"},
        {"790C no session code", [&](T& t) { return exo790C(t, "PRIX003", 0.7); }, "0000 0.70 0"},
        {"790C travel line",
         [&](T& t) {
             Coefficient k(0.7);
             const uint16_t cr = t.appliquerProd790C(Code("ID"), Code("PRIX001"), D, k);
             return ecrire(cr, k.valeur());
         },
         "0000 1.00"},
    });
}

// The base function refuses an amount that its answer zone cannot hold.
TEST_F(TarificationTest, BaseOfAnAssociationPastSevenCharacters) {
    Facture facture;
    facture.ajouterLigne(ligneCCAM(1, D, "CHER001"));
    facture.lignes[0]->prixUnitaire = Montant(10000.0);
    facture.lignes[0]->commeLigneCCAM()->grilleTarifaire = Nombre(1);
    facture.construireAssociations();
    EXPECT_EQ(tarification.appliquerCBase(nullptr, *facture.associations), KPX_CR_MONTANT_TROP_LONG);
}
