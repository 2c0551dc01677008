// A référentiel for the query tests, written with the fixture builder and loaded:
// the minimal content plus dated rows on both sides of their bounds, a second act
// with two versions and two activities, modifiers, grids, concepts and code lists.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "consultation/LectureDonnees.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "referentiel/lignes/Lignes.h"
#include "support/ConstructeurReferentiel.h"

namespace requetes {

inline Date d(uint16_t annee, uint8_t mois, uint8_t jour) { return Date(annee, mois, jour); }

// Act BBBB002: versions 2010-03-01 and 2005-01-01; activity 1 with phases 0 and 1,
// activity 4 without phases.
inline std::unique_ptr<NiveauActe> acteComplet() {
    auto acte = ConstructeurReferentiel::acteSimple("BBBB002", 40.0);
    acte->libelleCourt = "Court";
    acte->libelleLong = "Libelle long";
    acte->typeActe = '1';
    acte->conditionsGenerales = "Conditions";
    acte->sexeCompatible = 'F';
    acte->codeMenu = 12;
    acte->dateCreation = d(2005, 1, 1);
    acte->dateFin = d(2030, 12, 31);
    acte->naturesAssurance = {"10", "30"};

    std::unique_ptr<HistoriqueNiveauActe> recent(new HistoriqueNiveauActe);
    recent->dateEffet = d(2010, 3, 1);
    recent->admissionRemboursement = '2';
    recent->ententePrealable = 'O';
    recent->codesETM = {'3', '5'};
    recent->procedures = {"PROC001"};
    recent->actesIncompatibles = {"AAAA001", "CCCC00300000"};
    recent->forfaitsCMU = {{"F01", d(2010, 1, 1), d(2010, 12, 31)}, {"F02", d(2010, 1, 1), Date()}};
    std::unique_ptr<HistoriqueNiveauActe> ancien(new HistoriqueNiveauActe);
    ancien->dateEffet = d(2005, 1, 1);
    ancien->admissionRemboursement = '1';
    ancien->ententePrealable = 'N';
    ancien->codesETM = {'0'};
    recent->lienSuivant() = std::move(ancien);
    acte->teteHistoriques() = std::move(recent);

    NiveauActivite& activite = *acte->activites()[0];
    activite.typesAgrementRadio = {"R1"};
    activite.rmo = {"RMO01", "RMO02"};
    activite.codesExtensionDocumentaire = {'A', 'B'};
    HistoriqueNiveauActivite& historiqueActivite = *activite.premierHistorique();
    historiqueActivite.dateEffet = d(2005, 1, 1);
    historiqueActivite.categorieMedicale = "04";
    historiqueActivite.modificateurs = {'F', 'U'};
    historiqueActivite.classesSpecialite = {"01", "02"};
    historiqueActivite.associations = {{"AAAA001", '2'}, {"DDDD004", '1'}};

    NiveauPhase& phase = *activite.phases()[0];
    phase.ageMinimum = 2;
    phase.ageMaximum = 99;
    phase.nombreDentsATraiter = "02";
    phase.dentsIncompatibles = {"11", "12"};
    phase.premierHistorique()->dateEffet = d(2005, 1, 1);
    std::unique_ptr<HistoriqueNiveauPhase> tarif(new HistoriqueNiveauPhase);
    tarif->dateEffet = d(2010, 3, 1);
    tarif->prixUnitaireBase = 50.0;
    tarif->supplementCharge = 5.5;
    tarif->majorationsDOM[0] = 1.1;
    tarif->majorationsDOM[1] = 1.2;
    tarif->majorationsDOM[2] = 1.3;
    tarif->majorationsDOM[3] = 1.4;
    tarif->grilles = {{1, 50.0}, {3, 55.0}};
    tarif->lienSuivant() = std::move(phase.teteHistoriques());
    phase.teteHistoriques() = std::move(tarif);

    std::unique_ptr<NiveauPhase> phase1(new NiveauPhase);
    phase1->codePhase = '1';
    phase1->nombreDentsATraiter = "  ";
    std::unique_ptr<HistoriqueNiveauPhase> tarif1(new HistoriqueNiveauPhase);
    tarif1->dateEffet = d(2005, 1, 1);
    tarif1->grilles = {{1, 7.0}};
    phase1->teteHistoriques() = std::move(tarif1);
    activite.ajouterPhase(std::move(phase1));

    std::unique_ptr<NiveauActivite> activite4(new NiveauActivite);
    activite4->codeActivite = '4';
    std::unique_ptr<HistoriqueNiveauActivite> historique4(new HistoriqueNiveauActivite);
    historique4->dateEffet = d(2005, 1, 1);
    historique4->categorieMedicale = "01";
    historique4->codeRegroupement = "ATM";
    historique4->classesSpecialite = {"01"};
    activite4->teteHistoriques() = std::move(historique4);
    acte->ajouterActivite(std::move(activite4));
    return acte;
}

inline void remplir(ConstructeurReferentiel& c) {
    c.commentaire = "Tests des requetes";
    c.ajouterActe(acteComplet());
    c.ajouterActe(ConstructeurReferentiel::acteSimple("CCCC00300000", 12.0));

    // Specialities 01 and 02; 02 belongs to class 01 until 2009, then to class 02.
    auto& s02 = c.ajouter<Specialite>();
    s02.codeSpecialite = "02";
    s02.historiques = {1, 2};
    auto& hs1 = c.ajouter<HistoriqueSpecialite>();
    hs1.dateDebut = d(2000, 1, 1);
    hs1.dateFin = d(2009, 12, 31);
    hs1.classeSpecialite = "01";
    auto& hs2 = c.ajouter<HistoriqueSpecialite>();
    hs2.dateDebut = d(2010, 1, 1);
    hs2.classeSpecialite = "02";
    auto& c02 = c.ajouter<ClasseSpecialite>();
    c02.classeSpecialite = "02";
    c02.historiques = {1, 1};
    auto& hc = c.ajouter<HistoriqueClasseSpecialite>();
    hc.dateDebut = d(2010, 1, 1);
    hc.specialites = {1, 2};
    c.ajouter<SpecialiteDansClasse>().codeSpecialite = "02";
    c.ajouter<SpecialiteDansClasse>().codeSpecialite = "03";

    // Thresholds and association counts change on 2010-01-01, the old rows ending the day before.
    auto& seuil = c.ligne<Seuil>(0);
    seuil.dateDebut = d(2010, 1, 1);
    seuil.seuilAntilles = 130.0;
    seuil.seuilReunion = 140.0;
    seuil.seuilGuyane = 150.0;
    auto& ancienSeuil = c.ajouter<Seuil>();
    ancienSeuil.dateDebut = d(2000, 1, 1);
    ancienSeuil.dateFin = d(2009, 12, 31);
    ancienSeuil.seuilMetropole = 100.0;
    c.ligne<NombreActeAssociation>(0).dateFin = d(2009, 12, 31);
    auto& actes = c.ajouter<NombreActeAssociation>();
    actes.dateDebut = d(2010, 1, 1);
    actes.nombreActes = 4;
    c.ligne<ReductionNonConventionne>(0).forfait = 2.5;
    auto& atm = c.ajouter<CodeRegroupement>();
    atm.codeRegroupement = "ATM";
    atm.dateDebut = d(2000, 1, 1);
    atm.dateFin = d(2009, 12, 31);

    // Modifiers F (grids 1 and 3) and U (grid 3).
    auto& mf = c.ajouter<Modificateur>();
    mf.codeModificateur = 'F';
    mf.historiquesAge = {0, 1};
    mf.compatibles = {0, 2};
    mf.historiquesCoherence = {0, 1};
    mf.grillesTarifaires = {0, 2};
    mf.historiquesOC = {0, 1};
    auto& mu = c.ajouter<Modificateur>();
    mu.codeModificateur = 'U';
    mu.historiquesAge = {1, 1};
    mu.compatibles = {2, 1};
    mu.historiquesCoherence = {1, 1};
    mu.grillesTarifaires = {2, 1};
    auto& ageF = c.ajouter<HistoriqueAgeModificateur>();
    ageF.dateDebut = d(2000, 1, 1);
    ageF.uniteAgeMinimum = 'A';
    ageF.uniteAgeMaximum = 'A';
    ageF.ageMaximum = 16;
    auto& ageU = c.ajouter<HistoriqueAgeModificateur>();
    ageU.dateDebut = d(2000, 1, 1);
    ageU.uniteAgeMinimum = 'M';
    ageU.ageMinimum = 3;
    ageU.uniteAgeMaximum = 'J';
    ageU.ageMaximum = 28;
    auto& fu = c.ajouter<ModificateurCompatible>();
    fu.codeModificateur = 'U';
    fu.dateDebut = d(2000, 1, 1);
    auto& fj = c.ajouter<ModificateurCompatible>();
    fj.codeModificateur = 'J';
    fj.dateDebut = d(2000, 1, 1);
    fj.dateFin = d(2005, 12, 31);
    auto& uf = c.ajouter<ModificateurCompatible>();
    uf.codeModificateur = 'F';
    uf.dateDebut = d(2000, 1, 1);
    auto& cohF = c.ajouter<HistoriqueCoherenceModificateur>();
    cohF.dateDebut = d(2000, 1, 1);
    cohF.topControleCoherence = 'O';
    cohF.topPresenceMultiple = 'N';
    auto& cohU = c.ajouter<HistoriqueCoherenceModificateur>();
    cohU.dateDebut = d(2000, 1, 1);
    cohU.topControleCoherence = 'N';
    cohU.topPresenceMultiple = 'O';
    auto& ocF = c.ajouter<HistoriqueModificateurOC>();
    ocF.dateDebut = d(2000, 1, 1);
    ocF.codeModificateurOC = 'K';
    auto& g3F = c.ajouter<ModificaGrille>();
    g3F.codeGrilleTarifaire = 3;
    g3F.historiquesValeur = {1, 1};
    auto& g3U = c.ajouter<ModificaGrille>();
    g3U.codeGrilleTarifaire = 3;
    g3U.historiquesValeur = {2, 1};
    auto& vF3 = c.ajouter<HistoriqueValeurModificateur>();
    vF3.dateDebut = d(2000, 1, 1);
    vF3.dateFin = d(2010, 12, 31);
    vF3.forfait = 19.06;
    vF3.coefficient = 1.0;
    auto& vU3 = c.ajouter<HistoriqueValeurModificateur>();
    vU3.dateDebut = d(2000, 1, 1);
    vU3.coefficient = 1.2;

    // Contexts (1, 1): grid 3 until 2009, then grid 1; (2, 1): grid 5, which has no label.
    auto& ctx11 = c.ajouter<ConTarifaire>();
    ctx11.codeContextePS = 1;
    ctx11.codeContexteBN = 1;
    ctx11.grilles = {0, 2};
    auto& ctx21 = c.ajouter<ConTarifaire>();
    ctx21.codeContextePS = 2;
    ctx21.codeContexteBN = 1;
    ctx21.grilles = {2, 1};
    auto& hg0 = c.ajouter<HistoGrilleTar>();
    hg0.codeGrille = 3;
    hg0.dateDebut = d(2000, 1, 1);
    hg0.dateFin = d(2009, 12, 31);
    auto& hg1 = c.ajouter<HistoGrilleTar>();
    hg1.codeGrille = 1;
    hg1.dateDebut = d(2010, 1, 1);
    auto& hg2 = c.ajouter<HistoGrilleTar>();
    hg2.codeGrille = 5;
    hg2.dateDebut = d(2000, 1, 1);
    auto& ig1 = c.ajouter<InfosGril>();
    ig1.codeGrille = 1;
    ig1.libelle = "Grille 1";
    ig1.definition = "Definition 1";
    auto& ig3 = c.ajouter<InfosGril>();
    ig3.codeGrille = 3;
    ig3.libelle = "Grille 3";
    ig3.definition = "Definition 3";

    // Concept 1: values 04, 05; concept 2: X from 2010, Y before.
    c.ajouter<ConceptCCAM>().historiques = {0, 1};
    c.ajouter<ConceptCCAM>().historiques = {1, 2};
    auto& hk0 = c.ajouter<HistoriqueConceptCCAM>();
    hk0.dateDebut = d(2000, 1, 1);
    hk0.valeurs = {0, 2};
    auto& hk1 = c.ajouter<HistoriqueConceptCCAM>();
    hk1.dateDebut = d(2010, 1, 1);
    hk1.valeurs = {2, 1};
    auto& hk2 = c.ajouter<HistoriqueConceptCCAM>();
    hk2.dateDebut = d(2000, 1, 1);
    hk2.dateFin = d(2009, 12, 31);
    hk2.valeurs = {3, 1};
    for (const char* v : {"04", "05", "X", "Y"}) c.ajouter<ValeurConceptCCAM>().valeur = v;

    // Code lists 1 (activities) and 2 (modifiers).
    c.ajouter<Codes>().valeurs = {0, 2};
    c.ajouter<Codes>().valeurs = {2, 1};
    auto& l1 = c.ajouter<LibelleCode>();
    l1.valeur = "1";
    l1.libelle = "Acte principal";
    auto& l4 = c.ajouter<LibelleCode>();
    l4.valeur = "4";
    l4.libelle = "Anesthesie";
    auto& lf = c.ajouter<LibelleCode>();
    lf.valeur = "F";
    lf.libelle = "Modificateur F";

    // National holidays (caisse 000) before caisse 001, whose 1st January is row 0.
    auto premiere = c.ligne<JourFerieCaisse>(0);
    c.vider(JourFerieCaisse::kIdentifiant);
    auto& nationale = c.ajouter<JourFerieCaisse>();
    nationale.codeCaisse = "000";
    nationale.joursFeries = {1, 2};
    auto& caisse = c.ajouter<JourFerieCaisse>();
    caisse.codeCaisse = premiere.codeCaisse;
    caisse.joursFeries = premiere.joursFeries;
    auto& juillet = c.ajouter<JourFerieListe>();
    juillet.jourFerie = d(0, 7, 14);
    juillet.typeJour = 'F';
    juillet.dateDebut = d(2000, 1, 1);
    auto& ascension = c.ajouter<JourFerieListe>();
    ascension.jourFerie = d(2024, 5, 9);
    ascension.typeJour = 'M';
    ascension.dateDebut = d(2024, 1, 1);
    ascension.dateFin = d(2024, 12, 31);

    auto& obligation = c.ajouter<ObligationCodage>();
    obligation.codeNaturePrestation = "ACO";
    obligation.specialites = {0, 2};
    auto& do01 = c.ajouter<DateObligationCodage>();
    do01.codeSpecialite = "01";
    do01.dateObligation = d(2005, 1, 1);
    auto& do02 = c.ajouter<DateObligationCodage>();
    do02.codeSpecialite = "02";
    do02.dateObligation = d(2006, 6, 1);

    auto& information = c.ajouter<InformationRegle>();
    information.identifiantRegle = "PROD720";
    information.libellePrincipal = "Age minimal";
    information.referenceRegleCdC = "RG20";

    // Priorities A 1, B 3, C 1; A combined with B present gives C.
    auto& pb = c.ajouter<PrioriteIndicateurForcage>();
    pb.indicateurForcage = 'B';
    pb.priorite = 3;
    auto& pc = c.ajouter<PrioriteIndicateurForcage>();
    pc.indicateurForcage = 'C';
    pc.priorite = 1;
    auto& exception = c.ajouter<ExceptionPrioriteIndicateur>();
    exception.indicateurACombiner = 'A';
    exception.valeurs = {0, 1};
    auto& valeur = c.ajouter<ValeurException>();
    valeur.indicateurPresent = 'B';
    valeur.indicateurRetourne = 'C';

    // Menu 12 under the root; keyword COTE indexes AAAA001 (frame 1) and BBBB002 (frame 2).
    auto& menu = c.ajouter<Arborescence>();
    menu.codeMenu = 12;
    menu.libelle = "Sous-menu";
    menu.codePere = 1;
    menu.notesMenu = "Notes 12";
    c.ligne<MotCle>(0).actesIndexes = {0, 2};
    auto& indexe = c.ajouter<ActeIndexe>();
    indexe.codeActe = "BBBB002";
    indexe.masqueChamps = 2;
    auto& rein = c.ajouter<MotCle>();
    rein.motCle = "rein";
    rein.motCleCanonique = "REIN";
}

}  // namespace requetes

// Each test gets the référentiel freshly written and loaded, and an open query object.
class LectureDonneesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string nom = std::string("requetes-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        repertoire_.reset(new RepertoireTemporaire(nom));
        ConstructeurReferentiel constructeur;
        requetes::remplir(constructeur);
        personnaliser(constructeur);
        ASSERT_TRUE(constructeur.ecrire(repertoire_->chemin()));
        ASSERT_EQ(referentiel.chargerReferentiel(repertoire_->chemin().c_str(), repertoire_->chemin().c_str(), "0302",
                                                 "1000"),
                  0);
        ASSERT_EQ(lecture.ouvrir(), 0);
    }
    virtual void personnaliser(ConstructeurReferentiel&) {}

    std::unique_ptr<RepertoireTemporaire> repertoire_;
    Referentiel referentiel;
    LectureDonnees lecture{&referentiel};
};

template <class T>
std::vector<std::string> textesDe(const TypeListe<T>& liste) {
    std::vector<std::string> textes;
    for (uint16_t i = 0; i < liste.nombre(); ++i) textes.emplace_back(liste.element(i).chaine());
    return textes;
}

using Textes = std::vector<std::string>;
