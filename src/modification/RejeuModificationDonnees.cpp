#include "modification/RejeuModificationDonnees.h"

#include "modification/ModificationDonnees.h"

uint16_t RejeuModificationDonnees::appliquerModificationsReferentiel(Referentiel& referentiel) {
    ModificationDonnees modification(&referentiel);
    uint16_t cr = modification.chargerModificationsReglesAssociationsNP();
    if (cr == 0) cr = modification.appliquerModificationsModificateurs();
    if (cr == 0) cr = modification.appliquerModificationsReductionNC();
    if (cr == 0) cr = modification.appliquerModificationsSeuils();
    if (cr == 0) cr = modification.appliquerModificationsNouveauCodeRegroupement();
    return cr;
}

uint16_t RejeuModificationDonnees::appliquerModificationsActe(Referentiel& referentiel, const char* codeActe,
                                                              NiveauActe& acte) {
    ModificationDonnees modification(&referentiel);
    uint16_t cr = modification.chargerModificationsCodesRegroupement(codeActe, acte);
    if (cr == 0) cr = modification.appliquerModificationsHistoriquePhase(codeActe, acte);
    return cr;
}
