// Queries on the parameter tables: rows found by key in sorted tables, rows
// valid at a date, their child ranges, and values kept per tariff grid.
// Concept N is row N-1 of the concept table and code list N row N-1 of the
// code-list table: the tables hold them in number order, from 1.
#include <cstring>

#include "consultation/LectureDonnees.h"
#include "consultation/ParcoursReferentiel.h"
#include "referentiel/Referentiel.h"
#include "referentiel/lignes/Lignes.h"

namespace {

// Row index of a 1-based number in a table, or false when it falls outside.
bool ligneDuNumero(const Table* table, const Nombre& numero, uint32_t& indice) {
    if (table == nullptr || numero.valeur() < 1 || static_cast<uint32_t>(numero.valeur()) > table->nombreLignes())
        return false;
    indice = static_cast<uint32_t>(numero.valeur()) - 1;
    return true;
}

uint16_t grilleDe(const Nombre& grille) { return static_cast<uint16_t>(grille.valeur()); }

void tracerGrille(const Nombre& grille) { tracerLecture("Grille tarifaire : %03u", static_cast<unsigned>(grille.valeur())); }

// An absent key or nothing valid at the date is a "no", not a failure.
void versReponse(uint16_t& cr, Booleen& reponse, bool trouve) {
    reponse = Booleen(cr == 0 && trouve);
    if (cr == KPX_CR_ELEMENT_ABSENT || cr == KPX_CR_RIEN_EN_VIGUEUR) cr = 0;
}

}  // namespace

// --- Keyed rows -------------------------------------------------------------------

uint16_t LectureDonnees::chercherAssociationNP(const Code& codeAssociation, const AssociationNonPrevue*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherAssociationNP", "recherche d'un code association non prevue", cr);
    tracerLecture("Code association recherche : %s", codeAssociation.chaine());
    const CleFixe cle(codeAssociation, 1, cr);
    ligne = chercherDichotomie<AssociationNonPrevue>(
        tableReferentiel(AssociationNonPrevue::kIdentifiant, cr),
        [&cle](const AssociationNonPrevue& l) { return comparerOctet(l.codeAssociation, cle[0]); }, cr,
        "Code association non trouve dans la table Associations Non Prevues");
    return cr;
}

uint16_t LectureDonnees::chercherCaisseJoursFeries(const Code& codeCaisse, const JourFerieCaisse*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherCaisseJoursFeries", "recherche d'une caisse dans la table des jours feries", cr);
    tracerLecture("Code caisse recherche : %s", codeCaisse.chaine());
    const CleFixe cle(codeCaisse, kLargeurCaisse, cr);
    ligne = chercherDichotomie<JourFerieCaisse>(
        tableReferentiel(JourFerieCaisse::kIdentifiant, cr),
        [&cle](const JourFerieCaisse& l) { return comparerCle(l.codeCaisse, cle); }, cr,
        "Code caisse non trouve dans la table Jours Feries Caisse");
    return cr;
}

uint16_t LectureDonnees::chercherClasseSpecialite(const Code& classe, const ClasseSpecialite*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherClasseSpecialite", "recherche d'une classe de specialite", cr);
    tracerLecture("Classe specialite recherchee : %s", classe.chaine());
    const CleFixe cle(classe, kLargeurSpecialite, cr);
    ligne = chercherDichotomie<ClasseSpecialite>(
        tableReferentiel(ClasseSpecialite::kIdentifiant, cr),
        [&cle](const ClasseSpecialite& l) { return comparerCle(l.classeSpecialite, cle); }, cr,
        "Classe specialite non trouvee dans la table Classes Specialites");
    return cr;
}

uint16_t LectureDonnees::chercherIdentifiantRegle(const Code& identifiantRegle, const ReferenceCdC*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherIdentifiantRegle", "recherche d'une regle dans la table References CdC", cr);
    tracerLecture("Identifiant regle recherche : %s", identifiantRegle.chaine());
    const CleFixe cle(identifiantRegle, kLargeurIdentifiantRegle, cr);
    ligne = chercherDichotomie<ReferenceCdC>(
        tableReferentiel(ReferenceCdC::kIdentifiant, cr),
        [&cle](const ReferenceCdC& l) { return comparerCle(l.identifiantRegle, cle); }, cr,
        "Identifiant regle non trouve dans la table References CdC");
    return cr;
}

uint16_t LectureDonnees::chercherIndicateur(const Code& indicateur, const ExceptionPrioriteIndicateur*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherIndicateur", "recherche d'un indicateur dans la table des exceptions", cr);
    tracerLecture("Indicateur recherche : %s", indicateur.chaine());
    const CleFixe cle(indicateur, kLargeurIndicateur, cr);
    ligne = chercherDichotomie<ExceptionPrioriteIndicateur>(
        tableReferentiel(ExceptionPrioriteIndicateur::kIdentifiant, cr),
        [&cle](const ExceptionPrioriteIndicateur& l) { return comparerOctet(l.indicateurACombiner, cle[0]); }, cr,
        "Indicateur non trouve dans la table Exceptions");
    return cr;
}

uint16_t LectureDonnees::chercherIndicateurForcage(const Code& indicateur, const PrioriteIndicateurForcage*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherIndicateurForcage", "recherche d'un indicateur de forcage", cr);
    tracerLecture("Indicateur recherche : %s", indicateur.chaine());
    const CleFixe cle(indicateur, kLargeurIndicateur, cr);
    ligne = chercherDichotomie<PrioriteIndicateurForcage>(
        tableReferentiel(PrioriteIndicateurForcage::kIdentifiant, cr),
        [&cle](const PrioriteIndicateurForcage& l) { return comparerOctet(l.indicateurForcage, cle[0]); }, cr,
        "Indicateur de forcage non trouve dans la table Priorite Indicateur Forcage");
    return cr;
}

uint16_t LectureDonnees::chercherModificateur(const Code& codeModificateur, const Modificateur*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherModificateur", "recherche d'un modificateur", cr);
    tracerLecture("Code modificateur recherche : %s", codeModificateur.chaine());
    const CleFixe cle(codeModificateur, 1, cr);
    ligne = chercherDichotomie<Modificateur>(
        tableReferentiel(Modificateur::kIdentifiant, cr),
        [&cle](const Modificateur& l) { return comparerOctet(l.codeModificateur, cle[0]); }, cr,
        "Code modificateur non trouve dans la table Modificateurs");
    return cr;
}

