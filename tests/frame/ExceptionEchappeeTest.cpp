// The code and the trace line that replace an exception at the edge of an export.
#include "frame/ExceptionEchappee.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "KPXW32.h"
#include "support/TraceCapturee.h"

TEST(ExceptionEchappee, BadAllocIsAConstructionFailureAnythingElseItsOwnCode) {
    struct Cas {
        void (*lancer)();
        uint16_t code;
        const char* ligne;
    };
    const Cas cas[] = {
        {[] { throw std::bad_alloc(); }, KPX_CR_CONSTRUCTION,
         "KPX_Essai : exception interceptee (std::bad_alloc), cr = 0xDFFC"},
        {[] { throw std::length_error("vector::reserve"); }, KPX_CR_EXCEPTION,
         "KPX_Essai : exception interceptee (vector::reserve), cr = 0xDFFD"},
        {[] { throw 7; }, KPX_CR_EXCEPTION, "KPX_Essai : exception interceptee (inconnue), cr = 0xDFFD"},
    };
    for (const Cas& c : cas) {
        TraceCapturee trace("exception-echappee");
        uint16_t cr = 0;
        try {
            c.lancer();
        } catch (...) {
            cr = codeExceptionEchappee("KPX_Essai");
        }
        EXPECT_EQ(cr, c.code);
        const auto lignes = trace.lignes();
        ASSERT_EQ(lignes.size(), 1u);
        EXPECT_EQ(lignes[0].niveau, 5);
        EXPECT_EQ(lignes[0].texte, c.ligne);
    }
}
