#include "referentiel/RejeuModifications.h"

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"

uint16_t RejeuParDefaut::appliquerModificationsReferentiel(Referentiel& referentiel) {
    for (uint16_t identifiant = Referentiel::kPremiereTableModification;
         identifiant <= Referentiel::kDerniereTableModification; ++identifiant) {
        const Table* modifications = referentiel.table(identifiant);
        if (modifications != nullptr && modifications->nombreLignes() != 0) {
            tracerDetail(CAT_CYCLE, NIV_ERREUR,
                         "ERREUR : la table de modifications %03u n'est pas vide et ne peut pas etre rejouee",
                         identifiant);
            return KPX_CR_MODIFICATIONS_NON_REJOUEES;
        }
    }
    return 0;
}

uint16_t RejeuParDefaut::appliquerModificationsActe(Referentiel& referentiel, const char*, NiveauActe&) {
    return appliquerModificationsReferentiel(referentiel);
}
