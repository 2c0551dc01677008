// Search of the CCAM concept rows.
#include "referentiel/lignes/Concepts.h"

#include "referentiel/lignes/RecherchePlage.h"

uint16_t ConceptCCAM::rechercherHistoriqueConceptCCAM(const Table& historiquesConcept, const Date& dateReference,
                                                      const HistoriqueConceptCCAM*& historique) const {
    return chercherHistoriqueADate(historiquesConcept, historiques, dateReference, historique);
}
