// Searches of the modifier rows.
#include "referentiel/lignes/Modificateurs.h"

#include "referentiel/lignes/RecherchePlage.h"

uint16_t ModificaGrille::rechercherHistoriqueValeurModificateurs(const Table& historiques, const Date& dateReference,
                                                                 const HistoriqueValeurModificateur*& historique) const {
    return chercherHistoriqueADate(historiques, historiquesValeur, dateReference, historique);
}

uint16_t Modificateur::rechercherGrille(const Table& grilles, uint16_t codeGrille, const ModificaGrille*& grille,
                                        uint32_t& indice) const {
    auto egal = [codeGrille](const ModificaGrille& g) { return g.codeGrilleTarifaire == codeGrille; };
    return chercherParCle(grilles, grillesTarifaires, egal, grille, indice) ? 0 : KPX_CR_RIEN_EN_VIGUEUR;
}

uint16_t Modificateur::rechercherHistoriqueAgeModificateur(const Table& historiques, const Date& dateReference,
                                                           const HistoriqueAgeModificateur*& historique) const {
    return chercherHistoriqueADate(historiques, historiquesAge, dateReference, historique);
}

uint16_t Modificateur::rechercherHistoriqueCoherenceModificateurs(
    const Table& historiques, const Date& dateReference, const HistoriqueCoherenceModificateur*& historique) const {
    return chercherHistoriqueADate(historiques, historiquesCoherence, dateReference, historique);
}

uint16_t Modificateur::rechercherHistoriqueModificateursOC(const Table& historiques, const Date& dateReference,
                                                           const HistoriqueModificateurOC*& historique) const {
    return chercherHistoriqueADate(historiques, historiquesOC, dateReference, historique);
}
