// A change that meets a failing allocation, at any of its allocations, answers 0xDFFC
// and leaves every table and the act it aims at exactly as they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "KPXW32.h"
#include "consultation/ReferentielDeRequetes.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/lignes/Index.h"
#include "robustesse/PlafondMemoire.h"
#include "support/FichierTemporaire.h"

namespace {

using requetes::d;

// Every table read and the act BBBB002, as the writer encodes them.
std::string empreinte(Referentiel& referentiel) {
    FichierTemporaire fichier;
    Ecrivain ecrivain(referentiel, fichier.get());
    for (uint16_t id = 0; id < Referentiel::kNombreIdentifiants; ++id) {
        const Table* table = referentiel.table(id);
        if (table != nullptr && table->etat() == Table::kChargee) {
            EXPECT_EQ(table->ecrireTable(ecrivain), 0);
        }
    }
    LectureDonnees lecture(&referentiel);
    NiveauActe* acte = nullptr;
    EXPECT_EQ(lecture.chercherActe("BBBB002", acte), 0);
    EXPECT_EQ(acte->ecrireNiveauActe(ecrivain), 0);
    return fichier.octets();
}

}  // namespace

TEST(ModificationMemoire, AFailedAllocationAnywhereInAChangeLeavesDataAndTablesAsTheyWere) {
    RepertoireTemporaire repertoire("modification-memoire");
    ConstructeurReferentiel constructeur;
    requetes::remplir(constructeur);
    for (int liste = 3; liste <= 9; ++liste) constructeur.ajouter<Codes>().valeurs = {3, 0};
    ASSERT_TRUE(constructeur.ecrire(repertoire.chemin()));

    const Code acte("BBBB002"), activite("1"), phase("0"), activite4("4"), adb("ADB"), association("1"), f("F");
    const Texte libelle("Nouveau");
    const Nombre grille1(1), grille3(3);
    using Changement = std::function<uint16_t(ModificationDonnees&)>;
    const struct {
        const char* nom;
        Changement changer;
    } cas[] = {
        {"prix",
         [&](ModificationDonnees& m) {
             return m.modifierPrixUnitaire(acte, activite, phase, d(2020, 1, 1), grille1, 60.0, true);
         }},
        {"code regroupement",
         [&](ModificationDonnees& m) {
             return m.modifierCodeRegroupement(acte, activite4, d(2020, 1, 1), "ADC", true);
         }},
        {"seuil", [&](ModificationDonnees& m) { return m.modifierSeuil(d(2020, 1, 1), 3, 99.0, true); }},
        {"association",
         [&](ModificationDonnees& m) {
             return m.modifierCoefficientAssociationNonPrevue(association, d(2020, 1, 1), grille1, 0.9, true);
         }},
        {"modificateur",
         [&](ModificationDonnees& m) { return m.modifierForfaitModificateur(f, d(2010, 6, 1), grille3, 30.0, true); }},
        {"non conventionnes",
         [&](ModificationDonnees& m) { return m.modifierTauxNonConventionnes(d(2020, 1, 1), 0.5, true); }},
        {"nouveau code",
         [&](ModificationDonnees& m) { return m.ajouterCodeRegroupement(d(2020, 1, 1), adb, libelle, true); }},
    };
    RejeuModificationDonnees rejeu;
    int fautes = 0;  // the count docs/reliability.md gives
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        Referentiel referentiel;
        referentiel.definirRejeu(&rejeu);
        ASSERT_EQ(
            referentiel.chargerReferentiel(repertoire.chemin().c_str(), repertoire.chemin().c_str(), "0302", "1000"),
            0);
        const std::string avant = empreinte(referentiel);
        ModificationDonnees modification(&referentiel);
        uint16_t cr = KPX_CR_CONSTRUCTION;
        uint64_t rang = 0;
        while (cr == KPX_CR_CONSTRUCTION && rang < 1000) {
            PlafondMemoire::echouerA(++rang);
            cr = c.changer(modification);
            PlafondMemoire::echouerA(0);
            if (cr != 0) {
                ASSERT_EQ(cr, KPX_CR_CONSTRUCTION) << "allocation " << rang;
                ASSERT_EQ(empreinte(referentiel), avant) << "allocation " << rang;
            }
        }
        EXPECT_EQ(cr, 0);
        EXPECT_GT(rang, 2u);
        EXPECT_NE(empreinte(referentiel), avant);
        fautes += static_cast<int>(rang - 1);
    }
    RecordProperty("fautesInjectees", fautes);
}
