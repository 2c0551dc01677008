// The rules on the exoneration of the patient's share (ticket modérateur): the act's
// exoneration codes read against the concepts of each kind, and the threshold of the
// practitioner's caisse.
#include <cstring>

#include "consultation/LectureDonnees.h"
#include "consultation/PositionsOutreMer.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "tarification/Tarification.h"

using namespace regles;

namespace {

const char* const kExoneree = "2";

bool tauxReduit(const Coefficient& taux) { return taux < 1.0; }

bool qualifiePourTM(const Code* qualificatifDepense) { return !parmi(qualificatifDepense, {"N"}); }

}  // namespace

uint16_t Tarification::codesExoneration(const Code& acte, const Date& date, const VueCodesOctet*& codes) {
    CodesExoneration& derniers = derniersCodes_;
    if (!derniers.lus || derniers.generation != lecture.generation() || !derniers.pour(acte, date)) {
        derniers.lus = false;
        const uint16_t cr = lecture.rechercherCodesExonerationTM(acte, date, derniers.codes);
        if (cr != 0) return cr;
        // A code longer than an act's is never kept (none is found).
        if (acte.longueur() <= sizeof derniers.acte) {
            derniers.generation = lecture.generation();
            std::memcpy(derniers.acte, acte.chaine(), acte.longueur());
            derniers.longueur = acte.longueur();
            derniers.date = date;
            derniers.lus = true;
        }
    }
    codes = &derniers.codes;
    tracerRegle("Liste des codes d'exonération TM :");
    for (size_t i = 0; regleTracee() && i < codes->nombre(); ++i)
        tracerRegle("  code = %.*s", static_cast<int>(codes->element(i).longueur()), codes->element(i).octets());
    return 0;
}

uint16_t Tarification::seuil(const Code* caissePS, const Date& date, Montant& valeur) {
    const int32_t position = PositionsOutreMer::positionSeuil(ouVide(caissePS));
    const uint16_t cr = lecture.rechercherSeuilExoTM(date, Nombre(position), valeur);
    if (cr == 0) tracerRegle("Le seuil d'exonération est %.2fE", valeur.valeur());
    return cr;
}

// The threshold is read only when a code of the concept is there to compare.
uint16_t Tarification::codeSeuil(const Code& acte, const Date& date, int32_t concept, const Code* caissePS,
                                 const Montant& baseHorsForfait, bool& atteint) {
    const VueCodesOctet* codes = nullptr;
    bool dansConcept = false;
    Montant limite;
    atteint = false;
    uint16_t cr = codesExoneration(acte, date, codes);
    if (cr == 0) cr = unDansConcept(concept, date, *codes, dansConcept);
    if (cr == 0 && dansConcept) cr = seuil(caissePS, date, limite);
    if (cr == 0 && dansConcept) atteint = !(baseHorsForfait < limite);
    return cr;
}

uint16_t Tarification::seulCodePrevention(const Code& acte, const Date& date, bool& prevention) {
    const VueCodesOctet* codes = nullptr;
    prevention = false;
    uint16_t cr = codesExoneration(acte, date, codes);
    if (cr == 0 && codes->nombre() == 1) cr = unDansConcept(kConceptPrevention, date, *codes, prevention);
    return cr;
}

uint16_t Tarification::tauxAExonerer(const Code& acte, const Date& date, const Coefficient& taux, bool& aExonerer) {
    const VueCodesOctet* codes = nullptr;
    aExonerer = false;
    uint16_t cr = codesExoneration(acte, date, codes);
    if (cr == 0 && tauxReduit(taux)) cr = unDansConcept(kConceptExoSeuil, date, *codes, aExonerer);
    return cr;
}

// An act that reaches the threshold with a code earned there must be exonerated.
uint16_t Tarification::appliquerProd785(const Code& acte, const Date& date, const Code* exonerationTM,
                                        const Code* caissePS, const Montant& baseHorsForfait, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd785", cr);
    if (!parmi(exonerationTM, {"0", "9"})) return cr;
    bool atteint = false;
    cr = codeSeuil(acte, date, kConceptExoSeuil, caissePS, baseHorsForfait, atteint);
    if (cr == 0 && !atteint)
        cr = codeSeuil(acte, date, kConceptExoSeuilActe, caissePS, baseHorsForfait, atteint);
    if (cr == 0 && atteint) cr = copierValeurErreur(erreur, "PROD785", {acte});
    return cr;
}

// An act exonerated by right, alone or with its session, must be exonerated.
uint16_t Tarification::appliquerProd786(const Code& acte, const Date& date, const Code* exonerationTM,
                                        Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd786", cr);
    if (!parmi(exonerationTM, {"0", "9"})) return cr;
    const VueCodesOctet* codes = nullptr;
    bool deDroit = false;
    cr = codesExoneration(acte, date, codes);
    if (cr == 0) cr = unDansConcept(kConceptExoDroitSeance, date, *codes, deDroit);
    if (cr == 0 && !deDroit) cr = unDansConcept(kConceptExoDroit, date, *codes, deDroit);
    if (cr == 0 && deDroit) cr = copierValeurErreur(erreur, "PROD786", {acte});
    return cr;
}

