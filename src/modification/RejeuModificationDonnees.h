// The replay the lifecycle gives every référentiel it loads: the stored records
// folded into the data by a ModificationDonnees, which takes no place (at load
// nobody holds the référentiel; at an act read, the reader asking for it does).
#pragma once

#include "referentiel/RejeuModifications.h"

class RejeuModificationDonnees : public RejeuModifications {
public:
    // The dated tables and the added grouping codes, in their fixed order; the first failure stops.
    uint16_t appliquerModificationsReferentiel(Referentiel& referentiel) override;
    // The act's grouping codes, then its phase records.
    uint16_t appliquerModificationsActe(Referentiel& referentiel, const char* codeActe, NiveauActe& acte) override;
};
