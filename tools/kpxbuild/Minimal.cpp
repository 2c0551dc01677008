// The smallest référentiel the loader accepts: every table that must not be
// empty has one coherent row, and the index has one act.
#include "kpxbuild/Minimal.h"

#include "referentiel/lignes/Lignes.h"

namespace {

const Date kDebut(2000, 1, 1);

template <class L>
L& ajouterLigne(ContenuReferentiel& contenu) {
    std::unique_ptr<L> ligne(new L);
    L& reference = *ligne;
    contenu.table(L::kIdentifiant).ajouterLigne(std::move(ligne));
    return reference;
}

}  // namespace

void remplirMinimal(ContenuReferentiel& contenu) {
    auto& association = ajouterLigne<AssociationNonPrevue>(contenu);
    association.codeAssociation = '1';
    association.grilles = {0, 1};
    auto& assoGrille = ajouterLigne<AssoGrille>(contenu);
    assoGrille.codeGrille = 1;
    assoGrille.historiques = {0, 1};
    auto& historiqueAsso = ajouterLigne<HistoriqueAssociationNonPrevue>(contenu);
    historiqueAsso.dateDebut = kDebut;
    historiqueAsso.coefficient = 0.5;

    auto& regle = ajouterLigne<RegleTarifaire>(contenu);
    regle.codeRegle = '1';
    regle.grilles = {0, 1};
    auto& regleGrille = ajouterLigne<RegleGrille>(contenu);
    regleGrille.codeGrille = 1;
    regleGrille.historiques = {0, 1};
    auto& historiqueRegle = ajouterLigne<HistoriqueRegleTarifaire>(contenu);
    historiqueRegle.dateDebut = kDebut;
    historiqueRegle.coefficient = 1.0;

    auto& specialite = ajouterLigne<Specialite>(contenu);
    specialite.codeSpecialite = "01";
    specialite.historiques = {0, 1};
    auto& historiqueSpecialite = ajouterLigne<HistoriqueSpecialite>(contenu);
    historiqueSpecialite.dateDebut = kDebut;
    historiqueSpecialite.classeSpecialite = "01";
    auto& classe = ajouterLigne<ClasseSpecialite>(contenu);
    classe.classeSpecialite = "01";
    classe.historiques = {0, 1};
    auto& historiqueClasse = ajouterLigne<HistoriqueClasseSpecialite>(contenu);
    historiqueClasse.dateDebut = kDebut;
    historiqueClasse.specialites = {0, 1};
    ajouterLigne<SpecialiteDansClasse>(contenu).codeSpecialite = "01";

    auto& seuil = ajouterLigne<Seuil>(contenu);
    seuil.dateDebut = kDebut;
    seuil.seuilMetropole = 120.0;
    auto& caisse = ajouterLigne<JourFerieCaisse>(contenu);
    caisse.codeCaisse = "001";
    caisse.joursFeries = {0, 1};
    auto& ferie = ajouterLigne<JourFerieListe>(contenu);
    ferie.jourFerie = Date(0, 1, 1);
    ferie.typeJour = 'F';
    ferie.dateDebut = kDebut;
    auto& reduction = ajouterLigne<ReductionNonConventionne>(contenu);
    reduction.dateDebut = kDebut;
    reduction.coefficient = 0.1;
    auto& regroupement = ajouterLigne<CodeRegroupement>(contenu);
    regroupement.codeRegroupement = "ADC";
    regroupement.dateDebut = kDebut;
    auto& tarifants = ajouterLigne<NombreModificateurTarifant>(contenu);
    tarifants.dateDebut = kDebut;
    tarifants.nombre = 4;
    auto& transmissibles = ajouterLigne<NombreModificateurTransmissible>(contenu);
    transmissibles.dateDebut = kDebut;
    transmissibles.nombre = 4;
    auto& actesAssociation = ajouterLigne<NombreActeAssociation>(contenu);
    actesAssociation.dateDebut = kDebut;
    actesAssociation.nombreActes = 13;

    auto& information = ajouterLigne<InformationRegle>(contenu);
    information.identifiantRegle = "PROD590  ";
    information.libellePrincipal = "Regle";
    auto& service = ajouterLigne<ServiceDebrayable>(contenu);
    service.identifiant = "SERVICE";
    service.regles = {0, 1};
    ajouterLigne<ReferenceRegleEntrainantDebrayage>(contenu).referenceRegle = "RG01      ";
    auto& enErreur = ajouterLigne<ReferenceRegleEnErreur>(contenu);
    enErreur.referenceRegle = "RG02      ";
    enErreur.reglesNonVerifiables = {0, 1};
    ajouterLigne<ReferenceRegleNonVerifiable>(contenu).referenceRegle = "RG03      ";
    auto& priorite = ajouterLigne<PrioriteIndicateurForcage>(contenu);
    priorite.indicateurForcage = 'A';
    priorite.priorite = 1;
    auto& cdc = ajouterLigne<ReferenceCdC>(contenu);
    cdc.identifiantRegle = "PROD590   ";
    cdc.referenceRegleCdC = "RG01      ";

    auto& superGroupe = ajouterLigne<DescriptifSuperGroupe>(contenu);
    superGroupe.numero = 1;
    superGroupe.nom = "Dump";
    superGroupe.codeFonction = 'C';
    superGroupe.fils = {0, 1};
    auto& groupe = ajouterLigne<DescriptifGroupe>(contenu);
    groupe.numero = 3100;
    groupe.champs = {0, 1};
    auto& champ = ajouterLigne<DescriptifChamp>(contenu);
    champ.formatAttendu = 'A';
    champ.typeDonnee = 'C';
    champ.tailleMinimale = 1;
    champ.tailleMaximale = 13;
    champ.valeursAutorisees = {0, 1};
    ajouterLigne<ValeurAutorisee>(contenu).valeur = "X";
    auto& fils = ajouterLigne<FilsSuperGroupe>(contenu);
    fils.occurrencesMinimum = 1;
    fils.occurrencesMaximum = 1;

    auto& modificaGrille = ajouterLigne<ModificaGrille>(contenu);
    modificaGrille.codeGrilleTarifaire = 1;
    modificaGrille.historiquesValeur = {0, 1};
    auto& valeurModificateur = ajouterLigne<HistoriqueValeurModificateur>(contenu);
    valeurModificateur.dateDebut = kDebut;
    valeurModificateur.coefficient = 1.5;

    auto& menu = ajouterLigne<Arborescence>(contenu);
    menu.codeMenu = 1;
    menu.libelle = "Menu";
    auto& motCle = ajouterLigne<MotCle>(contenu);
    motCle.motCle = "cote";
    motCle.motCleCanonique = "COTE";
    motCle.synonymes = {0, 1};
    motCle.actesIndexes = {0, 1};
    ajouterLigne<Synonyme>(contenu).synonyme = "flanc";
    auto& indexe = ajouterLigne<ActeIndexe>(contenu);
    indexe.codeActe = "AAAA001      ";
    indexe.masqueChamps = 1;

    contenu.ajouterActe(acteSimple("AAAA001"));
}

