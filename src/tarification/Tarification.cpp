// The price and base rules of a CCAM line.
#include "tarification/Tarification.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "consultation/PositionsOutreMer.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "tarification/MontantsTarif.h"

using namespace regles;

Tarification::Tarification(LectureDonnees& lectureDonnees) : Regles(lectureDonnees) {}

Tarification::~Tarification() = default;

uint16_t Tarification::sansReduction(const Code& acte, const Date& date, bool& exclu) {
    VueCode type;
    uint16_t cr = lecture.rechercherTypeActe(acte, type);
    if (cr == 0) cr = estDansConcept(kConceptSansReduction, date, type, exclu);
    return cr;
}

uint16_t Tarification::appliquerProd840(const Code& acte, const Code& activite, const Code& phase,
                                        const Nombre& grille, const Date& date, const Code* caissePS,
                                        Montant& prix) {
    uint16_t cr = 0;
    Coefficient majoration(1.0);
    tracerRegle("Tarification::appliquerProd840 >> IN");
    ALaSortie sortie([&] {
        tracerRegle("Tarification::appliquerProd840 << OUT : cr = 0x%04X, prix unitaire = %.2fE, majoration DOM = %f",
                    cr, prix.valeur(), majoration.valeur());
    });
    tracerRegle("caissePS = %s, acte = %s, activite = %s, phase = %s, grille=%u, date = %s", texteDe(caissePS),
                acte.chaine(), activite.chaine(), phase.chaine(), static_cast<unsigned>(grille.valeur()),
                date.chaine());
    cr = lecture.rechercherPrixUnitaire(acte, activite, phase, grille, date, prix);
    const int32_t dom = caissePS != nullptr ? PositionsOutreMer::indexDOM(*caissePS) : 0;
    if (cr == 0 && dom != 0) {
        cr = lecture.rechercherMajorationDOM(acte, activite, phase, Nombre(dom), date, majoration);
        if (cr == 0) prix = Montant(prix.valeur() * majoration.valeur()).arrondir();
        if (cr == 0 && tarif::tropLong(prix)) cr = KPX_CR_MONTANT_TROP_LONG;
    }
    return cr;
}

uint16_t Tarification::appliquerProd850(const Code& acte, const Code& activite, const Code& phase,
                                        const Montant* prixLigne, const Montant& prixTheorique, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd850", cr);
    const Montant theorique = Montant(prixTheorique).arrondir();
    tracerRegle("acte = %s, activite = %s, phase = %s, prix unitaire = %.2fE, prix unitaire theorique = %.2fE",
                acte.chaine(), activite.chaine(), phase.chaine(), ouVide(prixLigne).valeur(), theorique.valeur());
    if (theorique != ouVide(prixLigne)) cr = copierValeurErreur(erreur, "PROD850", {acte});
    return cr;
}

// Lines of an act type kept out, and acts not reimbursed, are never the highest price.
uint16_t Tarification::appliquerProd656A(AssociationCCAM& association, Code& actePuMax) {
    uint16_t cr = 0;
    Montant maximum(-1.0);
    LigneCCAM* choisie = nullptr;
    tracerRegle("Tarification::appliquerProd656A >> IN");
    ALaSortie sortie([&] {
        tracerRegle("Tarification::appliquerProd656A << OUT : cr = 0x%04X, prixUnitaireMax = %.2fE, code de l'acte "
                    "de plus fort PU = %s",
                    cr, maximum.valeur(), actePuMax.chaine());
    });
    actePuMax = Code();
    for (LigneCCAM* ligne : association.lignes) {
        const Code& acte = ouVide(ligne->acte);
        const Date& date = ouVide(ligne->date);
        bool exclu = false;
        Booleen remboursable;
        cr = sansReduction(acte, date, exclu);
        if (cr == 0 && !exclu) cr = appliquerProd763A(acte, date, ligne->codeRemboursement.get(), remboursable);
        if (cr != 0) return cr;
        if (!exclu && remboursable.valeur() && maximum < ouVide(ligne->prixUnitaire)) {
            maximum = ouVide(ligne->prixUnitaire);
            choisie = ligne;
            actePuMax = acte;
        }
    }
    if (choisie != nullptr) choisie->topActePuMax = Booleen(true);
    return cr;
}

