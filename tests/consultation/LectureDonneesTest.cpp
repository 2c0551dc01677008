// The query layer over a loaded référentiel: the reader and writer places, the act
// lookup and its lazy loading, and the act queries at their dates (the plain fixed
// data of an act is each a consultation function's answer, checked by the host tests).
#include <gtest/gtest.h>

#include "KPXW32.h"
#include "consultation/ParcoursReferentiel.h"
#include "consultation/ReferentielDeRequetes.h"
#include "kpxbuild/TraceDetailCapturee.h"
#include "referentiel/lignes/Index.h"

using requetes::d;

TEST(LectureDonnees, ReadersShareTheReferentielAndTheWriterHoldsItAlone) {
    using Place = LectureDonnees::Place;
    TraceDetailCapturee trace;
    for (Place place : {Place::lecteur, Place::ecrivain}) {
        LectureDonnees sansReferentiel(nullptr, place);
        EXPECT_EQ(sansReferentiel.ouvrir(), KPX_CR_NON_CHARGE);
    }
    EXPECT_TRUE(trace.contient("Référentiel non chargé en mémoire"));

    Referentiel referentiel;
    {
        LectureDonnees ecrivain(&referentiel, Place::ecrivain);
        ASSERT_EQ(ecrivain.ouvrir(), 0);
        LectureDonnees lecteur(&referentiel);
        EXPECT_EQ(lecteur.ouvrir(), KPX_CR_OCCUPE);
        EXPECT_TRUE(trace.contient("Référentiel en cours de modification (1 écrivain)"));
        LectureDonnees second(&referentiel, Place::ecrivain);
        EXPECT_EQ(second.ouvrir(), KPX_CR_OCCUPE);
        EXPECT_TRUE(trace.contient("Référentiel en cours de lecture ou de modification (0 lecteurs, 1 écrivain)"));
        EXPECT_EQ(referentiel.nombreLecteurs(), 0);
        EXPECT_EQ(referentiel.nombreEcrivains(), 1);
    }
    // The writer gave its place back when destroyed; the refused ones had none to give.
    EXPECT_EQ(referentiel.nombreEcrivains(), 0);
    {
        LectureDonnees premiere(&referentiel);
        LectureDonnees seconde(&referentiel);
        EXPECT_EQ(premiere.ouvrir(), 0);
        EXPECT_EQ(seconde.ouvrir(), 0);
        EXPECT_EQ(referentiel.nombreLecteurs(), 2);
        LectureDonnees ecrivain(&referentiel, Place::ecrivain);
        EXPECT_EQ(ecrivain.ouvrir(), KPX_CR_OCCUPE);
        EXPECT_TRUE(trace.contient("Référentiel en cours de lecture ou de modification (2 lecteurs, 0 écrivain)"));
        premiere.fermer();
        premiere.fermer();  // a place is given back once
        EXPECT_EQ(referentiel.nombreLecteurs(), 1);
    }
    EXPECT_EQ(referentiel.nombreLecteurs(), 0);
    LectureDonnees ecrivain(&referentiel, Place::ecrivain);
    EXPECT_EQ(ecrivain.ouvrir(), 0);
}

TEST_F(LectureDonneesTest, ActIsReadOnFirstUseAndKeptInItsIndexSlot) {
    Booleen charge(true);
    ASSERT_EQ(lecture.rechercherChargementActe("BBBB002", charge), 0);
    EXPECT_FALSE(charge.valeur());

    NiveauActe* premier = nullptr;
    ASSERT_EQ(lecture.chercherActe("BBBB002", premier), 0);
    ASSERT_NE(premier, nullptr);
    EXPECT_EQ(premier->libelleCourt, "Court");
    ASSERT_EQ(lecture.rechercherChargementActe("BBBB002", charge), 0);
    EXPECT_TRUE(charge.valeur());
    NiveauActe* second = nullptr;
    ASSERT_EQ(lecture.chercherActe("BBBB002", second), 0);
    EXPECT_EQ(second, premier);

    Index* ligne = nullptr;
    ASSERT_EQ(lecture.chercherActeDansIndex("BBBB002", ligne), 0);
    EXPECT_EQ(ligne->acte(), premier);
    Nombre position;
    ASSERT_EQ(lecture.rechercherPositionActe("BBBB002", position), 0);
    EXPECT_EQ(static_cast<uint32_t>(position.valeur()), ligne->positionActe);
    EXPECT_GT(position.valeur(), 0);
}

