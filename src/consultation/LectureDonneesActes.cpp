// Queries on the data of one act: its fixed fields, its activities and phases,
// and the versions of each level in force at a date. Every one starts from the
// act lookup, so the act is read from the table file on first use.
#include <cstring>

#include "consultation/LectureDonnees.h"
#include "consultation/ParcoursReferentiel.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/lignes/Modifications.h"

namespace {

Texte texteDe(const std::string& chaine) { return Texte(chaine.c_str()); }

template <class T>
void ajouterCodes(TypeListe<Code>& liste, const std::vector<T>& entrees, uint16_t& cr) {
    for (size_t i = 0; i < entrees.size() && cr == 0; ++i) ajouterCode(liste, entrees[i], static_cast<uint32_t>(i), cr);
}

// Whether an entry is the code codeFixe would make of it, without making it.
bool estCode(const std::string& champ, const Code& code) { return code.estColonne(champ.data(), champ.size()); }
bool estCode(char champ, const Code& code) { return code.estColonne(&champ, 1); }
template <class T>
bool contient(const std::vector<T>& entrees, const Code& code) {
    for (const T& entree : entrees)
        if (estCode(entree, code)) return true;
    return false;
}

// The list queries that have a membership form, named once for both: they trace alike.
struct NomRequete {
    const char* nom;
    const char* objet;
};
constexpr NomRequete kNaturesAssurance{"rechercherNaturesAssurance",
                                       "recherche de la liste des natures d'assurance d'un acte"};
constexpr NomRequete kActivites{"rechercherActivites", "recherche de la liste des codes activite d'un acte"};
constexpr NomRequete kPhases{"rechercherPhasesDeTraitement", "recherche de la liste des phases d'une activite"};
constexpr NomRequete kClassesSpecialite{"rechercherClassesSpecialitesExecutant",
                                        "recherche de la liste des classes de specialite executant"};
constexpr NomRequete kModificateursApplicables{"rechercherModificateursApplicables",
                                               "recherche de la liste des modificateurs applicables"};

}  // namespace

// --- Fixed data of the act ----------------------------------------------------

uint16_t LectureDonnees::rechercherCodeStructure(const Code& codeActe, Code& code) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodeStructure", "recherche du code structure d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) code = codeFixe(acte->codeStructure);
    return cr;
}

uint16_t LectureDonnees::rechercherLibelleCourt(const Code& codeActe, Texte& libelle) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherLibelleCourt", "recherche du libelle court d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) libelle = texteDe(acte->libelleCourt);
    return cr;
}

uint16_t LectureDonnees::rechercherLibelleLong(const Code& codeActe, Texte& libelle) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherLibelleLong", "recherche du libelle long d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) libelle = texteDe(acte->libelleLong);
    return cr;
}

uint16_t LectureDonnees::rechercherTypeActe(const Code& codeActe, Code& type) {
    VueCode vue;
    const uint16_t cr = rechercherTypeActe(codeActe, vue);
    if (cr == 0) type = vue.code();
    return cr;
}

uint16_t LectureDonnees::rechercherTypeActe(const Code& codeActe, VueCode& type) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherTypeActe", "recherche du type d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) type = vueFixe(acte->typeActe);
    return cr;
}

uint16_t LectureDonnees::rechercherConditionsGenerales(const Code& codeActe, Texte& conditions) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherConditionsGenerales", "recherche des conditions generales d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) conditions = texteDe(acte->conditionsGenerales);
    return cr;
}

uint16_t LectureDonnees::rechercherNotesActe(const Code& codeActe, Texte& notes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNotesActe", "recherche des notes d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) notes = texteDe(acte->notes);
    return cr;
}

uint16_t LectureDonnees::rechercherSexeCompatible(const Code& codeActe, Code& sexe) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherSexeCompatible", "recherche du sexe compatible avec un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) sexe = codeFixe(acte->sexeCompatible);
    return cr;
}

