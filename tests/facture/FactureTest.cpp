// The invoice model: lines grouped into associations and sessions, travel lines
// attached, violations recorded with their forcing indicators and the rules they
// make unverifiable, the error list that cannot grow, and the dumps.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "facture/Facture.h"
#include "facture/ReferencesNonVerifiables.h"
#include "facture/TraceFacture.h"
#include "facture/Regles.h"
#include "referentiel/lignes/Modifications.h"
#include "support/ConstructeurReferentiel.h"
#include "support/FactureDeTest.h"
#include "support/ReferentielDeRegles.h"
#include "support/TraceCapturee.h"

using facture::decrire;
using facture::ligneActe;
using facture::ligneCCAM;

namespace {

const Date D(2024, 1, 1);
const Date D2(2024, 1, 2);

// Line numbers of each link of a chain: "1,3|2".
template <class Maillon>
std::string chaine(const Maillon* m) {
    std::string texte;
    for (; m != nullptr; m = m->suivante.get()) {
        if (!texte.empty()) texte += "|";
        for (size_t i = 0; i < m->lignes.size(); ++i)
            texte += (i > 0 ? "," : "") + std::to_string(m->lignes[i]->valeurNumero());
    }
    return texte;
}

class FactureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(referentiel.pret()); }

    // A violation as its rule fills it.
    Erreur violation(const char* regle) {
        Erreur erreur;
        EXPECT_EQ(regles.copierValeurErreur(erreur, regle, {"X", "Y", "Z", "W"}), 0) << regle;
        return erreur;
    }

    ReferentielDeRegles referentiel{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    Regles regles{referentiel.lecture()};
    TypeListe<Erreur> erreurs;
};

}  // namespace

TEST(Facture, AssociationsAndSessionsAreBuiltFromTheLines) {
    Facture facture;
    facture.ajouterLigne(ligneCCAM(1, D, "A1"));
    facture.ajouterLigne(ligneCCAM(2, D, "A2", "", {}, "4"));
    facture.ajouterLigne(ligneCCAM(3, D, "A3"));
    facture.ajouterLigne(ligneActe(4, D2));
    facture.ajouterLigne(ligneCCAM(5, D2, "A5"));
    facture.ajouterLigne(ligneCCAM(6, D, "A6", "", {}, "1", "P2"));
    facture.construireAssociations();
    facture.construireSeances();

    EXPECT_EQ(chaine(facture.associations.get()), "1,3|2|5|6");
    EXPECT_EQ(facture.associations->suivante->numero.valeur(), 2);
    EXPECT_EQ(facture.lignes[2]->commeLigneCCAM()->association, facture.associations.get());
    EXPECT_EQ(chaine(facture.seances.get()), "1,2,3,6|5");
    EXPECT_EQ(chaine(facture.seancesDeplacement.get()), "1,2,3,6|4,5");
    EXPECT_EQ(facture.lignes[4]->commeLigneCCAM()->seance, facture.seances->suivante.get());
    EXPECT_EQ(facture.seances->seanceExoneree, "3");

    // Built again from scratch: nothing is appended twice.
    facture.construireAssociations();
    facture.construireSeances();
    EXPECT_EQ(chaine(facture.associations.get()), "1,3|2|5|6");
    EXPECT_EQ(chaine(facture.seancesDeplacement.get()), "1,2,3,6|4,5");

    // A CCAM line disengaged disengages its association and its session, nothing else.
    facture.lignes[1]->debrayer();
    EXPECT_TRUE(facture.associations->suivante->topDebrayage);
    EXPECT_FALSE(facture.associations->topDebrayage);
    EXPECT_TRUE(facture.seances->topDebrayage);
    EXPECT_FALSE(facture.seances->suivante->topDebrayage);
}