uint16_t LectureDonnees::chercherObligationCodage(const Code& naturePrestation, const ObligationCodage*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherObligationCodage", "recherche d'une nature de prestation", cr);
    tracerLecture("Nature de prestation recherchee : %s", naturePrestation.chaine());
    const CleFixe cle(naturePrestation, kLargeurNaturePrestation, cr);
    ligne = chercherDichotomie<ObligationCodage>(
        tableReferentiel(ObligationCodage::kIdentifiant, cr),
        [&cle](const ObligationCodage& l) { return comparerCle(l.codeNaturePrestation, cle); }, cr,
        "Code nature de prestation non trouve dans la table Obligations Codage");
    return cr;
}

uint16_t LectureDonnees::chercherRegleEnErreur(const Code& identifiantRegle, const ReferenceRegleEnErreur*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherRegleEnErreur", "recherche d'une regle dans la table des regles en erreur", cr);
    tracerLecture("Identifiant regle recherche : %s", identifiantRegle.chaine());
    const CleFixe cle(identifiantRegle, kLargeurIdentifiantRegle, cr);
    ligne = chercherDichotomie<ReferenceRegleEnErreur>(
        tableReferentiel(ReferenceRegleEnErreur::kIdentifiant, cr),
        [&cle](const ReferenceRegleEnErreur& l) { return comparerCle(l.referenceRegle, cle); }, cr,
        "Reference regle non trouvee dans la table References Regles En Erreur");
    return cr;
}

uint16_t LectureDonnees::chercherRegleTarifaire(const Code& codeRegle, const RegleTarifaire*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherRegleTarifaire", "recherche d'une regle tarifaire", cr);
    tracerLecture("Code regle recherche : %s", codeRegle.chaine());
    const CleFixe cle(codeRegle, 1, cr);
    ligne = chercherDichotomie<RegleTarifaire>(
        tableReferentiel(RegleTarifaire::kIdentifiant, cr),
        [&cle](const RegleTarifaire& l) { return comparerOctet(l.codeRegle, cle[0]); }, cr,
        "Code regle non trouve dans la table Regles Tarifaires");
    return cr;
}

uint16_t LectureDonnees::chercherServiceDebrayable(const Texte& identifiant, const ServiceDebrayable*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherServiceDebrayable", "recherche d'un service debrayable", cr);
    tracerLecture("Service recherche : %s", identifiant.chaine());
    const char* cle = identifiant.chaine();
    ligne = chercherDichotomie<ServiceDebrayable>(
        tableReferentiel(ServiceDebrayable::kIdentifiant, cr),
        [cle](const ServiceDebrayable& l) { return comparerChaine(l.identifiant, cle); }, cr,
        "Service non trouve dans la table Services Debrayables");
    return cr;
}

uint16_t LectureDonnees::chercherSpecialite(const Code& specialite, const Specialite*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherSpecialite", "recherche d'une specialite", cr);
    tracerLecture("Code specialite recherche : %s", specialite.chaine());
    const CleFixe cle(specialite, kLargeurSpecialite, cr);
    ligne = chercherDichotomie<Specialite>(
        tableReferentiel(Specialite::kIdentifiant, cr),
        [&cle](const Specialite& l) { return comparerCle(l.codeSpecialite, cle); }, cr,
        "Code specialite non trouve dans la table Specialite");
    return cr;
}

template <class L>
const L* LectureDonnees::ligneDatee(const Date& dateReference, uint16_t& cr, const char* messageAbsent) {
    static_assert(L::kIdentifiant < kNombreTablesDatees, "a place per table");
    const bool retenue = descenteUtilisable();
    LigneDateeRetenue& place = lignesDatees_[L::kIdentifiant];
    if (cr == 0 && retenue && place.generation == generationDatees_ && place.date == cleDate(dateReference))
        return static_cast<const L*>(place.ligne);
    const L* ligne = chercherLigneDatee<L>(tableReferentiel(L::kIdentifiant, cr), dateReference, cr, messageAbsent);
    if (ligne != nullptr && retenue) place = LigneDateeRetenue{generationDatees_, cleDate(dateReference), ligne};
    return ligne;
}

uint16_t LectureDonnees::chercherReductionNonConventionnes(const Date& dateReference,
                                                           const ReductionNonConventionne*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherReductionNonConventionnes", "recherche de la reduction pour les non conventionnes",
                       cr);
    tracerDateReference(dateReference);
    ligne = ligneDatee<ReductionNonConventionne>(
        dateReference, cr, "Pas de ligne Reduction Non Conventionnes correspondant a la date de reference");
    return cr;
}

// --- Existence ----------------------------------------------------------------------

uint16_t LectureDonnees::rechercherExistenceAssociationNP(const Code& codeAssociation, const Date& dateReference,
                                                          const Nombre& grille, Booleen& existe) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherExistenceAssociationNP", "recherche de l'existence d'une association non prevue",
                       cr);
    tracerDateReference(dateReference);
    tracerGrille(grille);
    const AssociationNonPrevue* association = nullptr;
    cr = chercherAssociationNP(codeAssociation, association);
    const Table* grilles = tableReferentiel(AssoGrille::kIdentifiant, cr);
    const Table* historiques = tableReferentiel(HistoriqueAssociationNonPrevue::kIdentifiant, cr);
    const AssoGrille* assoGrille = nullptr;
    uint32_t indice = 0;
    if (cr == 0) cr = association->rechercherGrille(*grilles, grilleDe(grille), assoGrille, indice);
    const HistoriqueAssociationNonPrevue* historique = nullptr;
    if (cr == 0) cr = assoGrille->rechercherHistoriqueAssociationNP(*historiques, dateReference, historique);
    versReponse(cr, existe, true);
    return cr;
}

uint16_t LectureDonnees::rechercherExistenceCodeRegroupement(const Code& codeRegroupement,
                                                             const Date& dateReference, Booleen& existe) {
    const bool retenue = descenteUtilisable();
    if (retenue && regroupementRetenu_.a(codeRegroupement, dateReference)) {
        existe = Booleen(regroupementRetenu_.existe);
        return 0;
    }
    uint16_t cr = 0;
    TraceRequete trace("rechercherExistenceCodeRegroupement", "recherche de l'existence d'un code regroupement", cr);
    tracerLecture("Code regroupement recherche : %s", codeRegroupement.chaine());
    tracerDateReference(dateReference);
    const CleFixe cle(codeRegroupement, kLargeurCodeRegroupement, cr);
    const Table* codes = tableReferentiel(CodeRegroupement::kIdentifiant, cr);
    bool trouve = false;
    // A code may have several dated rows: the walk takes any valid one.
    for (uint32_t i = 0; cr == 0 && !trouve && i < codes->nombreLignes(); ++i) {
        const CodeRegroupement* ligne = codes->ligneDe<CodeRegroupement>(i);
        trouve = ligne != nullptr && comparerCle(ligne->codeRegroupement, cle) == 0 &&
                 estEnVigueur(ligne->dateDebut, ligne->dateFin, dateReference);
    }
    versReponse(cr, existe, trouve);
    if (retenue && cr == 0)
        regroupementRetenu_ = RegroupementRetenu{true, codeRegroupement, cleDate(dateReference), existe.valeur()};
    return cr;
}