uint16_t LectureDonnees::rechercherCodeMenu(const Code& codeActe, Nombre& codeMenu) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodeMenu", "recherche du code menu d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) codeMenu = Nombre(static_cast<int32_t>(acte->codeMenu));
    return cr;
}

uint16_t LectureDonnees::rechercherDateCreation(const Code& codeActe, Date& date) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDateCreation", "recherche de la date de creation d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) date = acte->dateCreation;
    return cr;
}

uint16_t LectureDonnees::rechercherDateFin(const Code& codeActe, Date& date) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDateFin", "recherche de la date de fin d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) date = acte->dateFin;
    return cr;
}

uint16_t LectureDonnees::rechercherFraisDeplacement(const Code& codeActe, Code& code) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherFraisDeplacement", "recherche du code frais de deplacement d'un acte", cr);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) code = codeFixe(acte->fraisDeplacement);
    return cr;
}

uint16_t LectureDonnees::rechercherNaturesAssurance(const Code& codeActe, TypeListe<Code>& natures) {
    uint16_t cr = 0;
    TraceRequete trace(kNaturesAssurance.nom, kNaturesAssurance.objet, cr);
    natures.vider();
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) ajouterCodes(natures, acte->naturesAssurance, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherActivites(const Code& codeActe, TypeListe<Code>& activites) {
    uint16_t cr = 0;
    TraceRequete trace(kActivites.nom, kActivites.objet, cr);
    activites.vider();
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    for (size_t i = 0; cr == 0 && i < acte->activites().size(); ++i)
        ajouterCode(activites, acte->activites()[i]->codeActivite, static_cast<uint32_t>(i), cr);
    return cr;
}

uint16_t LectureDonnees::contientNatureAssurance(const Code& codeActe, const Code& nature, Booleen& present) {
    uint16_t cr = 0;
    TraceRequete trace(kNaturesAssurance.nom, kNaturesAssurance.objet, cr);
    present = Booleen(false);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    if (cr == 0) present = Booleen(contient(acte->naturesAssurance, nature));
    return cr;
}

uint16_t LectureDonnees::contientActivite(const Code& codeActe, const Code& codeActivite, Booleen& present) {
    uint16_t cr = 0;
    TraceRequete trace(kActivites.nom, kActivites.objet, cr);
    present = Booleen(false);
    NiveauActe* acte = nullptr;
    cr = chercherActe(codeActe, acte);
    for (size_t i = 0; cr == 0 && !present.valeur() && i < acte->activites().size(); ++i)
        present = Booleen(estCode(acte->activites()[i]->codeActivite, codeActivite));
    return cr;
}

// --- Act versions ---------------------------------------------------------------

uint16_t LectureDonnees::rechercherAdmissionRemboursement(const Code& codeActe, const Date& dateReference,
                                                          Code& code) {
    VueCode vue;
    const uint16_t cr = rechercherAdmissionRemboursement(codeActe, dateReference, vue);
    if (cr == 0) code = vue.code();
    return cr;
}

uint16_t LectureDonnees::rechercherAdmissionRemboursement(const Code& codeActe, const Date& dateReference,
                                                          VueCode& code) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherAdmissionRemboursement", "recherche du code admission au remboursement", cr);
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) code = vueFixe(historique->admissionRemboursement);
    return cr;
}

uint16_t LectureDonnees::rechercherEntentePrealable(const Code& codeActe, const Date& dateReference,
                                                    Booleen& entente) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherEntentePrealable", "recherche de l'indicateur d'entente prealable", cr);
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) entente = Booleen(historique->ententePrealable);
    return cr;
}