TEST_F(LectureDonneesTest, ActCodesArePaddedToThirteenAndLongerOnesRefusedBeforeAnySearch) {
    Index* ligne = nullptr;
    // Twelve characters: found through a one-space padding.
    ASSERT_EQ(lecture.chercherActeDansIndex("CCCC00300000", ligne), 0);
    EXPECT_EQ(ligne->codeActe, "CCCC00300000 ");
    uint16_t cr = 0;
    EXPECT_EQ(LectureDonnees::initBufferCode(Code("CCCC0030"), 13, cr), "CCCC0030     ");
    EXPECT_EQ(cr, 0);

    EXPECT_EQ(lecture.chercherActeDansIndex("CCCC003000001", ligne), KPX_CR_ELEMENT_ABSENT);
    NiveauActe* acte = nullptr;
    EXPECT_EQ(lecture.chercherActe("CCCC0030000012", acte), KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_EQ(acte, nullptr);
    // One character for an activity or a phase code.
    NiveauActivite* activite = nullptr;
    EXPECT_EQ(lecture.chercherActivite("BBBB002", "14", activite), KPX_CR_DONNEES_INCOHERENTES);
    NiveauPhase* phase = nullptr;
    EXPECT_EQ(lecture.chercherPhase("BBBB002", "1", "01", phase), KPX_CR_DONNEES_INCOHERENTES);

    // Existence answers no for an absent act, yet still refuses an oversized code.
    Booleen existe(true);
    EXPECT_EQ(lecture.rechercherExistenceActe("ZZZZ999", existe), 0);
    EXPECT_FALSE(existe.valeur());
    EXPECT_EQ(lecture.rechercherExistenceActe("AAAA001", existe), 0);
    EXPECT_TRUE(existe.valeur());
    EXPECT_EQ(lecture.rechercherExistenceActe("AAAA001AAAA001", existe), KPX_CR_DONNEES_INCOHERENTES);
}

TEST_F(LectureDonneesTest, AnActBeingLoadedIsRefusedAndAFailedLoadClearsItsSlot) {
    Index* ligne = nullptr;
    ASSERT_EQ(lecture.chercherActeDansIndex("AAAA001", ligne), 0);
    ASSERT_TRUE(ligne->echangerActe(nullptr, Index::enChargement()));
    NiveauActe* acte = nullptr;
    EXPECT_EQ(lecture.chercherActe("AAAA001", acte), KPX_CR_OCCUPE);
    EXPECT_EQ(ligne->acte(), Index::enChargement());  // not read a second time
    Booleen charge(true);
    EXPECT_EQ(lecture.rechercherChargementActe("AAAA001", charge), 0);
    EXPECT_FALSE(charge.valeur());
    ASSERT_TRUE(ligne->echangerActe(Index::enChargement(), nullptr));

    // An offset inside the record: the read fails, the slot is empty again, a later call retries.
    ASSERT_EQ(lecture.chercherActeDansIndex("BBBB002", ligne), 0);
    const uint32_t bonne = ligne->positionActe;
    ligne->positionActe = bonne + 3;
    EXPECT_EQ(lecture.chercherActe("BBBB002", acte), KPX_CR_LECTURE);
    EXPECT_EQ(ligne->acte(), nullptr);
    ligne->positionActe = bonne;
    EXPECT_EQ(lecture.chercherActe("BBBB002", acte), 0);
    EXPECT_EQ(ligne->acte(), acte);
}

TEST_F(LectureDonneesTest, ActVersionListsAreTakenAtTheDateAndTrimmed) {
    TypeListe<Code> liste;
    ASSERT_EQ(lecture.rechercherCodesExonerationTM("BBBB002", d(2012, 1, 1), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"3", "5"}));
    ASSERT_EQ(lecture.rechercherCodesExonerationTM("BBBB002", d(2006, 1, 1), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"0"}));
    // Read where the version holds them: the same codes.
    VueCodesOctet vue;
    ASSERT_EQ(lecture.rechercherCodesExonerationTM("BBBB002", d(2012, 1, 1), vue), 0);
    ASSERT_EQ(vue.nombre(), 2u);
    EXPECT_TRUE(vue.element(0) == Code("3") && vue.element(1) == Code("5"));
    EXPECT_EQ(lecture.rechercherCodesExonerationTM("ZZZZ999", d(2012, 1, 1), vue), KPX_CR_ELEMENT_ABSENT);
    EXPECT_EQ(vue.nombre(), 0u);
    ASSERT_EQ(lecture.rechercherProcedures("BBBB002", d(2012, 1, 1), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"PROC001"}));
    ASSERT_EQ(lecture.rechercherActesIncompatibles("BBBB002", d(2012, 1, 1), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"AAAA001", "CCCC00300000"}));
    // The list is emptied first: the older version has none.
    ASSERT_EQ(lecture.rechercherActesIncompatibles("BBBB002", d(2006, 1, 1), liste), 0);
    EXPECT_EQ(liste.nombre(), 0);
    // F01 ends on 2010-12-31 inclusive.
    ASSERT_EQ(lecture.rechercherActesForfaitCMU("BBBB002", d(2010, 12, 31), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"F01", "F02"}));
    ASSERT_EQ(lecture.rechercherActesForfaitCMU("BBBB002", d(2011, 1, 1), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"F02"}));
    Booleen entente;
    ASSERT_EQ(lecture.rechercherEntentePrealable("BBBB002", d(2012, 1, 1), entente), 0);
    EXPECT_TRUE(entente.valeur());
    ASSERT_EQ(lecture.rechercherEntentePrealable("BBBB002", d(2006, 1, 1), entente), 0);
    EXPECT_FALSE(entente.valeur());
    EXPECT_EQ(lecture.rechercherProcedures("BBBB002", d(2000, 1, 1), liste), KPX_CR_RIEN_EN_VIGUEUR);
}