// Long sessions answer through an index of their acts: the same line as a walk, also
// between acts that share their first eight bytes.
TEST(Facture, ASessionFindsTheFirstOtherLineOfAnActAsAWalkWould) {
    const char* const codes[] = {"A1", "A2", "ABCDEFGH", "ABCDEFGH1", "ABCDEFGH2"};
    uint32_t graine = 12345;
    const auto tirer = [&graine](uint32_t n) {
        graine = graine * 1103515245u + 12345u;
        return (graine >> 16) % n;
    };
    for (size_t taille : {1u, 5u, 16u, 17u, 40u}) {
        Facture facture;
        for (size_t i = 0; i < taille; ++i)
            facture.ajouterLigne(ligneCCAM(static_cast<int32_t>(i + 1), D, codes[tirer(5)]));
        facture.construireSeances();
        const Seance& seance = *facture.seances;
        for (int essai = 0; essai < 50; ++essai) {
            ListeCodes actes;
            for (uint32_t k = tirer(3); k > 0; --k) actes.ajouter(Code(codes[tirer(5)]));
            const size_t sauf = tirer(static_cast<uint32_t>(taille));
            const LigneCCAM* attendue = nullptr;
            for (size_t i = 0; attendue == nullptr && i < taille; ++i)
                if (i != sauf && actes.contient(*seance.lignes[i]->acte)) attendue = seance.lignes[i];
            EXPECT_EQ(seance.ligneParmi(actes, sauf, D), attendue) << taille << " " << essai;
            EXPECT_EQ(seance.ligneParmi(actes, sauf, D2), nullptr);
        }
    }
}

// A group counts the lines holding each reference, through the growth of its table and
// references that no line holds any more.
TEST(Facture, AGroupHoldsAReferenceWhileOneOfItsLinesDoes) {
    ReferencesNonVerifiables groupe;
    const auto liste = [](std::initializer_list<const char*> codes) {
        ListeCodes l;
        for (const char* c : codes) l.ajouter(Code(c));
        return l;
    };
    EXPECT_FALSE(groupe.contient("PROD500"));
    groupe.ajouter(liste({"PROD500", "PROD510"}));
    groupe.ajouter(liste({"PROD500"}));
    groupe.retirer(liste({"PROD500", "PROD510", "PROD999"}));
    EXPECT_TRUE(groupe.contient("PROD500"));  // the second line still holds it
    EXPECT_FALSE(groupe.contient("PROD510"));
    EXPECT_FALSE(groupe.contient("PROD999"));
    groupe.retirer(liste({"PROD500", "PROD500"}));  // never below no line
    groupe.ajouter(liste({"PROD510"}));
    EXPECT_FALSE(groupe.contient("PROD500"));
    EXPECT_TRUE(groupe.contient("PROD510"));
    // Far more references than the first table holds, and codes that differ by their end.
    for (int i = 0; i < 300; ++i) groupe.ajouter(Code(("R" + std::to_string(i)).c_str()));
    for (int i = 0; i < 300; i += 2) groupe.retirer(liste({("R" + std::to_string(i)).c_str()}));
    for (int i = 0; i < 300; ++i) EXPECT_EQ(groupe.contient(("R" + std::to_string(i)).c_str()), i % 2 == 1) << i;
    EXPECT_TRUE(groupe.contient("PROD510"));
    EXPECT_FALSE(groupe.contient("PROD51"));
    EXPECT_FALSE(groupe.contient(""));
}