uint16_t LectureDonnees::rechercherExistenceModificateur(const Code& codeModificateur, const Date& dateReference,
                                                         Booleen& existe) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherExistenceModificateur", "recherche de l'existence d'un modificateur a une date", cr);
    tracerDateReference(dateReference);
    const Modificateur* modificateur = nullptr;
    cr = chercherModificateur(codeModificateur, modificateur);
    const Table* grilles = tableReferentiel(ModificaGrille::kIdentifiant, cr);
    const Table* valeurs = tableReferentiel(HistoriqueValeurModificateur::kIdentifiant, cr);
    bool trouve = false;
    if (cr == 0)
        pourChaqueEnfant<ModificaGrille>(grilles, modificateur->grillesTarifaires, cr,
                                         [&](const ModificaGrille& grille, uint32_t) {
                                             const HistoriqueValeurModificateur* h = nullptr;
                                             if (!trouve)
                                                 trouve = grille.rechercherHistoriqueValeurModificateurs(
                                                              *valeurs, dateReference, h) == 0;
                                         });
    versReponse(cr, existe, trouve);
    return cr;
}

uint16_t LectureDonnees::rechercherExistenceNaturePrestation(const Code& naturePrestation, Booleen& existe) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherExistenceNaturePrestation", "recherche de l'existence d'une nature de prestation",
                       cr);
    const ObligationCodage* ligne = nullptr;
    cr = chercherObligationCodage(naturePrestation, ligne);
    versReponse(cr, existe, true);
    return cr;
}

uint16_t LectureDonnees::rechercherExistenceForfaitCMU(const Code& prestation, Booleen& existe) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherExistenceForfaitCMU", "recherche d'un code de forfait CMU", cr);
    tracerLecture("Code prestation recherche : %s", prestation.chaine());
    bool trouve = false;
    const Table* forfaits = tableReferentiel(CMUforfait::kIdentifiant, cr);
    // A longer code is no lump sum: the answer is no, not a key error.
    if (cr == 0 && prestation.longueur() <= kLargeurNaturePrestation) {
        const CleFixe cle(prestation, kLargeurNaturePrestation, cr);
        for (uint32_t i = 0; !trouve && i < forfaits->nombreLignes(); ++i) {
            const CMUforfait* ligne = forfaits->ligneDe<CMUforfait>(i);
            trouve = ligne != nullptr && comparerCle(ligne->codeForfaitCMU, cle) == 0;
        }
    }
    existe = Booleen(cr == 0 && trouve);
    return cr;
}

// --- Specialities -----------------------------------------------------------------

uint16_t LectureDonnees::rechercherSpecialitesDansClasse(const Code& classe, const Date& dateReference,
                                                         TypeListe<Code>& specialites) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherSpecialitesDansClasse", "recherche de la liste des specialites d'une classe", cr);
    tracerDateReference(dateReference);
    specialites.vider();
    const ClasseSpecialite* ligne = nullptr;
    cr = chercherClasseSpecialite(classe, ligne);
    const Table* historiques = tableReferentiel(HistoriqueClasseSpecialite::kIdentifiant, cr);
    const Table* membres = tableReferentiel(SpecialiteDansClasse::kIdentifiant, cr);
    const HistoriqueClasseSpecialite* historique = nullptr;
    if (cr == 0) cr = ligne->chercherHistoriqueClasseSpecialite(*historiques, dateReference, historique);
    if (cr == 0)
        pourChaqueEnfant<SpecialiteDansClasse>(membres, historique->specialites, cr,
                                               [&](const SpecialiteDansClasse& s, uint32_t k) {
                                                   ajouterCode(specialites, s.codeSpecialite, k, cr);
                                               });
    return cr;
}

uint16_t LectureDonnees::rechercherRegroupementSpecialites(const Code& specialite, const Date& dateReference,
                                                           Code& classe) {
    const bool retenue = descenteUtilisable();
    if (retenue && classeRetenue_.a(specialite, dateReference)) {
        if (classeRetenue_.cr == 0) classe = classeRetenue_.classe;
        return classeRetenue_.cr;
    }
    uint16_t cr = 0;
    TraceRequete trace("rechercherRegroupementSpecialites", "recherche de la classe d'une specialite", cr);
    tracerDateReference(dateReference);
    const Specialite* ligne = nullptr;
    cr = chercherSpecialite(specialite, ligne);
    const Table* historiques = tableReferentiel(HistoriqueSpecialite::kIdentifiant, cr);
    const HistoriqueSpecialite* historique = nullptr;
    if (cr == 0) cr = ligne->chercherHistoriqueSpecialite(*historiques, dateReference, historique);
    if (cr == 0) classe = codeFixe(historique->classeSpecialite);
    // What the data answer is kept, a failure to read them is not.
    if (retenue && (cr == 0 || cr == KPX_CR_ELEMENT_ABSENT || cr == KPX_CR_RIEN_EN_VIGUEUR))
        classeRetenue_ = ClasseRetenue{true, specialite, cleDate(dateReference), cr, cr == 0 ? classe : Code()};
    return cr;
}

uint16_t LectureDonnees::rechercherDateObligationCodage(const Code& naturePrestation, const Code& specialite,
                                                        Date& date) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDateObligationCodage", "recherche de la date d'obligation de codage", cr);
    tracerLecture("Code specialite recherche : %s", specialite.chaine());
    const CleFixe cle(specialite, kLargeurSpecialite, cr);
    const ObligationCodage* ligne = nullptr;
    if (cr == 0) cr = chercherObligationCodage(naturePrestation, ligne);
    const Table* dates = tableReferentiel(DateObligationCodage::kIdentifiant, cr);
    const DateObligationCodage* trouvee = nullptr;
    if (cr == 0) cr = ligne->rechercherDateObligationCodage(*dates, cle.c_str(), trouvee);
    if (cr == 0) date = trouvee->dateObligation;
    return cr;
}