// A prevention act must be exonerated as such.
uint16_t Tarification::appliquerProd787(const Code& acte, const Date& date, const Code* exonerationTM,
                                        Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd787", cr);
    if (!parmi(exonerationTM, {"0", "9"})) return cr;
    bool prevention = false;
    cr = seulCodePrevention(acte, date, prevention);
    if (cr == 0 && prevention) cr = copierValeurErreur(erreur, "PROD787", {acte});
    return cr;
}

// A prevention act exonerated for another reason.
uint16_t Tarification::appliquerProd788(const Code& acte, const Date& date, const Code* exonerationTM,
                                        Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd788", cr);
    if (!parmi(exonerationTM, {"C", "3", "4", "5"})) return cr;
    bool prevention = false;
    cr = seulCodePrevention(acte, date, prevention);
    if (cr == 0 && prevention) cr = copierValeurErreur(erreur, "PROD788", {acte});
    return cr;
}

// An act exonerated for prevention that has no prevention code.
uint16_t Tarification::appliquerProd789(const Code& acte, const Date& date, const Code* exonerationTM,
                                        Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd789", cr);
    tracerRegle("acte = %s, date = %s, exonerationTM = %s", acte.chaine(), date.chaine(), texteDe(exonerationTM));
    const VueCodesOctet* codes = nullptr;
    bool prevention = false;
    cr = codesExoneration(acte, date, codes);
    if (cr == 0) cr = unDansConcept(kConceptPrevention, date, *codes, prevention);
    if (cr == 0 && !prevention) cr = copierValeurErreur(erreur, "PROD789", {acte});
    return cr;
}

// An act exonerated by right of its session, or reaching the threshold with a
// session code, exonerates its whole session.
uint16_t Tarification::appliquerProd790A(const Code& acte, const Date& date, const Code* exonerationTM,
                                         const Code* caissePS, const Montant& baseHorsForfait,
                                         Code& seanceExoneree) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd790A", cr);
    if (!parmi(exonerationTM, {"0", "9", "C"})) return cr;
    const VueCodesOctet* codes = nullptr;
    bool exonere = false;
    cr = codesExoneration(acte, date, codes);
    if (cr == 0) cr = unDansConcept(kConceptExoDroitSeance, date, *codes, exonere);
    if (cr == 0 && !exonere) cr = codeSeuil(acte, date, kConceptExoSeuil, caissePS, baseHorsForfait, exonere);
    if (cr == 0 && exonere) seanceExoneree = Code(kExoneree);
    tracerRegle("seance exoneree = %s", seanceExoneree.chaine());
    return cr;
}

// The session's threshold-coded lines that count towards exoneration reach it together.
uint16_t Tarification::appliquerProd790B(const Code* caissePS, Seance& seance) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd790B", cr);
    const Date& date = ouVide(seance.date);
    double somme = 0.0;
    for (size_t i = 0; cr == 0 && i < seance.lignes.size(); ++i) {
        const LigneCCAM& ligne = *seance.lignes[i];
        const Code* exoneration = ligne.exonerationTM.get();
        const bool compte = parmi(exoneration, {"C"}) ||
                            (parmi(exoneration, {"0", "9"}) && tauxReduit(ouVide(ligne.tauxRemboursement)));
        if (!compte) continue;
        const VueCodesOctet* codes = nullptr;
        bool seuilSeance = false;
        cr = codesExoneration(ouVide(ligne.acte), ouVide(ligne.date), codes);
        if (cr == 0) cr = unDansConcept(kConceptExoSeuil, ouVide(ligne.date), *codes, seuilSeance);
        if (cr == 0 && seuilSeance) somme += ouVide(ligne.baseHorsForfait).valeur();
    }
    if (cr != 0) return cr;
    tracerRegle("la somme des bases de remboursement hors forfait pour la séance = %.2fE", somme);
    Montant limite;
    cr = lecture.rechercherSeuilExoTM(date, Nombre(PositionsOutreMer::positionSeuil(ouVide(caissePS))), limite);
    if (cr == 0) tracerRegle("le seuil d'exonération est %.2fE", limite.valeur());
    if (cr == 0 && !(Montant(somme) < limite)) seance.seanceExoneree = Code(kExoneree);
    return cr;
}

uint16_t Tarification::appliquerProd790C(const Code& acte, const Date& date, Code& exonerationTM, Coefficient& taux) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd790C", cr);
    tracerRegle("acte = %s, date = %s, exonerationTM = %s, taux = %f", acte.chaine(), date.chaine(),
                exonerationTM.chaine(), taux.valeur());
    bool aExonerer = false;
    cr = tauxAExonerer(acte, date, taux, aExonerer);
    if (cr == 0 && aExonerer) {
        taux = Coefficient(1.0);
        exonerationTM = Code("C");
    }
    return cr;
}

