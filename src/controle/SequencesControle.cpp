// The step every rule runs through, and the controls of the invoice, of its
// associations and of its sessions.
#include "controle/SequencesControle.h"

#include <algorithm>

#include "consultation/LectureDonnees.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"

using namespace regles;

SequencesControle::SequencesControle(Reglementation& reglementation, Tarification& tarification)
    : reglementation_(reglementation), tarification_(tarification) {}

SequencesControle::~SequencesControle() = default;

// A line outside any association or session (not built) answers for itself alone.
uint16_t SequencesControle::verifiable(Regles& regles, const char* regle, const AssociationCCAM* association,
                                       bool& reponse) {
    return association != nullptr ? regles.estVerifiableAssociation(regle, *association, reponse)
                                  : regles.estVerifiable(regle, nullptr, reponse);
}

uint16_t SequencesControle::verifiable(Regles& regles, const char* regle, const Seance* seance, bool& reponse) {
    return seance != nullptr ? regles.estVerifiableSeance(regle, *seance, reponse)
                             : regles.estVerifiable(regle, nullptr, reponse);
}

uint16_t SequencesControle::traiter(Regles& regles, LigneActe& ligne, Erreur& erreur, TypeListe<Erreur>& erreurs) {
    return ligne.traiterErreur(erreurs, erreur, regles);
}

uint16_t SequencesControle::traiter(Regles& regles, AssociationCCAM& association, Erreur& erreur,
                                    TypeListe<Erreur>& erreurs) {
    return association.traiterErreur(erreurs, erreur, regles);
}

uint16_t SequencesControle::traiter(Regles& regles, PourLigne& pour, Erreur& erreur, TypeListe<Erreur>& erreurs) {
    return pour.facture.traiterErreur(erreurs, erreur, ouVide(pour.ligne.numero), ouVide(pour.ligne.date), regles);
}

void SequencesControle::debuterControle() { reglementation_.compterModifications(true); }

void SequencesControle::terminerControle(uint16_t& cr, LigneActe& ligne, Regles& regles, char lettre) {
    if (cr == 0)
        cr = ligne.marquerForcage(regles, lettre);
    else
        regles.compterModifications(false);
}

// The session rules take the line's place among the CCAM lines of its session,
// where the invoice walks its lines by their index in the invoice.
uint16_t SequencesControle::controlerReglementation(Facture& facture, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Reglementation& r = reglementation_;
    tracerRegle("Facture::controlerReglementation >> IN");
    ALaSortie sortie([&] { tracerRegle("Facture::controlerReglementation << OUT : cr = 0x %04X", cr); });
    for (uint16_t i = 0; cr == 0 && i < facture.nombreLignes(); ++i) {
        LigneCCAM* ligne = facture.lignes[i]->commeLigneCCAM();
        if (ligne == nullptr || ligne->seance == nullptr) continue;
        const Seance& seance = *ligne->seance;
        const Code& acte = ouVide(ligne->acte);
        const Date& date = ouVide(ligne->date);
        const auto place = std::find(seance.lignes.begin(), seance.lignes.end(), ligne) - seance.lignes.begin();
        const uint16_t dansSeance = static_cast<uint16_t>(place);
        PourLigne pour{facture, *ligne};
        Booleen complementaire;
        if (decider(cr, r, "PROD580A", &seance, [&] { return r.appliquerProd580A(acte, date, complementaire); }) &&
            complementaire.valeur())
            executer(cr, r, "PROD580", &seance, pour, erreurs,
                     [&](Erreur& e) { return r.appliquerProd580(acte, date, seance, e); });
        executer(cr, r, "PROD600", &seance, pour, erreurs,
                 [&](Erreur& e) { return r.appliquerProd600(acte, date, dansSeance, seance, e); });
        executer(cr, r, "PROD240", &seance, pour, erreurs, [&](Erreur& e) {
            return r.appliquerProd240(acte, date, ouVide(facture.numeroPS), ligne->modificateurs, dansSeance, seance,
                                      e);
        });
    }
    return cr;
}

uint16_t SequencesControle::controlerReglementation(AssociationCCAM& premiere, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    Reglementation& r = reglementation_;
    for (AssociationCCAM* a = &premiere; cr == 0 && a != nullptr; a = a->suivante.get()) {
        TraceRegle trace("Association", "controlerReglementation", cr);
        AssociationCCAM& association = *a;
        executer(cr, r, "PROD590", a, association, erreurs,
                 [&](Erreur& e) { return r.appliquerProd590(association, e); });
        for (LigneCCAM* ligne : association.lignes)
            executer(cr, r, "PROD137", *ligne, *ligne, erreurs, [&](Erreur& e) {
                return r.appliquerProd137(ligne->codeAssociation.get(), ouVide(association.date),
                                          ouVide(ligne->grilleTarifaire), e);
            });
        executer(cr, r, "PROD649", a, association, erreurs,
                 [&](Erreur& e) { return r.appliquerProd649(association, e); });
        executer(cr, r, "PROD650", a, association, erreurs,
                 [&](Erreur& e) { return r.appliquerProd650(association, e); });
        executer(cr, r, "PROD653", a, association, erreurs,
                 [&](Erreur& e) { return r.appliquerProd653(association, e); });
    }
    return cr;
}

// The highest price records no violation.
uint16_t SequencesControle::rechercheActePu(AssociationCCAM& premiere, TypeListe<Erreur>&) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    for (AssociationCCAM* a = &premiere; cr == 0 && a != nullptr; a = a->suivante.get()) {
        TraceRegle trace("Association", "rechercheActePu", cr);
        Code acte;
        if (decider(cr, t, "PROD656A", a, [&] { return t.appliquerProd656A(*a, acte); }) && cr == 0)
            a->actePuMax = acte;
    }
    return cr;
}

// Sessions not yet exonerated are decided first, then every line's exoneration in
// its session; a line's own code there does not stop the invoice.
uint16_t SequencesControle::controlerExoFacture(Facture& facture, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    TraceRegle trace("Facture", "controlerExoFacture", cr);
    for (Seance* seance = facture.seances.get(); cr == 0 && seance != nullptr; seance = seance->suivante.get())
        if (seance->seanceExoneree != Seance::kExoneree) cr = controlerExoFacture(*seance, facture);
    for (uint16_t i = 0; cr == 0 && i < facture.nombreLignes(); ++i)
        facture.lignes[i]->controlerExoSeance(facture, *this, erreurs);
    return cr;
}

uint16_t SequencesControle::controlerExoFacture(Seance& seance, Facture& facture) {
    uint16_t cr = 0;
    Tarification& t = tarification_;
    TraceRegle trace("Seance", "controlerExoFacture", cr);
    if (!decider(cr, t, "PROD790B", &seance, [&] { return t.appliquerProd790B(facture.caissePS.get(), seance); }) &&
        cr == 0 && seance.seanceExoneree != Seance::kExoneree)
        seance.seanceExoneree = Code(Seance::kSeuilNonVerifiable);
    return cr;
}
