#include "facture/AssociationCCAM.h"

#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"

AssociationCCAM::AssociationCCAM(int32_t rang, const LigneCCAM& premiere)
    : date(premiere.date.get()),
      activite(premiere.activite.get()),
      numeroPS(premiere.numeroPS.get()),
      numero(rang) {}

AssociationCCAM::~AssociationCCAM() {
    // Long chains are released link by link, not by recursion.
    while (suivante) suivante = std::move(suivante->suivante);
}

// The practitioner first: the lines of one day differ by it most often.
bool AssociationCCAM::accepte(const LigneCCAM& ligne) const {
    return memeValeur(numeroPS, ligne.numeroPS) && memeValeur(activite, ligne.activite) && memeValeur(date, ligne.date);
}

void AssociationCCAM::ajouterLigne(LigneCCAM& ligne) {
    lignes.push_back(&ligne);
    ligne.association = this;
    nonVerifiables.ajouterLigne(ligne);
    if (ligne.topDebrayageLigne) topDebrayage = true;
}

uint16_t AssociationCCAM::traiterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, Regles& regles) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_REGLE, NIV_DETAIL, "Association::traiterErreur", cr);
    if (!erreur.estPositionnee()) return cr;
    const Erreur* ajoutee = nullptr;
    cr = ajouterErreur(erreurs, erreur, ajoutee);
    if (cr == 0) {
        ajoutee->dump();
        LigneActe::Effet effet(*ajoutee);
        for (size_t i = 0; cr == 0 && i < lignes.size(); ++i)
            cr = lignes[i]->subirErreur(effet, regles, LigneActe::kPorteeAssociation);
    }
    erreur.vider();
    return cr;
}

void AssociationCCAM::dump() const {
    if (!regleTracee()) return;
    tracerRegle("Association n° %d::dump", static_cast<int>(numero.valeur()));
    tracerRegle("date         = %s", date ? date->chaine() : "");
    tracerRegle("activite     = %s", texteDe(activite));
    tracerRegle("numeroPS     = %s", texteDe(numeroPS));
    tracerRegle("topDebrayage = %s", vraiFaux(topDebrayage));
    for (size_t i = 0; i < lignes.size(); ++i)
        tracerRegle("acte[%d] = %s (ligne = %d)", static_cast<int>(i), texteDe(lignes[i]->acte.get()),
                    static_cast<int>(lignes[i]->valeurNumero()));
    tracerRegle("actePuMax    = %s", texteDe(actePuMax.get()));
    tracerRegle("codeCalcule  = %s", texteDe(codeCalcule.get()));
}
