#include "facture/Seance.h"

#include "facture/TraceFacture.h"

template <class S, class L>
void SeanceDatee<S, L>::dumpUne() const {
    if (!regleTracee()) return;
    tracerRegle("Seance n° %d::dump", static_cast<int>(numero.valeur()));
    tracerRegle("date         = %s", date ? date->chaine() : "");
    tracerRegle("topDebrayage = %s", vraiFaux(topDebrayage));
    for (size_t i = 0; i < lignes.size(); ++i) {
        const LigneCCAM* ccam = lignes[i]->commeLigneCCAM();
        if (ccam != nullptr)
            tracerRegle("acte[%d] = %s (ligne = %d)", static_cast<int>(i), texteDe(ccam->acte.get()),
                        static_cast<int>(ccam->valeurNumero()));
    }
    tracerRegle("seanceExoneree = %s", seanceExoneree.chaine());
}

template class SeanceDatee<Seance, LigneCCAM>;
template class SeanceDatee<SeanceDepl, LigneActe>;

void Seance::ajouterLigne(LigneCCAM& ligne) {
    lignes.push_back(&ligne);
    ligne.seance = this;
    nonVerifiables.ajouterLigne(ligne);
}
