// The control sequences of an invoice over the sample référentiel: the records a
// whole invoice gets and the forcing indicator of each line, for the gates of the
// sequences (reimbursable act, dental act, rules made
// unverifiable, session state), the session rules' view of a line, and the marks of
// locally modified values.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "consultation/LectureDonnees.h"
#include "controle/SequencesControle.h"
#include "referentiel/Referentiel.h"
#include "referentiel/lignes/Modifications.h"
#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"
#include "support/FactureDeTest.h"

namespace {

const Date D(2024, 1, 1);

class SequencesControleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string erreur;
        const std::string& r = repertoireEchantillon(&erreur);
        ASSERT_FALSE(r.empty()) << erreur;
        ASSERT_EQ(referentiel.chargerReferentiel(r.c_str(), r.c_str(), "0302", "1000"), 0);
        ASSERT_EQ(lecture.ouvrir(), 0);
        facture.numeroPS = Code("P1");
        facture.conventionPS = Code("1");
        facture.specialitePS = Code("01");
        facture.caissePS = Code("001");
        facture.dateNaissance = Date(1980, 1, 1);
        facture.natureAssurance = Code("AS");
    }

    // A CCAM line as the sample's cases have it: activity 1, phase 0, grid 1, the
    // référentiel's price as the host's price and base, rate 0.70, exoneration "0".
    LigneCCAM& ccam(int32_t numero, const char* acte, const char* regroupement, const char* specialite,
                    const Date& date = D) {
        auto ligne = facture::ligneCCAM(numero, date, acte);
        Montant prix;
        lecture.rechercherPrixUnitaire(Code(acte), Code("1"), Code("0"), Nombre(1), date, prix);
        ligne->prestation = Code(regroupement);
        ligne->specialitePS = Code(specialite);
        ligne->grilleTarifaire = Nombre(1);
        ligne->prixUnitaire = Montant(prix);
        ligne->baseRemboursement = Montant(prix);
        ligne->tauxRemboursement = Coefficient(0.7);
        ligne->exonerationTM = Code("0");
        LigneCCAM& reference = *ligne;
        facture.ajouterLigne(std::move(ligne));
        return reference;
    }

    // An act or travel line; a travel line is attached to the line before it.
    LigneActe& acte(int32_t numero, const char* prestation, uint32_t type = LigneActe::kActe) {
        auto ligne = facture::ligneActe(numero, D, prestation, type);
        ligne->specialitePS = Code("01");
        ligne->tauxRemboursement = Coefficient(0.7);
        ligne->exonerationTM = Code("0");
        LigneActe& reference = *ligne;
        facture.ajouterLigne(std::move(ligne));
        if (type != LigneActe::kActe) {
            EXPECT_EQ(facture.setActeRattachement(facture.nombreLignes() - 1), 0);
        }
        return reference;
    }

    // "0000 | PROD600:2,3 PROD600:3,2 | - A A": the code, each record with its lines,
    // each line's forcing indicator.
    std::string controler() {
        TypeListe<Erreur> erreurs;
        char code[8];
        std::snprintf(code, sizeof code, "%04X", facture.controler(sequences, erreurs));
        std::string texte = std::string(code) + " |";
        for (uint16_t i = 0; i < erreurs.nombre(); ++i) {
            const Erreur& e = erreurs.element(i);
            texte += std::string(" ") + e.codeRegle().chaine() + ":";
            for (uint16_t j = 0; j < e.prestations.nombre(); ++j)
                texte += (j > 0 ? "," : "") + std::to_string(e.prestations.element(j).valeur());
        }
        texte += " |";
        for (const auto& ligne : facture.lignes)
            texte += std::string(" ") + (ligne->forcage ? ligne->forcage->chaine() : "-");
        return texte;
    }

    Referentiel referentiel;
    LectureDonnees lecture{&referentiel};
    Reglementation reglementation{lecture};
    Tarification tarification{lecture};
    SequencesControle sequences{reglementation, tarification};
    Facture facture;
};

}  // namespace