TEST(Facture, TravelLinesAttachToTheActLineBeforeThem) {
    Facture facture;
    facture.ajouterLigne(ligneCCAM(1, D, "A1"));
    facture.ajouterLigne(ligneActe(2, D, "C"));
    for (int32_t n : {3, 4, 5}) facture.ajouterLigne(ligneActe(n, D, "IK", LigneActe::kDeplacement1));
    facture.ajouterLigne(ligneActe(6, D2, "IK", LigneActe::kDeplacement2));
    EXPECT_EQ(facture.setActeRattachement(0), 0);
    EXPECT_EQ(facture.lignes[0]->rattachement, nullptr);
    for (uint16_t i : {2, 3, 4}) {
        EXPECT_EQ(facture.setActeRattachement(i), 0);
        EXPECT_EQ(facture.lignes[i]->rattachement, facture.lignes[1].get()) << i;
    }
    EXPECT_EQ(facture.setActeRattachement(5), 0xD106);
    EXPECT_EQ(facture.setActeRattachement(6), 0);

    // The parent act is the nearest CCAM line's, and only when it is of the same date.
    EXPECT_EQ(*facture.getActeCcamParent(1), "A1");
    EXPECT_EQ(*facture.getActeCcamParent(4), "A1");
    EXPECT_EQ(facture.getActeCcamParent(0), nullptr);
    facture.ajouterLigne(ligneCCAM(7, D2, "A7"));
    facture.ajouterLigne(ligneActe(8, D, "C"));
    EXPECT_EQ(facture.getActeCcamParent(7), nullptr);
    EXPECT_EQ(facture.getActeCcamParent(9), nullptr);
}

TEST(Facture, HoldsAtMost250Lines) {
    Facture facture;
    for (int32_t n = 1; n <= 250; ++n) ASSERT_EQ(facture.ajouterLigne(ligneActe(n, D)), 0);
    EXPECT_EQ(facture.ajouterLigne(ligneActe(251, D)), KPX_CR_CONSTRUCTION);
    EXPECT_EQ(facture.nombreLignes(), 250);
}

TEST_F(FactureTest, ForcingIndicatorsCombineThroughTheTable) {
    struct Cas {
        std::vector<const char*> regles;
        const char* forcage;
    };
    // PROD510 carries B, PROD190 A, PROD555 B, PROD500 is not overridable.
    const Cas cas[] = {
        {{"PROD190"}, "A"},
        {{"PROD510", "PROD190"}, "E"},  // A over B: the exception
        {{"PROD190", "PROD510"}, "B"},  // B over A: the higher priority
        {{"PROD510", "PROD555"}, "B"},
        {{"PROD500"}, ""},
        {{"PROD530"}, ""},              // overridable, without indicator
    };
    for (const Cas& c : cas) {
        auto ligne = ligneCCAM(4, D, "A1");
        for (const char* regle : c.regles) {
            Erreur erreur = violation(regle);
            ASSERT_EQ(ligne->traiterErreur(erreurs, erreur, regles), 0) << regle;
            EXPECT_FALSE(erreur.estPositionnee());
        }
        EXPECT_EQ(texteDe(ligne->forcage.get()), std::string(c.forcage)) << c.regles[0];
    }
    ASSERT_EQ(erreurs.nombre(), 9);
    EXPECT_EQ(decrire(erreurs.element(1)), "PROD510/O/LPROD510/Acte X hors validite/4/B");
}

// Each pair is answered for itself, the exception's and the priorities' alike, also when two
// pairs share a slot of the combinations kept for the call.
TEST_F(FactureTest, EachPairOfIndicatorsCombinesForItself) {
    struct Cas {
        const char* nouveau;
        const char* present;
        const char* attendu;
    };
    const Cas cas[] = {
        {"A", "R", "A"}, {"A", "2", "2"}, {"A", "R", "A"},  // R below A, 2 above it
        {"A", "B", "E"}, {"B", "A", "B"}, {"G", "G", "G"},
    };
    for (const Cas& c : cas) {
        const Code* resultat = nullptr;
        ASSERT_EQ(regles.combinerIndicateurs(Code(c.nouveau), Code(c.present), resultat), 0) << c.nouveau;
        EXPECT_EQ(texteDe(resultat), std::string(c.attendu)) << c.nouveau << " over " << c.present;
    }
}

