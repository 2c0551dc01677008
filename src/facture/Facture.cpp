#include "facture/Facture.h"

#include "KPXW32.h"
#include "facture/ControlesFacture.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"

namespace {

// The link of the chain that takes the line, or a new one appended at its end. A link
// takes the lines equal to its first on its key, so no two links take the same line, and
// the link the previous line went to is asked first: an invoice's lines of one date
// mostly follow each other. A new link takes its room for the `restantes` lines from
// this one to the invoice's end at once: it can hold no more, and its list then grows
// with no copy (a list growing by doubling took three to six blocks a link).
template <class Maillon, class Ligne, class Nouveau>
Maillon& maillonPour(std::unique_ptr<Maillon>& tete, Maillon*& precedent, const Ligne& ligne, size_t restantes,
                     Nouveau nouveau) {
    if (precedent != nullptr && precedent->accepte(ligne)) return *precedent;
    int32_t rang = 0;
    std::unique_ptr<Maillon>* lien = &tete;
    for (; *lien; lien = &(*lien)->suivante) {
        if ((*lien)->accepte(ligne)) return *(precedent = lien->get());
        rang = (*lien)->numero.valeur();
    }
    lien->reset(nouveau(rang + 1));
    (*lien)->lignes.reserve(restantes);
    return *(precedent = lien->get());
}

}  // namespace

Facture::Facture() = default;

Facture::~Facture() = default;

uint16_t Facture::ajouterLigne(std::unique_ptr<LigneActe> ligne) {
    if (lignes.size() >= kLignesMax) return KPX_CR_CONSTRUCTION;
    if (ligne->topDebrayageLigne) topDebrayage = true;
    // Room for the most an invoice holds (2 KB) at its first line: a block per doubling
    // cost more than the room.
    if (lignes.empty()) lignes.reserve(kLignesMax);
    lignes.push_back(std::move(ligne));
    return 0;
}

uint16_t Facture::setActeRattachement(uint16_t index) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_REGLE, NIV_DETAIL, "Facture::setActeRattachement", cr);
    if (index == 0 || index >= lignes.size()) return cr;
    LigneActe& ligne = *lignes[index];
    LigneActe* precedente = lignes[index - 1].get();
    ligne.rattachement = precedente->rattachement != nullptr ? precedente->rattachement : precedente;
    if (!memeValeur(ligne.date, ligne.rattachement->date)) {
        tracer(CAT_REGLE, NIV_ERREUR, "Déplacement pas à la même date que la prestation de rattachement.");
        cr = KPX_CR_DATE_DEPLACEMENT;
    }
    return cr;
}

const Code* Facture::getActeCcamParent(uint16_t index) const {
    const Code* acte = nullptr;
    if (index < lignes.size() && lignes[index]->date) {
        for (uint16_t i = index; i > 0; --i) {
            const LigneCCAM* ccam = lignes[i - 1]->commeLigneCCAM();
            if (ccam == nullptr) continue;
            if (memeValeur(ccam->date, lignes[index]->date) && ccam->acte && ccam->acte->estRenseigne())
                acte = ccam->acte.get();
            break;
        }
    }
    tracerRegle("acteCcamParent = %s", texteDe(acte));
    return acte;
}

void Facture::construireAssociations() {
    associations.reset();
    AssociationCCAM* precedente = nullptr;
    for (size_t i = 0; i < lignes.size(); ++i) {
        LigneCCAM* ccam = lignes[i]->commeLigneCCAM();
        if (ccam == nullptr) continue;
        maillonPour(associations, precedente, *ccam, lignes.size() - i,
                    [ccam](int32_t rang) { return new AssociationCCAM(rang, *ccam); })
            .ajouterLigne(*ccam);
    }
}

void Facture::construireSeances() {
    seances.reset();
    seancesDeplacement.reset();
    Seance* seance = nullptr;
    SeanceDepl* seanceDepl = nullptr;
    for (size_t i = 0; i < lignes.size(); ++i) {
        LigneActe& ligne = *lignes[i];
        const Date* jour = ligne.date.get();
        const size_t restantes = lignes.size() - i;
        if (LigneCCAM* ccam = ligne.commeLigneCCAM())
            maillonPour(seances, seance, *ccam, restantes, [jour](int32_t rang) { return new Seance(rang, jour); })
                .ajouterLigne(*ccam);
        maillonPour(seancesDeplacement, seanceDepl, ligne, restantes,
                    [jour](int32_t rang) { return new SeanceDepl(rang, jour); })
            .ajouterLigne(ligne);
    }
}