// Every act of the association is reduced but the highest-priced one, which is
// reduced too when it carries an unplanned-association code.
uint16_t Tarification::appliquerProd656B(const Code& acte, const Booleen& topActePuMax, const Date& date,
                                         const Code* codeAssociation, Booleen& topReduction) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd656B", cr);
    tracerRegle("code acte = %s, topActePUMax = %s", acte.chaine(), vraiFaux(topActePuMax.valeur()));
    topReduction = Booleen(false);
    bool exclu = false;
    cr = sansReduction(acte, date, exclu);
    if (cr == 0 && !exclu) topReduction = Booleen(present(codeAssociation) || !topActePuMax.valeur());
    return cr;
}

uint16_t Tarification::appliquerProd640(const Code& acte, const Code& activite, const Date& date,
                                        const Booleen& topReduction, const Code* actePuMax, const Nombre& grille,
                                        Coefficient& taux) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd640", cr);
    tracerRegle("acte = %s, activite = %s, date = %s, topReduction = %s, actePuMax = %s", acte.chaine(),
                activite.chaine(), date.chaine(), vraiFaux(topReduction.valeur()), texteDe(actePuMax));
    taux = Coefficient(1.0);
    if (!topReduction.valeur()) return cr;
    Code regle;
    cr = lecture.rechercherRegleAssociation(acte, activite, date, ouVide(actePuMax), regle);
    if (cr == 0) {
        tracerRegle("regle tarifaire = %s", regle.chaine());
        cr = lecture.rechercherCoefficientRegle(regle, date, grille, taux);
        // A rule the référentiel names must have its rate.
        if (cr == KPX_CR_ELEMENT_ABSENT) cr = KPX_CR_DONNEES_INCOHERENTES;
    }
    return cr;
}

uint16_t Tarification::appliquerProd655(const Code& codeAssociation, const Date& date, const Booleen& topReduction,
                                        const Nombre& grille, Coefficient& taux) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd655", cr);
    taux = Coefficient(1.0);
    if (!topReduction.valeur()) return cr;
    tracerRegle("code association non prévue = %s, date = %s", codeAssociation.chaine(), date.chaine());
    cr = lecture.rechercherCoefficientAssociationNonPrevue(codeAssociation, date, grille, taux);
    return cr;
}

// Only an act done in a practice ("0") without a place identifier carries the supplement.
uint16_t Tarification::appliquerProd860(const Code& acte, const Code& activite, const Code& phase, const Date& date,
                                        const Code* supplementCharges, const Code* lieuExecution,
                                        const Code* identifiantLieu, Montant& supplement) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd860", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, date = %s, supplement = %s, lieu = %s, identifiant lieu = %s",
                acte.chaine(), activite.chaine(), phase.chaine(), date.chaine(), texteDe(supplementCharges),
                texteDe(lieuExecution), texteDe(identifiantLieu));
    supplement = Montant(0.0);
    if (parmi(supplementCharges, {"C"}) && parmi(lieuExecution, {"0"}) && !present(identifiantLieu))
        cr = lecture.rechercherSupplementCharge(acte, activite, phase, date, supplement);
    return cr;
}

// Lump sums add to the base; the rates of the other price-changing modifiers add
// their increments to the price, which the reduction rate then applies to.
uint16_t Tarification::appliquerProd870(const Code& acte, const Code& activite, const Code& phase, const Date& date,
                                        const Montant& prixUnitaire, const Coefficient& taux,
                                        const Montant& supplement, const TypeListe<Code>& modificateurs,
                                        const Nombre& grille, Montant& base, Montant& baseHorsForfait) {
    uint16_t cr = 0;
    tracerRegle("Tarification::appliquerProd870 >> IN");
    ALaSortie sortie([&] {
        tracerRegle("Tarification::appliquerProd870 << OUT : cr = 0x%04X, base de remboursment = %.2fE, base de "
                    "remboursement hors forfait = %.2fE",
                    cr, base.valeur(), baseHorsForfait.valeur());
    });
    tracerRegle("acte = %s, activite = %s, phase = %s, date = %s", acte.chaine(), activite.chaine(), phase.chaine(),
                date.chaine());
    tracerRegle("prix unitaire = %.2fE, taux de réduction =  %f, supplément de charges = %.2fE",
                prixUnitaire.valeur(),
                taux.valeur(), supplement.valeur());
    tracerRegle("liste des modificateurs :");
    for (uint16_t i = 0; i < modificateurs.nombre(); ++i) tracerRegle("  code = %s", modificateurs.element(i).chaine());
    Nombre tarifants;
    cr = lecture.rechercherNombreModificateursTarifants(date, tarifants);
    const int32_t n = std::min<int32_t>(tarifants.valeur(), modificateurs.nombre());
    double forfaits = 0.0, sommeTaux = 0.0;
    int32_t nombreTaux = 0;
    for (int32_t i = 0; cr == 0 && i < n; ++i) {
        const Code& modificateur = modificateurs.element(static_cast<uint16_t>(i));
        Montant forfait;
        cr = lecture.rechercherForfaitModificateur(modificateur, date, grille, forfait);
        if (cr == 0) tracerRegle("le forfait du modificateur = %.2fE", forfait.valeur());
        if (cr != 0) break;
        if (forfait.estRenseigne()) {
            forfaits += forfait.valeur();
            continue;
        }
        Coefficient coefficient;
        cr = lecture.rechercherTauxModificateur(modificateur, date, grille, coefficient);
        if (cr == 0) {
            tracerRegle("le taux du modificateur = %.f%%", coefficient.valeur() * 100.0);
            sommeTaux += coefficient.valeur();
            ++nombreTaux;
        }
    }
    if (cr == 0) {
        const double increments = nombreTaux == 0 ? 1.0 : sommeTaux - (nombreTaux - 1);
        double majore = increments * prixUnitaire.valeur();
        majore *= taux.valeur();
        base = Montant(forfaits + majore + supplement.valeur());
        baseHorsForfait = Montant(majore);
    }
    return cr;
}

