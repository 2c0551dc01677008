#include "support/ReferentielDeRegles.h"

#include <vector>

#include "referentiel/lignes/Lignes.h"

namespace {

const Date kDebut(2000, 1, 1);

std::string cale(const std::string& texte, size_t largeur) {
    std::string s = texte;
    s.resize(largeur, ' ');
    return s;
}

struct InformationDeTest {
    const char* regle;
    const char* format;
    char outrePassable;
    char indicateur;
};

// Sorted by rule: the table is searched by key.
const InformationDeTest kInformations[] = {
    {"PROD136A", "Modificateur %s inexistant", 'O', ' '},
    {"PROD136B", "Modificateur %s inexistant", 'O', ' '},
    {"PROD137", "Code association %s inexistant", 'O', ' '},
    {"PROD170", "La prestation %s est un code regroupement", 'N', ' '},
    {"PROD190", "Modificateur %s incompatible", 'O', 'A'},
    {"PROD211", "La prestation %s doit etre codee", 'N', ' '},
    {"PROD220", "La prestation %s n'est pas un code regroupement", 'N', ' '},
    {"PROD240", "Prestations %d et %d : %s et %s", 'O', 'A'},
    {"PROD500", "Acte %s inconnu", 'N', ' '},
    {"PROD510", "Acte %s hors validite", 'O', 'B'},
    {"PROD511A", "Acte %s du %s avant la naissance", 'N', ' '},
    {"PROD530", "Activite non prevue pour %s", 'O', ' '},
    {"PROD540", "Phase non prevue pour %s", 'O', ' '},
    {"PROD550", "Modificateur non applicable a %s", 'O', ' '},
    {"PROD555", "Age incompatible avec %s", 'O', 'B'},
    {"PROD580", "Acte complementaire %s seul", 'O', ' '},
    {"PROD590A", "Prestations %d et %d : %s et %s de la meme procedure", 'O', ' '},
    {"PROD590B", "Prestations %d et %d : %s et %s sans code association", 'O', ' '},
    {"PROD600", "Prestations %d et %d incompatibles", 'O', 'A'},
    {"PROD648", "Acte %s seul avec code association", 'O', ' '},
    {"PROD649", "Prestations %d et %d : code association de %s", 'O', ' '},
    {"PROD650", "Association %s et %s non prevue", 'O', ' '},
    {"PROD653", "Code association %s inutile", 'O', ' '},
    {"PROD670", "Specialite non habilitee pour %s", 'O', ' '},
    {"PROD690A", "Deplacement %s non prevu pour %s", 'O', ' '},
    {"PROD700", "Dents absentes pour %s", 'O', ' '},
    {"PROD702", "Dents manquantes pour %s", 'O', ' '},
    {"PROD710", "Dent incompatible avec %s", 'O', ' '},
    {"PROD720", "Age minimal : %s activite %s phase %s", 'O', ' '},
    {"PROD730", "Age maximal : %s", 'O', ' '},
    {"PROD760", "Acte %s non remboursable", 'O', ' '},
    {"PROD765", "Acte %s remboursable sous condition", 'O', ' '},
    {"PROD780", "Entente prealable pour %s", 'O', ' '},
    {"PROD798", "Code regroupement de %s", 'O', ' '},
    {"PROD798A", "Modificateurs %s / OC %s", 'O', ' '},
    {"PROD890", "Nature d'assurance refusee pour %s", 'O', ' '},
    {"PROD895A", "Agrement radio pour %s activite %s", 'O', ' '},
    {"PROD930", "Forfait CMU refuse pour %s", 'O', ' '},
};

void remplirInformations(ConstructeurReferentiel& c) {
    for (uint16_t id : {InformationRegle::kIdentifiant, ReferenceCdC::kIdentifiant, ReferenceRegleEnErreur::kIdentifiant,
                        ReferenceRegleNonVerifiable::kIdentifiant, PrioriteIndicateurForcage::kIdentifiant})
        c.vider(id);
    for (const auto& i : kInformations) {
        auto& information = c.ajouter<InformationRegle>();
        information.identifiantRegle = cale(i.regle, 9);
        information.libellePrincipal = std::string("L") + i.regle;
        information.libelleSecondaire = i.format;
        information.typeRegle = i.outrePassable;
        information.referenceRegleCdC = cale(std::string("RG") + i.regle, 10);
        information.indicateurForcage = i.indicateur;
        auto& reference = c.ajouter<ReferenceCdC>();
        reference.identifiantRegle = cale(i.regle, 10);
        reference.referenceRegleCdC = cale(std::string("RG") + i.regle, 10);
    }
    // PROD500 makes PROD510 and PROD530 unverifiable for its line.
    auto& enErreur = c.ajouter<ReferenceRegleEnErreur>();
    enErreur.referenceRegle = cale("PROD500", 10);
    enErreur.reglesNonVerifiables = {0, 2};
    c.ajouter<ReferenceRegleNonVerifiable>().referenceRegle = cale("RGPROD510", 10);
    c.ajouter<ReferenceRegleNonVerifiable>().referenceRegle = cale("RGPROD530", 10);

    uint16_t rang = 1;
    // In code order. '2' lies 32 bytes from 'R': the pairs (x, 'R') and (x, '2') share a slot of the
    // recent combinations.
    for (char indicateur : {'2', 'A', 'B', 'G', 'R', 'S'}) {
        auto& priorite = c.ajouter<PrioriteIndicateurForcage>();
        priorite.indicateurForcage = indicateur;
        priorite.priorite = indicateur == 'A' ? 4 : indicateur == 'B' ? 5 : indicateur == '2' ? 6 : rang++;
    }
    auto& exception = c.ajouter<ExceptionPrioriteIndicateur>();
    exception.indicateurACombiner = 'A';
    exception.valeurs = {0, 1};
    auto& valeur = c.ajouter<ValeurException>();
    valeur.indicateurPresent = 'B';
    valeur.indicateurRetourne = 'E';
}

// Concept n is row n - 1; the concepts no rule reads hold one dummy value.
void remplirConcepts(ConstructeurReferentiel& c) {
    const std::vector<std::vector<const char*>> valeurs = {
        {"1"}, {"2"}, {"02"}, {"05"}, {"-"}, {"6"}, {"7"}, {"-"}, {"-"}, {"-"},
        {"1"}, {"2"}, {"-"}, {"-"}, {"-"}, {"-"}, {"-"}, {"-"}, {"1"}};
    uint16_t position = 0;
    for (uint16_t n = 0; n < valeurs.size(); ++n) {
        c.ajouter<ConceptCCAM>().historiques = {n, 1};
        auto& historique = c.ajouter<HistoriqueConceptCCAM>();
        historique.dateDebut = kDebut;
        historique.valeurs = {position, static_cast<uint16_t>(valeurs[n].size())};
        for (const char* v : valeurs[n]) c.ajouter<ValeurConceptCCAM>().valeur = v;
        position = static_cast<uint16_t>(position + valeurs[n].size());
    }
}

// F: 2 to 16 years, compatible with U, once per session, OC K. U: up to 28 days,
// compatible with F, several per session. Z: no value after 2010. Both counts of
// modifiers (price-changing and transmissible) are 1.
void remplirModificateurs(ConstructeurReferentiel& c) {
    struct M {
        char code;
        char compatible;
        char presenceMultiple;
        char oc;
    };
    const M modificateurs[] = {{'F', 'U', 'N', 'K'}, {'U', 'F', 'O', ' '}, {'Z', ' ', 'O', ' '}};
    c.vider(ModificaGrille::kIdentifiant);
    c.vider(HistoriqueValeurModificateur::kIdentifiant);
    uint16_t compatibles = 0, oc = 0;
    for (uint16_t i = 0; i < 3; ++i) {
        const M& m = modificateurs[i];
        auto& modificateur = c.ajouter<Modificateur>();
        modificateur.codeModificateur = m.code;
        modificateur.historiquesAge = {i, 1};
        modificateur.historiquesCoherence = {i, 1};
        modificateur.grillesTarifaires = {i, 1};
        modificateur.compatibles = {compatibles, static_cast<uint16_t>(m.compatible != ' ')};
        modificateur.historiquesOC = {oc, static_cast<uint16_t>(m.oc != ' ')};
        if (m.compatible != ' ') {
            auto& compatible = c.ajouter<ModificateurCompatible>();
            compatible.codeModificateur = m.compatible;
            compatible.dateDebut = kDebut;
            ++compatibles;
        }
        if (m.oc != ' ') {
            auto& historiqueOC = c.ajouter<HistoriqueModificateurOC>();
            historiqueOC.dateDebut = kDebut;
            historiqueOC.codeModificateurOC = m.oc;
            ++oc;
        }
        auto& age = c.ajouter<HistoriqueAgeModificateur>();
        age.dateDebut = kDebut;
        age.uniteAgeMinimum = 'A';
        age.uniteAgeMaximum = m.code == 'U' ? 'J' : 'A';
        age.ageMinimum = m.code == 'F' ? 2 : 0;
        age.ageMaximum = m.code == 'F' ? 16 : m.code == 'U' ? 28 : 0;
        auto& coherence = c.ajouter<HistoriqueCoherenceModificateur>();
        coherence.dateDebut = kDebut;
        coherence.topPresenceMultiple = m.presenceMultiple;
        auto& grille = c.ajouter<ModificaGrille>();
        grille.codeGrilleTarifaire = 1;
        grille.historiquesValeur = {i, 1};
        auto& valeur = c.ajouter<HistoriqueValeurModificateur>();
        valeur.dateDebut = kDebut;
        if (m.code == 'Z') valeur.dateFin = Date(2010, 12, 31);
    }
    c.ligne<NombreModificateurTarifant>(0).nombre = 1;
    c.ligne<NombreModificateurTransmissible>(0).nombre = 1;
}

// Speciality 02 is of class 02; 09 had a class until 2010. Coding is compulsory for
// ADC from 2005 for 01 and from 2030 for 02, for C from 2030 and for CS from 2005.
void remplirSpecialites(ConstructeurReferentiel& c) {
    struct S {
        const char* code;
        const char* classe;
        Date fin;
    };
    const S specialites[] = {{"02", "02", Date()}, {"09", "01", Date(2010, 12, 31)}};
    uint16_t position = 1;
    for (const S& s : specialites) {
        auto& specialite = c.ajouter<Specialite>();
        specialite.codeSpecialite = s.code;
        specialite.historiques = {position++, 1};
        auto& historique = c.ajouter<HistoriqueSpecialite>();
        historique.dateDebut = kDebut;
        historique.dateFin = s.fin;
        historique.classeSpecialite = s.classe;
    }
    struct O {
        const char* nature;
        Plage dates;
    };
    for (const O& o : {O{"ADC", {0, 2}}, O{"C", {2, 1}}, O{"CS", {3, 1}}}) {
        auto& obligation = c.ajouter<ObligationCodage>();
        obligation.codeNaturePrestation = cale(o.nature, 3);
        obligation.specialites = o.dates;
    }
    struct D {
        const char* specialite;
        Date date;
    };
    for (const D& d : {D{"01", Date(2005, 1, 1)}, D{"02", Date(2030, 1, 1)}, D{"01", Date(2030, 1, 1)}, D{"01", Date(2005, 1, 1)}}) {
        auto& date = c.ajouter<DateObligationCodage>();
        date.codeSpecialite = d.specialite;
        date.dateObligation = d.date;
    }
}

std::unique_ptr<NiveauActe> acte(const char* code, char type, const char* categorie) {
    auto a = ConstructeurReferentiel::acteSimple(code);
    a->typeActe = type;
    a->activites()[0]->premierHistorique()->categorieMedicale = categorie;
    return a;
}

void remplirActes(ConstructeurReferentiel& c) {
    auto ancien = ConstructeurReferentiel::acteSimple("ACTE001");
    ancien->dateCreation = Date(2005, 1, 1);
    ancien->dateFin = Date(2010, 12, 31);
    c.ajouterActe(std::move(ancien));

    auto chir1 = acte("CHIR001", '2', "02");
    chir1->naturesAssurance = {"AS", "MA"};
    chir1->fraisDeplacement = '1';
    HistoriqueNiveauActe& h1 = *chir1->premierHistorique();
    h1.procedures = {"PROC01"};
    h1.actesIncompatibles = {"CHIR003"};
    h1.ententePrealable = 'O';
    h1.forfaitsCMU = {{"CM1", kDebut, Date()}};
    NiveauActivite& activite1 = *chir1->activites()[0];
    activite1.typesAgrementRadio = {"R1"};
    activite1.premierHistorique()->modificateurs = {'F', 'U'};
    activite1.premierHistorique()->classesSpecialite = {"02"};
    activite1.premierHistorique()->associations = {{"CHIR002", '1'}, {"CHIR004", '1'}};
    c.ajouterActe(std::move(chir1));

    auto chir2 = acte("CHIR002", '1', "03");
    chir2->premierHistorique()->procedures = {"PROC01"};
    chir2->premierHistorique()->admissionRemboursement = '6';
    c.ajouterActe(std::move(chir2));
    auto chir3 = acte("CHIR003", '0', "02");
    chir3->premierHistorique()->procedures = {"PROC01"};
    chir3->premierHistorique()->admissionRemboursement = '7';
    c.ajouterActe(std::move(chir3));
    c.ajouterActe(acte("CHIR004", '0', "02"));

    auto dent1 = acte("DENT001", '0', "05");
    NiveauActivite& activiteDent = *dent1->activites()[0];
    activiteDent.premierHistorique()->associations = {{"DENT002", '1'}};
    NiveauPhase& phase0 = *activiteDent.phases()[0];
    phase0.nombreDentsATraiter = "02";
    phase0.ageMinimum = 3;
    phase0.ageMaximum = 60;
    phase0.dentsIncompatibles = {"11"};
    for (const char* p : {"1", "2"}) {
        std::unique_ptr<NiveauPhase> phase(new NiveauPhase(phase0));
        phase->codePhase = p[0];
        phase->nombreDentsATraiter = p[0] == '1' ? "00" : "17";
        activiteDent.ajouterPhase(std::move(phase));
    }
    c.ajouterActe(std::move(dent1));
    c.ajouterActe(acte("DENT002", '0', "05"));
}

}  // namespace

void remplirRegles(ConstructeurReferentiel& constructeur) {
    remplirInformations(constructeur);
    remplirConcepts(constructeur);
    remplirModificateurs(constructeur);
    remplirSpecialites(constructeur);
    remplirActes(constructeur);
}

ReferentielDeRegles::ReferentielDeRegles(const std::string& nom, void (*remplir)(ConstructeurReferentiel&))
    : repertoire_("regles-" + nom) {
    ConstructeurReferentiel constructeur;
    remplir(constructeur);
    pret_ = constructeur.ecrire(repertoire_.chemin()) &&
            referentiel_.chargerReferentiel(repertoire_.chemin().c_str(), repertoire_.chemin().c_str(), "0302",
                                            "1000") == 0 &&
            lecture_.ouvrir() == 0;
}

ReferentielDeRegles::~ReferentielDeRegles() = default;
