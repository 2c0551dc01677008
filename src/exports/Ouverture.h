// The référentiel opened for one exported call: the one place where an export
// takes a reader place (LectureDonnees) or the writer place. Taken when the
// running code is 0, given back by the destructor, or by fermer when the
// référentiel itself is about to be released.
#pragma once

#include <cstdint>
#include <utility>

#include "exports/Bibliotheque.h"

template <class Objet>
class Ouverture {
public:
    template <class... Arguments>
    explicit Ouverture(uint16_t& cr, Arguments&&... arguments)
        : objet_(Bibliotheque::referentiel(), std::forward<Arguments>(arguments)...) {
        if (cr == 0) cr = objet_.ouvrir();
    }
    Ouverture(const Ouverture&) = delete;
    Ouverture& operator=(const Ouverture&) = delete;

    Objet& operator*() { return objet_; }
    void fermer() { objet_.fermer(); }

private:
    Objet objet_;
};