TEST_F(LectureDonneesTest, PhaseDataAndOverseasPositions) {
    Periode age;
    ASSERT_EQ(lecture.rechercherAgeMinimal("BBBB002", "1", "0", age), 0);
    EXPECT_EQ(age, Periode(2, 0));
    ASSERT_EQ(lecture.rechercherAgeMaximal("BBBB002", "1", "0", age), 0);
    EXPECT_EQ(age, Periode(99, 0));
    Code code;
    ASSERT_EQ(lecture.rechercherNombreDents("BBBB002", "1", "0", code), 0);
    EXPECT_EQ(code, "02");
    ASSERT_EQ(lecture.rechercherNombreDents("BBBB002", "1", "1", code), 0);
    EXPECT_EQ(code, "");
    TypeListe<Code> dents;
    ASSERT_EQ(lecture.rechercherDentsIncompatibles("BBBB002", "1", "0", dents), 0);
    EXPECT_EQ(textesDe(dents), (Textes{"11", "12"}));
    Montant supplement;
    ASSERT_EQ(lecture.rechercherSupplementCharge("BBBB002", "1", "0", d(2010, 3, 1), supplement), 0);
    EXPECT_DOUBLE_EQ(supplement.valeur(), 5.5);
    ASSERT_EQ(lecture.rechercherSupplementCharge("BBBB002", "1", "0", d(2010, 2, 1), supplement), 0);
    EXPECT_DOUBLE_EQ(supplement.valeur(), 0.0);

    Coefficient majoration;
    for (int position = 1; position <= 4; ++position) {
        ASSERT_EQ(lecture.rechercherMajorationDOM("BBBB002", "1", "0", Nombre(position), d(2011, 1, 1), majoration),
                  0);
        EXPECT_DOUBLE_EQ(majoration.valeur(), 1.0 + position / 10.0);
    }
    for (int position : {0, 5}) {
        EXPECT_EQ(lecture.rechercherMajorationDOM("BBBB002", "1", "0", Nombre(position), d(2011, 1, 1), majoration),
                  KPX_CR_DONNEES_INCOHERENTES);
    }

    // Prices are per grid; grid 3 is priced only from 2010.
    Montant prix;
    ASSERT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(3), d(2010, 3, 1), prix), 0);
    EXPECT_DOUBLE_EQ(prix.valeur(), 55.0);
    ASSERT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(1), d(2010, 2, 28), prix), 0);
    EXPECT_DOUBLE_EQ(prix.valeur(), 40.0);
    EXPECT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(3), d(2010, 2, 28), prix),
              KPX_CR_ELEMENT_ABSENT);
}