TEST_F(FactureTest, AViolationMakesItsLinkedRulesUnverifiableForItsLineOnly) {
    Facture facture;
    facture.ajouterLigne(ligneCCAM(1, D, "A1"));
    facture.ajouterLigne(ligneCCAM(2, D, "A2"));
    facture.construireAssociations();
    facture.construireSeances();
    Erreur erreur = violation("PROD500");
    ASSERT_EQ(facture.lignes[0]->traiterErreur(erreurs, erreur, regles), 0);

    // A line answers as its list does, and so does its copy.
    const LigneActe copie(*facture.lignes[0]);
    struct Cas {
        const char* regle;
        const LigneActe& ligne;
        bool attendu;
    };
    const Cas cas[] = {
        {"PROD510", *facture.lignes[0], false}, {"PROD530", *facture.lignes[0], false},
        {"PROD540", *facture.lignes[0], true},  {"PROD510", *facture.lignes[1], true},
        {"PROD530", copie, false},              {"PROD540", copie, true},
    };
    for (const Cas& c : cas) {
        bool parListe = !c.attendu;
        bool parLigne = !c.attendu;
        ASSERT_EQ(regles.estVerifiable(c.regle, c.ligne.reglesNonVerifiables(), parListe), 0);
        ASSERT_EQ(regles.estVerifiable(c.regle, c.ligne, parLigne), 0);
        EXPECT_EQ(parListe, c.attendu) << c.regle;
        EXPECT_EQ(parLigne, c.attendu) << c.regle;
    }
    bool verifiable = true;
    EXPECT_EQ(regles.estVerifiableAssociation("PROD510", *facture.associations, verifiable), 0);
    EXPECT_FALSE(verifiable);
    EXPECT_EQ(regles.estVerifiableSeance("PROD540", *facture.seances, verifiable), 0);
    EXPECT_TRUE(verifiable);
    EXPECT_EQ(regles.estVerifiable("PROD999", nullptr, verifiable), KPX_CR_ELEMENT_ABSENT);
    EXPECT_FALSE(facture.lignes[0]->forcage);

    // The groups follow their lines' lists: rebuilt after the violation, then the line started afresh.
    facture.construireAssociations();
    facture.construireSeances();
    EXPECT_EQ(regles.estVerifiableAssociation("PROD510", *facture.associations, verifiable), 0);
    EXPECT_FALSE(verifiable);
    facture.lignes[0]->recreerReglesNonVerifiables();
    EXPECT_EQ(regles.estVerifiable("PROD510", *facture.lignes[0], verifiable), 0);
    EXPECT_TRUE(verifiable);
    EXPECT_EQ(regles.estVerifiableAssociation("PROD510", *facture.associations, verifiable), 0);
    EXPECT_TRUE(verifiable);
    EXPECT_EQ(regles.estVerifiableSeance("PROD510", *facture.seances, verifiable), 0);
    EXPECT_TRUE(verifiable);
    // The same violation on the line started afresh brings its linked rules back.
    erreur = violation("PROD500");
    ASSERT_EQ(facture.lignes[0]->traiterErreur(erreurs, erreur, regles), 0);
    EXPECT_EQ(regles.estVerifiable("PROD510", *facture.lignes[0], verifiable), 0);
    EXPECT_FALSE(verifiable);
    EXPECT_EQ(regles.estVerifiableSeance("PROD510", *facture.seances, verifiable), 0);
    EXPECT_FALSE(verifiable);
}

