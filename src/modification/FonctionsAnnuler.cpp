#include "modification/FonctionsAnnuler.h"

#include "KPXW32.h"
#include "consultation/Aiguillage.h"
#include "consultation/PositionsOutreMer.h"
#include "frame/Trace.h"
#include "modification/ModificationDonnees.h"
#include "modification/OutilsModification.h"

namespace {

using AiguillageAnnuler = Aiguillage<FonctionsAnnuler>;

// Sorted by number for the binary search; 92 has no handler.
const AiguillageAnnuler::Entree kTable[] = {
    {85, &FonctionsAnnuler::CCAM_37},  {86, &FonctionsAnnuler::CCAM_39}, {87, &FonctionsAnnuler::CCAM_42},
    {88, &FonctionsAnnuler::CCAM_47a}, {89, &FonctionsAnnuler::TB02_1},  {90, &FonctionsAnnuler::TB07_1},
    {91, &FonctionsAnnuler::TB11},     {93, &FonctionsAnnuler::TB13_1},  {94, &FonctionsAnnuler::TB12},
};

}  // namespace

FonctionsAnnuler::FonctionsAnnuler(ZoneKPX* entree, const SuperGroupe* superGroupe,
                                   ModificationDonnees& modificationDonnees)
    : Fonctions(entree, superGroupe), modification(modificationDonnees) {}

FonctionsAnnuler::~FonctionsAnnuler() = default;

uint16_t FonctionsAnnuler::executer(uint16_t numero) {
    static const AiguillageAnnuler aiguillage(kTable, CAT_MODIFICATION, "d'annulations");
    return aiguillage.executer(*this, numero);
}

uint16_t FonctionsAnnuler::valeurDePhase(const char* nom, AnnulationPhase annuler) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, nom, cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = (modification.*annuler)(ouVide(acte), ouVide(activite), ouVide(phase));
    return cr;
}

uint16_t FonctionsAnnuler::CCAM_37() {
    return valeurDePhase("FonctionsAnnuler::CCAM_37", &ModificationDonnees::annulerModificationsPrixUnitaire);
}

uint16_t FonctionsAnnuler::CCAM_39() {
    return valeurDePhase("FonctionsAnnuler::CCAM_39", &ModificationDonnees::annulerModificationsSupplementCharges);
}

uint16_t FonctionsAnnuler::CCAM_42() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsAnnuler::CCAM_42", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = modification.annulerModificationsCodeRegroupement(ouVide(acte), ouVide(activite));
    return cr;
}

uint16_t FonctionsAnnuler::CCAM_47a() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsAnnuler::CCAM_47a", cr);
    auto caisse = lireChamp<Code>(cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    int32_t position = 0;
    if (cr == 0) cr = PositionsOutreMer::positionDOM(ouVide(caisse), CAT_MODIFICATION, position);
    if (cr == 0)
        cr = modification.annulerModificationsMajorationDOM(ouVide(acte), ouVide(activite), ouVide(phase), position);
    return cr;
}

uint16_t FonctionsAnnuler::TB02_1() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsAnnuler::TB02_1", cr);
    auto association = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = modification.annulerModificationsCoefficientAssociationNonPrevue(ouVide(association));
    return cr;
}

uint16_t FonctionsAnnuler::TB07_1() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsAnnuler::TB07_1", cr);
    auto caisse = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = modification.annulerModificationsSeuilExoTM(PositionsOutreMer::positionSeuil(ouVide(caisse)));
    return cr;
}

uint16_t FonctionsAnnuler::TB11() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsAnnuler::TB11", cr);
    auto modificateur = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = modification.annulerModificationsValeurModificateur(ouVide(modificateur));
    return cr;
}

uint16_t FonctionsAnnuler::TB13_1() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsAnnuler::TB13_1", cr);
    verifierFinZone(cr);
    if (cr == 0) cr = modification.annulerNouveauxCodesRegroupement();
    return cr;
}

uint16_t FonctionsAnnuler::TB12() {
    uint16_t cr = 0;
    TraceOperation trace(CAT_MODIFICATION, NIV_DETAIL, "FonctionsAnnuler::TB12", cr);
    verifierFinZone(cr);
    if (cr == 0) cr = modification.annulerModificationsValeurNonConventionnes();
    return cr;
}
