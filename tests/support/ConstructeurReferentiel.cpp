// The smallest coherent référentiel, written with the build tools' writer.
#include "support/ConstructeurReferentiel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "referentiel/Ecrivain.h"
#include "referentiel/lignes/Lignes.h"

namespace {

const Date kDebut(2000, 1, 1);

}  // namespace

ConstructeurReferentiel::ConstructeurReferentiel() {
    for (uint16_t id = 0; id < Referentiel::kNombreIdentifiants; ++id) {
        if (!Table::aUneClasse(id)) continue;
        if (id >= 35 && id <= 43) ordreModifications.push_back(id);
        else if (id != 0) ordre.push_back(id);
    }
    ordre.push_back(0);

    auto& association = ajouter<AssociationNonPrevue>();
    association.codeAssociation = '1';
    association.grilles = {0, 1};
    auto& assoGrille = ajouter<AssoGrille>();
    assoGrille.codeGrille = 1;
    assoGrille.historiques = {0, 1};
    auto& historiqueAsso = ajouter<HistoriqueAssociationNonPrevue>();
    historiqueAsso.dateDebut = kDebut;
    historiqueAsso.coefficient = 0.5;

    auto& regle = ajouter<RegleTarifaire>();
    regle.codeRegle = '1';
    regle.grilles = {0, 1};
    auto& regleGrille = ajouter<RegleGrille>();
    regleGrille.codeGrille = 1;
    regleGrille.historiques = {0, 1};
    auto& historiqueRegle = ajouter<HistoriqueRegleTarifaire>();
    historiqueRegle.dateDebut = kDebut;
    historiqueRegle.coefficient = 1.0;

    auto& specialite = ajouter<Specialite>();
    specialite.codeSpecialite = "01";
    specialite.historiques = {0, 1};
    auto& historiqueSpecialite = ajouter<HistoriqueSpecialite>();
    historiqueSpecialite.dateDebut = kDebut;
    historiqueSpecialite.classeSpecialite = "01";
    auto& classe = ajouter<ClasseSpecialite>();
    classe.classeSpecialite = "01";
    classe.historiques = {0, 1};
    auto& historiqueClasse = ajouter<HistoriqueClasseSpecialite>();
    historiqueClasse.dateDebut = kDebut;
    historiqueClasse.specialites = {0, 1};
    ajouter<SpecialiteDansClasse>().codeSpecialite = "01";

    auto& seuil = ajouter<Seuil>();
    seuil.dateDebut = kDebut;
    seuil.seuilMetropole = 120.0;
    auto& caisse = ajouter<JourFerieCaisse>();
    caisse.codeCaisse = "001";
    caisse.joursFeries = {0, 1};
    auto& ferie = ajouter<JourFerieListe>();
    ferie.jourFerie = Date(0, 1, 1);
    ferie.typeJour = 'F';
    ferie.dateDebut = kDebut;
    auto& reduction = ajouter<ReductionNonConventionne>();
    reduction.dateDebut = kDebut;
    reduction.coefficient = 0.1;
    auto& regroupement = ajouter<CodeRegroupement>();
    regroupement.codeRegroupement = "ADC";
    regroupement.dateDebut = kDebut;
    auto& tarifants = ajouter<NombreModificateurTarifant>();
    tarifants.dateDebut = kDebut;
    tarifants.nombre = 4;
    auto& transmissibles = ajouter<NombreModificateurTransmissible>();
    transmissibles.dateDebut = kDebut;
    transmissibles.nombre = 4;
    auto& actesAssociation = ajouter<NombreActeAssociation>();
    actesAssociation.dateDebut = kDebut;
    actesAssociation.nombreActes = 13;

    auto& information = ajouter<InformationRegle>();
    information.identifiantRegle = "PROD590  ";
    information.libellePrincipal = "Regle";
    auto& service = ajouter<ServiceDebrayable>();
    service.identifiant = "SERVICE";
    service.regles = {0, 1};
    ajouter<ReferenceRegleEntrainantDebrayage>().referenceRegle = "RG01      ";
    auto& enErreur = ajouter<ReferenceRegleEnErreur>();
    enErreur.referenceRegle = "RG02      ";
    enErreur.reglesNonVerifiables = {0, 1};
    ajouter<ReferenceRegleNonVerifiable>().referenceRegle = "RG03      ";
    auto& priorite = ajouter<PrioriteIndicateurForcage>();
    priorite.indicateurForcage = 'A';
    priorite.priorite = 1;
    auto& cdc = ajouter<ReferenceCdC>();
    cdc.identifiantRegle = "PROD590   ";
    cdc.referenceRegleCdC = "RG01      ";

    auto& superGroupe = ajouter<DescriptifSuperGroupe>();
    superGroupe.numero = 1;
    superGroupe.nom = "Dump";
    superGroupe.codeFonction = 'C';
    superGroupe.fils = {0, 1};
    auto& groupe = ajouter<DescriptifGroupe>();
    groupe.numero = 3100;
    groupe.champs = {0, 1};
    auto& champ = ajouter<DescriptifChamp>();
    champ.formatAttendu = 'A';
    champ.typeDonnee = 'C';
    champ.tailleMinimale = 1;
    champ.tailleMaximale = 13;
    champ.valeursAutorisees = {0, 1};
    ajouter<ValeurAutorisee>().valeur = "X";
    auto& fils = ajouter<FilsSuperGroupe>();
    fils.occurrencesMinimum = 1;
    fils.occurrencesMaximum = 1;

    auto& modificaGrille = ajouter<ModificaGrille>();
    modificaGrille.codeGrilleTarifaire = 1;
    modificaGrille.historiquesValeur = {0, 1};
    auto& valeurModificateur = ajouter<HistoriqueValeurModificateur>();
    valeurModificateur.dateDebut = kDebut;
    valeurModificateur.coefficient = 1.5;

    auto& menu = ajouter<Arborescence>();
    menu.codeMenu = 1;
    menu.libelle = "Menu";
    auto& motCle = ajouter<MotCle>();
    motCle.motCle = "cote";
    motCle.motCleCanonique = "COTE";
    motCle.synonymes = {0, 1};
    motCle.actesIndexes = {0, 1};
    ajouter<Synonyme>().synonyme = "flanc";
    auto& indexe = ajouter<ActeIndexe>();
    indexe.codeActe = "AAAA001      ";
    indexe.masqueChamps = 1;

    ajouterActe(acteSimple("AAAA001"));
}

