// The consultation family below the exports: its reader place, its dispatch table,
// and the overseas positions of a caisse number.
#include <gtest/gtest.h>

#include "KPXW32.h"
#include "consultation/FonctionsConsulter.h"
#include "consultation/LectureDonnees.h"
#include "referentiel/Referentiel.h"
#include "support/Echantillon.h"

TEST(FonctionsConsulter, AReaderPlaceIsRefusedWhileAWriterHoldsTheReferentiel) {
    const std::string& r = repertoireEchantillon();
    ASSERT_FALSE(r.empty());
    Referentiel referentiel;
    ASSERT_EQ(referentiel.chargerReferentiel(r.c_str(), r.c_str(), "0302", "1000"), 0);
    ZoneSortie sortie;
    // TB19_1 (number 49) takes no input.
    EXPECT_EQ(FonctionsConsulter::consulter(&referentiel, nullptr, 49, Date(2024, 1, 1), nullptr, sortie), 0);
    EXPECT_TRUE(sortie);
    sortie.liberer();
    referentiel.nombreEcrivains = 1;
    EXPECT_EQ(FonctionsConsulter::consulter(&referentiel, nullptr, 49, Date(2024, 1, 1), nullptr, sortie),
              KPX_CR_OCCUPE);
    EXPECT_FALSE(sortie);
    EXPECT_EQ(referentiel.nombreLecteurs, 0);
    referentiel.nombreEcrivains = 0;
    EXPECT_EQ(FonctionsConsulter::consulter(nullptr, nullptr, 49, Date(2024, 1, 1), nullptr, sortie), KPX_CR_NON_CHARGE);
    // Numbers of the other families, or of none, have no consultation handler.
    for (uint16_t numero : {0, 51, 85, 92, 101, 111, 65535})
        EXPECT_EQ(FonctionsConsulter::consulter(&referentiel, nullptr, numero, Date(2024, 1, 1), nullptr, sortie),
                  KPX_CR_NON_PREVU)
            << numero;
    EXPECT_EQ(referentiel.nombreLecteurs, 0);
}

TEST(FonctionsConsulter, OverseasPositionsOfACaisseNumber) {
    int32_t position = 0;
    const char* const dom[] = {"971", "972", "973", "974"};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(FonctionsConsulter::positionDOM(Code(dom[i]), position), 0);
        EXPECT_EQ(position, i + 1);
    }
    EXPECT_EQ(FonctionsConsulter::positionDOM(Code("975"), position), KPX_CR_MODIFICATION_MIN);
    EXPECT_EQ(FonctionsConsulter::positionDOM(Code("97"), position), KPX_CR_MODIFICATION_MIN);
    EXPECT_EQ(FonctionsConsulter::positionSeuil(Code("971")), 2);
    EXPECT_EQ(FonctionsConsulter::positionSeuil(Code("972")), 2);
    EXPECT_EQ(FonctionsConsulter::positionSeuil(Code("973")), 4);
    EXPECT_EQ(FonctionsConsulter::positionSeuil(Code("974")), 3);
    EXPECT_EQ(FonctionsConsulter::positionSeuil(Code("975")), 1);
    EXPECT_EQ(FonctionsConsulter::positionSeuil(Code("")), 1);
}
