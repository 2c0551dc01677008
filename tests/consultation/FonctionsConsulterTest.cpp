// The consultation family below the exports: its dispatch table.
#include <gtest/gtest.h>

#include "KPXW32.h"
#include "consultation/FonctionsConsulter.h"
#include "consultation/LectureDonnees.h"
#include "referentiel/Referentiel.h"
#include "support/Echantillon.h"
#include "support/TraceCapturee.h"

TEST(FonctionsConsulter, EachNumberReachesItsHandlerAndOtherFamiliesNone) {
    const std::string& r = repertoireEchantillon();
    ASSERT_FALSE(r.empty());
    Referentiel referentiel;
    ASSERT_EQ(referentiel.chargerReferentiel(r.c_str(), r.c_str(), "0302", "1000"), 0);
    LectureDonnees lecture(&referentiel);
    ASSERT_EQ(lecture.ouvrir(), 0);
    FonctionsConsulter fonctions(Date(2024, 1, 1), nullptr, nullptr, lecture);
    ZoneSortie sortie;
    // TB19_1 (number 49) takes no input.
    EXPECT_EQ(fonctions.executer(49, sortie), 0);
    EXPECT_TRUE(sortie);
    sortie.liberer();
    TraceCapturee trace("consulter-non-prevu");
    // Numbers of the other families, or of none, have no consultation handler.
    for (uint16_t numero : {0, 51, 85, 92, 101, 111, 65535}) {
        EXPECT_EQ(fonctions.executer(numero, sortie), KPX_CR_NON_PREVU) << numero;
        EXPECT_FALSE(sortie);
    }
    const std::vector<LigneTrace> lignes = trace.lignes();
    ASSERT_EQ(lignes.size(), 7u);
    EXPECT_EQ(lignes[5].categorie, 1);
    EXPECT_EQ(lignes[5].niveau, 5);
    EXPECT_EQ(lignes[5].texte, "Identifiant (111) non prévu dans les fonctions de consultation");
}
