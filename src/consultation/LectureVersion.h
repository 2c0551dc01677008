// The version zone: group 3600 with the référentiel's header values (version,
// CCAM base version, date of the last save, variant, comment, revision) and the
// library's own software version, which the caller names.
#pragma once

#include <cstdint>

#include "zone/ZoneSortie.h"

class LectureDonnees;

class LectureVersion {
public:
    static constexpr uint16_t kGroupe = 3600;
    // The LectureDonnees is already open for reading.
    static uint16_t lire(LectureDonnees& lecture, const char* versionLogicielle, ZoneSortie& sortie);
};
