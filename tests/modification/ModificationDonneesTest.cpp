// The writer over the query fixture: what a change of each pattern shows at every
// date, what it records, what it refuses without touching anything, what a
// cancellation gives back, and what the replay of stored records rebuilds.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "consultation/ReferentielDeRequetes.h"
#include "kpxbuild/TraceDetailCapturee.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "referentiel/Ecrivain.h"
#include "support/FichierTemporaire.h"

using requetes::d;

namespace {

// A table's rows as the writer encodes them.
std::string octets(Referentiel& referentiel, uint16_t identifiant) {
    FichierTemporaire fichier;
    Ecrivain ecrivain(referentiel, fichier.get());
    EXPECT_EQ(referentiel.table(identifiant)->ecrireTable(ecrivain), 0);
    return fichier.octets();
}

// Code lists 3 to 9 after the fixture's two, list 9 (grouping codes) labelling ADC.
void listesCodes(ConstructeurReferentiel& c) {
    for (int liste = 3; liste <= 9; ++liste) c.ajouter<Codes>().valeurs = {3, static_cast<uint16_t>(liste == 9)};
    auto& adc = c.ajouter<LibelleCode>();
    adc.valeur = "ADC";
    adc.libelle = "Actes de chirurgie";
}

}  // namespace

class ModificationDonneesTest : public ::testing::Test {
protected:
    void SetUp() override {
        requetes::remplir(constructeur);
        listesCodes(constructeur);
    }

