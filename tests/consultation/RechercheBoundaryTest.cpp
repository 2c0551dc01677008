// The two search exports as a host calls them, over the compiled sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "KPXW32.h"
#include "hote/Hote.h"
#include "support/HoteEchantillon.h"
#include "support/ZoneEntree.h"

namespace {

// The zone as text, which is then given back as a host must.
std::string texte(Hote& h, unsigned char* zone, uint32_t taille) {
    const std::string resultat = texteZone(zone, taille);
    h.KPX_LibererZoneMem(zone);
    return resultat;
}

}  // namespace

TEST(RechercheBoundary, KeywordSearchHandsOverOneGroupOrNothing) {
    HoteEchantillon charge;
    ASSERT_TRUE(charge.pret());
    Hote& h = charge.hote();
    unsigned char* zone = nullptr;
    uint32_t taille = 0;
    ASSERT_EQ(h.KPX_RechercherParMotCle("genou", 0, &zone, &taille), KPX_OK);
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(texte(h, zone, taille), "3000:1,NFKA007");

    zone = reinterpret_cast<unsigned char*>(&taille);  // outputs are reset by the checks
    EXPECT_EQ(h.KPX_RechercherParMotCle("cote", 8, &zone, &taille), KPX_CR_AUCUN_RESULTAT);
    EXPECT_EQ(zone, nullptr);
    EXPECT_EQ(taille, 0u);
    EXPECT_EQ(h.KPX_RechercherParMotCle("  ", 0, &zone, &taille), KPX_CR_ARGUMENT);
    EXPECT_EQ(h.KPX_RechercherParMotCle(".,;", 0, &zone, &taille), KPX_CR_ELEMENT_ABSENT);
    EXPECT_EQ(h.KPX_RechercherParMotCle(nullptr, 0, &zone, &taille), KPX_CR_ARGUMENT);
    EXPECT_EQ(h.KPX_RechercherParMotCle("cote", 0, nullptr, &taille), KPX_CR_POINTEUR_NUL);
}

TEST(RechercheBoundary, FilterSyntaxIsCheckedBeforeTheSearch) {
    HoteEchantillon charge;
    ASSERT_TRUE(charge.pret());
    Hote& h = charge.hote();
    unsigned char* zone = nullptr;
    uint32_t taille = 0;
    ASSERT_EQ(h.KPX_RechercherParFiltre("AB", &zone, &taille), KPX_OK);
    EXPECT_EQ(texte(h, zone, taille), "3000:3,ABCA004,ABJA002,ABLB001");
    ASSERT_EQ(h.KPX_RechercherParFiltre("", &zone, &taille), KPX_OK);
    const std::string tous = texte(h, zone, taille);
    EXPECT_EQ(tous.rfind("3000:46,", 0), 0u) << tous;
    EXPECT_EQ(std::count(tous.begin(), tous.end(), ','), 46);
    // The syntax is checked before the outputs are reset: they are left as they were.
    for (const char* mauvais : {"ab", "A1", "ABCDE"}) {
        zone = nullptr;
        taille = 7;
        EXPECT_EQ(h.KPX_RechercherParFiltre(mauvais, &zone, &taille), KPX_CR_ARGUMENT) << mauvais;
        EXPECT_EQ(zone, nullptr);
        EXPECT_EQ(taille, 7u);
    }
    EXPECT_EQ(h.KPX_RechercherParFiltre("QQ", &zone, &taille), KPX_CR_AUCUN_RESULTAT);
}
