// Grid choice of a tariff context at a date.
#include "referentiel/lignes/Contextes.h"

#include "referentiel/lignes/RecherchePlage.h"

uint16_t ConTarifaire::rechercherGrilleTarifaire(const Table& historiques, const Date& dateReference,
                                                 const HistoGrilleTar*& grille) const {
    if (grilles.nombre == 0) {
        grille = nullptr;
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : grille tarifaire pour cette date");
        return KPX_CR_ELEMENT_ABSENT;
    }
    uint16_t cr = chercherEnVigueur(historiques, grilles, dateReference, grille, KPX_CR_ELEMENT_ABSENT);
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : date non trouve dans la table histo grille tarifaire");
    return cr;
}
