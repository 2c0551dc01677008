// Search of the forcing-indicator exceptions.
#include "referentiel/lignes/Regles.h"

#include "referentiel/lignes/RecherchePlage.h"

uint16_t ExceptionPrioriteIndicateur::rechercherCombinaisonException(const Table& valeursException, char indicateur,
                                                                     const ValeurException*& valeur) const {
    uint32_t indice = 0;
    auto egal = [indicateur](const ValeurException& e) { return e.indicateurPresent == indicateur; };
    if (chercherParCle(valeursException, valeurs, egal, valeur, indice)) return 0;
    tracerDetail(CAT_CYCLE, NIV_ERREUR,
                 "ERREUR : La combinaison des deux indicateurs n'est pas une exception à la regle de priorite");
    return KPX_CR_ELEMENT_ABSENT;
}
