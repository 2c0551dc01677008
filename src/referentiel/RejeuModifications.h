// The replay of the stored local modifications onto the reference data. The
// storage calls it and the modification layer implements it: once the
// modification file is read, and each time an act is read from the table file.
// A référentiel given none keeps its records without applying them (the build
// tools read files that way).
#pragma once

#include <cstdint>

class NiveauActe;
class Referentiel;

class RejeuModifications {
public:
    virtual ~RejeuModifications() = default;
    // Folds the records of the dated tables and the added grouping codes into the tables.
    virtual uint16_t appliquerModificationsReferentiel(Referentiel& referentiel) = 0;
    // Applies the records of one act, just read and not yet attached to its index row.
    virtual uint16_t appliquerModificationsActe(Referentiel& referentiel, const char* codeActe,
                                                NiveauActe& acte) = 0;
};
