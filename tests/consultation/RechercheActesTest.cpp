// Keyword and prefix searches over the sample référentiel, read from the zone they
// answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "consultation/RechercheActes.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "support/Echantillon.h"
#include "support/TraceCapturee.h"

namespace {

struct Resultat {
    uint16_t cr = 0;
    std::vector<std::string> champs;  // the fields of group 3000
};

class RechercheActesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string erreur;
        const std::string& r = repertoireEchantillon(&erreur);
        ASSERT_FALSE(r.empty()) << erreur;
        ASSERT_EQ(referentiel_.chargerReferentiel(r.c_str(), r.c_str(), "0302", "1000"), 0);
    }

    template <class F>
    Resultat chercher(F recherche) {
        Resultat resultat;
        LectureDonnees lecture(&referentiel_);
        EXPECT_EQ(lecture.ouvrir(), 0);
        RechercheActes actes(lecture);
        ZoneSortie sortie;
        resultat.cr = recherche(actes, sortie);
        if (resultat.cr == 0) {
            EXPECT_TRUE(sortie);
            if (!sortie) return resultat;
            ZoneKPX lue(sortie->buffer, sortie->tailleDonnees);
            uint16_t groupe = 0;
            while (lue.lireGroupeSuivant(groupe) == 0) {
                EXPECT_EQ(groupe, 3000);
                uint16_t numero = 0;
                const uint8_t* donnees = nullptr;
                uint32_t longueur = 0;
                while (lue.lireChampSuivant(numero, donnees, longueur) == 0)
                    resultat.champs.emplace_back(reinterpret_cast<const char*>(donnees), longueur);
            }
        } else {
            EXPECT_FALSE(sortie) << "no zone on failure";
        }
        return resultat;
    }
    Resultat motCle(const char* mot, uint32_t cadre = 0) {
        return chercher([&](RechercheActes& a, ZoneSortie& s) { return a.parMotCle(mot, cadre, s); });
    }
    Resultat filtre(const char* f) {
        return chercher([&](RechercheActes& a, ZoneSortie& s) { return a.parFiltre(f, s); });
    }

    Referentiel referentiel_;
};

using Champs = std::vector<std::string>;

}  // namespace

TEST_F(RechercheActesTest, KeywordsAreMatchedOnTheirCanonicalFormWithinTheFrames) {
    const Champs cote = {"4", "JAFA002", "JAFC019", "NEKA020", "NFKA007"};
    EXPECT_EQ(motCle("c\xF4t\xE9").champs, cote);  // Latin-1, as hosts send it
    EXPECT_EQ(motCle("COTE").champs, cote);
    EXPECT_EQ(motCle("C\xF4te").champs, cote);
    EXPECT_EQ(motCle("rein-droit").champs, (Champs{"2", "JAFA002", "JAFC019"}));
    // Frame 4 only (topography).
    EXPECT_EQ(motCle("cote", 4).champs, (Champs{"2", "NEKA020", "NFKA007"}));
}

TEST_F(RechercheActesTest, KeywordsThatCannotBeSearched) {
    EXPECT_EQ(motCle("inconnu").cr, KPX_CR_ELEMENT_ABSENT);
    TraceCapturee trace("recherche-vide");
    EXPECT_EQ(motCle(" \t ").cr, KPX_CR_ARGUMENT);
    const auto textes = trace.textes();
    EXPECT_NE(std::find(textes.begin(), textes.end(), "Mot clé canonique vide"), textes.end());
}

TEST_F(RechercheActesTest, FiltersWalkTheIndexInCodeOrder) {
    Resultat tous = filtre("");
    ASSERT_EQ(tous.cr, 0);
    EXPECT_EQ(tous.champs.front(), std::to_string(referentiel_.table(0)->nombreLignes()));
    EXPECT_EQ(tous.champs.size(), referentiel_.table(0)->nombreLignes() + 1);
    EXPECT_TRUE(std::is_sorted(tous.champs.begin() + 1, tous.champs.end()));
    EXPECT_EQ(filtre(nullptr).champs, tous.champs);
    EXPECT_EQ(filtre("HBMD").champs, (Champs{"3", "HBMD049", "HBMD050", "HBMD351"}));
}
