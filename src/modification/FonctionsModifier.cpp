#include "modification/FonctionsModifier.h"

#include "KPXW32.h"
#include "consultation/Aiguillage.h"
#include "consultation/PositionsOutreMer.h"
#include "frame/Trace.h"
#include "modification/ModificationDonnees.h"
#include "modification/OutilsModification.h"
#include "zone/Booleen.h"
#include "zone/Coefficient.h"
#include "zone/Montant.h"

namespace {

using AiguillageModifier = Aiguillage<FonctionsModifier>;

// Sorted by number for the binary search.
const AiguillageModifier::Entree kTable[] = {
    {51, &FonctionsModifier::CCAM_37},  {52, &FonctionsModifier::CCAM_39}, {53, &FonctionsModifier::CCAM_42},
    {54, &FonctionsModifier::CCAM_47a}, {55, &FonctionsModifier::TB02_1},  {56, &FonctionsModifier::TB07_1},
    {57, &FonctionsModifier::TB11_1},   {58, &FonctionsModifier::TB11_2},  {59, &FonctionsModifier::TB12_1},
    {60, &FonctionsModifier::TB12_2},   {96, &FonctionsModifier::TB13_1},
};

void refuser(uint16_t& cr, bool refus, const char* message, uint16_t code) {
    if (cr != 0 || !refus) return;
    tracer(CAT_MODIFICATION, NIV_ERREUR, "%s", message);
    cr = code;
}

}  // namespace

FonctionsModifier::FonctionsModifier(const Date& date, ZoneKPX* entree, const SuperGroupe* superGroupe,
                                     ModificationDonnees& modificationDonnees)
    : Fonctions(entree, superGroupe), dateEffet(date), modification(modificationDonnees) {}

FonctionsModifier::~FonctionsModifier() = default;

uint16_t FonctionsModifier::executer(uint16_t numero) {
    static const AiguillageModifier aiguillage(kTable, CAT_MODIFICATION, "de modifications");
    return aiguillage.executer(*this, numero);
}

void FonctionsModifier::controlerDateEffet(uint16_t& cr, const Code* acte) {
    if (cr != 0) return;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsModifier::controlerDateEffet", cr);
    const Code code = acte != nullptr ? *acte : Code();
    Date creation, fin;
    cr = modification.rechercherDateCreation(code, creation);
    if (cr == 0) cr = modification.rechercherDateFin(code, fin);
    refuser(cr, dateEffet < creation, "date d'effet antérieure a la date de création de l'acte",
            KPX_CR_DATE_EFFET_REFUSEE);
    refuser(cr, fin.estRenseigne() && fin < dateEffet, "date d'effet postérieure a la date de fin de l'acte",
            KPX_CR_DATE_EFFET_REFUSEE);
}

Nombre FonctionsModifier::grille(uint16_t& cr, const Nombre* ps, const Nombre* bs) {
    Nombre numero;
    if (cr == 0)
        cr = modification.rechercherUneGrilleTarifaire(ps ? *ps : Nombre(), bs ? *bs : Nombre(), dateEffet, numero);
    return numero;
}

uint16_t FonctionsModifier::CCAM_37() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsModifier::CCAM_37", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    auto prix = lireChamp<Montant>(cr);
    auto ps = lireChamp<Nombre>(cr);
    auto bs = lireChamp<Nombre>(cr);
    verifierFinZone(cr);
    controlerDateEffet(cr, acte.get());
    const Nombre numeroGrille = grille(cr, ps.get(), bs.get());
    if (cr == 0)
        cr = modification.modifierPrixUnitaire(ouVide(acte), ouVide(activite), ouVide(phase), dateEffet, numeroGrille,
                                               ouVide(prix).valeur(), true);
    return cr;
}

uint16_t FonctionsModifier::CCAM_39() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsModifier::CCAM_39", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    auto supplement = lireChamp<Montant>(cr);
    verifierFinZone(cr);
    controlerDateEffet(cr, acte.get());
    if (cr == 0)
        cr = modification.modifierSupplementCharges(ouVide(acte), ouVide(activite), ouVide(phase), dateEffet,
                                                    ouVide(supplement).valeur(), true);
    return cr;
}