uint16_t LectureDonnees::rechercherCodesExonerationTM(const Code& codeActe, const Date& dateReference,
                                                      TypeListe<Code>& codes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodesExonerationTM", "recherche de la liste des codes d'exoneration TM", cr);
    codes.vider();
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) ajouterCodes(codes, historique->codesETM, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherCodesExonerationTM(const Code& codeActe, const Date& dateReference,
                                                      VueCodesOctet& codes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodesExonerationTM", "recherche de la liste des codes d'exoneration TM", cr);
    codes = VueCodesOctet();
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) codes = VueCodesOctet(historique->codesETM.data(), historique->codesETM.size());
    return cr;
}

uint16_t LectureDonnees::rechercherProcedures(const Code& codeActe, const Date& dateReference,
                                              TypeListe<Code>& procedures) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherProcedures", "recherche de la liste des procedures d'un acte", cr);
    procedures.vider();
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) ajouterCodes(procedures, historique->procedures, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherProcedures(const Code& codeActe, const Date& dateReference,
                                              VueCodes& procedures) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherProcedures", "recherche de la liste des procedures d'un acte", cr);
    procedures = VueCodes();
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) procedures = VueCodes(historique->procedures);
    return cr;
}

uint16_t LectureDonnees::rechercherActesIncompatibles(const Code& codeActe, const Date& dateReference,
                                                      TypeListe<Code>& actes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherActesIncompatibles", "recherche de la liste des actes incompatibles", cr);
    actes.vider();
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) ajouterCodes(actes, historique->actesIncompatibles, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherActesIncompatibles(const Code& codeActe, const Date& dateReference,
                                                      VueCodes& actes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherActesIncompatibles", "recherche de la liste des actes incompatibles", cr);
    actes = VueCodes();
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    if (cr == 0) actes = VueCodes(historique->actesIncompatibles);
    return cr;
}

uint16_t LectureDonnees::rechercherActesForfaitCMU(const Code& codeActe, const Date& dateReference,
                                                   TypeListe<Code>& forfaits) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherActesForfaitCMU", "recherche de la liste des forfaits CMU compatibles", cr);
    forfaits.vider();
    const HistoriqueNiveauActe* historique = nullptr;
    cr = chercherHistoActe(codeActe, dateReference, historique);
    for (size_t i = 0; cr == 0 && i < historique->forfaitsCMU.size(); ++i) {
        const ForfaitCMU& forfait = historique->forfaitsCMU[i];
        if (estEnVigueur(forfait.dateDebutValidite, forfait.dateFinValidite, dateReference))
            ajouterCode(forfaits, forfait.codeForfait, static_cast<uint32_t>(i), cr);
    }
    return cr;
}

// --- Activities -------------------------------------------------------------------

uint16_t LectureDonnees::rechercherPhasesDeTraitement(const Code& codeActe, const Code& codeActivite,
                                                      TypeListe<Code>& phases) {
    uint16_t cr = 0;
    TraceRequete trace(kPhases.nom, kPhases.objet, cr);
    phases.vider();
    NiveauActivite* activite = nullptr;
    cr = chercherActivite(codeActe, codeActivite, activite);
    for (size_t i = 0; cr == 0 && i < activite->phases().size(); ++i)
        ajouterCode(phases, activite->phases()[i]->codePhase, static_cast<uint32_t>(i), cr);
    return cr;
}

uint16_t LectureDonnees::contientPhase(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                       Booleen& present) {
    uint16_t cr = 0;
    TraceRequete trace(kPhases.nom, kPhases.objet, cr);
    present = Booleen(false);
    NiveauActivite* activite = nullptr;
    cr = chercherActivite(codeActe, codeActivite, activite);
    for (size_t i = 0; cr == 0 && !present.valeur() && i < activite->phases().size(); ++i)
        present = Booleen(estCode(activite->phases()[i]->codePhase, codePhase));
    return cr;
}