std::unique_ptr<NiveauActe> acteSimple(const std::string& code, double prix) {
    std::unique_ptr<NiveauActe> acte(new NiveauActe);
    acte->codeStructure = code;
    acte->codeStructure.resize(13, ' ');
    acte->libelleCourt = "Acte " + code;
    acte->libelleLong = "Acte de test " + code;
    acte->typeActe = '0';
    acte->sexeCompatible = '0';
    acte->dateCreation = kDebut;
    acte->fraisDeplacement = 'N';
    acte->naturesAssurance = {"AS"};
    std::unique_ptr<HistoriqueNiveauActe> historiqueActe(new HistoriqueNiveauActe);
    historiqueActe->dateEffet = kDebut;
    historiqueActe->admissionRemboursement = '1';
    historiqueActe->ententePrealable = 'N';
    historiqueActe->codesETM = {'0'};
    acte->teteHistoriques() = std::move(historiqueActe);

    std::unique_ptr<NiveauActivite> activite(new NiveauActivite);
    activite->codeActivite = '1';
    std::unique_ptr<HistoriqueNiveauActivite> historiqueActivite(new HistoriqueNiveauActivite);
    historiqueActivite->dateEffet = kDebut;
    historiqueActivite->categorieMedicale = "01";
    historiqueActivite->codeRegroupement = "ADC";
    historiqueActivite->classesSpecialite = {"01"};
    activite->teteHistoriques() = std::move(historiqueActivite);

    std::unique_ptr<NiveauPhase> phase(new NiveauPhase);
    phase->codePhase = '0';
    phase->nombreDentsATraiter = "00";
    std::unique_ptr<HistoriqueNiveauPhase> historiquePhase(new HistoriqueNiveauPhase);
    historiquePhase->dateEffet = kDebut;
    historiquePhase->prixUnitaireBase = prix;
    historiquePhase->grilles = {{1, prix}};
    phase->teteHistoriques() = std::move(historiquePhase);
    activite->ajouterPhase(std::move(phase));
    acte->ajouterActivite(std::move(activite));
    return acte;
}

