// The controls of one line: its regulatory rules, unit price, base and exoneration,
// for act and travel lines and for CCAM lines. Each control counts the locally
// modified values it reads and ends with its mark: 'G', 'R' or 'S'.
#include "consultation/LectureDonnees.h"
#include "controle/SequencesControle.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "tarification/MontantsTarif.h"

using namespace regles;

namespace {

bool estDeplacement(const LigneActe& ligne) {
    return ligne.typeLigne == LigneActe::kDeplacement1 || ligne.typeLigne == LigneActe::kDeplacement2;
}

// The CCAM line a travel line is attached to, or null.
const LigneCCAM* acteRattache(const LigneActe& ligne) {
    return estDeplacement(ligne) && ligne.rattachement != nullptr ? ligne.rattachement->commeLigneCCAM() : nullptr;
}

}  // namespace

uint16_t SequencesControle::controlerReglementation(LigneActe& ligne, Facture& facture, uint16_t position,
                                                    TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Reglementation& r = reglementation_;
    tracerRegle("LigneActe::controlerReglementation >> IN");
    ALaSortie sortie([&] { tracerRegle("LigneActe::controlerReglementation  << OUT : cr = 0x%04X", cr); });
    debuterControle();
    ligne.recreerReglesNonVerifiables();
    const Code& prestation = ouVide(ligne.prestation);
    const Date& date = ouVide(ligne.date);
    if (const LigneCCAM* acte = acteRattache(ligne)) {
        executer(cr, r, "PROD690A", *acte, ligne, erreurs, [&](Erreur& e) {
            return r.appliquerProd690A(prestation, ligne.typeLigne, ouVide(acte->acte), date, e);
        });
    } else if (ligne.typeLigne == LigneActe::kActe) {
        executer(cr, r, "PROD170", ligne, ligne, erreurs,
                 [&](Erreur& e) { return r.appliquerProd170(prestation, date, e); });
        executer(cr, r, "PROD211", ligne, ligne, erreurs,
                 [&](Erreur& e) { return r.appliquerProd211(ouVide(ligne.specialitePS), prestation, date, e); });
        Booleen surActeParent;
        if (cr == 0) cr = r.lectureDonnees().rechercherExistenceForfaitCMU(prestation, surActeParent);
        const Code* parent = cr == 0 && surActeParent.valeur() ? facture.getActeCcamParent(position) : nullptr;
        if (parent != nullptr)
            executer(cr, r, "PROD930", ligne, ligne, erreurs,
                     [&](Erreur& e) { return r.appliquerProd930(*parent, prestation, date, e); });
    }
    terminerControle(cr, ligne, r, 'G');
    return cr;
}