// --- Modifiers ----------------------------------------------------------------------

uint16_t LectureDonnees::rechercherModificateursCompatibles(const Code& codeModificateur, const Date& dateReference,
                                                            TypeListe<Code>& modificateurs) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherModificateursCompatibles", "recherche de la liste des modificateurs compatibles",
                       cr);
    tracerDateReference(dateReference);
    modificateurs.vider();
    const Modificateur* modificateur = nullptr;
    cr = chercherModificateur(codeModificateur, modificateur);
    const Table* compatibles = tableReferentiel(ModificateurCompatible::kIdentifiant, cr);
    if (cr == 0)
        pourChaqueEnfant<ModificateurCompatible>(compatibles, modificateur->compatibles, cr,
                                                 [&](const ModificateurCompatible& m, uint32_t k) {
                                                     if (estEnVigueur(m.dateDebut, m.dateFin, dateReference))
                                                         ajouterCode(modificateurs, m.codeModificateur, k, cr);
                                                 });
    return cr;
}

uint16_t LectureDonnees::rechercherModificateurs(const Date& dateReference, const Nombre& grille,
                                                 TypeListe<Code>& modificateurs) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherModificateurs", "recherche de la liste des modificateurs d'une grille a une date",
                       cr);
    tracerDateReference(dateReference);
    tracerGrille(grille);
    modificateurs.vider();
    const Table* table = tableReferentiel(Modificateur::kIdentifiant, cr);
    const Table* grilles = tableReferentiel(ModificaGrille::kIdentifiant, cr);
    const Table* valeurs = tableReferentiel(HistoriqueValeurModificateur::kIdentifiant, cr);
    for (uint32_t i = 0; cr == 0 && i < table->nombreLignes(); ++i) {
        const Modificateur* modificateur = table->ligneDe<Modificateur>(i);
        if (modificateur == nullptr) break;
        const ModificaGrille* modificaGrille = nullptr;
        const HistoriqueValeurModificateur* historique = nullptr;
        uint32_t indice = 0;
        if (modificateur->rechercherGrille(*grilles, grilleDe(grille), modificaGrille, indice) == 0 &&
            modificaGrille->rechercherHistoriqueValeurModificateurs(*valeurs, dateReference, historique) == 0)
            ajouterCode(modificateurs, modificateur->codeModificateur, i, cr);
    }
    return cr;
}

uint16_t LectureDonnees::rechercherModificateurOC(const Code& codeModificateur, const Date& dateReference,
                                                  Code& codeOC) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherModificateurOC", "recherche du modificateur OC correspondant a un modificateur", cr);
    tracerDateReference(dateReference);
    const Modificateur* modificateur = nullptr;
    cr = chercherModificateur(codeModificateur, modificateur);
    const Table* historiques = tableReferentiel(HistoriqueModificateurOC::kIdentifiant, cr);
    if (cr == 0) {
        const HistoriqueModificateurOC* historique = nullptr;
        codeOC = modificateur->rechercherHistoriqueModificateursOC(*historiques, dateReference, historique) == 0
                     ? codeFixe(historique->codeModificateurOC)
                     : Code();
    }
    return cr;
}

uint16_t LectureDonnees::rechercherAgeModificateur(const Code& codeModificateur, const Date& dateReference,
                                                   bool minimum, Periode& age) {
    uint16_t cr = 0;
    tracerDateReference(dateReference);
    const Modificateur* modificateur = nullptr;
    cr = chercherModificateur(codeModificateur, modificateur);
    const Table* historiques = tableReferentiel(HistoriqueAgeModificateur::kIdentifiant, cr);
    const HistoriqueAgeModificateur* historique = nullptr;
    if (cr == 0) cr = modificateur->rechercherHistoriqueAgeModificateur(*historiques, dateReference, historique);
    if (cr != 0) return cr;
    char unite = minimum ? historique->uniteAgeMinimum : historique->uniteAgeMaximum;
    uint16_t valeur = minimum ? historique->ageMinimum : historique->ageMaximum;
    if (valeur == 0) age = Periode();
    else if (unite == 'A') age = Periode(valeur, 0);
    else if (unite == 'J') age = Periode(0, valeur);
    else {
        tracerErreurLecture(minimum ? "unite de temps de l'age minimum inconnue : %c"
                                    : "unite de temps de l'age maximum inconnue : %c",
                            unite);
        cr = KPX_CR_DONNEES_INCOHERENTES;
    }
    return cr;
}

uint16_t LectureDonnees::rechercherAgeMinimumModificateur(const Code& codeModificateur, const Date& dateReference,
                                                          Periode& age) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherAgeMinimumModificateur", "recherche de l'age minimum d'un modificateur", cr);
    cr = rechercherAgeModificateur(codeModificateur, dateReference, true, age);
    return cr;
}

uint16_t LectureDonnees::rechercherAgeMaximumModificateur(const Code& codeModificateur, const Date& dateReference,
                                                          Periode& age) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherAgeMaximumModificateur", "recherche de l'age maximum d'un modificateur", cr);
    cr = rechercherAgeModificateur(codeModificateur, dateReference, false, age);
    return cr;
}

uint16_t LectureDonnees::rechercherTopControleCoherence(const Code& codeModificateur, const Date& dateReference,
                                                        Booleen& top) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherTopControleCoherence", "recherche du top controle coherence d'un modificateur", cr);
    tracerDateReference(dateReference);
    const Modificateur* modificateur = nullptr;
    cr = chercherModificateur(codeModificateur, modificateur);
    const Table* historiques = tableReferentiel(HistoriqueCoherenceModificateur::kIdentifiant, cr);
    const HistoriqueCoherenceModificateur* historique = nullptr;
    if (cr == 0) cr = modificateur->rechercherHistoriqueCoherenceModificateurs(*historiques, dateReference, historique);
    if (cr == 0) top = Booleen(historique->topControleCoherence);
    return cr;
}