uint16_t LectureDonnees::rechercherRMO(const Code& codeActe, const Code& codeActivite, TypeListe<Code>& rmo) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherRMO", "recherche de la liste des references medicales opposables", cr);
    rmo.vider();
    NiveauActivite* activite = nullptr;
    cr = chercherActivite(codeActe, codeActivite, activite);
    if (cr == 0) ajouterCodes(rmo, activite->rmo, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherAgrementsRadio(const Code& codeActe, const Code& codeActivite,
                                                  TypeListe<Code>& agrements) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherAgrementsRadio", "recherche de la liste des types d'agrement radio", cr);
    agrements.vider();
    NiveauActivite* activite = nullptr;
    cr = chercherActivite(codeActe, codeActivite, activite);
    if (cr == 0) ajouterCodes(agrements, activite->typesAgrementRadio, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherCodesExtensionDocumentaire(const Code& codeActe, const Code& codeActivite,
                                                              TypeListe<Code>& codes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodesExtensionDocumentaire",
                       "recherche de la liste des codes d'extension documentaire", cr);
    codes.vider();
    NiveauActivite* activite = nullptr;
    cr = chercherActivite(codeActe, codeActivite, activite);
    if (cr == 0) ajouterCodes(codes, activite->codesExtensionDocumentaire, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherActesCompatibles(const Code& codeActe, const Code& codeActivite,
                                                    const Date& dateReference, TypeListe<Code>& actes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherActesCompatibles", "recherche de la liste des actes associables", cr);
    actes.vider();
    const HistoriqueNiveauActivite* historique = nullptr;
    cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    for (size_t i = 0; cr == 0 && i < historique->associations.size(); ++i)
        ajouterCode(actes, historique->associations[i].codeActe, static_cast<uint32_t>(i), cr);
    return cr;
}

uint16_t LectureDonnees::rechercherRegleAssociation(const Code& codeActe, const Code& codeActivite,
                                                    const Date& dateReference, const Code& acteAssocie,
                                                    Code& regle) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherRegleAssociation", "recherche de la regle d'association d'un couple d'actes", cr);
    tracerLecture("Code acte associe : %s", acteAssocie.chaine());
    const CleFixe cle(acteAssocie, kLargeurCodeActe, cr);
    const HistoriqueNiveauActivite* historique = nullptr;
    if (cr == 0) cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    if (cr != 0) return cr;
    for (const AssociationActivite& association : historique->associations) {
        if (comparerCle(association.codeActe, cle) == 0) {
            regle = codeFixe(association.codeRegleTarifaire);
            return cr;
        }
    }
    tracerErreurLecture("ERREUR: pas d'association trouve pour ce couple acte-activite");
    cr = KPX_CR_ELEMENT_ABSENT;
    return cr;
}

uint16_t LectureDonnees::rechercherClassesSpecialitesExecutant(const Code& codeActe, const Code& codeActivite,
                                                               const Date& dateReference, TypeListe<Code>& classes) {
    uint16_t cr = 0;
    TraceRequete trace(kClassesSpecialite.nom, kClassesSpecialite.objet, cr);
    classes.vider();
    const HistoriqueNiveauActivite* historique = nullptr;
    cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    if (cr == 0) ajouterCodes(classes, historique->classesSpecialite, cr);
    return cr;
}

uint16_t LectureDonnees::contientClasseSpecialiteExecutant(const Code& codeActe, const Code& codeActivite,
                                                           const Date& dateReference, const Code& classe,
                                                           Booleen& present) {
    uint16_t cr = 0;
    TraceRequete trace(kClassesSpecialite.nom, kClassesSpecialite.objet, cr);
    present = Booleen(false);
    const HistoriqueNiveauActivite* historique = nullptr;
    cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    if (cr == 0) present = Booleen(contient(historique->classesSpecialite, classe));
    return cr;
}

uint16_t LectureDonnees::rechercherModificateursApplicables(const Code& codeActe, const Code& codeActivite,
                                                            const Date& dateReference,
                                                            TypeListe<Code>& modificateurs) {
    uint16_t cr = 0;
    TraceRequete trace(kModificateursApplicables.nom, kModificateursApplicables.objet, cr);
    modificateurs.vider();
    const HistoriqueNiveauActivite* historique = nullptr;
    cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    if (cr == 0) ajouterCodes(modificateurs, historique->modificateurs, cr);
    return cr;
}

uint16_t LectureDonnees::contientModificateursApplicables(const Code& codeActe, const Code& codeActivite,
                                                          const Date& dateReference,
                                                          const TypeListe<Code>& modificateurs, Booleen& tous) {
    uint16_t cr = 0;
    TraceRequete trace(kModificateursApplicables.nom, kModificateursApplicables.objet, cr);
    tous = Booleen(false);
    const HistoriqueNiveauActivite* historique = nullptr;
    cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    bool dedans = cr == 0;
    for (uint16_t i = 0; dedans && i < modificateurs.nombre(); ++i)
        dedans = contient(historique->modificateurs, modificateurs.element(i));
    if (cr == 0) tous = Booleen(dedans);
    return cr;
}

uint16_t LectureDonnees::rechercherCategorieMedicale(const Code& codeActe, const Code& codeActivite,
                                                     const Date& dateReference, Code& categorie) {
    VueCode vue;
    const uint16_t cr = rechercherCategorieMedicale(codeActe, codeActivite, dateReference, vue);
    if (cr == 0) categorie = vue.code();
    return cr;
}

uint16_t LectureDonnees::rechercherCategorieMedicale(const Code& codeActe, const Code& codeActivite,
                                                     const Date& dateReference, VueCode& categorie) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCategorieMedicale", "recherche de la categorie medicale d'une activite", cr);
    const HistoriqueNiveauActivite* historique = nullptr;
    cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    if (cr == 0) categorie = vueFixe(historique->categorieMedicale);
    return cr;
}

uint16_t LectureDonnees::rechercherCodeRegroupement(const Code& codeActe, const Code& codeActivite,
                                                    const Date& dateReference, Code& code) {
    VueCode vue;
    const uint16_t cr = rechercherCodeRegroupement(codeActe, codeActivite, dateReference, vue);
    if (cr == 0) code = vue.code();
    return cr;
}

uint16_t LectureDonnees::rechercherCodeRegroupement(const Code& codeActe, const Code& codeActivite,
                                                    const Date& dateReference, VueCode& code) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodeRegroupement", "recherche du code regroupement d'une activite", cr);
    const HistoriqueNiveauActivite* historique = nullptr;
    cr = chercherHistoActivite(codeActe, codeActivite, dateReference, historique);
    if (cr == 0) {
        code = vueFixe(historique->codeRegroupement);
        Booleen modifie;
        if (modificationsACompter(ModificationCodeRegroupement::kIdentifiant) &&
            chercheModificationCodeRegroupement(codeActe, codeActivite, dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

// --- Phases -----------------------------------------------------------------------

uint16_t LectureDonnees::rechercherAgeMinimal(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                              Periode& age) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherAgeMinimal", "recherche de l'age minimal d'une phase", cr);
    NiveauPhase* phase = nullptr;
    cr = chercherPhase(codeActe, codeActivite, codePhase, phase);
    if (cr == 0) age = Periode(phase->ageMinimum, 0);
    return cr;
}

uint16_t LectureDonnees::rechercherAgeMaximal(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                              Periode& age) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherAgeMaximal", "recherche de l'age maximal d'une phase", cr);
    NiveauPhase* phase = nullptr;
    cr = chercherPhase(codeActe, codeActivite, codePhase, phase);
    if (cr == 0) age = Periode(phase->ageMaximum, 0);
    return cr;
}

uint16_t LectureDonnees::rechercherNombreDents(const Code& codeActe, const Code& codeActivite, const Code& codePhase,
                                               Code& nombre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNombreDents", "recherche du nombre de dents a traiter d'une phase", cr);
    NiveauPhase* phase = nullptr;
    cr = chercherPhase(codeActe, codeActivite, codePhase, phase);
    if (cr == 0) nombre = codeFixe(phase->nombreDentsATraiter);
    return cr;
}

uint16_t LectureDonnees::rechercherDentsIncompatibles(const Code& codeActe, const Code& codeActivite,
                                                      const Code& codePhase, TypeListe<Code>& dents) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDentsIncompatibles", "recherche de la liste des dents incompatibles", cr);
    dents.vider();
    NiveauPhase* phase = nullptr;
    cr = chercherPhase(codeActe, codeActivite, codePhase, phase);
    if (cr == 0) ajouterCodes(dents, phase->dentsIncompatibles, cr);
    return cr;
}

uint16_t LectureDonnees::rechercherPrixUnitaire(const Code& codeActe, const Code& codeActivite,
                                                const Code& codePhase, const Nombre& grille,
                                                const Date& dateReference, Montant& prix) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherPrixUnitaire", "recherche du prix unitaire d'une phase pour une grille", cr);
    tracerLecture("Grille tarifaire : %03u", static_cast<unsigned>(grille.valeur()));
    const HistoriqueNiveauPhase* historique = nullptr;
    cr = chercherHistoPhase(codeActe, codeActivite, codePhase, dateReference, historique);
    if (cr != 0) return cr;
    for (const PrixGrille& entree : historique->grilles) {
        if (entree.codeGrille == grille.valeur()) {
            prix = Montant(entree.prixUnitaire);
            Booleen modifie;
            if (modificationsACompter(ModificationPrixUnitaire::kIdentifiant) &&
                chercherModificationPrixUnitaire(codeActe, codeActivite, codePhase, grille, dateReference,
                                                 modifie) == 0)
                compter(modifie.valeur());
            return cr;
        }
    }
    tracerErreurLecture("Grille tarifaire non trouvee dans l'historique de la phase");
    cr = KPX_CR_ELEMENT_ABSENT;
    return cr;
}