uint16_t Tarification::appliquerProd740(const Date& date, const Code* conventionPS, const Montant& base,
                                        Montant& baseRecalculee) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd740", cr);
    tracerRegle("date = %s, conventionPS = %s, base de remboursement = %.2fE", date.chaine(), texteDe(conventionPS),
                base.valeur());
    baseRecalculee = base;
    if (!parmi(conventionPS, {"0"})) {
        tracerRegle("Base de remboursement recalculée = base de remboursement calculée");
        return cr;
    }
    Montant forfait;
    cr = lecture.rechercherForfaitNonConventionnes(date, forfait);
    if (cr == 0) tracerRegle("forfait pour non conventionné = %.2fE", forfait.valeur());
    if (cr == 0 && forfait.estRenseigne()) {
        baseRecalculee = Montant(std::min(base.valeur(), forfait.valeur()));
    } else if (cr == 0) {
        Coefficient taux;
        cr = lecture.rechercherTauxNonConventionnes(date, taux);
        if (cr == 0) tracerRegle("taux pour non conventionné = %f", taux.valeur());
        if (cr == 0) baseRecalculee = Montant(taux.valeur() * base.valeur());
    }
    return cr;
}

uint16_t Tarification::appliquerProd763A(const Code& acte, const Date& date, const Code* codeRemboursement,
                                         Booleen& remboursable) {
    uint16_t cr = 0;
    tracerRegle("Tarification::appliquerProd763A >> IN");
    ALaSortie sortie([&] {
        tracerRegle("Tarification::appliquerProd763A << OUT : cr = 0x%04X, acteRemboursable =%s ", cr,
                    vraiFaux(remboursable.valeur()));
    });
    tracerRegle("acte = %s, date = %s, code remboursement exceptionnel = %s", acte.chaine(), date.chaine(),
                texteDe(codeRemboursement));
    remboursable = Booleen(false);
    VueCode admission;
    bool jamais = false, exceptionnel = false;
    cr = lecture.rechercherAdmissionRemboursement(acte, date, admission);
    if (cr == 0) cr = estDansConcept(kConceptNonRemboursable, date, admission, jamais);
    if (cr == 0 && !jamais) cr = estDansConcept(kConceptRemboursementExceptionnel, date, admission, exceptionnel);
    if (cr == 0) remboursable = Booleen(!jamais && (!exceptionnel || parmi(codeRemboursement, {"O"})));
    return cr;
}

uint16_t Tarification::appliquerProd880(const Code& acte, const Code& activite, const Code& phase,
                                        const Montant* baseHote, const Montant& base, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd880", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, base transmise = %.2fE, base calculee = %.2fE", acte.chaine(),
                activite.chaine(), phase.chaine(), ouVide(baseHote).valeur(), base.valeur());
    if (ouVide(baseHote) > base) cr = copierValeurErreur(erreur, "PROD880", {acte});
    return cr;
}

uint16_t Tarification::appliquerProd880A(const Code& acte, const Code& activite, const Code& phase,
                                         const Montant* baseTheoriqueHote, const Montant& base, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd880A", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, base theorique transmise = %.2fE, base calculee = %.2fE",
                acte.chaine(), activite.chaine(), phase.chaine(), ouVide(baseTheoriqueHote).valeur(), base.valeur());
    if (ouVide(baseTheoriqueHote) != base) cr = copierValeurErreur(erreur, "PROD880A", {acte});
    return cr;
}