uint16_t LectureDonnees::rechercherTopPresenceMultiple(const Code& codeModificateur, const Date& dateReference,
                                                       Booleen& top) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherTopPresenceMultiple", "recherche du top presence multiple d'un modificateur", cr);
    tracerDateReference(dateReference);
    const Modificateur* modificateur = nullptr;
    cr = chercherModificateur(codeModificateur, modificateur);
    const Table* historiques = tableReferentiel(HistoriqueCoherenceModificateur::kIdentifiant, cr);
    const HistoriqueCoherenceModificateur* historique = nullptr;
    if (cr == 0) cr = modificateur->rechercherHistoriqueCoherenceModificateurs(*historiques, dateReference, historique);
    if (cr == 0) top = Booleen(historique->topPresenceMultiple);
    return cr;
}

uint16_t LectureDonnees::chercherValeurModificateur(const Code& codeModificateur, const Date& dateReference,
                                                    const Nombre& grille,
                                                    const HistoriqueValeurModificateur*& historique) {
    tracerDateReference(dateReference);
    tracerGrille(grille);
    historique = nullptr;
    const Modificateur* modificateur = nullptr;
    uint16_t cr = chercherModificateur(codeModificateur, modificateur);
    const Table* grilles = tableReferentiel(ModificaGrille::kIdentifiant, cr);
    const Table* valeurs = tableReferentiel(HistoriqueValeurModificateur::kIdentifiant, cr);
    const ModificaGrille* modificaGrille = nullptr;
    uint32_t indice = 0;
    if (cr == 0) cr = modificateur->rechercherGrille(*grilles, grilleDe(grille), modificaGrille, indice);
    if (cr == 0) cr = modificaGrille->rechercherHistoriqueValeurModificateurs(*valeurs, dateReference, historique);
    return cr;
}