TEST_F(FactureTest, AssociationAndInvoiceErrorsReachTheirLines) {
    Facture facture;
    facture.ajouterLigne(ligneCCAM(1, D, "A1"));
    facture.ajouterLigne(ligneCCAM(2, D, "A2"));
    facture.ajouterLigne(ligneCCAM(3, D2, "A3"));
    facture.construireAssociations();
    facture.construireSeances();
    facture.lignes[1]->forcage = Code("B");

    TraceCapturee trace("facture-association");
    Erreur erreur;
    ASSERT_EQ(regles.copierValeurErreur(erreur, {1, 2}, "PROD190", {"F"}), 0);
    ASSERT_EQ(facture.associations->traiterErreur(erreurs, erreur, regles), 0);
    EXPECT_EQ(decrire(erreurs.element(0)), "PROD190/O/LPROD190/Modificateur F incompatible/1,2/A");
    EXPECT_EQ(texteDe(facture.lignes[0]->forcage.get()), std::string("A"));
    EXPECT_EQ(texteDe(facture.lignes[1]->forcage.get()), std::string("E"));
    EXPECT_FALSE(facture.lignes[2]->forcage);
    const auto lignes = trace.textes();
    EXPECT_NE(std::find(lignes.begin(), lignes.end(), "Le nouveau code forcage de l'acte A1 de l'association est A"),
              lignes.end());

    // The invoice's error names the line first and reaches the session of its date.
    ASSERT_EQ(regles.copierValeurErreur(erreur, {9, 1}, "PROD510"), 0);
    ASSERT_EQ(facture.traiterErreur(erreurs, erreur, Nombre(3), D2, regles), 0);
    EXPECT_EQ(decrire(erreurs.element(1)), "PROD510/O/LPROD510/Acte  hors validite/3,1/B");
    EXPECT_EQ(texteDe(facture.lignes[2]->forcage.get()), std::string("B"));
    EXPECT_EQ(texteDe(facture.lignes[0]->forcage.get()), std::string("A"));
    ASSERT_EQ(regles.copierValeurErreur(erreur, "PROD510", {"X"}), 0);
    ASSERT_EQ(facture.traiterErreur(erreurs, erreur, Nombre(3), D2, regles), 0);
    EXPECT_EQ(decrire(erreurs.element(2)), "PROD510/O/LPROD510/Acte X hors validite/3/B");
    const auto apres = trace.textes();
    EXPECT_NE(std::find(apres.begin(), apres.end(), "Le nouveau code forcage de l'acte n° 3 de l'association est B"),
              apres.end());
}

TEST_F(FactureTest, AListThatCannotGrowKeepsWhatItHeld) {
    auto ligne = ligneCCAM(1, D, "A1");
    for (int i = 0; i < 5; ++i) {
        Erreur erreur = violation("PROD530");
        ASSERT_EQ(ligne->traiterErreur(erreurs, erreur, regles), 0);
    }
    TraceCapturee trace("facture-croissance");
    TypeListe<Erreur>::simulerEchecAgrandissement(1);
    Erreur erreur = violation("PROD190");
    EXPECT_EQ(ligne->traiterErreur(erreurs, erreur, regles), KPX_CR_CONSTRUCTION);
    TypeListe<Erreur>::simulerEchecAgrandissement(0);
    EXPECT_EQ(erreurs.nombre(), 5);
    EXPECT_EQ(erreurs.capacite(), 5);
    EXPECT_EQ(erreurs.element(4).codeRegle(), "PROD530");
    EXPECT_FALSE(ligne->forcage);
    const auto lignes = trace.textes();
    EXPECT_NE(std::find(lignes.begin(), lignes.end(), "ERREUR: allocation d'un tableau de 10 éléments impossible"),
              lignes.end());
    // The next growth works again.
    EXPECT_EQ(ligne->traiterErreur(erreurs, erreur = violation("PROD190"), regles), 0);
    EXPECT_EQ(erreurs.capacite(), 10);
}