uint16_t LectureDonnees::rechercherSupplementCharge(const Code& codeActe, const Code& codeActivite,
                                                    const Code& codePhase, const Date& dateReference,
                                                    Montant& supplement) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherSupplementCharge", "recherche du supplement de charge d'une phase", cr);
    const HistoriqueNiveauPhase* historique = nullptr;
    cr = chercherHistoPhase(codeActe, codeActivite, codePhase, dateReference, historique);
    if (cr == 0) {
        supplement = Montant(historique->supplementCharge);
        Booleen modifie;
        if (modificationsACompter(ModificationSupplementCharge::kIdentifiant) &&
            chercherModificationSupplementCharge(codeActe, codeActivite, codePhase, dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

uint16_t LectureDonnees::rechercherMajorationDOM(const Code& codeActe, const Code& codeActivite,
                                                 const Code& codePhase, const Nombre& positionDOM,
                                                 const Date& dateReference, Coefficient& majoration) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherMajorationDOM", "recherche de la majoration DOM d'une phase", cr);
    tracerLecture("Position DOM : %d", positionDOM.valeur());
    if (positionDOM.valeur() < 1 || positionDOM.valeur() > 4) {
        tracerErreurLecture("parametre Position DOM incorrect (valeurs autorisees:1,2,3,4)");
        cr = KPX_CR_DONNEES_INCOHERENTES;
        return cr;
    }
    const HistoriqueNiveauPhase* historique = nullptr;
    cr = chercherHistoPhase(codeActe, codeActivite, codePhase, dateReference, historique);
    if (cr == 0) {
        majoration = Coefficient(historique->majorationsDOM[positionDOM.valeur() - 1]);
        Booleen modifie;
        if (modificationsACompter(ModificationMajorationDOM::kIdentifiant) &&
            chercherModificationMajorationDOM(codeActe, codeActivite, codePhase, positionDOM, dateReference,
                                              modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}
