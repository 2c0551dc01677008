// Grid and coefficient searches of the association and tariff-rule rows.
#include "referentiel/lignes/Associations.h"

#include "referentiel/lignes/RecherchePlage.h"

uint16_t AssoGrille::rechercherHistoriqueAssociationNP(const Table& historiquesAsso, const Date& dateReference,
                                                       const HistoriqueAssociationNonPrevue*& historique) const {
    return chercherHistoriqueADate(historiquesAsso, historiques, dateReference, historique);
}

uint16_t AssociationNonPrevue::rechercherGrille(const Table& grillesAsso, uint16_t codeGrille,
                                                const AssoGrille*& grille, uint32_t& indice) const {
    auto egal = [codeGrille](const AssoGrille& g) { return g.codeGrille == codeGrille; };
    return chercherParCle(grillesAsso, grilles, egal, grille, indice) ? 0 : KPX_CR_RIEN_EN_VIGUEUR;
}

uint16_t RegleGrille::rechercherHistoRegleTarifaire(const Table& historiquesRegle, const Date& dateReference,
                                                    const HistoriqueRegleTarifaire*& historique) const {
    return chercherHistoriqueADate(historiquesRegle, historiques, dateReference, historique);
}

uint16_t RegleTarifaire::rechercherGrille(const Table& grillesRegle, uint16_t codeGrille,
                                          const RegleGrille*& grille) const {
    uint32_t indice = 0;
    auto egal = [codeGrille](const RegleGrille& g) { return g.codeGrille == codeGrille; };
    if (chercherParCle(grillesRegle, grilles, egal, grille, indice)) return 0;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : pas de grille correspondante");
    return KPX_CR_RIEN_EN_VIGUEUR;
}
