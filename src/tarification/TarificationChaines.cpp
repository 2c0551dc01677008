// The rule chains the rule-application functions run without a complete control:
// the bases of an association, the exoneration of an act, and prevention.
#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "tarification/MontantsTarif.h"
#include "tarification/Tarification.h"

namespace {

const char* const kCodeExonere = "C";
const char* const kCodePrevention = "7";

}  // namespace

uint16_t Tarification::appliquerCBase(const Code* conventionPS, AssociationCCAM& association) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerCBase", cr);
    tracerRegle("conventionPS = %s", texteDe(conventionPS));
    Code actePuMax;
    cr = appliquerProd656A(association, actePuMax);
    for (size_t i = 0; cr == 0 && i < association.lignes.size(); ++i) {
        LigneCCAM& ligne = *association.lignes[i];
        const Code& acte = ouVide(ligne.acte);
        const Code& activite = ouVide(ligne.activite);
        const Code& phase = ouVide(ligne.phase);
        const Date& date = ouVide(ligne.date);
        const Nombre& grille = ouVide(ligne.grilleTarifaire);
        Booleen remboursable;
        cr = appliquerProd763A(acte, date, ligne.codeRemboursement.get(), remboursable);
        Montant base, horsForfait, theorique;
        if (cr == 0 && remboursable.valeur()) {
            // The reduction rule runs even when the reduction flag could not be decided.
            appliquerProd656B(acte, ligne.topActePuMax, date, ligne.codeAssociation.get(), ligne.topReduction);
            Coefficient taux(1.0);
            Montant supplement;
            if (regles::present(ligne.codeAssociation.get()))
                cr = appliquerProd655(*ligne.codeAssociation, date, ligne.topReduction, grille, taux);
            else
                cr = appliquerProd640(acte, activite, date, ligne.topReduction, &actePuMax, grille, taux);
            if (cr == 0)
                cr = appliquerProd860(acte, activite, phase, date, ligne.supplementCharges.get(),
                                      ligne.lieuExecution.get(), ligne.identifiantLieu.get(), supplement);
            if (cr == 0)
                cr = appliquerProd870(acte, activite, phase, date, ouVide(ligne.prixUnitaire), taux, supplement,
                                      ligne.modificateurs, grille, base, horsForfait);
            theorique = base;
            if (cr == 0) cr = appliquerProd740(date, conventionPS, theorique, base);
        }
        if (cr != 0) break;
        for (Montant* montant : {&base, &horsForfait, &theorique}) {
            montant->arrondir();
            if (tarif::tropLong(*montant)) cr = KPX_CR_MONTANT_TROP_LONG;
        }
        ligne.baseRemboursement = Montant(base);
        ligne.baseHorsForfait = Montant(horsForfait);
        ligne.baseTheoriqueAMO = Montant(theorique);
    }
    return cr;
}

uint16_t Tarification::appliquerCExoActe(const Code* caissePS, const Code& acte, const Date& date,
                                         const Montant& baseHorsForfait, const Code& motifExoneration,
                                         Coefficient& taux, Code& exonerationTM, Booleen& factureExoneree) {
    uint16_t cr = 0;
    tracerRegle("Tarification::appliquerCExoActe >> IN");
    ALaSortie sortie([&] {
        tracerRegle("Tarification::appliquerCExoActe << OUT : cr = 0x%04X; taux de remboursement = %.f%%, "
                    "exonerationTM = %s, facture exonérée = %s",
                    cr, taux.valeur() * 100.0, exonerationTM.chaine(), vraiFaux(factureExoneree.valeur()));
    });
    tracerRegle("caissePS = %s, acte = %s, date = %s, baseHorsForfait = %.2fE, motifExoneration = %s",
                texteDe(caissePS), acte.chaine(), date.chaine(), baseHorsForfait.valeur(), motifExoneration.chaine());
    factureExoneree = Booleen(false);
    if (motifExoneration == "N") {
        taux = Coefficient(1.0);
        exonerationTM = Code("3");
        return cr;
    }
    const VueCodesOctet* codes = nullptr;
    bool deDroit = false, seanceDeDroit = false, seuilSeance = false, seuilActe = false;
    cr = codesExoneration(acte, date, codes);
    if (cr == 0) cr = unDansConcept(kConceptExoDroit, date, *codes, deDroit);
    if (cr == 0 && !deDroit) cr = unDansConcept(kConceptExoDroitSeance, date, *codes, seanceDeDroit);
    if (cr == 0 && !deDroit && !seanceDeDroit)
        cr = codeSeuil(acte, date, kConceptExoSeuil, caissePS, baseHorsForfait, seuilSeance);
    if (cr == 0 && !deDroit && !seanceDeDroit && !seuilSeance)
        cr = codeSeuil(acte, date, kConceptExoSeuilActe, caissePS, baseHorsForfait, seuilActe);
    if (cr == 0 && (deDroit || seanceDeDroit || seuilSeance || seuilActe)) {
        taux = Coefficient(1.0);
        exonerationTM = Code(kCodeExonere);
        factureExoneree = Booleen(seanceDeDroit || seuilSeance);
    }
    return cr;
}

uint16_t Tarification::appliquerCExoPrevention(const Code& acte, const Booleen& prevention, const Date& date,
                                               Coefficient& taux, Code& exonerationTM) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerCExoPrevention", cr);
    tracerRegle("acte = %s, prevention = %d, date = %s", acte.chaine(), prevention.valeur() ? 1 : 0, date.chaine());
    const VueCodesOctet* codes = nullptr;
    bool codePrevention = false;
    cr = codesExoneration(acte, date, codes);
    if (cr != 0) return cr;
    // A concept that cannot be read counts as no prevention code.
    if (unDansConcept(kConceptPrevention, date, *codes, codePrevention) != 0) codePrevention = false;
    if (codePrevention && (codes->nombre() == 1 || prevention.valeur())) {
        taux = Coefficient(1.0);
        exonerationTM = Code(kCodePrevention);
    }
    if (codePrevention && codes->nombre() == 1 && !prevention.valeur()) cr = KPX_CR_REGLE_AVERTISSEMENT_1;
    if (!codePrevention && prevention.valeur()) cr = KPX_CR_REGLE_AVERTISSEMENT_2;
    return cr;
}