uint16_t Facture::controler(ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    uint16_t cr = 0;
    tracerRegle("Facture::controler >> IN");
    ALaSortie sortie([&] { tracerRegle("Facture::controler << OUT cr = 0x%04X", cr); });
    const auto chaqueLigne = [&](auto controle) {
        for (uint16_t i = 0; cr == 0 && i < nombreLignes(); ++i) cr = controle(*lignes[i], i);
    };
    construireAssociations();
    construireSeances();
    dump();
    chaqueLigne([&](LigneActe& l, uint16_t i) { return l.controlerReglementation(*this, i, controles, erreurs); });
    if (cr == 0) cr = controlerReglementation(controles, erreurs);
    if (cr == 0 && associations) cr = controles.controlerReglementation(*associations, erreurs);
    chaqueLigne([&](LigneActe& l, uint16_t) { return l.controlerPU(*this, controles, erreurs); });
    if (cr == 0 && associations) cr = controles.rechercheActePu(*associations, erreurs);
    chaqueLigne([&](LigneActe& l, uint16_t) { return l.controlerBaseActe(*this, controles, erreurs); });
    // Maternity, work accidents and free care leave nothing to the patient to exonerate.
    const bool exonerations = !(natureAssurance && (*natureAssurance == "MA" || *natureAssurance == "AT" ||
                                                    *natureAssurance == "SG"));
    if (exonerations) {
        chaqueLigne([&](LigneActe& l, uint16_t) { return l.controlerExoActe(*this, controles, erreurs); });
        if (cr == 0) cr = controlerExoFacture(controles, erreurs);
    }
    if (cr == 0) dump();
    return cr;
}

uint16_t Facture::controlerReglementation(ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerReglementation(*this, erreurs);
}

uint16_t Facture::controlerExoFacture(ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerExoFacture(*this, erreurs);
}

uint16_t Facture::traiterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, const Nombre& numero, const Date& date,
                                Regles& regles) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_REGLE, NIV_DETAIL, "Facture::traiterErreur", cr);
    if (!erreur.estPositionnee()) return cr;
    if (erreur.prestations.nombre() > 0)
        erreur.prestations.element(0) = numero;
    else
        cr = erreur.prestations.ajouter(numero);
    const Erreur* ajoutee = nullptr;
    if (cr == 0) cr = ajouterErreur(erreurs, erreur, ajoutee);
    if (cr == 0) {
        ajoutee->dump();
        Seance* seance = seances.get();
        while (seance != nullptr && !(seance->date != nullptr && *seance->date == date))
            seance = seance->suivante.get();
        // A date that no session has (not the date of a CCAM line) reaches no line.
        LigneActe::Effet effet(*ajoutee);
        for (size_t i = 0; cr == 0 && seance != nullptr && i < seance->lignes.size(); ++i)
            cr = seance->lignes[i]->subirErreur(effet, regles, LigneActe::kPorteeFacture);
    }
    erreur.vider();
    return cr;
}

void Facture::dump() const {
    if (!regleTracee()) return;
    tracerRegle("Facture::dump >> IN");
    tracerRegle("numeroPS        = %s", texteDe(numeroPS.get()));
    tracerRegle("conventionPS    = %s", texteDe(conventionPS.get()));
    tracerRegle("specialitePS    = %s", texteDe(specialitePS.get()));
    tracerRegle("agrementRadio   = %s", texteDe(agrementRadio.get()));
    tracerRegle("caissePS        = %s", texteDe(caissePS.get()));
    tracerRegle("dateNaissance   = %s", dateNaissance ? dateNaissance->chaine() : "");
    tracerRegle("tiersPayant     = %s", texteDe(tiersPayant.get()));
    tracerRegle("natureAssurance = %s", texteDe(natureAssurance.get()));
    tracerRegle("topDebrayage    = %s", vraiFaux(topDebrayage));
    for (const auto& ligne : lignes) ligne->dump();
    for (const AssociationCCAM* a = associations.get(); a != nullptr; a = a->suivante.get()) a->dump();
    if (seances) seances->dump(true);
    if (seancesDeplacement) seancesDeplacement->dump(true);
    tracerRegle("Facture::dump << OUT");
}