// A CCAM line's own rules do not look at its neighbours: its position is not used.
uint16_t SequencesControle::controlerReglementation(LigneCCAM& ligne, Facture& facture, uint16_t,
                                                    TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Reglementation& r = reglementation_;
    TraceRegle trace("LigneCCAM", "controlerReglementation", cr);
    debuterControle();
    ligne.recreerReglesNonVerifiables();
    const Code& acte = ouVide(ligne.acte);
    const Code& activite = ouVide(ligne.activite);
    const Code& phase = ouVide(ligne.phase);
    const Code& prestation = ouVide(ligne.prestation);
    const Date& date = ouVide(ligne.date);
    const Date& naissance = ouVide(facture.dateNaissance);
    const ListeCodes& modificateurs = ligne.modificateurs;
    const auto regle = [&](const char* nom, auto appliquer) { executer(cr, r, nom, ligne, ligne, erreurs, appliquer); };
    regle("PROD500", [&](Erreur& e) { return r.appliquerProd500(acte, e); });
    regle("PROD510", [&](Erreur& e) { return r.appliquerProd510(acte, date, e); });
    regle("PROD511A", [&](Erreur& e) { return r.appliquerProd511A(acte, date, naissance, e); });
    regle("PROD890", [&](Erreur& e) { return r.appliquerProd890(acte, ouVide(facture.natureAssurance), e); });
    regle("PROD780", [&](Erreur& e) { return r.appliquerProd780(acte, date, ligne.ententePrealable.get(), e); });
    regle("PROD760", [&](Erreur& e) {
        return r.appliquerProd760(acte, date, ligne.baseRemboursement.get(), ligne.baseTheoriqueAMO.get(),
                                  ligne.qualificatifDepense.get(), e);
    });
    regle("PROD765", [&](Erreur& e) {
        return r.appliquerProd765(acte, date, ligne.baseRemboursement.get(), ligne.baseTheoriqueAMO.get(),
                                  ligne.qualificatifDepense.get(), ligne.codeRemboursement.get(), e);
    });
    regle("PROD530", [&](Erreur& e) { return r.appliquerProd530(acte, activite, e); });
    regle("PROD220", [&](Erreur& e) { return r.appliquerProd220(prestation, date, e); });
    regle("PROD798", [&](Erreur& e) { return r.appliquerProd798(acte, activite, date, prestation, e); });
    regle("PROD670",
          [&](Erreur& e) { return r.appliquerProd670(acte, activite, date, ouVide(ligne.specialitePS), e); });
    regle("PROD895A",
          [&](Erreur& e) { return r.appliquerProd895A(acte, activite, facture.agrementRadio.get(), date, e); });
    regle("PROD136A", [&](Erreur& e) { return r.appliquerProd136A(modificateurs, date, e); });
    regle("PROD136B", [&](Erreur& e) { return r.appliquerProd136B(modificateurs, date, e); });
    regle("PROD190", [&](Erreur& e) { return r.appliquerProd190(modificateurs, date, e); });
    regle("PROD550", [&](Erreur& e) { return r.appliquerProd550(acte, activite, modificateurs, date, e); });
    regle("PROD555", [&](Erreur& e) { return r.appliquerProd555(modificateurs, date, naissance, e); });
    regle("PROD798A",
          [&](Erreur& e) { return r.appliquerProd798A(modificateurs, ligne.donneesComplementaires, date, e); });
    regle("PROD540", [&](Erreur& e) { return r.appliquerProd540(acte, activite, phase, e); });
    Booleen dentaire;
    if (decider(cr, r, "PROD696", ligne, [&] { return r.appliquerProd696(acte, activite, date, dentaire); }) &&
        dentaire.valeur())
        controlerDents(cr, ligne, facture, erreurs);
    terminerControle(cr, ligne, r, 'G');
    return cr;
}

void SequencesControle::controlerDents(uint16_t& cr, LigneCCAM& ligne, const Facture& facture,
                                       TypeListe<Erreur>& erreurs) {
    Reglementation& r = reglementation_;
    const Code& acte = ouVide(ligne.acte);
    const Code& activite = ouVide(ligne.activite);
    const Code& phase = ouVide(ligne.phase);
    const Date& date = ouVide(ligne.date);
    const Date& naissance = ouVide(facture.dateNaissance);
    const auto regle = [&](const char* nom, auto appliquer) { executer(cr, r, nom, ligne, ligne, erreurs, appliquer); };
    regle("PROD720", [&](Erreur& e) { return r.appliquerProd720(acte, activite, phase, date, naissance, e); });
    regle("PROD730", [&](Erreur& e) { return r.appliquerProd730(acte, activite, phase, date, naissance, e); });
    Booleen numerosDents;
    if (!decider(cr, r, "PROD695", ligne, [&] { return r.appliquerProd695(acte, activite, phase, numerosDents); }) ||
        !numerosDents.valeur())
        return;
    regle("PROD700", [&](Erreur& e) { return r.appliquerProd700(acte, ligne.dents, e); });
    regle("PROD702", [&](Erreur& e) { return r.appliquerProd702(acte, activite, phase, ligne.dents, e); });
    regle("PROD710", [&](Erreur& e) { return r.appliquerProd710(acte, activite, phase, ligne.dents, e); });
}

