// The library's lifecycle below the exports: the load builds the interface
// description or leaves nothing, and termination releases nothing while the
// référentiel is held.
#include "exports/Bibliotheque.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "KPXW32.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "frame/Composants.h"
#include "referentiel/Referentiel.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"
#include "support/TraceCapturee.h"

TEST(Bibliotheque, TheLoadBuildsTheDescriptionAndTerminationWaitsForNoOne) {
    const std::string repertoire = repertoireTemporaire("bibliotheque/chargement");
    const std::string configuration = repertoire + "/kpx.ini";
    std::ofstream(configuration) << "[COMMUN]\nrepertoiretravail=" << repertoire << "\n[KPX]\nrepertoiretable="
                                 << repertoire << "\n";
    ConstructeurReferentiel constructeur;
    ASSERT_TRUE(constructeur.ecrire(repertoire));
    {
        TraceCapturee trace("bibliotheque-chargement");
        ASSERT_TRUE(Composants::sontCharges());
        ASSERT_EQ(Composants::setFichierKoral()(configuration.c_str()), 0);
        ASSERT_EQ(Bibliotheque::chargerReferentiel(), 0);
    }
    EXPECT_TRUE(Bibliotheque::estCharge());
    ASSERT_TRUE(Bibliotheque::interface().estConstruite());
    // The minimal content describes one root, Dump, with one group.
    ASSERT_EQ(Bibliotheque::interface().nombreRacines(), 1);
    EXPECT_EQ(Bibliotheque::interface().racine(0)->nom(), "Dump");
    // The reader of the build was given back.
    EXPECT_EQ(Bibliotheque::referentiel()->nombreLecteurs(), 0);

    // Termination takes the writer place: refused while a reader holds the référentiel, nothing released.
    {
        LectureDonnees lecteur(Bibliotheque::referentiel());
        ASSERT_EQ(lecteur.ouvrir(), 0);
        EXPECT_EQ(Bibliotheque::terminer(), KPX_CR_OCCUPE);
        EXPECT_TRUE(Bibliotheque::estCharge());
        EXPECT_TRUE(Bibliotheque::interface().estConstruite());
        EXPECT_EQ(Bibliotheque::referentiel()->nombreEcrivains(), 0);
    }
    EXPECT_EQ(Bibliotheque::terminer(), 0);
    EXPECT_FALSE(Bibliotheque::interface().estConstruite());
    EXPECT_FALSE(Bibliotheque::estCharge());
    EXPECT_EQ(Bibliotheque::referentiel(), nullptr);

    // A field with an unknown format: the load fails and nothing stays.
    TraceCapturee trace("bibliotheque-echec");
    constructeur.ligne<DescriptifChamp>(0).formatAttendu = 'Z';
    ASSERT_TRUE(constructeur.ecrire(repertoire));
    EXPECT_EQ(Bibliotheque::chargerReferentiel(), KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_FALSE(Bibliotheque::estCharge());
    EXPECT_EQ(Bibliotheque::referentiel(), nullptr);
    EXPECT_FALSE(Bibliotheque::interface().estConstruite());
    std::vector<std::string> cycle;
    for (const LigneTrace& l : trace.lignes())
        if (l.categorie == 0 && l.niveau == 2) cycle.push_back(l.texte);
    EXPECT_NE(std::find(cycle.begin(), cycle.end(), "Interface::initialiser << OUT : cr = 0xDFFE"), cycle.end());
    EXPECT_NE(std::find(cycle.begin(), cycle.end(), "Interface::liberer << OUT"), cycle.end());
}
