// Typed values: the worked examples of dates, amounts, coefficients, texts and lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/Date.h"
#include "zone/ListeCodes.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"
#include "zone/Periode.h"
#include "zone/Texte.h"

namespace {
template <typename T>
std::string octets(const T& valeur) {
    uint32_t n = 0;
    auto o = valeur.versOctets(n);
    return n == 0 ? std::string() : std::string(reinterpret_cast<const char*>(o.get()), n);
}
}  // namespace

TEST(Types, DateTextsParseAndValidate) {
    struct Cas {
        const char* texte;
        bool parse;
        bool valide;
    };
    const Cas cas[] = {
        {"20240229", true, true},     {"202402290000", true, true}, {"20230229", true, false},
        {"2024022", false, false},    {"2024-02-29", false, false}, {"202402290001", false, false},
        {"20241301", true, false},    {"20240431", true, false},    {"19000229", true, false},
        {"20000229", true, true},     {"00000101", true, true},
    };
    for (const auto& c : cas) {
        Date d(c.texte);
        EXPECT_EQ(d.annee() != 0 || d.mois() != 0 || d.jour() != 0, c.parse) << c.texte;
        EXPECT_EQ(Date::estDateValide(c.texte, std::strlen(c.texte)), c.valide) << c.texte;
    }
    EXPECT_EQ(octets(Date(2024, 3, 5)), "202403050000");
    EXPECT_EQ(octets(Date()), "");
}

TEST(Types, DateDifferenceAndSubtraction) {
    EXPECT_EQ(Date(2001, 1, 1).difference(Date(2000, 12, 31)), Periode(0, 0));
    EXPECT_EQ(Date(2025, 3, 1).difference(Date(2024, 3, 1)), Periode(1, 0));
    EXPECT_EQ(Date(2024, 3, 10).difference(Date(2024, 3, 1)), Periode(0, 9));
    EXPECT_TRUE(Date(2024, 3, 1).estAnterieure(Date(2024, 3, 2)));
    EXPECT_FALSE(Date(2024, 3, 2).estAnterieure(Date(2024, 3, 2)));
    EXPECT_EQ(Date(2024, 3, 1).retrancherJours(1), Date(2024, 2, 29));
    EXPECT_EQ(Date(2024, 1, 5).retrancherJours(5), Date(2023, 12, 31));
    EXPECT_EQ(Date(2024, 3, 10).retrancherJours(3), Date(2024, 3, 7));
    EXPECT_EQ(octets(Periode(12, 5)), "12A5J");
}

TEST(Types, AmountsAndCoefficientsWithImpliedDecimals) {
    Montant m("1250", 4);
    EXPECT_TRUE(m == 12.50);
    EXPECT_EQ(octets(m), "1250");
    EXPECT_EQ(octets(Montant(0.05)), "005");
    EXPECT_EQ(octets(Montant(0.0)), "000");
    EXPECT_EQ(octets(Montant(12.5)), "1250");
    Coefficient taux("150", 3, 2);
    EXPECT_TRUE(taux == 1.5);
    EXPECT_EQ(octets(taux), "1500");
    EXPECT_EQ(octets(Nombre("007", 3)), "7");
    // The tolerance of comparisons.
    EXPECT_TRUE(Montant(1.000001) == 1.0);
    EXPECT_FALSE(Montant(1.0) < 1.000001);
    EXPECT_TRUE(Montant(1.0) < 1.1);
}

TEST(Types, CanonicalFormFoldsAccentsAndDropsPunctuation) {
    struct Cas {
        const char* avant;
        const char* apres;
    };
    const Cas cas[] = {
        {"\xC9paule-droite 2", "EPAULEDROITE2"},  // Latin-1 "Épaule-droite 2"
        {"abc", "ABC"},
        {"c\xF4t\xE9", "COTE"},
        {" - -", " - -"},  // nothing kept: unchanged
        {"", ""},
    };
    for (const auto& c : cas) {
        Texte t(c.avant);
        t.canoniser();
        EXPECT_STREQ(t.chaine(), c.apres) << c.avant;
    }
}

TEST(Types, ListsDoubleTheirCapacity) {
    ListeCodes liste(0);
    EXPECT_EQ(liste.capacite(), 5);
    const uint16_t attendues[] = {5, 5, 5, 5, 5, 10, 10, 10, 10, 10, 20};
    for (int i = 0; i < 11; ++i) {
        ASSERT_EQ(liste.ajouter(Code(("C" + std::to_string(i)).c_str())), 0);
        EXPECT_EQ(liste.capacite(), attendues[i]) << i;
    }
    EXPECT_EQ(liste.nombre(), 11);
    EXPECT_STREQ(liste.element(10).chaine(), "C10");
    EXPECT_TRUE(liste.contient(Code("C3")));
    EXPECT_FALSE(liste.contient(Code("C11")));
}