uint16_t SequencesControle::sansRegle(LigneActe& ligne, Regles& regles, char lettre) {
    uint16_t cr = 0;
    debuterControle();
    terminerControle(cr, ligne, regles, lettre);
    return cr;
}

uint16_t SequencesControle::controlerPU(LigneActe& ligne, Facture&, TypeListe<Erreur>&) {
    return sansRegle(ligne, tarification_, 'R');
}

uint16_t SequencesControle::controlerPU(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    const Code& acte = ouVide(ligne.acte);
    const Code& activite = ouVide(ligne.activite);
    const Code& phase = ouVide(ligne.phase);
    tracerRegle("LigneCCAM::controlerPU >> IN, acte= %s", acte.chaine());
    ALaSortie sortie([&] { tracerRegle("LigneCCAM::controlerPU << OUT : cr = 0x%04X", cr); });
    debuterControle();
    Montant theorique;
    if (decider(cr, t, "PROD840", ligne, [&] {
            return t.appliquerProd840(acte, activite, phase, ouVide(ligne.grilleTarifaire), ouVide(ligne.date),
                                      facture.caissePS.get(), theorique);
        }))
        executer(cr, t, "PROD850", ligne, ligne, erreurs, [&](Erreur& e) {
            return t.appliquerProd850(acte, activite, phase, ligne.prixUnitaire.get(), theorique, e);
        });
    terminerControle(cr, ligne, t, 'R');
    return cr;
}

uint16_t SequencesControle::controlerBaseActe(LigneActe& ligne, Facture&, TypeListe<Erreur>&) {
    return sansRegle(ligne, tarification_, 'R');
}

// Every rule of the base is verifiable on the whole association. A rule that is
// not verifiable leaves its value as it started: rate 1.0, amounts 0.00.
uint16_t SequencesControle::controlerBaseActe(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    const Code& acte = ouVide(ligne.acte);
    const Code& activite = ouVide(ligne.activite);
    const Code& phase = ouVide(ligne.phase);
    const Date& date = ouVide(ligne.date);
    const Nombre& grille = ouVide(ligne.grilleTarifaire);
    const AssociationCCAM* association = ligne.association;
    Montant horsForfait(0.0);
    tracerRegle("LigneCCAM::controlerBaseActe >> IN, acte= %s", acte.chaine());
    ALaSortie sortie([&] {
        tracerRegle("LigneCCAM::controlerBaseActe << OUT : cr = 0x%04X, base hors forfait = %.2fE", cr,
                    horsForfait.valeur());
    });
    debuterControle();
    Booleen remboursable;
    if (decider(cr, t, "PROD763A", association,
                [&] { return t.appliquerProd763A(acte, date, ligne.codeRemboursement.get(), remboursable); }) &&
        remboursable.valeur()) {
        const Code* actePuMax = association != nullptr ? association->actePuMax.get() : nullptr;
        const bool reduction =
            present(actePuMax) && decider(cr, t, "PROD656B", association, [&] {
                return t.appliquerProd656B(acte, ligne.topActePuMax, date, ligne.codeAssociation.get(),
                                           ligne.topReduction);
            });
        if (!reduction) ligne.topReduction = Booleen(false);
        Coefficient taux(1.0);
        if (present(ligne.codeAssociation.get()))
            decider(cr, t, "PROD655", association, [&] {
                return t.appliquerProd655(*ligne.codeAssociation, date, ligne.topReduction, grille, taux);
            });
        else
            decider(cr, t, "PROD640", association, [&] {
                return t.appliquerProd640(acte, activite, date, ligne.topReduction, actePuMax, grille, taux);
            });
        Montant supplement(0.0), base(0.0), calculeHorsForfait(0.0);
        decider(cr, t, "PROD860", association, [&] {
            return t.appliquerProd860(acte, activite, phase, date, ligne.supplementCharges.get(),
                                      ligne.lieuExecution.get(), ligne.identifiantLieu.get(), supplement);
        });
        const bool calculee = decider(cr, t, "PROD870", association, [&] {
            return t.appliquerProd870(acte, activite, phase, date, ouVide(ligne.prixUnitaire), taux, supplement,
                                      ligne.modificateurs, grille, base, calculeHorsForfait);
        });
        const Montant baseAvantPlafond = Montant(base).arrondir();
        Montant recalculee = base;
        decider(cr, t, "PROD740", association,
                [&] { return t.appliquerProd740(date, facture.conventionPS.get(), base, recalculee); });
        recalculee.arrondir();
        executer(cr, t, "PROD880", association, ligne, erreurs, [&](Erreur& e) {
            return t.appliquerProd880(acte, activite, phase, ligne.baseRemboursement.get(), recalculee, e);
        });
        // The theoretical base is checked only when the host gave it in place of the base.
        if (tarif::estNul(ouVide(ligne.baseRemboursement)) && !tarif::estNul(ouVide(ligne.baseTheoriqueAMO)))
            executer(cr, t, "PROD880A", association, ligne, erreurs, [&](Erreur& e) {
                return t.appliquerProd880A(acte, activite, phase, ligne.baseTheoriqueAMO.get(), baseAvantPlafond,
                                           e);
            });
        if (calculee) horsForfait = calculeHorsForfait;
    }
    ligne.baseHorsForfait = Montant(horsForfait);
    terminerControle(cr, ligne, t, 'R');
    return cr;
}