uint16_t LectureDonnees::rechercherForfaitModificateur(const Code& codeModificateur, const Date& dateReference,
                                                       const Nombre& grille, Montant& forfait) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherForfaitModificateur", "recherche du forfait d'un modificateur pour une grille", cr);
    const HistoriqueValeurModificateur* historique = nullptr;
    cr = chercherValeurModificateur(codeModificateur, dateReference, grille, historique);
    if (cr == 0) {
        forfait = Montant(historique->forfait);
        Booleen modifie;
        if (modificationsACompter(ModificationModificateur::kIdentifiant) &&
            chercherModificationModificateur(codeModificateur, grille, dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

uint16_t LectureDonnees::rechercherTauxModificateur(const Code& codeModificateur, const Date& dateReference,
                                                    const Nombre& grille, Coefficient& taux) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherTauxModificateur", "recherche du taux d'un modificateur pour une grille", cr);
    const HistoriqueValeurModificateur* historique = nullptr;
    cr = chercherValeurModificateur(codeModificateur, dateReference, grille, historique);
    if (cr == 0) {
        taux = Coefficient(historique->coefficient);
        Booleen modifie;
        if (modificationsACompter(ModificationModificateur::kIdentifiant) &&
            chercherModificationModificateur(codeModificateur, grille, dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

// --- Dated parameters -----------------------------------------------------------

uint16_t LectureDonnees::rechercherCodesRegroupement(const Date& dateReference, TypeListe<Code>& codes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodesRegroupement", "recherche de la liste des codes regroupement a une date", cr);
    tracerDateReference(dateReference);
    codes.vider();
    const Table* table = tableReferentiel(CodeRegroupement::kIdentifiant, cr);
    for (uint32_t i = 0; cr == 0 && i < table->nombreLignes(); ++i) {
        const CodeRegroupement* ligne = table->ligneDe<CodeRegroupement>(i);
        if (ligne != nullptr && estEnVigueur(ligne->dateDebut, ligne->dateFin, dateReference))
            ajouterCode(codes, ligne->codeRegroupement, i, cr);
    }
    return cr;
}

uint16_t LectureDonnees::rechercherCodesAssociationsNonPrevues(const Date& dateReference, const Nombre& grille,
                                                               TypeListe<Code>& codes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodesAssociationsNonPrevues",
                       "recherche de la liste des codes associations non prevues", cr);
    tracerDateReference(dateReference);
    tracerGrille(grille);
    codes.vider();
    const Table* table = tableReferentiel(AssociationNonPrevue::kIdentifiant, cr);
    const Table* grilles = tableReferentiel(AssoGrille::kIdentifiant, cr);
    const Table* historiques = tableReferentiel(HistoriqueAssociationNonPrevue::kIdentifiant, cr);
    for (uint32_t i = 0; cr == 0 && i < table->nombreLignes(); ++i) {
        const AssociationNonPrevue* association = table->ligneDe<AssociationNonPrevue>(i);
        if (association == nullptr) break;
        const AssoGrille* assoGrille = nullptr;
        const HistoriqueAssociationNonPrevue* historique = nullptr;
        uint32_t indice = 0;
        if (association->rechercherGrille(*grilles, grilleDe(grille), assoGrille, indice) == 0 &&
            assoGrille->rechercherHistoriqueAssociationNP(*historiques, dateReference, historique) == 0)
            ajouterCode(codes, association->codeAssociation, i, cr);
    }
    return cr;
}

uint16_t LectureDonnees::rechercherCoefficientAssociationNonPrevue(const Code& codeAssociation,
                                                                   const Date& dateReference, const Nombre& grille,
                                                                   Coefficient& coefficient) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCoefficientAssociationNonPrevue",
                       "recherche du coefficient d'une association non prevue", cr);
    tracerDateReference(dateReference);
    tracerGrille(grille);
    const AssociationNonPrevue* association = nullptr;
    cr = chercherAssociationNP(codeAssociation, association);
    const Table* grilles = tableReferentiel(AssoGrille::kIdentifiant, cr);
    const Table* historiques = tableReferentiel(HistoriqueAssociationNonPrevue::kIdentifiant, cr);
    const AssoGrille* assoGrille = nullptr;
    uint32_t indice = 0;
    if (cr == 0) cr = association->rechercherGrille(*grilles, grilleDe(grille), assoGrille, indice);
    const HistoriqueAssociationNonPrevue* historique = nullptr;
    if (cr == 0) cr = assoGrille->rechercherHistoriqueAssociationNP(*historiques, dateReference, historique);
    if (cr == 0) {
        coefficient = Coefficient(historique->coefficient);
        Booleen modifie;
        if (modificationsACompter(ModificationRegleAssociationNonPrevue::kIdentifiant) &&
            chercherModificationRegleAssociationNP(codeAssociation, grille, dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

uint16_t LectureDonnees::rechercherCoefficientRegle(const Code& codeRegle, const Date& dateReference,
                                                    const Nombre& grille, Coefficient& coefficient) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCoefficientRegle", "recherche du coefficient d'une regle tarifaire", cr);
    tracerDateReference(dateReference);
    tracerGrille(grille);
    const RegleTarifaire* regle = nullptr;
    cr = chercherRegleTarifaire(codeRegle, regle);
    const Table* grilles = tableReferentiel(RegleGrille::kIdentifiant, cr);
    const Table* historiques = tableReferentiel(HistoriqueRegleTarifaire::kIdentifiant, cr);
    const RegleGrille* regleGrille = nullptr;
    if (cr == 0) cr = regle->rechercherGrille(*grilles, grilleDe(grille), regleGrille);
    const HistoriqueRegleTarifaire* historique = nullptr;
    if (cr == 0) cr = regleGrille->rechercherHistoRegleTarifaire(*historiques, dateReference, historique);
    if (cr == 0) coefficient = Coefficient(historique->coefficient);
    return cr;
}

uint16_t LectureDonnees::rechercherForfaitNonConventionnes(const Date& dateReference, Montant& forfait) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherForfaitNonConventionnes", "recherche du forfait pour les non conventionnes", cr);
    const ReductionNonConventionne* ligne = nullptr;
    cr = chercherReductionNonConventionnes(dateReference, ligne);
    if (cr == 0) {
        forfait = Montant(ligne->forfait);
        Booleen modifie;
        if (modificationsACompter(ModificationNonConventionne::kIdentifiant) &&
            chercherModificationReductionNC(dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

uint16_t LectureDonnees::rechercherTauxNonConventionnes(const Date& dateReference, Coefficient& taux) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherTauxNonConventionnes", "recherche du taux pour les non conventionnes", cr);
    const ReductionNonConventionne* ligne = nullptr;
    cr = chercherReductionNonConventionnes(dateReference, ligne);
    if (cr == 0) {
        taux = Coefficient(ligne->coefficient);
        Booleen modifie;
        if (modificationsACompter(ModificationNonConventionne::kIdentifiant) &&
            chercherModificationReductionNC(dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

uint16_t LectureDonnees::rechercherSeuilExoTM(const Date& dateReference, const Nombre& positionSeuil,
                                              Montant& seuil) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherSeuilExoTM", "recherche du seuil d'exoneration du ticket moderateur", cr);
    tracerDateReference(dateReference);
    tracerLecture("Position seuil : %d", positionSeuil.valeur());
    if (positionSeuil.valeur() < 1 || positionSeuil.valeur() > 4) {
        tracerErreurLecture("parametre position seuil exo TM incorrect (valeurs=1,2,3,4)");
        cr = KPX_CR_DONNEES_INCOHERENTES;
        return cr;
    }
    const Seuil* ligne = ligneDatee<Seuil>(dateReference, cr, "Pas de seuil correspondant a la date de reference");
    if (cr == 0) {
        const double seuils[4] = {ligne->seuilMetropole, ligne->seuilAntilles, ligne->seuilReunion,
                                  ligne->seuilGuyane};
        seuil = Montant(seuils[positionSeuil.valeur() - 1]);
        Booleen modifie;
        if (modificationsACompter(ModificationSeuil::kIdentifiant) &&
            chercherModificationSeuil(positionSeuil, dateReference, modifie) == 0)
            compter(modifie.valeur());
    }
    return cr;
}

uint16_t LectureDonnees::rechercherNombreActeAssociation(const Date& dateReference, Nombre& nombre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNombreActeAssociation", "recherche du nombre maximum d'actes dans une association",
                       cr);
    tracerDateReference(dateReference);
    const NombreActeAssociation* ligne = ligneDatee<NombreActeAssociation>(
        dateReference, cr, "Pas de ligne Nombre d'actes dans une association correspondant a la date de reference");
    if (cr == 0) nombre = Nombre(ligne->nombreActes);
    return cr;
}

uint16_t LectureDonnees::rechercherNombreModificateursTarifants(const Date& dateReference, Nombre& nombre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNombreModificateursTarifants", "recherche du nombre de modificateurs tarifants", cr);
    tracerDateReference(dateReference);
    const NombreModificateurTarifant* ligne = ligneDatee<NombreModificateurTarifant>(
        dateReference, cr, "Pas de ligne Nombre de modificateurs tarifants correspondant a la date de reference");
    if (cr == 0) nombre = Nombre(ligne->nombre);
    return cr;
}

uint16_t LectureDonnees::rechercherNombreModificateursTransmissibles(const Date& dateReference, Nombre& nombre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNombreModificateursTransmissibles",
                       "recherche du nombre de modificateurs transmissibles", cr);
    tracerDateReference(dateReference);
    const NombreModificateurTransmissible* ligne = ligneDatee<NombreModificateurTransmissible>(
        dateReference, cr, "Pas de ligne Nombre de modificateurs transmissibles correspondant a la date de reference");
    if (cr == 0) nombre = Nombre(ligne->nombre);
    return cr;
}

uint16_t LectureDonnees::rechercherValeursConcept(const Nombre& numeroConcept, const Date& dateReference,
                                                  TypeListe<Code>& valeurs) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherValeursConcept", "recherche de la liste des valeurs d'un concept CCAM", cr);
    tracerLecture("Numero de concept : %d", numeroConcept.valeur());
    tracerDateReference(dateReference);
    valeurs.vider();
    const Table* concepts = tableReferentiel(ConceptCCAM::kIdentifiant, cr);
    const Table* historiques = tableReferentiel(HistoriqueConceptCCAM::kIdentifiant, cr);
    const Table* table = tableReferentiel(ValeurConceptCCAM::kIdentifiant, cr);
    uint32_t indice = 0;
    if (cr == 0 && !ligneDuNumero(concepts, numeroConcept, indice)) {
        tracerErreurLecture("Numero de concept non trouve dans la table Concepts CCAM");
        cr = KPX_CR_ELEMENT_ABSENT;
    }
    const HistoriqueConceptCCAM* historique = nullptr;
    if (cr == 0) {
        const ConceptCCAM* concept = concepts->ligneDe<ConceptCCAM>(indice);
        cr = concept->rechercherHistoriqueConceptCCAM(*historiques, dateReference, historique);
    }
    if (cr == 0)
        pourChaqueEnfant<ValeurConceptCCAM>(table, historique->valeurs, cr,
                                            [&](const ValeurConceptCCAM& v, uint32_t k) {
                                                ajouterCode(valeurs, v.valeur, k, cr);
                                            });
    return cr;
}

uint16_t LectureDonnees::rechercherLibelleCode(const Nombre& numeroListe, const Code& code, Texte& libelle) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherLibelleCode", "recherche du libelle d'un code", cr);
    tracerLecture("Numero de liste de codes : %d", numeroListe.valeur());
    tracerLecture("Code recherche : %s", code.chaine());
    const Table* listes = tableReferentiel(Codes::kIdentifiant, cr);
    const Table* libelles = tableReferentiel(LibelleCode::kIdentifiant, cr);
    uint32_t indice = 0;
    if (cr == 0 && !ligneDuNumero(listes, numeroListe, indice)) {
        tracerErreurLecture("Parametre numero de code non trouve dans la table Codes");
        cr = KPX_CR_ELEMENT_ABSENT;
    }
    if (cr != 0) return cr;
    bool trouve = false;
    pourChaqueEnfant<LibelleCode>(libelles, listes->ligneDe<Codes>(indice)->valeurs, cr,
                                  [&](const LibelleCode& l, uint32_t) {
                                      if (!trouve && l.valeur == code.chaine()) {
                                          libelle = Texte(l.libelle.c_str());
                                          trouve = true;
                                      }
                                  });
    if (!trouve) {
        tracerErreurLecture("Code non trouve dans la table Libelles Codes");
        cr = KPX_CR_ELEMENT_ABSENT;
    }
    return cr;
}

uint16_t LectureDonnees::rechercherJoursFeriesCaisse(const Code& codeCaisse, const Date& dateReference,
                                                     TypeListe<Date>& jours) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherJoursFeriesCaisse", "recherche de la liste des jours feries d'une caisse", cr);
    tracerDateReference(dateReference);
    jours.vider();
    const JourFerieCaisse* caisse = nullptr;
    cr = chercherCaisseJoursFeries(codeCaisse, caisse);
    const Table* liste = tableReferentiel(JourFerieListe::kIdentifiant, cr);
    if (cr == 0)
        pourChaqueEnfant<JourFerieListe>(liste, caisse->joursFeries, cr, [&](const JourFerieListe& j, uint32_t k) {
            if (estEnVigueur(j.dateDebut, j.dateFin, dateReference))
                ajouterEntree(jours, Date(j.jourFerie), k, j.jourFerie.chaine(), cr);
        });
    return cr;
}

uint16_t LectureDonnees::rechercherJoursFeriesNationaux(const Date& dateReference, TypeListe<Date>& jours) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherJoursFeriesNationaux", "recherche de la liste des jours feries nationaux", cr);
    cr = rechercherJoursFeriesCaisse(Code(kCaisseNationale), dateReference, jours);
    return cr;
}

// --- Tariff grids -----------------------------------------------------------------

uint16_t LectureDonnees::rechercherGrillesTarifaires(TypeListe<Nombre>& grilles, TypeListe<Texte>& libelles,
                                                     TypeListe<Texte>& definitions) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherGrillesTarifaires", "recherche de la liste des grilles tarifaires", cr);
    grilles.vider();
    libelles.vider();
    definitions.vider();
    const Table* table = tableReferentiel(InfosGril::kIdentifiant, cr);
    for (uint32_t i = 0; cr == 0 && i < table->nombreLignes(); ++i) {
        const InfosGril* ligne = table->ligneDe<InfosGril>(i);
        if (ligne == nullptr) break;
        ajouterEntree(grilles, Nombre(ligne->codeGrille), i, "grille", cr);
        ajouterEntree(libelles, texteFixe(ligne->libelle), i, ligne->libelle.c_str(), cr);
        ajouterEntree(definitions, texteFixe(ligne->definition), i, ligne->definition.c_str(), cr);
    }
    return cr;
}

uint16_t LectureDonnees::rechercherUneGrilleTarifaire(const Nombre& contextePS, const Nombre& contexteBS,
                                                      const Date& dateReference, Nombre& grille, Texte& libelle,
                                                      Texte& definition) {
    const InfosGril* info = nullptr;
    const uint16_t cr = chercherGrille(contextePS, contexteBS, dateReference, grille, info);
    if (cr == 0) {
        libelle = texteFixe(info->libelle);
        definition = texteFixe(info->definition);
    }
    return cr;
}

uint16_t LectureDonnees::rechercherUneGrilleTarifaire(const Nombre& contextePS, const Nombre& contexteBS,
                                                      const Date& dateReference, Nombre& grille) {
    const InfosGril* info = nullptr;
    return chercherGrille(contextePS, contexteBS, dateReference, grille, info);
}

uint16_t LectureDonnees::chercherGrille(const Nombre& contextePS, const Nombre& contexteBS,
                                        const Date& dateReference, Nombre& grille, const InfosGril*& info) {
    const bool retenue = descenteUtilisable();
    if (retenue && grilleRetenue_.a(contextePS, contexteBS, dateReference)) {
        if (grilleRetenue_.cr == 0) {
            grille = Nombre(grilleRetenue_.grille);
            info = grilleRetenue_.info;
        }
        return grilleRetenue_.cr;
    }
    uint16_t cr = 0;
    TraceRequete trace("rechercherUneGrilleTarifaire", "recherche de la grille tarifaire d'un contexte", cr);
    tracerLecture("Contexte PS : %d, contexte BS : %d", contextePS.valeur(), contexteBS.valeur());
    tracerDateReference(dateReference);
    const Table* contextes = tableReferentiel(ConTarifaire::kIdentifiant, cr);
    const Table* historiques = tableReferentiel(HistoGrilleTar::kIdentifiant, cr);
    const Table* infos = tableReferentiel(InfosGril::kIdentifiant, cr);
    if (cr != 0) return cr;

    const HistoGrilleTar* trouvee = nullptr;
    for (uint32_t i = 0; trouvee == nullptr && i < contextes->nombreLignes(); ++i) {
        const ConTarifaire* contexte = contextes->ligneDe<ConTarifaire>(i);
        if (contexte == nullptr) break;
        const HistoGrilleTar* historique = nullptr;
        if (contexte->codeContextePS == contextePS.valeur() && contexte->codeContexteBN == contexteBS.valeur() &&
            contexte->rechercherGrilleTarifaire(*historiques, dateReference, historique) == 0)
            trouvee = historique;
    }
    const auto garder = [&](uint16_t code, const InfosGril* ligneInfo) {
        if (retenue)
            grilleRetenue_ = GrilleRetenue{true, contextePS.valeur(), contexteBS.valeur(), cleDate(dateReference), cr,
                                           code, ligneInfo};
    };
    if (trouvee == nullptr) {
        tracerErreurLecture("Pas de grille tarifaire pour ce contexte a la date de reference");
        cr = KPX_CR_ELEMENT_ABSENT;
        garder(0, nullptr);
        return cr;
    }
    const uint16_t code = trouvee->codeGrille;
    for (uint32_t i = 0; info == nullptr && i < infos->nombreLignes(); ++i) {
        const InfosGril* ligne = infos->ligneDe<InfosGril>(i);
        if (ligne != nullptr && ligne->codeGrille == code) info = ligne;
    }
    if (info == nullptr) {
        tracerErreurLecture("Grille tarifaire %03u non trouvee dans la table Infos Grilles", code);
        cr = KPX_CR_ELEMENT_ABSENT;
        garder(0, nullptr);
        return cr;
    }
    grille = Nombre(code);
    garder(code, info);
    return cr;
}

// --- Rules and forcing indicators ------------------------------------------------

uint16_t LectureDonnees::rechercherInformationsRegles(const Code& identifiantRegle, const InformationRegle*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherInformationsRegles", "recherche des informations d'une regle", cr);
    tracerLecture("Identifiant regle recherche : %s", identifiantRegle.chaine());
    ligne = nullptr;
    const CleFixe cle(identifiantRegle, kLargeurIdentifiantInformationRegle, cr);
    const Table* table = tableReferentiel(InformationRegle::kIdentifiant, cr);
    if (cr == 0 && table->nombreLignes() == 0) {
        tracerErreurLecture("ERREUR : Table Informations Regles vide");
        cr = KPX_CR_ELEMENT_ABSENT;
    }
    ligne = chercherDichotomie<InformationRegle>(
        table, [&cle](const InformationRegle& l) { return comparerCle(l.identifiantRegle, cle); }, cr,
        "Identifiant regle non trouve dans la table Informations Regles");
    return cr;
}

uint16_t LectureDonnees::rechercherReferenceCdC(const Code& identifiantRegle, Code& reference) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherReferenceCdC", "recherche de la reference CdC d'une regle", cr);
    const ReferenceCdC* ligne = nullptr;
    cr = chercherIdentifiantRegle(identifiantRegle, ligne);
    if (cr == 0) reference = codeFixe(ligne->referenceRegleCdC);
    return cr;
}

uint16_t LectureDonnees::rechercherReferenceRegle(const char* regle, Code& reference) {
    const bool retenue = descenteUtilisable() && referentiel != nullptr;
    if (const Code* gardee = retenue ? referentiel->referenceRetenue(regle) : nullptr) {
        reference = *gardee;
        return 0;
    }
    const uint16_t cr = rechercherReferenceCdC(Code(regle), reference);
    if (retenue && cr == 0) referentiel->retenirReference(regle, reference);
    return cr;
}

uint16_t LectureDonnees::rechercherReglesEntrainantDebrayage(const Texte& service, TypeListe<Code>& regles) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherReglesEntrainantDebrayage",
                       "recherche de la liste des regles entrainant le debrayage d'un service", cr);
    regles.vider();
    const ServiceDebrayable* ligne = nullptr;
    cr = chercherServiceDebrayable(service, ligne);
    const Table* references = tableReferentiel(ReferenceRegleEntrainantDebrayage::kIdentifiant, cr);
    if (cr == 0)
        pourChaqueEnfant<ReferenceRegleEntrainantDebrayage>(
            references, ligne->regles, cr,
            [&](const ReferenceRegleEntrainantDebrayage& r, uint32_t k) { ajouterCode(regles, r.referenceRegle, k, cr); });
    return cr;
}

uint16_t LectureDonnees::rechercherReglesNonVerifiables(const Code& identifiantRegle, TypeListe<Code>& regles) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherReglesNonVerifiables", "recherche de la liste des regles non verifiables", cr);
    regles.vider();
    const ReferenceRegleEnErreur* ligne = nullptr;
    cr = chercherRegleEnErreur(identifiantRegle, ligne);
    const Table* references = tableReferentiel(ReferenceRegleNonVerifiable::kIdentifiant, cr);
    if (cr == 0)
        pourChaqueEnfant<ReferenceRegleNonVerifiable>(
            references, ligne->reglesNonVerifiables, cr,
            [&](const ReferenceRegleNonVerifiable& r, uint32_t k) { ajouterCode(regles, r.referenceRegle, k, cr); });
    return cr;
}