uint16_t FonctionsModifier::CCAM_42() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsModifier::CCAM_42", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto code = lireChamp<Code>(cr);
    verifierFinZone(cr);
    controlerDateEffet(cr, acte.get());
    Booleen existe(false);
    if (cr == 0) cr = modification.rechercherExistenceCodeRegroupement(ouVide(code), dateEffet, existe);
    refuser(cr, !existe.valeur(), "code regroupement inexistant dans le référentiel", KPX_CR_CODE_REGROUPEMENT_INCONNU);
    if (cr == 0)
        cr = modification.modifierCodeRegroupement(ouVide(acte), ouVide(activite), dateEffet, ouVide(code), true);
    return cr;
}

uint16_t FonctionsModifier::CCAM_47a() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsModifier::CCAM_47a", cr);
    auto caisse = lireChamp<Code>(cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    auto coefficient = lireChamp<Coefficient>(cr);
    verifierFinZone(cr);
    int32_t position = 0;
    if (cr == 0) cr = PositionsOutreMer::positionDOM(ouVide(caisse), CAT_MODIFICATION, position);
    controlerDateEffet(cr, acte.get());
    if (cr == 0)
        cr = modification.modifierMajorationDOM(ouVide(acte), ouVide(activite), ouVide(phase), dateEffet, position,
                                                ouVide(coefficient).valeur(), true);
    return cr;
}

template <class Valeur>
uint16_t FonctionsModifier::valeurParGrille(const char* nom, ChangementParGrille changer) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, nom, cr);
    auto code = lireChamp<Code>(cr);
    auto valeur = lireChamp<Valeur>(cr);
    auto ps = lireChamp<Nombre>(cr);
    auto bs = lireChamp<Nombre>(cr);
    verifierFinZone(cr);
    const Nombre numeroGrille = grille(cr, ps.get(), bs.get());
    if (cr == 0) cr = (modification.*changer)(ouVide(code), dateEffet, numeroGrille, ouVide(valeur).valeur(), true);
    return cr;
}

template <class Valeur>
uint16_t FonctionsModifier::valeurNonConventionnes(const char* nom, ChangementDate changer) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, nom, cr);
    auto valeur = lireChamp<Valeur>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = (modification.*changer)(dateEffet, ouVide(valeur).valeur(), true);
    return cr;
}

uint16_t FonctionsModifier::TB02_1() {
    return valeurParGrille<Coefficient>("FonctionsModifier::TB02_1",
                                        &ModificationDonnees::modifierCoefficientAssociationNonPrevue);
}

uint16_t FonctionsModifier::TB11_1() {
    return valeurParGrille<Montant>("FonctionsModifier::TB11_1", &ModificationDonnees::modifierForfaitModificateur);
}

uint16_t FonctionsModifier::TB11_2() {
    return valeurParGrille<Coefficient>("FonctionsModifier::TB11_2", &ModificationDonnees::modifierTauxModificateur);
}

uint16_t FonctionsModifier::TB12_1() {
    return valeurNonConventionnes<Montant>("FonctionsModifier::TB12_1",
                                           &ModificationDonnees::modifierForfaitNonConventionnes);
}

uint16_t FonctionsModifier::TB12_2() {
    return valeurNonConventionnes<Coefficient>("FonctionsModifier::TB12_2",
                                               &ModificationDonnees::modifierTauxNonConventionnes);
}

uint16_t FonctionsModifier::TB07_1() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsModifier::TB07_1", cr);
    auto caisse = lireChamp<Code>(cr);
    auto seuil = lireChamp<Montant>(cr);
    verifierFinZone(cr);
    const int32_t position = PositionsOutreMer::positionSeuil(ouVide(caisse));
    if (cr == 0) cr = modification.modifierSeuil(dateEffet, position, ouVide(seuil).valeur(), true);
    return cr;
}

uint16_t FonctionsModifier::TB13_1() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsModifier::TB13_1", cr);
    auto code = lireChamp<Code>(cr);
    auto libelle = lireChamp<Texte>(cr);
    verifierFinZone(cr);
    Booleen existe(false), nature(false);
    if (cr == 0) cr = modification.chercherCodeRegroupement(ouVide(code), existe);
    if (cr == 0) cr = modification.rechercherExistenceNaturePrestation(ouVide(code), nature);
    refuser(cr, existe.valeur(), "le code regroupement existe déjà dans la table Codes Regroupement",
            KPX_CR_CODE_REGROUPEMENT_EXISTANT);
    refuser(cr, nature.valeur(), "le code regroupement existe déjà dans la table Obligation Codage",
            KPX_CR_CODE_REGROUPEMENT_NATURE);
    if (cr == 0) cr = modification.ajouterCodeRegroupement(dateEffet, ouVide(code), ouVide(libelle), true);
    return cr;
}