    // Writes the fixture (and its records, when asked) and loads it with the replay.
    uint16_t charger(bool avecModifications = false) {
        const std::string nom =
            std::string("modification-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        repertoire.reset();
        repertoire.reset(new RepertoireTemporaire(nom));
        EXPECT_TRUE(constructeur.ecrire(repertoire->chemin()));
        if (avecModifications) {
            EXPECT_TRUE(constructeur.ecrireModifications(repertoire->chemin()));
        }
        referentiel.reset(new Referentiel);
        referentiel->definirRejeu(&rejeu);
        return referentiel->chargerReferentiel(repertoire->chemin().c_str(), repertoire->chemin().c_str(), "0302",
                                               "1000");
    }

    // "prix" or "#D003" at a date.
    std::string prix(const char* phase, const Date& date, int32_t grille = 1) {
        LectureDonnees lecture(referentiel.get());
        Montant montant;
        const uint16_t cr = lecture.rechercherPrixUnitaire("BBBB002", "1", phase, Nombre(grille), date, montant);
        char texte[32];
        if (cr == 0)
            std::snprintf(texte, sizeof texte, "%.2f", montant.valeur());
        else
            std::snprintf(texte, sizeof texte, "#%04X", cr);
        return texte;
    }

    Date datePrix(const Date& date) {
        LectureDonnees lecture(referentiel.get());
        Date modification;
        EXPECT_EQ(lecture.rechercherDateModificationPrixUnitaire("BBBB002", "1", "0", date, modification), 0);
        return modification;
    }

    uint32_t enregistrements(uint16_t identifiant) { return referentiel->table(identifiant)->nombreLignes(); }

    ConstructeurReferentiel constructeur;
    std::unique_ptr<RepertoireTemporaire> repertoire;
    RejeuModificationDonnees rejeu;
    std::unique_ptr<Referentiel> referentiel;
};

// What each price shows at each date, and the record it leaves, are the host tests' and the
// command line's; here, what they do not reach.
TEST_F(ModificationDonneesTest, RefusedPriceChangesRecordNothingAndACancellationUnloadsTheAct) {
    ASSERT_EQ(charger(), 0);
    ModificationDonnees modification(referentiel.get());
    ASSERT_EQ(modification.modifierPrixUnitaire("BBBB002", "1", "0", d(2020, 1, 1), Nombre(1), 60.0, true), 0);
    ASSERT_EQ(modification.modifierPrixUnitaire("BBBB002", "1", "0", d(2022, 1, 1), Nombre(1), 70.0, true), 0);

    // Refused: a date before the newest version, a grid the version lacks, a DOM position
    // out of range, a phase that does not exist. Nothing is recorded.
    TraceDetailCapturee trace;
    EXPECT_EQ(modification.modifierPrixUnitaire("BBBB002", "1", "0", d(2021, 6, 1), Nombre(1), 1.0, true),
              KPX_CR_DATE_EFFET_REFUSEE);
    EXPECT_TRUE(trace.contient("Date d'effet anterieure a la date du dernier historique")) << trace.texte();
    EXPECT_EQ(modification.modifierPrixUnitaire("BBBB002", "1", "0", d(2023, 1, 1), Nombre(7), 1.0, true),
              KPX_CR_ELEMENT_ABSENT);
    EXPECT_EQ(modification.modifierMajorationDOM("BBBB002", "1", "0", d(2023, 1, 1), 5, 1.0, true),
              KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_EQ(modification.modifierSupplementCharges("BBBB002", "1", "9", d(2023, 1, 1), 1.0, true),
              KPX_CR_ELEMENT_ABSENT);
    EXPECT_EQ(prix("0", d(2030, 1, 1)), "70.00");
    EXPECT_EQ(enregistrements(ModificationPrixUnitaire::kIdentifiant), 2u);
    EXPECT_EQ(enregistrements(ModificationSupplementCharge::kIdentifiant), 0u);

    // Another value of the act is not cancelled by it, and cancelling unloads the act.
    EXPECT_EQ(modification.annulerModificationsPrixUnitaire("BBBB002", "1", "1"), KPX_CR_RIEN_A_ANNULER);
    EXPECT_TRUE(trace.contient("Donnee non modifiee"));
    ASSERT_EQ(modification.annulerModificationsPrixUnitaire("BBBB002", "1", "0"), 0);
    Booleen charge(true);
    EXPECT_EQ(modification.rechercherChargementActe("BBBB002", charge), 0);
    EXPECT_FALSE(charge.valeur());
    EXPECT_EQ(prix("0", d(2030, 1, 1)), "50.00");
    EXPECT_EQ(datePrix(d(2030, 1, 1)), Date());
    trace.effacer();
    EXPECT_EQ(modification.annulerModificationsPrixUnitaire("BBBB002", "1", "0"), KPX_CR_RIEN_A_ANNULER);
    EXPECT_TRUE(trace.contient("Table de modification vide : donnee non modifiee")) << trace.texte();
}

TEST_F(ModificationDonneesTest, AChangeOfADatedTableStartsAHeadRowAndItsCancellationRestoresTheRows) {
    ASSERT_EQ(charger(), 0);
    using Lire = std::function<uint16_t(LectureDonnees&, const Date&, double&)>;
    using Modifier = std::function<uint16_t(ModificationDonnees&, const Date&)>;
    using Annuler = std::function<uint16_t(ModificationDonnees&)>;
    struct Cas {
        const char* nom;
        uint16_t lignes;  // the dated table, copied with its parents' ranges
        uint16_t parents;
        uint16_t enregistrements;
        Modifier modifier;
        Lire lire;
        Annuler annuler;
        Date effet;
        double avant;
        double apres;
        Date refusee;  // outside the newest row
    };
    auto montant = [](auto requete) {
        return [requete](LectureDonnees& l, const Date& date, double& v) {
            Montant m;
            uint16_t cr = requete(l, date, m);
            v = m.valeur();
            return cr;
        };
    };
    auto coefficient = [](auto requete) {
        return [requete](LectureDonnees& l, const Date& date, double& v) {
            Coefficient c;
            uint16_t cr = requete(l, date, c);
            v = c.valeur();
            return cr;
        };
    };
    const Cas cas[] = {
        {"seuil Antilles", Seuil::kIdentifiant, 0, ModificationSeuil::kIdentifiant,
         [](ModificationDonnees& m, const Date& e) { return m.modifierSeuil(e, 2, 200.0, true); },
         montant([](LectureDonnees& l, const Date& t, Montant& v) { return l.rechercherSeuilExoTM(t, Nombre(2), v); }),
         [](ModificationDonnees& m) { return m.annulerModificationsSeuilExoTM(2); }, d(2015, 1, 1), 130.0, 200.0,
         d(2009, 12, 31)},
        {"forfait non conventionnes", ReductionNonConventionne::kIdentifiant, 0,
         ModificationNonConventionne::kIdentifiant,
         [](ModificationDonnees& m, const Date& e) { return m.modifierForfaitNonConventionnes(e, 9.5, true); },
         montant(
             [](LectureDonnees& l, const Date& t, Montant& v) { return l.rechercherForfaitNonConventionnes(t, v); }),
         [](ModificationDonnees& m) { return m.annulerModificationsValeurNonConventionnes(); }, d(2015, 1, 1), 2.5, 9.5,
         d(1999, 12, 31)},
        {"taux non conventionnes", ReductionNonConventionne::kIdentifiant, 0, ModificationNonConventionne::kIdentifiant,
         [](ModificationDonnees& m, const Date& e) { return m.modifierTauxNonConventionnes(e, 0.3, true); },
         coefficient(
             [](LectureDonnees& l, const Date& t, Coefficient& v) { return l.rechercherTauxNonConventionnes(t, v); }),
         [](ModificationDonnees& m) { return m.annulerModificationsValeurNonConventionnes(); }, d(2015, 1, 1), 0.1, 0.3,
         d(1999, 12, 31)},
        {"association 1 grille 1", HistoriqueAssociationNonPrevue::kIdentifiant, AssoGrille::kIdentifiant,
         ModificationRegleAssociationNonPrevue::kIdentifiant,
         [](ModificationDonnees& m, const Date& e) {
             return m.modifierCoefficientAssociationNonPrevue("1", e, Nombre(1), 0.7, true);
         },
         coefficient([](LectureDonnees& l, const Date& t, Coefficient& v) {
             return l.rechercherCoefficientAssociationNonPrevue("1", t, Nombre(1), v);
         }),
         [](ModificationDonnees& m) { return m.annulerModificationsCoefficientAssociationNonPrevue("1"); },
         d(2015, 1, 1), 0.5, 0.7, d(1999, 12, 31)},
        {"forfait F grille 3, borne", HistoriqueValeurModificateur::kIdentifiant, ModificaGrille::kIdentifiant,
         ModificationModificateur::kIdentifiant,
         [](ModificationDonnees& m, const Date& e) {
             return m.modifierForfaitModificateur("F", e, Nombre(3), 25.0, true);
         },
         montant([](LectureDonnees& l, const Date& t, Montant& v) {
             return l.rechercherForfaitModificateur("F", t, Nombre(3), v);
         }),
         [](ModificationDonnees& m) { return m.annulerModificationsValeurModificateur("F"); }, d(2010, 12, 31), 19.06,
         25.0, d(2011, 1, 1)},
        {"taux U grille 3", HistoriqueValeurModificateur::kIdentifiant, ModificaGrille::kIdentifiant,
         ModificationModificateur::kIdentifiant,
         [](ModificationDonnees& m, const Date& e) { return m.modifierTauxModificateur("U", e, Nombre(3), 1.3, true); },
         coefficient([](LectureDonnees& l, const Date& t, Coefficient& v) {
             return l.rechercherTauxModificateur("U", t, Nombre(3), v);
         }),
         [](ModificationDonnees& m) { return m.annulerModificationsValeurModificateur("U"); }, d(2015, 1, 1), 1.2, 1.3,
         d(1999, 12, 31)},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string lignes = octets(*referentiel, c.lignes);
        const std::string parents = c.parents != 0 ? octets(*referentiel, c.parents) : "";
        ModificationDonnees modification(referentiel.get());
        EXPECT_EQ(c.modifier(modification, c.refusee), KPX_CR_DATE_EFFET_REFUSEE);
        EXPECT_EQ(octets(*referentiel, c.lignes), lignes);
        EXPECT_EQ(enregistrements(c.enregistrements), 0u);

        ASSERT_EQ(c.modifier(modification, c.effet), 0);
        EXPECT_EQ(enregistrements(c.enregistrements), 1u);
        LectureDonnees lecture(referentiel.get());
        double veille = 0, jour = 0;
        EXPECT_EQ(c.lire(lecture, c.effet.retrancherJours(1), veille), 0);
        EXPECT_EQ(c.lire(lecture, c.effet, jour), 0);
        EXPECT_DOUBLE_EQ(veille, c.avant);
        EXPECT_DOUBLE_EQ(jour, c.apres);
        // The new row keeps the end of the row it copies.
        if (c.refusee > c.effet) {
            EXPECT_EQ(c.lire(lecture, c.refusee, jour), KPX_CR_RIEN_EN_VIGUEUR);
        }

        ASSERT_EQ(c.annuler(modification), 0);
        EXPECT_EQ(octets(*referentiel, c.lignes), lignes);
        if (c.parents != 0) {
            EXPECT_EQ(octets(*referentiel, c.parents), parents);
        }
        EXPECT_EQ(enregistrements(c.enregistrements), 0u);
    }
}

TEST_F(ModificationDonneesTest, CancellingOneThresholdReplaysTheOtherPositionsChanges) {
    ASSERT_EQ(charger(), 0);
    ModificationDonnees modification(referentiel.get());
    ASSERT_EQ(modification.modifierSeuil(d(2015, 1, 1), 1, 111.0, true), 0);
    ASSERT_EQ(modification.modifierSeuil(d(2016, 1, 1), 4, 444.0, true), 0);
    ASSERT_EQ(modification.modifierSeuil(d(2017, 1, 1), 1, 112.0, true), 0);
    ASSERT_EQ(modification.annulerModificationsSeuilExoTM(1), 0);
    LectureDonnees lecture(referentiel.get());
    struct Cas {
        Date date;
        int32_t position;
        double seuil;
    };
    for (const Cas& c : {Cas{d(2015, 12, 31), 4, 150.0}, Cas{d(2016, 1, 1), 4, 444.0}, Cas{d(2018, 1, 1), 1, 120.0},
                         Cas{d(2018, 1, 1), 4, 444.0}, Cas{d(2009, 1, 1), 1, 100.0}}) {
        Montant seuil;
        EXPECT_EQ(lecture.rechercherSeuilExoTM(c.date, Nombre(c.position), seuil), 0);
        EXPECT_DOUBLE_EQ(seuil.valeur(), c.seuil) << c.date.chaine() << " " << c.position;
    }
    EXPECT_EQ(enregistrements(ModificationSeuil::kIdentifiant), 1u);
    EXPECT_EQ(referentiel->table(Seuil::kIdentifiant)->nombreLignes(), 3u);
}

TEST_F(ModificationDonneesTest, StoredRecordsAreReplayedAtLoadAndAtEachActRead) {
    // Supplement first in the file but dated before the price: the act's records are
    // applied by activity, phase and date, not table by table.
    auto& prixPhase0 = cleActe(constructeur.ajouter<ModificationPrixUnitaire>(), "BBBB002", '1', '0', d(2021, 1, 1));
    prixPhase0.grille = 1;
    prixPhase0.prixUnitaire = 65.0;
    cleActe(constructeur.ajouter<ModificationSupplementCharge>(), "BBBB002", '1', '0', d(2020, 1, 1))
        .nouveauSupplement = 8.0;
    cleActe(constructeur.ajouter<ModificationCodeRegroupement>(), "BBBB002", '4', d(2021, 1, 1)).nouveauCode = "ADC";
    auto& seuil = constructeur.ajouter<ModificationSeuil>();
    seuil.positionSeuil = 3;
    seuil.dateEffet = d(2012, 1, 1);
    seuil.nouveauSeuil = 160.0;
    auto& nouveau = constructeur.ajouter<ModificationNouveauCodeRegroupement>();
    nouveau.dateEffet = d(2020, 1, 1);
    nouveau.nouveauCodeRegroupement = "ZZZ";
    nouveau.nouveauLibelle = "Local";
    ASSERT_EQ(charger(true), 0);

    EXPECT_EQ(prix("0", d(2020, 12, 31)), "50.00");
    EXPECT_EQ(prix("0", d(2021, 1, 1)), "65.00");
    LectureDonnees lecture(referentiel.get());
    Montant montant;
    EXPECT_EQ(lecture.rechercherSupplementCharge("BBBB002", "1", "0", d(2021, 1, 1), montant), 0);
    EXPECT_DOUBLE_EQ(montant.valeur(), 8.0);
    EXPECT_EQ(lecture.rechercherSupplementCharge("BBBB002", "1", "0", d(2019, 12, 31), montant), 0);
    EXPECT_DOUBLE_EQ(montant.valeur(), 5.5);
    Code code;
    EXPECT_EQ(lecture.rechercherCodeRegroupement("BBBB002", "4", d(2021, 1, 1), code), 0);
    EXPECT_STREQ(code.chaine(), "ADC");
    EXPECT_EQ(lecture.rechercherSeuilExoTM(d(2012, 1, 1), Nombre(3), montant), 0);
    EXPECT_DOUBLE_EQ(montant.valeur(), 160.0);
    Texte libelle;
    EXPECT_EQ(lecture.rechercherLibelleCode(Nombre(9), "ZZZ", libelle), 0);
    EXPECT_STREQ(libelle.chaine(), "Local");
}

TEST_F(ModificationDonneesTest, ARecordTheDataRefusesStopsTheLoadOrTheActRead) {
    // Before the newest threshold row: the load stops with the replay's code.
    auto& seuil = constructeur.ajouter<ModificationSeuil>();
    seuil.positionSeuil = 1;
    seuil.dateEffet = d(2005, 1, 1);
    EXPECT_EQ(charger(true), KPX_CR_DATE_EFFET_REFUSEE);

    // A price of a grid the phase lacks fails the act's read only, every time it is tried.
    constructeur.vider(ModificationSeuil::kIdentifiant);
    cleActe(constructeur.ajouter<ModificationPrixUnitaire>(), "BBBB002", '1', '0', d(2021, 1, 1)).grille = 9;
    ASSERT_EQ(charger(true), 0);
    EXPECT_EQ(this->prix("0", d(2021, 1, 1)), "#D002");
    EXPECT_EQ(this->prix("0", d(2021, 1, 1)), "#D002");
    LectureDonnees lecture(referentiel.get());
    Texte libelle;
    EXPECT_EQ(lecture.rechercherLibelleCourt("AAAA001", libelle), 0);
}