// Row keys against padded searched keys: compared as words for the wide ones, byte by byte
// otherwise, bytes read as unsigned either way.
TEST(LectureDonnees, KeysCompareAsUnsignedBytesPaddedWithSpaces) {
    const struct {
        std::string champ;
        const char* code;
        size_t largeur;
        int signe;
    } cas[] = {
        {"AAAA001      ", "AAAA001", 13, 0},
        {"AAAA001      ", "AAAA002", 13, -1},
        {"BAAA001      ", "AAAA002", 13, 1},  // the first byte that differs decides
        {"\xE9" "AAA001      ", "ZAAA001", 13, 1},
        {"CCCC00300000A", "CCCC00300000", 13, 1},
        {"CCCC0030X000 ", "CCCC0030A000", 13, 1},
        {"PROD780   ", "PROD781", 10, -1},
        {"AB", "AB", 13, 0},
        {"AB", "ABC", 13, -1},
        {"01", "02", 2, -1},
    };
    auto signe = [](int c) { return (c > 0) - (c < 0); };
    for (const auto& c : cas) {
        uint16_t cr = 0;
        const CleFixe cle(Code(c.code), c.largeur, cr);
        ASSERT_EQ(cr, 0);
        EXPECT_EQ(std::string(cle.c_str()), LectureDonnees::initBufferCode(Code(c.code), c.largeur, cr));
        EXPECT_EQ(signe(comparerCle(c.champ, cle)), c.signe) << c.champ << " / " << c.code;
        EXPECT_EQ(signe(comparerCle(c.champ, std::string(cle.data(), cle.size()))), c.signe) << c.champ;
    }
    uint16_t cr = 0;
    const CleFixe trop(Code("ABCD"), 3, cr);
    EXPECT_EQ(cr, KPX_CR_DONNEES_INCOHERENTES);
}

