#include "support/ReferentielDeTarifs.h"

#include <string>
#include <vector>

#include "referentiel/lignes/Lignes.h"

namespace {

const Date kDebut(2000, 1, 1);

std::string cale(const std::string& texte, size_t largeur) {
    std::string s = texte;
    s.resize(largeur, ' ');
    return s;
}

// Sorted: the table is searched by key.
const char* const kRegles[] = {"PROD785", "PROD786", "PROD787", "PROD788", "PROD789", "PROD791A", "PROD791B",
                               "PROD791C", "PROD792", "PROD792B", "PROD793", "PROD795A", "PROD850", "PROD880",
                               "PROD880A"};

void remplirInformations(ConstructeurReferentiel& c) {
    c.vider(InformationRegle::kIdentifiant);
    c.vider(ReferenceCdC::kIdentifiant);
    for (const char* regle : kRegles) {
        auto& information = c.ajouter<InformationRegle>();
        information.identifiantRegle = cale(regle, 9);
        information.libellePrincipal = std::string("L") + regle;
        information.libelleSecondaire = std::string(regle) + " %s";
        information.typeRegle = 'O';
        information.referenceRegleCdC = cale(regle, 10);
        information.indicateurForcage = 'R';
        auto& reference = c.ajouter<ReferenceCdC>();
        reference.identifiantRegle = cale(regle, 10);
        reference.referenceRegleCdC = cale(regle, 10);
    }
}

void remplirConcepts(ConstructeurReferentiel& c) {
    std::vector<const char*> valeurs(22, "-");
    valeurs[0] = "2";
    valeurs[5] = "6";
    valeurs[6] = "7";
    valeurs[12] = "1";
    valeurs[13] = "2";
    valeurs[14] = "3";
    valeurs[15] = "4";
    valeurs[16] = "5";
    valeurs[21] = "6";
    for (uint16_t n = 0; n < valeurs.size(); ++n) {
        c.ajouter<ConceptCCAM>().historiques = {n, 1};
        auto& historique = c.ajouter<HistoriqueConceptCCAM>();
        historique.dateDebut = kDebut;
        historique.valeurs = {n, 1};
        c.ajouter<ValeurConceptCCAM>().valeur = valeurs[n];
    }
}

void remplirModificateurs(ConstructeurReferentiel& c) {
    struct M {
        char code;
        double forfait;
        double taux;
    };
    const M modificateurs[] = {{'F', 10.0, 1.0}, {'J', 0.0, 1.1}, {'K', 0.0, 1.2}, {'M', 0.0, 1.5}};
    c.vider(ModificaGrille::kIdentifiant);
    c.vider(HistoriqueValeurModificateur::kIdentifiant);
    uint16_t i = 0;
    for (const M& m : modificateurs) {
        auto& modificateur = c.ajouter<Modificateur>();
        modificateur.codeModificateur = m.code;
        modificateur.grillesTarifaires = {i, 1};
        modificateur.historiquesAge = {i, 1};
        modificateur.historiquesCoherence = {i, 1};
        auto& age = c.ajouter<HistoriqueAgeModificateur>();
        age.dateDebut = kDebut;
        age.uniteAgeMinimum = 'A';
        age.uniteAgeMaximum = 'A';
        c.ajouter<HistoriqueCoherenceModificateur>().dateDebut = kDebut;
        auto& grille = c.ajouter<ModificaGrille>();
        grille.codeGrilleTarifaire = 1;
        grille.historiquesValeur = {i, 1};
        auto& valeur = c.ajouter<HistoriqueValeurModificateur>();
        valeur.dateDebut = kDebut;
        valeur.forfait = m.forfait;
        valeur.coefficient = m.taux;
        ++i;
    }
    c.ligne<NombreModificateurTarifant>(0).nombre = 2;
}

void remplirParametres(ConstructeurReferentiel& c) {
    // Rule B has a rate on grid 1; rule X, named by an association, has none.
    auto& regle = c.ajouter<RegleTarifaire>();
    regle.codeRegle = 'B';
    regle.grilles = {1, 1};
    auto& grille = c.ajouter<RegleGrille>();
    grille.codeGrille = 1;
    grille.historiques = {1, 1};
    auto& historique = c.ajouter<HistoriqueRegleTarifaire>();
    historique.dateDebut = kDebut;
    historique.coefficient = 0.5;
    auto& ancienne = c.ligne<ReductionNonConventionne>(0);
    ancienne.dateFin = Date(2019, 12, 31);
    ancienne.coefficient = 0.2;
    auto& forfait = c.ajouter<ReductionNonConventionne>();
    forfait.dateDebut = Date(2020, 1, 1);
    forfait.forfait = 20.0;
    forfait.coefficient = 0.16;
    auto& seuil = c.ligne<Seuil>(0);
    seuil.seuilAntilles = 126.0;
    seuil.seuilReunion = 124.0;
    seuil.seuilGuyane = 130.0;
}

std::unique_ptr<NiveauActe> acte(const char* code, double prix, std::vector<char> codes, char type = '0',
                                 char admission = '1') {
    auto a = ConstructeurReferentiel::acteSimple(code, prix);
    a->typeActe = type;
    a->premierHistorique()->codesETM = codes;
    a->premierHistorique()->admissionRemboursement = admission;
    return a;
}

void remplirActes(ConstructeurReferentiel& c) {
    auto prix1 = acte("PRIX001", 100.0, {'1'});
    auto& phase = *prix1->activites()[0]->phases()[0]->premierHistorique();
    phase.supplementCharge = 4.0;
    phase.majorationsDOM[0] = 1.05;
    phase.majorationsDOM[1] = 1.05;
    phase.majorationsDOM[2] = 1.10;
    phase.majorationsDOM[3] = 1.08;
    prix1->activites()[0]->premierHistorique()->associations = {{"PRIX002", 'B'}, {"PRIX003", 'X'}};
    c.ajouterActe(std::move(prix1));
    auto prix2 = acte("PRIX002", 221.18, {'1'});
    prix2->activites()[0]->premierHistorique()->associations = {{"PRIX001", 'B'}};
    c.ajouterActe(std::move(prix2));
    c.ajouterActe(acte("PRIX003", 50.0, {'0'}));
    auto cher = acte("CHER001", 10000.0, {'0'});
    cher->activites()[0]->phases()[0]->premierHistorique()->majorationsDOM[0] = 1.05;
    c.ajouterActe(std::move(cher));
    c.ajouterActe(acte("GEST001", 500.0, {'0'}, '2'));
    c.ajouterActe(acte("NREM001", 300.0, {'0'}, '0', '6'));
    c.ajouterActe(acte("EXCP001", 80.0, {'0'}, '0', '7'));
    c.ajouterActe(acte("EXO2001", 100.0, {'2'}));
    c.ajouterActe(acte("EXO3001", 100.0, {'3'}));
    c.ajouterActe(acte("EXO4001", 100.0, {'4'}));
    c.ajouterActe(acte("PREV001", 100.0, {'5'}));
    c.ajouterActe(acte("PREV002", 100.0, {'0', '5'}));
    c.ajouterActe(acte("REFU001", 100.0, {'6'}));
}

}  // namespace

void remplirTarifs(ConstructeurReferentiel& constructeur) {
    remplirInformations(constructeur);
    remplirConcepts(constructeur);
    remplirModificateurs(constructeur);
    remplirParametres(constructeur);
    remplirActes(constructeur);
}
