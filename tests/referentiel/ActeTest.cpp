// Acts: a tree written and read back whole, the version in force at a date,
// the activity and phase searches, and the faults that refuse a record.
#include <gtest/gtest.h>

#include <cstdio>

#include "KPXW32.h"
#include "kpxbuild/Minimal.h"
#include "kpxbuild/SourceJson.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "support/FichierTemporaire.h"

namespace {

uint16_t ecrireEtRelire(const NiveauActe& acte, NiveauActe& relu, long tronquer = -1) {
    Referentiel referentiel;
    FichierTemporaire fichier;
    uint16_t cr = 0;
    {
        Ecrivain ecrivain(referentiel, fichier.get());
        cr = acte.ecrireNiveauActe(ecrivain);
    }
    if (cr != 0) return cr;
    if (tronquer >= 0) fichier.tronquer(tronquer);
    std::rewind(fichier.get());
    Lecteur lecteur(referentiel, fichier.get());
    return relu.lireNiveauActe(lecteur);
}

std::unique_ptr<NiveauActe> acteRiche() {
    std::unique_ptr<NiveauActe> acte = acteSimple("HBQK002", 20.0);
    acte->conditionsGenerales = "Conditions";
    acte->codeMenu = 1204;
    acte->dateFin = Date(2030, 12, 31);
    // A newer version in front of the 2000 one.
    std::unique_ptr<HistoriqueNiveauActe> recent(new HistoriqueNiveauActe(*acte->premierHistorique()));
    recent->dateEffet = Date(2010, 3, 1);
    recent->procedures = {"HBQK001      "};
    recent->actesIncompatibles = {"HBQK003      "};
    recent->forfaitsCMU = {{"CM1", Date(2005, 1, 1), Date()}};
    recent->lienSuivant() = std::move(acte->teteHistoriques());
    acte->teteHistoriques() = std::move(recent);
    for (char code : {'4', '2'}) {
        std::unique_ptr<NiveauActivite> activite(new NiveauActivite(*acte->activites()[0]));
        activite->codeActivite = code;
        acte->ajouterActivite(std::move(activite));
    }
    return acte;
}

}  // namespace

TEST(Acte, TreeRoundTripsAndCopiesDeeply) {
    std::unique_ptr<NiveauActe> acte = acteRiche();
    NiveauActe relu;
    ASSERT_EQ(ecrireEtRelire(*acte, relu), 0);
    EXPECT_EQ(acteVersJson(relu), acteVersJson(*acte));
    EXPECT_EQ(relu.activites().size(), 3u);
    NiveauActe copie(relu);
    EXPECT_EQ(acteVersJson(copie), acteVersJson(relu));
    EXPECT_NE(copie.premierHistorique(), relu.premierHistorique());
    // Cut anywhere inside, the record is refused.
    NiveauActe tronque;
    EXPECT_EQ(ecrireEtRelire(*acte, tronque, 60), KPX_CR_LECTURE);
}

TEST(Acte, VersionInForceFollowsTheNewestFirstList) {
    std::unique_ptr<NiveauActe> acte = acteRiche();
    acte->premierHistorique()->suivant()->dateEffet = Date(2005, 1, 1);
    struct Cas {
        Date date;
        uint16_t cr;
        Date effet;
    };
    const Cas cas[] = {
        {Date(2010, 3, 1), 0, Date(2010, 3, 1)},   {Date(2024, 6, 1), 0, Date(2010, 3, 1)},
        {Date(2010, 2, 28), 0, Date(2005, 1, 1)},  {Date(2005, 1, 1), 0, Date(2005, 1, 1)},
        {Date(2004, 12, 31), KPX_CR_RIEN_EN_VIGUEUR, Date()},
    };
    for (const Cas& c : cas) {
        const HistoriqueNiveauActe* historique = nullptr;
        ASSERT_EQ(acte->chercherHistorique(c.date, historique), c.cr) << c.date.chaine();
        if (c.cr == 0) {
            EXPECT_EQ(historique->dateEffet, c.effet) << c.date.chaine();
        }
    }
}

TEST(Acte, ActivitiesAndPhasesAreFoundByCode) {
    std::unique_ptr<NiveauActe> acte = acteRiche();
    NiveauActivite* activite = nullptr;
    ASSERT_EQ(acte->chercherActivite('4', activite), 0);
    EXPECT_EQ(activite->codeActivite, '4');
    EXPECT_EQ(acte->chercherActivite('3', activite), KPX_CR_ELEMENT_ABSENT);
    EXPECT_EQ(acte->activites()[0]->codeActivite, '1');
    EXPECT_EQ(acte->activites()[2]->codeActivite, '4');

    std::unique_ptr<NiveauActivite> sansPhase(new NiveauActivite);
    sansPhase->codeActivite = '5';
    sansPhase->teteHistoriques().reset(new HistoriqueNiveauActivite(*acte->activites()[0]->premierHistorique()));
    NiveauActivite* cible = sansPhase.get();
    acte->ajouterActivite(std::move(sansPhase));
    NiveauPhase* phase = nullptr;
    EXPECT_EQ(cible->chercherNiveauPhase('0', phase), KPX_CR_ELEMENT_ABSENT);
    ASSERT_EQ(acte->activites()[0]->chercherNiveauPhase('0', phase), 0);
    NiveauActe relu;
    EXPECT_EQ(ecrireEtRelire(*acte, relu), 0);
}

TEST(Acte, ContentFaultsRefuseTheRecord) {
    struct Cas {
        const char* nom;
        void (*abimer)(NiveauActe&);
    };
    const Cas cas[] = {
        {"entente X", [](NiveauActe& a) { a.premierHistorique()->ententePrealable = 'X'; }},
        {"libelle court vide", [](NiveauActe& a) { a.libelleCourt.clear(); }},
        {"sans nature d'assurance", [](NiveauActe& a) { a.naturesAssurance.clear(); }},
        {"sans historique", [](NiveauActe& a) { a.teteHistoriques().reset(); }},
        {"sans code ETM", [](NiveauActe& a) { a.premierHistorique()->codesETM.clear(); }},
        {"date de creation mois 13", [](NiveauActe& a) { a.dateCreation = Date(2005, 13, 1); }},
        {"sans classe de specialite",
         [](NiveauActe& a) { a.activites()[0]->premierHistorique()->classesSpecialite.clear(); }},
        {"code phase blanc", [](NiveauActe& a) { a.activites()[0]->phases()[0]->codePhase = ' '; }},
    };
    for (const Cas& c : cas) {
        std::unique_ptr<NiveauActe> acte = acteRiche();
        c.abimer(*acte);
        NiveauActe relu;
        EXPECT_EQ(ecrireEtRelire(*acte, relu), KPX_CR_LECTURE) << c.nom;
    }
}