TEST_F(SequencesControleTest, RecordsAndForcingOfWholeInvoices) {
    struct Cas {
        const char* nom;
        std::function<void()> construire;
        std::string attendu;
    };
    const auto sg = [this] { *facture.natureAssurance = Code("SG"); };
    const auto ccamAvec = [this](int32_t numero, const char* acte, const char* regroupement, const char* specialite,
                                 const char* exoneration, double taux) {
        LigneCCAM& ligne = ccam(numero, acte, regroupement, specialite);
        ligne.exonerationTM = Code(exoneration);
        ligne.tauxRemboursement = Coefficient(taux);
    };
    const Cas cas[] = {
        // A non-reimbursable act gets no base: the host's base above it is not compared.
        {"not reimbursable",
         [&] { ccam(1, "QZMA001", "ADC", "04").baseRemboursement = Montant(50.0); },
         "0000 | PROD760:1 | -"},
        {"reimbursable",
         [&] { ccam(1, "AHQP001", "ATM", "01").baseRemboursement = Montant(50.0); },
         "0000 | PROD880:1 | R"},
        // The tooth rules run for a dental act whose teeth count, for no other (the reimbursable
        // act above is not dental).
        {"dental act without tooth", [&] { ccam(1, "HBGD035", "SDE", "19"); }, "0000 | PROD700:1 PROD702:1 | -"},
        {"dental act whose teeth do not count", [&] { ccam(1, "HBJD001", "SDE", "19"); }, "0000 | | -"},
        // The unknown act makes PROD510 unverifiable for its own line only.
        {"unknown act",
         [&] {
             ccam(1, "ZZZZ999", "ADI", "01", Date(2022, 12, 31));
             ccam(2, "MZQK002", "ADI", "01", Date(2022, 12, 31));
         },
         "0000 | PROD500:1 PROD510:2 | - -"},
        // A travel line of an exonerated session must be exonerated with its act; in a
        // session not exonerated nothing is asked of it.
        {"travel line, session exonerated",
         [&] { ccamAvec(1, "AAQP012", "ATM", "01", "C", 1.0), acte(2, "ID", LigneActe::kDeplacement1); },
         "0000 | PROD792B:2 | - S"},
        {"travel line, session not exonerated",
         [&] { ccamAvec(1, "AAQP012", "ATM", "01", "3", 1.0), acte(2, "ID", LigneActe::kDeplacement1); },
         "0000 | | - -"},
        // The session rules see each CCAM line at its own place in the session,
        // whatever lines of other kinds come before it in the invoice.
        {"incompatible acts after an act line",
         [&] { acte(1, "C"), ccam(2, "HHFA011", "ADC", "04"), ccam(3, "HHFA016", "ADC", "04"), sg(); },
         "0000 | PROD600:2,3 PROD600:3,2 | - A A"},
        // A code from a rule stops the invoice: a dental act has no price on grid 2,
        // and the next line's base is never compared.
        {"query failure",
         [&] {
             ccam(1, "HBJD001", "SDE", "19").grilleTarifaire = Nombre(2);
             ccam(2, "AHQP001", "ATM", "01", Date(2024, 1, 2)).baseRemboursement = Montant(99.0);
         },
         "D002 | | - -"},
    };
    for (const Cas& c : cas) {
        facture.lignes.clear();
        *facture.natureAssurance = Code("AS");
        c.construire();
        EXPECT_EQ(controler(), c.attendu) << c.nom;
    }
}

// Each line control marks the line when it read a value modified locally: 'G' the
// grouping code of the regulatory rules, 'R' the price, 'S' the threshold.
TEST_F(SequencesControleTest, LinesThatReadLocallyModifiedValuesAreMarked) {
    // The acts are read before the records exist: reading an act replays its stored
    // modifications, which is not this test's subject.
    ccam(1, "AHQP001", "ATM", "01");
    ccam(2, "DEQP003", "ATM", "01", Date(2024, 1, 2));
    ccam(3, "QZFA014", "ADC", "04", Date(2024, 1, 3));
    ccam(4, "ZCQK002", "ADI", "01", Date(2024, 1, 4));
    cleActe(ajouterLigne<ModificationPrixUnitaire>(referentiel), "AHQP001", '1', '0', D).grille = 1;
    cleActe(ajouterLigne<ModificationCodeRegroupement>(referentiel), "DEQP003", '1', D).nouveauCode = "ATM";
    auto& seuil = ajouterLigne<ModificationSeuil>(referentiel);
    seuil.positionSeuil = 1;
    seuil.dateEffet = D;

    EXPECT_EQ(controler(), "0000 | | R G S -");
}
