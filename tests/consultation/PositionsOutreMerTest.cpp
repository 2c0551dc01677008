// The overseas positions of a caisse number, shared by consultation, modification and the tariff rules.
#include "consultation/PositionsOutreMer.h"

#include <gtest/gtest.h>

#include "KPXW32.h"

TEST(PositionsOutreMer, DomAndThresholdPositionsOfACaisseNumber) {
    const struct {
        const char* caisse;
        uint16_t crDOM;
        int32_t dom;
        int32_t seuil;
    } cas[] = {
        {"971", 0, 1, 2}, {"972", 0, 2, 2}, {"973", 0, 3, 4}, {"974", 0, 4, 3},
        {"975", KPX_CR_CAISSE_NON_DOM, 0, 1}, {"97", KPX_CR_CAISSE_NON_DOM, 0, 1},
        {"9710", KPX_CR_CAISSE_NON_DOM, 0, 1}, {"", KPX_CR_CAISSE_NON_DOM, 0, 1},
    };
    for (const auto& c : cas) {
        int32_t position = 0;
        EXPECT_EQ(PositionsOutreMer::positionDOM(Code(c.caisse), 1, position), c.crDOM) << c.caisse;
        EXPECT_EQ(position, c.dom) << c.caisse;
        EXPECT_EQ(PositionsOutreMer::positionSeuil(Code(c.caisse)), c.seuil) << c.caisse;
    }
}