// A reader keeps under each act the last version, activity and phase it found: the same
// questions asked in any order, across acts, levels and dates, answer as the searches do,
// errors included, and the same again with the trace on (where every search is made).
TEST_F(LectureDonneesTest, KeptDescentsAnswerAsTheSearchesWhateverTheOrder) {
    struct Question {
        const char* acte;
        const char* activite;  // null: a question on the act
        const char* phase;     // null: a question on the activity
        Date date;
        uint16_t cr;
        const char* reponse;  // admission code, medical category or price of grid 1
    };
    const Question questions[] = {
        {"BBBB002", nullptr, nullptr, d(2012, 1, 1), 0, "2"},
        {"BBBB002", "1", "0", d(2010, 3, 1), 0, "50.00"},
        {"BBBB002", "1", nullptr, d(2012, 1, 1), 0, "04"},
        {"CCCC00300000", nullptr, nullptr, d(2012, 1, 1), 0, "1"},
        {"BBBB002", nullptr, nullptr, d(2006, 1, 1), 0, "1"},
        {"BBBB002", "1", "0", d(2010, 2, 28), 0, "40.00"},
        {"BBBB002", "1", "1", d(2010, 2, 28), 0, "7.00"},
        {"BBBB002", "4", nullptr, d(2012, 1, 1), 0, "01"},
        {"BBBB002", "4", "1", d(2010, 2, 28), KPX_CR_ELEMENT_ABSENT, nullptr},  // activity 4 has no phase
        {"BBBB002", "9", nullptr, d(2012, 1, 1), KPX_CR_ELEMENT_ABSENT, nullptr},
        {"BBBB002", nullptr, nullptr, d(2000, 1, 1), KPX_CR_RIEN_EN_VIGUEUR, nullptr},
        {"BBBB00", nullptr, nullptr, d(2012, 1, 1), KPX_CR_ELEMENT_ABSENT, nullptr},
        {"CCCC00300000", "1", nullptr, d(2012, 1, 1), 0, "01"},
        {"BBBB002", "1", "0", d(2010, 3, 1), 0, "50.00"},
        {"BBBB002", nullptr, nullptr, d(2012, 1, 1), 0, "2"},
        {"BBBB002", "1", nullptr, d(2012, 1, 1), 0, "04"},
    };

    auto demander = [](LectureDonnees& lecture, const Question& q, std::string& reponse) {
        reponse.clear();
        uint16_t cr = 0;
        if (q.activite == nullptr) {
            Code code;
            cr = lecture.rechercherAdmissionRemboursement(q.acte, q.date, code);
            if (cr == 0) reponse = code.chaine();
        } else if (q.phase == nullptr) {
            Code code;
            cr = lecture.rechercherCategorieMedicale(q.acte, q.activite, q.date, code);
            if (cr == 0) reponse = code.chaine();
        } else {
            Montant prix;
            cr = lecture.rechercherPrixUnitaire(q.acte, q.activite, q.phase, Nombre(1), q.date, prix);
            char texte[32];
            std::snprintf(texte, sizeof texte, "%.2f", prix.valeur());
            if (cr == 0) reponse = texte;
        }
        return cr;
    };
    for (int passe = 0; passe < 2; ++passe) {
        for (const Question& q : questions) {
            std::string reponse;
            EXPECT_EQ(demander(lecture, q, reponse), q.cr) << "pass " << passe << ", " << q.acte << " " << q.date.chaine();
            EXPECT_EQ(reponse, q.reponse != nullptr ? q.reponse : "") << "pass " << passe << ", " << q.acte;
        }
    }

    TraceDetailCapturee trace;
    LectureDonnees tracee(&referentiel);
    ASSERT_EQ(tracee.ouvrir(), 0);
    for (const Question& q : questions) {
        std::string premiere, seconde;
        trace.effacer();
        EXPECT_EQ(demander(tracee, q, premiere), q.cr);
        const std::vector<std::string> lignes = trace.lignes();
        trace.effacer();
        EXPECT_EQ(demander(tracee, q, seconde), q.cr);
        EXPECT_EQ(seconde, premiere);
        EXPECT_EQ(trace.lignes(), lignes) << q.acte;
    }
}