uint16_t SequencesControle::controlerExoActe(LigneActe& ligne, Facture&, TypeListe<Erreur>&) {
    return sansRegle(ligne, tarification_, 'S');
}

// The rules chosen by the line's exoneration code, then those of every code.
uint16_t SequencesControle::controlerExoActe(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    const Code& acte = ouVide(ligne.acte);
    const Date& date = ouVide(ligne.date);
    const Code* exoneration = ligne.exonerationTM.get();
    const Code* caisse = facture.caissePS.get();
    const Coefficient& taux = ouVide(ligne.tauxRemboursement);
    const Montant& horsForfait = ouVide(ligne.baseHorsForfait);
    // Made only for a line outside any session, which decides for itself alone.
    Code sansSeance;
    if (ligne.seance == nullptr) sansSeance = Code(Seance::kNonDecidee);
    Code& seanceExoneree = ligne.seance != nullptr ? ligne.seance->seanceExoneree : sansSeance;
    tracerRegle("LigneCCAM::controlerExoActe >> IN");
    ALaSortie sortie([&] {
        tracerRegle("LigneCCAM::controlerExoActe << OUT : cr = 0x%04X, seance exoneree = %s", cr,
                    seanceExoneree.chaine());
    });
    debuterControle();
    const auto regle = [&](const char* nom, auto appliquer) { executer(cr, t, nom, ligne, ligne, erreurs, appliquer); };
    const auto regleAssociation = [&](const char* nom, auto appliquer) {
        executer(cr, t, nom, ligne.association, ligne, erreurs, appliquer);
    };
    if (parmi(exoneration, {"0", "9"}) && taux < 1.0) {
        regle("PROD785",
              [&](Erreur& e) { return t.appliquerProd785(acte, date, exoneration, caisse, horsForfait, e); });
        regle("PROD786", [&](Erreur& e) { return t.appliquerProd786(acte, date, exoneration, e); });
        regle("PROD787", [&](Erreur& e) { return t.appliquerProd787(acte, date, exoneration, e); });
    }
    if (parmi(exoneration, {"C"})) {
        regleAssociation("PROD791B", [&](Erreur& e) {
            return t.appliquerProd791B(acte, date, exoneration, caisse, horsForfait, e);
        });
        regleAssociation("PROD791C", [&](Erreur& e) { return t.appliquerProd791C(acte, date, exoneration, e); });
    }
    if (parmi(exoneration, {"C", "3", "4", "5"}))
        regle("PROD788", [&](Erreur& e) { return t.appliquerProd788(acte, date, exoneration, e); });
    if (parmi(exoneration, {"7"}))
        regle("PROD789", [&](Erreur& e) { return t.appliquerProd789(acte, date, exoneration, e); });
    if (parmi(exoneration, {"1"}))
        regle("PROD793", [&](Erreur& e) { return t.appliquerProd793(acte, exoneration, e); });
    regle("PROD795A", [&](Erreur& e) {
        return t.appliquerProd795A(acte, exoneration, taux, ligne.qualificatifDepense.get(), e);
    });
    decider(cr, t, "PROD790A", ligne, [&] {
        return t.appliquerProd790A(acte, date, exoneration, caisse, horsForfait, seanceExoneree);
    });
    terminerControle(cr, ligne, t, 'S');
    return cr;
}

