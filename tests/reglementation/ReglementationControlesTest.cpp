// The combined controls that answer more than yes or no, for what the rule functions
// over the sample do not reach: an exclusion inside a procedure, two practitioners,
// an exclusion one way only, and the trace of the association type.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KPXW32.h"
#include "facture/TraceFacture.h"
#include "reglementation/Reglementation.h"
#include "support/FactureDeTest.h"
#include "support/ReferentielDeRegles.h"
#include "support/TraceCapturee.h"

namespace {

const Date D(2024, 1, 1);

class ControlesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(referentiel.pret()); }
    ReferentielDeRegles referentiel{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    Reglementation r{referentiel.lecture()};
};

}  // namespace

TEST_F(ControlesTest, CompatibiliteOfTwoActs) {
    struct Cas {
        const char* acte1;
        const char* ps1;
        const char* acte2;
        const char* ps2;
        const char* compatibilite;
        const char* procedure;
    };
    const Cas cas[] = {
        {"CHIR003", "P1", "CHIR001", "P1", "2", "PROC01"},  // one procedure, categories together
        {"CHIR001", "P1", "CHIR003", "P1", "4", "PROC01"},  // and the first excludes the second
        {"CHIR001", "P1", "CHIR003", "P2", "4", ""},        // two practitioners: only the exclusion counts
    };
    for (const Cas& c : cas) {
        Code compatibilite, procedure;
        ASSERT_EQ(r.appliquerCCompatibilite(Code(c.acte1), Code("1"), Code(c.ps1), Code(c.acte2), Code("1"),
                                            Code(c.ps2), D, compatibilite, procedure),
                  0);
        EXPECT_EQ(std::string(compatibilite.chaine()) + "/" + procedure.chaine(),
                  std::string(c.compatibilite) + "/" + c.procedure)
            << c.acte1 << " " << c.acte2;
    }
}

TEST_F(ControlesTest, AssociationTypeAndItsTrace) {
    struct Cas {
        std::vector<const char*> actes;
        uint16_t cr;
        const char* type;
    };
    const Cas cas[] = {
        // The exclusion goes one way: the same pair in the other order is only unplanned.
        {{"CHIR003", "CHIR001"}, 0, "N"}, {{"CHIR001", "CHIR003"}, 0xD111, ""}, {{"CHIR003", "CHIR004"}, 0, "N"},
    };
    for (const Cas& c : cas) {
        Facture facture;
        int32_t numero = 1;
        for (const char* acte : c.actes) facture.ajouterLigne(facture::ligneCCAM(numero++, D, acte));
        facture.construireAssociations();
        EXPECT_EQ(r.appliquerCAssociation(*facture.associations), c.cr) << c.actes[0];
        EXPECT_EQ(texteDe(facture.associations->codeCalcule.get()), std::string(c.type)) << c.actes[0];
    }

    TraceCapturee trace("controles-association");
    Facture facture;
    facture.ajouterLigne(facture::ligneCCAM(1, D, "CHIR001"));
    facture.ajouterLigne(facture::ligneCCAM(2, D, "CHIR004"));
    facture.construireAssociations();
    ASSERT_EQ(r.appliquerCAssociation(*facture.associations), 0);
    const auto lignes = trace.textes();
    ASSERT_FALSE(lignes.empty());
    EXPECT_EQ(lignes.front(), "Reglementation::appliquerCAssociation >> IN");
    EXPECT_EQ(lignes.back(), "Reglementation::appliquerCAssociation << OUT : cr = 0x0000, type d'association = P");
}