uint16_t Tarification::appliquerProd790C(const Code& prestation, const Code& acteRattachement, const Date& date,
                                         Coefficient& taux) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd790C", cr);
    tracerRegle("prestation = %s, acte = %s, date = %s, taux = %f", prestation.chaine(), acteRattachement.chaine(),
                date.chaine(), taux.valeur());
    bool aExonerer = false;
    cr = tauxAExonerer(acteRattachement, date, taux, aExonerer);
    if (cr == 0 && aExonerer) taux = Coefficient(1.0);
    return cr;
}

uint16_t Tarification::exonereSousSeuil(const char* regle, int32_t concept, const Code& acte, const Date& date,
                                        const Code* exonerationTM, const Code* caissePS,
                                        const Montant& baseHorsForfait, Erreur& erreur) {
    if (!parmi(exonerationTM, {"C"})) return 0;
    const VueCodesOctet* codes = nullptr;
    bool dansConcept = false;
    Montant limite;
    uint16_t cr = codesExoneration(acte, date, codes);
    if (cr == 0) cr = unDansConcept(concept, date, *codes, dansConcept);
    if (cr == 0 && dansConcept) cr = seuil(caissePS, date, limite);
    if (cr == 0 && dansConcept) tracerRegle("le seuil d'exonération du TM = %f", limite.valeur());
    if (cr == 0 && dansConcept && baseHorsForfait < limite) cr = copierValeurErreur(erreur, regle, {acte});
    return cr;
}

// Exonerated ("C") with a session code below the threshold.
uint16_t Tarification::appliquerProd791A(const Code& acte, const Date& date, const Code* exonerationTM,
                                         const Code* caissePS, const Montant& baseHorsForfait, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd791A", cr);
    cr = exonereSousSeuil("PROD791A", kConceptExoSeuil, acte, date, exonerationTM, caissePS, baseHorsForfait, erreur);
    return cr;
}

// Exonerated ("C") with an act code below the threshold.
uint16_t Tarification::appliquerProd791B(const Code& acte, const Date& date, const Code* exonerationTM,
                                         const Code* caissePS, const Montant& baseHorsForfait, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd791B", cr);
    cr = exonereSousSeuil("PROD791B", kConceptExoSeuilActe, acte, date, exonerationTM, caissePS, baseHorsForfait,
                          erreur);
    return cr;
}

// Exonerated ("C") although a code of the act refuses it.
uint16_t Tarification::appliquerProd791C(const Code& acte, const Date& date, const Code* exonerationTM,
                                         Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd791C", cr);
    if (!parmi(exonerationTM, {"C"})) return cr;
    const VueCodesOctet* codes = nullptr;
    bool refusee = false;
    cr = codesExoneration(acte, date, codes);
    if (cr == 0) cr = unDansConcept(kConceptExoRefusee, date, *codes, refusee);
    if (cr == 0 && refusee) cr = copierValeurErreur(erreur, "PROD791C", {acte});
    return cr;
}

// Not exonerated in an exonerated session, with a session code and a reduced rate.
uint16_t Tarification::appliquerProd792(const Coefficient& taux, const Code& acte, const Date& date,
                                        const Code* exonerationTM, const Code* qualificatifDepense, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd792", cr);
    if (!parmi(exonerationTM, {"0", "9"})) return cr;
    bool aExonerer = false;
    cr = tauxAExonerer(acte, date, taux, aExonerer);
    if (cr == 0 && aExonerer && qualifiePourTM(qualificatifDepense))
        cr = copierValeurErreur(erreur, "PROD792", {acte});
    return cr;
}

// The travel line of such an act: the act's codes, the line's own rate and qualifier.
uint16_t Tarification::appliquerProd792B(const Code& prestation, const Coefficient& taux,
                                         const Code& acteRattachement, const Date& date, const Code* exonerationTM,
                                         const Code* qualificatifDepense, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd792B", cr);
    tracerRegle("prestation = %s, acte de rattachement = %s", prestation.chaine(), acteRattachement.chaine());
    if (!parmi(exonerationTM, {"0", "9"})) return cr;
    bool aExonerer = false;
    cr = tauxAExonerer(acteRattachement, date, taux, aExonerer);
    if (cr == 0 && aExonerer && qualifiePourTM(qualificatifDepense))
        cr = copierValeurErreur(erreur, "PROD792B", {acteRattachement});
    return cr;
}

uint16_t Tarification::appliquerProd793(const Code& acte, const Code* exonerationTM, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd793", cr);
    if (parmi(exonerationTM, {"1"})) cr = copierValeurErreur(erreur, "PROD793", {acte});
    return cr;
}

// Exonerated, yet reimbursed below 100 %.
uint16_t Tarification::appliquerProd795A(const Code& acte, const Code* exonerationTM, const Coefficient& taux,
                                         const Code* qualificatifDepense, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd795A", cr);
    tracerRegle("acte = %s, exonerationTM = %s, taux = %f", acte.chaine(), texteDe(exonerationTM), taux.valeur());
    if (!parmi(exonerationTM, {"0", "9"}) && qualifiePourTM(qualificatifDepense) && tauxReduit(taux))
        cr = copierValeurErreur(erreur, "PROD795A", {acte});
    return cr;
}
