// The version zone: group 3600 with the référentiel's header values (version,
// CCAM base version, date of the last save, variant, comment, revision) and the
// library's own software version.
#pragma once

#include <cstdint>

#include "zone/ZoneSortie.h"

class Referentiel;

class LectureVersion {
public:
    static constexpr uint16_t kGroupe = 3600;
    static uint16_t lire(Referentiel* referentiel, ZoneSortie& sortie);
};
