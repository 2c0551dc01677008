// Memory accounting: the total moves by the usable size and comes back exactly.
#include "frame/Systeme.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include "KPXW32.h"
#include "support/TraceCapturee.h"

TEST(Systeme, TotalCountsUsableSizeAndReturnsAfterRelease) {
    TraceCapturee trace("systeme");
    const uint32_t depart = Systeme::tailleMemoireCumulee();
    void* un = nullptr;
    ASSERT_EQ(Systeme::allouer(&un, 1), KPX_OK);
    const uint32_t utilisable = static_cast<uint32_t>(malloc_usable_size(un));
    EXPECT_GE(utilisable, 1u);
    EXPECT_EQ(Systeme::tailleMemoireCumulee(), depart + utilisable);

    void* grand = nullptr;
    ASSERT_EQ(Systeme::allouer(&grand, 5000), KPX_OK);
    Systeme::liberer(un);
    Systeme::liberer(nullptr);
    Systeme::liberer(grand);
    EXPECT_EQ(Systeme::tailleMemoireCumulee(), depart);

    auto t = trace.textes();
    ASSERT_GE(t.size(), 2u);
    // glibc prints "%p" as 0x..., so the line reads "0x0x..." as specified by its format.
    EXPECT_EQ(t[0], std::string("Systeme::allouer : allocation de 1 (") + std::to_string(utilisable) +
                        ") octets a l'adresse 0x" + [&] {
                            char p[32];
                            std::snprintf(p, sizeof p, "%p", un);
                            return std::string(p);
                        }() + ".");
    EXPECT_EQ(t[1], "Taille memoire cumulee = " + std::to_string(depart + utilisable) + ", cr = 0x0000.");
    int liberations = 0;
    for (auto& x : t) liberations += x.rfind("Systeme::liberer : liberation de ", 0) == 0;
    EXPECT_EQ(liberations, 2);
}

TEST(Systeme, FailedAllocationLeavesTotalAndReportsIt) {
    TraceCapturee trace("systeme-echec");
    const uint32_t depart = Systeme::tailleMemoireCumulee();
    Systeme::simulerEchecAllocation(1);
    void* bloc = reinterpret_cast<void*>(1);
    EXPECT_EQ(Systeme::allouer(&bloc, 64), KPX_CR_MEMOIRE);
    EXPECT_EQ(bloc, nullptr);
    EXPECT_EQ(Systeme::tailleMemoireCumulee(), depart);
    auto t = trace.textes();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], "Systeme::allouer : ERREUR: impossible d'allouer 64 octets.");
    EXPECT_EQ(t[1], "Taille memoire cumulee = " + std::to_string(depart) + ", cr = 0xF801.");
    EXPECT_EQ(trace.lignes()[0].niveau, 5);
    EXPECT_EQ(trace.lignes()[0].categorie, 7);
}
