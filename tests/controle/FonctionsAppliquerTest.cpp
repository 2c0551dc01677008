// C_Base against the control of an invoice over the sample: the bases the rule
// function gives for the worked association are those the control sequences compute
// for the same acts, so the control accepts them as the host's and refuses a cent more.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "controle/FonctionsAppliquer.h"
#include "controle/SequencesControle.h"
#include "referentiel/Referentiel.h"
#include "support/Echantillon.h"
#include "support/FactureDeTest.h"
#include "support/ZoneEntree.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneSortie.h"

namespace {

const Date D(2024, 1, 1);

// QZFA014 with K and J under HHFA011, the dearer act: 100.00 x 1.3 x 0.5 = 65.00.
struct Acte {
    const char* acte;
    double prix;
    std::vector<const char*> modificateurs;
};
const Acte kActes[] = {{"HHFA011", 221.18, {}}, {"QZFA014", 100.00, {"K", "J"}}};

class FonctionsAppliquerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string erreur;
        const std::string& r = repertoireEchantillon(&erreur);
        ASSERT_FALSE(r.empty()) << erreur;
        ASSERT_EQ(referentiel.chargerReferentiel(r.c_str(), r.c_str(), "0302", "1000"), 0);
        ASSERT_EQ(lecture.ouvrir(), 0);
        ASSERT_EQ(interface.initialiser(lecture), 0);
    }

    // The three bases of each act as C_Base answers them, in euros.
    std::vector<std::vector<double>> basesAppliquees() {
        std::vector<GroupeEntree> groupes = {{3401, {"1", ""}}};
        for (size_t i = 0; i < 2; ++i) {
            const std::string numero = std::to_string(i + 1);
            std::vector<std::string> m(kActes[i].modificateurs.begin(), kActes[i].modificateurs.end());
            m.resize(4);
            groupes.push_back({3420, {numero, "20240101", "", "", kActes[i].acte, "1", "0", m[0], m[1], m[2], m[3], "",
                                      "", "", "P1", ""}});
            groupes.push_back({3470, {"", "1", "1"}});
            groupes.push_back({3422, {numero, std::to_string(static_cast<int>(kActes[i].prix * 100 + 0.5))}});
        }
        const std::vector<uint8_t> octets = zone(groupes);
        ZoneKPX entree(octets.data(), static_cast<uint32_t>(octets.size()));
        const SuperGroupe* racine = nullptr;
        uint16_t numero = 0;
        EXPECT_EQ(interface.lireSuperGroupeRegle(Code("C_Base"), racine, numero), 0);
        ZoneSortie sortie;
        EXPECT_EQ(FonctionsAppliquer::appliquer(lecture, racine, numero, &entree, sortie), 0);
        std::vector<std::vector<double>> bases;
        if (!sortie) return bases;
        ZoneKPX lue(sortie->buffer, sortie->tailleDonnees);
        uint16_t groupe = 0;
        while (lue.lireGroupeSuivant(groupe) == 0) {
            EXPECT_EQ(groupe, 3421);
            bases.emplace_back();
            uint16_t rang = 0;
            const uint8_t* donnees = nullptr;
            uint32_t longueur = 0;
            for (int champ = 0; lue.lireChampSuivant(rang, donnees, longueur) == 0; ++champ)
                if (champ > 0) bases.back().push_back(Montant(donnees, longueur).valeur());
        }
        return bases;
    }

    // The control of the same acts with the given bases as the host's: the rules
    // violated, and each line's base without lump sums.
    std::string controler(const std::vector<std::vector<double>>& bases, double ecart,
                          std::vector<double>& horsForfait) {
        Reglementation reglementation(lecture);
        Tarification tarification(lecture);
        SequencesControle sequences(reglementation, tarification);
        Facture facture;
        facture.numeroPS = std::make_unique<Code>("P1");
        facture.conventionPS = std::make_unique<Code>("1");
        facture.specialitePS = std::make_unique<Code>("04");
        facture.caissePS = std::make_unique<Code>("001");
        facture.dateNaissance = std::make_unique<Date>(1980, 1, 1);
        facture.natureAssurance = std::make_unique<Code>("SG");
        for (size_t i = 0; i < 2; ++i) {
            auto ligne = facture::ligneCCAM(static_cast<int32_t>(i + 1), D, kActes[i].acte, "", {});
            for (const char* m : kActes[i].modificateurs) ligne->modificateurs.ajouter(Code(m));
            // K goes to complementary insurers with its OC code, J has none.
            if (!kActes[i].modificateurs.empty()) ligne->donneesComplementaires.ajouter(Code("K"));
            ligne->prestation = std::make_unique<Code>("ADC");
            ligne->specialitePS = std::make_unique<Code>("04");
            ligne->grilleTarifaire = std::make_unique<Nombre>(1);
            ligne->prixUnitaire = std::make_unique<Montant>(kActes[i].prix);
            ligne->baseRemboursement = std::make_unique<Montant>(bases[i][0] + ecart);
            ligne->baseTheoriqueAMO = std::make_unique<Montant>(bases[i][2]);
            facture.ajouterLigne(std::move(ligne));
        }
        TypeListe<Erreur> erreurs;
        EXPECT_EQ(facture.controler(sequences, erreurs), 0);
        std::string regles;
        for (uint16_t i = 0; i < erreurs.nombre(); ++i) regles += std::string(erreurs.element(i).codeRegle.chaine()) + " ";
        // The control keeps its base without lump sums unrounded; the host reads cents.
        for (const auto& ligne : facture.lignes)
            horsForfait.push_back(Montant::arrondir(ligne->commeLigneCCAM()->baseHorsForfait->valeur()));
        return regles;
    }

    Referentiel referentiel;
    LectureDonnees lecture{&referentiel};
    Interface interface;
};

}  // namespace

TEST_F(FonctionsAppliquerTest, BaseOfTheWorkedAssociationIsTheControlsOwn) {
    const auto bases = basesAppliquees();
    ASSERT_EQ(bases, (std::vector<std::vector<double>>{{221.18, 221.18, 221.18}, {65.0, 65.0, 65.0}}));
    std::vector<double> horsForfait;
    EXPECT_EQ(controler(bases, 0.0, horsForfait), "");
    EXPECT_EQ(horsForfait, (std::vector<double>{bases[0][1], bases[1][1]}));
    horsForfait.clear();
    EXPECT_EQ(controler(bases, 0.01, horsForfait), "PROD880 PROD880 ");
}