Table& ConstructeurReferentiel::table(uint16_t identifiant) { return contenu_.table(identifiant); }

void ConstructeurReferentiel::vider(uint16_t identifiant) { contenu_.tables[identifiant].reset(); }

std::unique_ptr<NiveauActe> ConstructeurReferentiel::acteSimple(const std::string& code, double prix) {
    std::unique_ptr<NiveauActe> acte(new NiveauActe);
    acte->codeStructure = code;
    acte->codeStructure.resize(13, ' ');
    acte->libelleCourt = "Acte " + code;
    acte->libelleLong = "Acte de test " + code;
    acte->typeActe = '0';
    acte->sexeCompatible = '0';
    acte->dateCreation = kDebut;
    acte->fraisDeplacement = 'N';
    acte->naturesAssurance = {"10"};
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

void ConstructeurReferentiel::ajouterActe(std::unique_ptr<NiveauActe> acte) { contenu_.ajouterActe(std::move(acte)); }

void ConstructeurReferentiel::preparerEntete() {
    contenu_.version = version;
    contenu_.versionBaseCCAM = versionBaseCCAM;
    contenu_.versionMinimaleLogiciel = versionMinimaleLogiciel;
    contenu_.numeroRevision = numeroRevision;
    contenu_.variante = variante;
    contenu_.commentaire = commentaire;
    contenu_.date = date;
    contenu_.dateModifications = date;
}

bool ConstructeurReferentiel::ecrire(const std::string& repertoire) {
    preparerEntete();
    std::string erreur;
    return ecrireFichierTables(contenu_, repertoire + "/table_v2.kpx", erreur, {nomFichier, ordre, sectionsBrutes});
}

bool ConstructeurReferentiel::ecrireModifications(const std::string& repertoire) {
    preparerEntete();
    std::string erreur;
    return ecrireFichierModifications(contenu_, repertoire + "/modrefv2.kpx", erreur, {"", ordreModifications, {}},
                                      versionModifications);
}

RepertoireTemporaire::RepertoireTemporaire(const std::string& nom) : chemin_(std::string(KPX_TEST_TMP) + "/" + nom) {
    std::filesystem::remove_all(chemin_);
    std::filesystem::create_directories(chemin_);
}

RepertoireTemporaire::~RepertoireTemporaire() {
    std::error_code ignore;
    std::filesystem::remove_all(chemin_, ignore);
}

std::vector<uint8_t> lireOctets(const std::string& chemin) {
    std::vector<uint8_t> octets;
    FILE* fichier = std::fopen(chemin.c_str(), "rb");
    if (fichier == nullptr) return octets;
    int c;
    while ((c = std::fgetc(fichier)) != EOF) octets.push_back(static_cast<uint8_t>(c));
    std::fclose(fichier);
    return octets;
}

void ecrireOctets(const std::string& chemin, const std::vector<uint8_t>& octets) {
    FILE* fichier = std::fopen(chemin.c_str(), "wb");
    if (fichier == nullptr) return;
    std::fwrite(octets.data(), 1, octets.size(), fichier);
    std::fclose(fichier);
}