uint16_t LectureDonnees::rechercherPrioriteIndicateurForcage(const Code& indicateur, Nombre& priorite) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherPrioriteIndicateurForcage", "recherche de la priorite d'un indicateur de forcage",
                       cr);
    const PrioriteIndicateurForcage* ligne = nullptr;
    cr = chercherIndicateurForcage(indicateur, ligne);
    if (cr == 0) priorite = Nombre(ligne->priorite);
    return cr;
}

uint16_t LectureDonnees::rechercherValeurCombinaisonIndicateurs(const Code& indicateur,
                                                                const Code& indicateurPresent, Code& resultat) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherValeurCombinaisonIndicateurs", "combinaison de deux indicateurs de forcage", cr);
    tracerLecture("Indicateur deja present : %s", indicateurPresent.chaine());
    const CleFixe present(indicateurPresent, kLargeurIndicateur, cr);
    const ExceptionPrioriteIndicateur* exception = nullptr;
    bool exceptionTrouvee = false;
    if (cr == 0 && chercherIndicateur(indicateur, exception) == 0) {
        const Table* valeurs = tableReferentiel(ValeurException::kIdentifiant, cr);
        const ValeurException* valeur = nullptr;
        if (cr == 0 && exception->rechercherCombinaisonException(*valeurs, present[0], valeur) == 0) {
            resultat = codeFixe(valeur->indicateurRetourne);
            exceptionTrouvee = true;
        }
    }
    if (cr == 0 && !exceptionTrouvee) {
        Nombre prioriteIndicateur;
        Nombre prioritePresent;
        cr = rechercherPrioriteIndicateurForcage(indicateur, prioriteIndicateur);
        if (cr == 0) cr = rechercherPrioriteIndicateurForcage(indicateurPresent, prioritePresent);
        // A tie keeps the indicator already present.
        if (cr == 0) resultat = prioritePresent < prioriteIndicateur ? indicateur : indicateurPresent;
    }
    if (cr == 0) tracerLecture("Indicateur retourne = %s", resultat.chaine());
    return cr;
}