TEST_F(FactureTest, CopierValeurErreurFillsTheRecordFromTheRuleInformation) {
    TraceCapturee trace("facture-copier");
    Erreur erreur;
    EXPECT_EQ(regles.copierValeurErreur(erreur, {4, 9}, "PROD240", {4, 9, "HBGD035", "HBGD037", "en trop"}), 0);
    EXPECT_EQ(decrire(erreur), "PROD240/O/LPROD240/Prestations 4 et 9 : HBGD035 et HBGD037/4,9/A");
    Erreur inconnue;
    EXPECT_EQ(regles.copierValeurErreur(inconnue, "PROD999", {1}), KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_FALSE(inconnue.estPositionnee());
    const std::vector<std::string> attendu = {
        "Regles::copierValeurErreur >> IN",
        "Regles::copierValeurErreur << OUT : cr = 0x0000",
        "Regles::copierValeurErreur >> IN",
        "Erreur lors de la consultation des informations de la règle PROD999",
        "Regles::copierValeurErreur << OUT : cr = 0xDFFE",
    };
    EXPECT_EQ(trace.textes(), attendu);
}

TEST_F(FactureTest, LocallyModifiedValuesMarkTheLine) {
    // The act is read before the référentiel holds a modification (a load would refuse it).
    Montant prix;
    ASSERT_EQ(referentiel.lecture().rechercherPrixUnitaire(Code("AAAA001"), Code("1"), Code("0"), Nombre(1), D, prix), 0);
    auto& modification = cleActe(ajouterLigne<ModificationPrixUnitaire>(referentiel.referentiel()), "AAAA001", '1', '0',
                                 Date(2020, 1, 1));
    modification.grille = 1;
    modification.prixUnitaire = 12.0;
    struct Cas {
        const char* avant;
        bool lectureModifiee;
        char lettre;
        const char* apres;
    };
    const Cas cas[] = {{"", true, 'G', "G"}, {"A", true, 'G', "A"}, {"G", true, 'S', "S"}, {"A", false, 'R', "A"},
                       {"", false, 'R', ""}};
    for (const Cas& c : cas) {
        auto ligne = ligneCCAM(1, D, "AAAA001");
        if (*c.avant != '\0') ligne->forcage = Code(c.avant);
        regles.compterModifications(true);
        const Date date = c.lectureModifiee ? D : Date(2019, 1, 1);
        ASSERT_EQ(referentiel.lecture().rechercherPrixUnitaire(Code("AAAA001"), Code("1"), Code("0"), Nombre(1), date,
                                                               prix),
                  0);
        EXPECT_EQ(ligne->marquerForcage(regles, c.lettre), 0);
        EXPECT_EQ(texteDe(ligne->forcage.get()), std::string(c.apres)) << c.avant << c.lettre;
        EXPECT_EQ(regles.lireNombreModifications(), 0u);
    }
}

TEST(Facture, DumpsTraceEveryField) {
    TraceCapturee trace("facture-dump");
    Erreur erreur;
    erreur.definirRegle(
        std::make_shared<const RegleErreur>(RegleErreur{Code("PROD240"), Code("O"), Code("A"), Texte("Libelle %s")}));
    erreur.prestations.ajouter(Nombre(3));
    erreur.prestations.ajouter(Nombre(5));
    erreur.message = "Message 100%";
    erreur.dump();
    auto ligne = ligneActe(7, D, "IK", LigneActe::kDeplacement1);
    ligne->prixUnitaire = Montant(12.5);
    ligne->tauxRemboursement = Coefficient(0.7);
    ligne->forcage = Code("G");
    ligne->dump();
    const std::vector<std::string> attendu = {
        "Erreur::dump >> IN",
        "PROD240 (Outre-passable : O ) :",
        "2 prestations : ",
        "prestations[0] = 3",
        "prestations[1] = 5",
        "indicateur de forcage = A",
        "Libelle %s",
        "Message 100%",
        "Erreur::dump << OUT",
        "LigneActe::dump >> IN",
        "numero              = 7",
        "typeLigne           = 1",
        "date                = 01/01/2024",
        "numeroPS            = P1",
        "specialitePS        = ",
        "prestation          = IK",
        "lieuExecution       = ",
        "identifiantLieu     = ",
        "qualificatifDepense = ",
        "prixUnitaire        = 12.50",
        "baseRemboursement   = 0.00E",
        "tauxRemboursement   = 70%",
        "exonerationTM       = ",
        "ententePrealable    = ",
        "forcage             = G",
        "rattachement        = 0",
        "top débrayage       = faux",
        "baseTheoriqueAMO    = 0.00E",
        "LigneActe::dump << OUT",
    };
    EXPECT_EQ(trace.textes(), attendu);
}

TEST(Facture, InvoiceDumpWalksLinesAssociationsAndSessions) {
    TraceCapturee trace("facture-dump-facture");
    Facture facture;
    facture.numeroPS = Code("12345678");
    facture.natureAssurance = Code("AS");
    facture.ajouterLigne(ligneCCAM(1, D, "HBGD035", "", {"F"}));
    facture.construireAssociations();
    facture.construireSeances();
    facture.dump();
    std::vector<std::string> lignes = trace.textes();
    const std::vector<std::string> entete = {
        "Facture::dump >> IN",         "numeroPS        = 12345678", "conventionPS    = ",
        "specialitePS    = ",          "agrementRadio   = ",         "caissePS        = ",
        "dateNaissance   = ",          "tiersPayant     = ",         "natureAssurance = AS",
        "topDebrayage    = faux",      "LigneCCAM::dump >> IN",
    };
    ASSERT_GT(lignes.size(), entete.size());
    EXPECT_EQ(std::vector<std::string>(lignes.begin(), lignes.begin() + entete.size()), entete);
    const std::vector<std::string> fin = {
        "prixUnitaire        = 0.00E",
        "acte                = HBGD035",
        "modificateur[0]     = F",
        "0 règles non vérifiables ",
        "top réduction       = faux",
        "topActePuMax        = faux",
        "LigneCCAM::dump << OUT",
        "Association n° 1::dump",
        "acte[0] = HBGD035 (ligne = 1)",
        "Seance n° 1::dump",
        "date         = 01/01/2024",
        "topDebrayage = faux",
        "acte[0] = HBGD035 (ligne = 1)",
        "seanceExoneree = 3",
        "Seance n° 1::dump",
        "Facture::dump << OUT",
    };
    // Each of these comes, in this order, among the lines.
    auto position = lignes.begin();
    for (const std::string& attendue : fin) {
        position = std::find(position, lignes.end(), attendue);
        ASSERT_NE(position, lignes.end()) << attendue;
    }
}

// The first line is held in place and the others in a list: both must survive a move,
// a copy and an emptying, in their order.
TEST(Facture, AnErrorsLinesSurviveMovesCopiesAndEmptying) {
    for (int32_t n : {0, 1, 2, 7}) {
        Erreur erreur;
        for (int32_t l = 1; l <= n; ++l) ASSERT_EQ(erreur.prestations.ajouter(Nombre(10 * l)), 0);
        const Erreur copie = erreur;
        Erreur deplacee(std::move(erreur));
        EXPECT_EQ(erreur.prestations.nombre(), 0) << n;
        for (const Erreur* e : std::initializer_list<const Erreur*>{&copie, &deplacee}) {
            ASSERT_EQ(e->prestations.nombre(), n);
            for (int32_t l = 1; l <= n; ++l) EXPECT_EQ(e->prestations.element(l - 1).valeur(), 10 * l) << n;
        }
        deplacee.vider();
        EXPECT_EQ(deplacee.prestations.nombre(), 0);
        ASSERT_EQ(deplacee.prestations.ajouter(Nombre(4)), 0);
        ASSERT_EQ(deplacee.prestations.nombre(), 1);
        EXPECT_EQ(deplacee.prestations.element(0).valeur(), 4);
    }
}

// Rules are kept by the address of their name: more names than the rules object holds in
// place go on to its map, and each keeps answering for its own rule.
TEST_F(FactureTest, RulesBeyondThoseHeldInPlaceAnswerForThemselves) {
    std::vector<std::string> noms(150);
    for (size_t i = 0; i < noms.size(); ++i) noms[i] = i % 2 == 0 ? "PROD240" : "PROD530";
    for (int passe = 0; passe < 2; ++passe)
        for (size_t k = 0; k < noms.size(); ++k) {
            const size_t i = passe == 0 ? k : noms.size() - 1 - k;
            Erreur erreur;
            ASSERT_EQ(regles.copierValeurErreur(erreur, noms[i].c_str()), 0) << i;
            EXPECT_EQ(erreur.codeRegle(), noms[i].c_str()) << i;
            EXPECT_EQ(erreur.libelle(), ("L" + noms[i]).c_str()) << i;
        }
}
