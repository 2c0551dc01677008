// Typed values: the worked examples of dates, amounts, coefficients, texts and lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "zone/Booleen.h"
#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/Date.h"
#include "zone/ListeCodes.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"
#include "zone/Periode.h"
#include "zone/Texte.h"

namespace {
// The byte form, or "(non inscriptible)" for a value that cannot be written.
std::string octets(const TypeSimple& valeur) {
    FormeOctets f;
    valeur.formeOctets(f);
    return f.donnees == nullptr ? std::string(f.longueur == 0 ? "" : "(non inscriptible)")
                                : std::string(reinterpret_cast<const char*>(f.donnees), f.longueur);
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
    Coefficient taux("150", 3, 2);
    EXPECT_TRUE(taux == 1.5);
    EXPECT_EQ(octets(taux), "1500");
    EXPECT_EQ(octets(Nombre("007", 3)), "7");
    // The tolerance of comparisons.
    EXPECT_TRUE(Montant(1.000001) == 1.0);
    EXPECT_FALSE(Montant(1.0) < 1.000001);
    EXPECT_TRUE(Montant(1.0) < 1.1);
}

// The byte forms are written by hand; they must stay the bytes of their printf definitions.
TEST(Types, ByteFormsAreThoseOfTheirPrintfDefinitions) {
    auto entier = [](int32_t v) {
        char t[16];
        std::snprintf(t, sizeof t, "%ld", static_cast<long>(v));
        return std::string(t);
    };
    // The implied-decimal form as first written: "%.0f" of the scaled value, padded.
    auto decimales = [](double valeur, int d) {
        double x = valeur * std::pow(10.0, d);
        x = std::trunc(valeur >= 0 ? x + Flottant::kTolerance : x - Flottant::kTolerance);
        if (!std::isfinite(x) || std::fabs(x) >= 1e11) return std::string("(non inscriptible)");
        char t[32];
        std::snprintf(t, sizeof t, "%s%0*.0f", x < 0 ? "-" : "", d + 1, std::fabs(x));
        return std::strlen(t) > 11 ? std::string("(non inscriptible)") : std::string(t);
    };
    auto date = [](uint16_t a, uint8_t m, uint8_t j) {
        char t[24];
        std::snprintf(t, sizeof t, "%04u%02u%02u0000", a % 10000u, m % 100u, j % 100u);
        return std::string(t);
    };

    std::mt19937_64 alea(20240229);
    std::vector<int32_t> entiers = {0, 1, -1, 9, 10, 99, 100, -99, std::numeric_limits<int32_t>::max(),
                                    std::numeric_limits<int32_t>::min()};
    std::vector<double> reels = {0.0, -0.0, 0.005, -0.004999, 12.5, 99999999.99, 999999999.99, -99999999.99, 1e11,
                                 -1e12, std::nan(""), std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 5000; ++i) {
        entiers.push_back(static_cast<int32_t>(alea()));
        reels.push_back(static_cast<double>(static_cast<int64_t>(alea() % 2000000000001) - 1000000000000) /
                        std::pow(10.0, static_cast<int>(alea() % 6)));
    }
    for (int32_t v : entiers) ASSERT_EQ(octets(Nombre(v)), entier(v)) << v;
    for (double v : reels) {
        ASSERT_EQ(octets(Montant(v)), decimales(v, 2)) << v;
        ASSERT_EQ(octets(Coefficient(v)), decimales(v, 3)) << v;
    }
    for (int i = 0; i < 5000; ++i) {
        const auto a = static_cast<uint16_t>(alea());
        const auto m = static_cast<uint8_t>(alea()), j = static_cast<uint8_t>(alea());
        ASSERT_EQ(octets(Date(a, m, j)), Date(a, m, j).estRenseigne() ? date(a, m, j) : "") << a << " " << +m << " " << +j;
    }
    EXPECT_EQ(octets(Booleen(true)) + octets(Booleen(false)), "ON");
    EXPECT_EQ(octets(Montant(-0.5)), "-050");
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

TEST(Types, CodesFromFixedWidthColumnsStopAtTheirNulAndLoseTheirTrailingBlanks) {
    struct Cas {
        std::string colonne;
        std::string code;
    };
    const Cas cas[] = {
        {"AB  ", "AB"},
        {"A B ", "A B"},  // only the trailing blanks go
        {std::string("AB\0CD", 5), "AB"},
        {std::string("  \0CD", 5), ""},
        {"    ", ""},
        {"X", "X"},
        {"ABCDEFGHIJKLMNOPQRST  ", "ABCDEFGHIJKLMNOPQRST"},  // longer than a short string holds
    };
    for (const auto& c : cas) {
        const Code code(c.colonne.data(), c.colonne.size(), Code::largeurFixe);
        EXPECT_EQ(std::string(code.chaine()), c.code) << c.colonne;
        EXPECT_EQ(code.longueur(), c.code.size()) << c.colonne;
        // Asked without building it, the column is the code it gives and no other.
        for (const auto& autre : cas)
            EXPECT_EQ(Code(autre.code.c_str()).estColonne(c.colonne.data(), c.colonne.size()), autre.code == c.code)
                << c.colonne << " / " << autre.code;
    }
    EXPECT_EQ(Code(static_cast<const char*>(nullptr), 4, Code::largeurFixe).longueur(), 0u);
    EXPECT_TRUE(Code().estColonne(nullptr, 4));
}

TEST(Types, TextsEqualALiteralOnlyWhenEveryCharacterAndTheEndAgree) {
    struct Cas {
        Texte texte;
        const char* litteral;
        bool egal;
    };
    const Cas cas[] = {
        {Texte("O"), "O", true},
        {Texte("O"), "N", false},
        {Texte("A"), "AB", false},  // a prefix of the literal
        {Texte("AB"), "A", false},  // the literal a prefix of the text
        {Texte(""), "", true},
        {Texte(""), "A", false},
        {Texte("A"), "", false},
        {Texte(""), nullptr, true},  // no literal reads as the empty one
        {Texte("A"), nullptr, false},
        {Texte("A\0B", 3), "A", true},  // the text stops at its NUL
        {Texte("\xE9t\xE9"), "\xE9t\xE9", true},
        {Texte("\xE9t\xE9"), "\xE9t\xE8", false},
    };
    for (const auto& c : cas) {
        const std::string nom = std::string(c.texte.chaine()) + " / " + (c.litteral ? c.litteral : "(null)");
        EXPECT_EQ(c.texte == c.litteral, c.egal) << nom;
        EXPECT_EQ(c.texte != c.litteral, !c.egal) << nom;
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