// What a reader kept goes with its place; the writer, which changes the levels, keeps nothing.
TEST_F(LectureDonneesTest, KeptDescentsFollowTheWritersNewVersions) {
    Code code;
    ASSERT_EQ(lecture.rechercherAdmissionRemboursement("BBBB002", d(2012, 1, 1), code), 0);
    EXPECT_EQ(code, "2");
    Nombre actes;
    ASSERT_EQ(lecture.rechercherNombreActeAssociation(d(2012, 1, 1), actes), 0);
    EXPECT_EQ(actes.valeur(), 4);
    lecture.fermer();

    LectureDonnees ecrivain(&referentiel, LectureDonnees::Place::ecrivain);
    ASSERT_EQ(ecrivain.ouvrir(), 0);
    ASSERT_EQ(ecrivain.rechercherAdmissionRemboursement("BBBB002", d(2012, 1, 1), code), 0);
    NiveauActe* acte = nullptr;
    ASSERT_EQ(ecrivain.chercherActe("BBBB002", acte), 0);
    std::unique_ptr<HistoriqueNiveauActe> nouvelle(new HistoriqueNiveauActe(*acte->premierHistorique()));
    nouvelle->dateEffet = d(2011, 1, 1);
    nouvelle->admissionRemboursement = '3';
    nouvelle->lienSuivant() = std::move(acte->teteHistoriques());
    acte->teteHistoriques() = std::move(nouvelle);
    ASSERT_EQ(ecrivain.rechercherAdmissionRemboursement("BBBB002", d(2012, 1, 1), code), 0);
    EXPECT_EQ(code, "3");
    // A dated row put first is the one in force, and the row the reader kept is still there.
    std::unique_ptr<NombreActeAssociation> ligne(new NombreActeAssociation);
    ligne->dateDebut = d(2011, 1, 1);
    ligne->nombreActes = 6;
    ASSERT_EQ(referentiel.table(NombreActeAssociation::kIdentifiant)
                  ->insererLigne(0, std::move(ligne), referentiel.tablesParentes(NombreActeAssociation::kIdentifiant)),
              0);
    ecrivain.fermer();

    ASSERT_EQ(lecture.ouvrir(), 0);
    ASSERT_EQ(lecture.rechercherAdmissionRemboursement("BBBB002", d(2012, 1, 1), code), 0);
    EXPECT_EQ(code, "3");
    ASSERT_EQ(lecture.rechercherAdmissionRemboursement("BBBB002", d(2010, 6, 1), code), 0);
    EXPECT_EQ(code, "2");
    ASSERT_EQ(lecture.rechercherNombreActeAssociation(d(2012, 1, 1), actes), 0);
    EXPECT_EQ(actes.valeur(), 6);
}

// Three hundred acts, more than the first slots hold: each is still found as itself, in any
// order, while its slots grow and after.
class LectureDonneesNombreuxActesTest : public LectureDonneesTest {
protected:
    static constexpr int kActes = 300;
    static std::string code(int i) {
        char texte[16];
        std::snprintf(texte, sizeof texte, "TEST%03d", i);
        return texte;
    }
    void personnaliser(ConstructeurReferentiel& c) override {
        for (int i = 0; i < kActes; ++i) c.ajouterActe(ConstructeurReferentiel::acteSimple(code(i), 10.0 + i));
    }
};

TEST_F(LectureDonneesNombreuxActesTest, EveryActIsFoundAsItselfWhileTheSlotsGrow) {
    for (int passe = 0; passe < 3; ++passe) {
        for (int k = 0; k < kActes; ++k) {
            const int i = passe == 0 ? k : (k * 7 + passe) % kActes;  // in order, then scattered
            NiveauActe* acte = nullptr;
            ASSERT_EQ(lecture.chercherActe(code(i).c_str(), acte), 0) << code(i);
            EXPECT_EQ(acte->codeStructure.substr(0, 7), code(i));
            Montant prix;
            ASSERT_EQ(lecture.rechercherPrixUnitaire(code(i).c_str(), "1", "0", Nombre(1), d(2012, 1, 1), prix), 0);
            EXPECT_DOUBLE_EQ(prix.valeur(), 10.0 + i) << code(i);
        }
    }
}

// The other header values are those of the version zone, checked byte for byte by the host tests.
TEST_F(LectureDonneesTest, MinimumSoftwareVersionOfTheHeader) {
    Code code;
    ASSERT_EQ(lecture.lireVersionMinLogicielle(code), 0);
    EXPECT_EQ(code, "0300");
}