// Always 0: what the chosen control finds is recorded, its code is only traced.
uint16_t SequencesControle::controlerExoSeance(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) {
    const uint16_t cr = 0;
    TraceRegle trace("LigneActe", "controlerExoSeanceExoneree", cr);
    const LigneCCAM* acte = acteRattache(ligne);
    if (acte != nullptr && acte->seance != nullptr && acte->seance->seanceExoneree == Seance::kExoneree)
        controlerExoSeanceExoneree(ligne, facture, erreurs);
    return cr;
}

uint16_t SequencesControle::controlerExoSeance(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) {
    const uint16_t cr = 0;
    TraceRegle trace("LigneCCAM", "controlerExoSeanceExoneree", cr);
    const Code& etat = ligne.seance != nullptr ? ligne.seance->seanceExoneree : Code();
    if (etat == Seance::kExoneree)
        controlerExoSeanceExoneree(ligne, facture, erreurs);
    else if (etat == Seance::kNonDecidee)
        controlerExoSeanceNonExoneree(ligne, facture, erreurs);
    return cr;
}

// A travel line of an exonerated session: verifiable as its act is, its rate then
// its exoneration checked against the act's codes.
uint16_t SequencesControle::controlerExoSeanceExoneree(LigneActe& ligne, Facture&, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    const LigneCCAM* acte = acteRattache(ligne);
    if (acte == nullptr) return cr;
    const Code& prestation = ouVide(ligne.prestation);
    const Code* exoneration = ligne.exonerationTM.get();
    const Coefficient& taux = ouVide(ligne.tauxRemboursement);
    const Code* qualificatif = ligne.qualificatifDepense.get();
    decider(cr, t, "PROD792B", *acte, [&] {
        uint16_t code = t.appliquerProd795A(prestation, exoneration, taux, qualificatif, erreur_);
        if (code == 0) code = traiter(t, ligne, erreur_, erreurs);
        if (code == 0)
            code = t.appliquerProd792B(prestation, taux, ouVide(acte->acte), ouVide(ligne.date), exoneration,
                                       qualificatif, erreur_);
        if (code == 0) code = traiter(t, ligne, erreur_, erreurs);
        if (erreur_.estPositionnee()) erreur_.vider();
        return code;
    });
    return cr;
}

uint16_t SequencesControle::controlerExoSeanceExoneree(LigneCCAM& ligne, Facture&, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    executer(cr, t, "PROD792", ligne, ligne, erreurs, [&](Erreur& e) {
        return t.appliquerProd792(ouVide(ligne.tauxRemboursement), ouVide(ligne.acte), ouVide(ligne.date),
                                  ligne.exonerationTM.get(), ligne.qualificatifDepense.get(), e);
    });
    return cr;
}

uint16_t SequencesControle::controlerExoSeanceNonExoneree(LigneActe&, Facture&, TypeListe<Erreur>&) { return 0; }

uint16_t SequencesControle::controlerExoSeanceNonExoneree(LigneCCAM& ligne, Facture& facture,
                                                          TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    TraceRegle trace("LigneCCAM", "controlerExoFactureNonExoneree", cr);
    executer(cr, t, "PROD791A", ligne, ligne, erreurs, [&](Erreur& e) {
        return t.appliquerProd791A(ouVide(ligne.acte), ouVide(ligne.date), ligne.exonerationTM.get(),
                                   facture.caissePS.get(), ouVide(ligne.baseHorsForfait), e);
    });
    return cr;
}
