// The two searches that find act codes without a function identifier: by keyword
// within search frames, and by a prefix of the act code. Both answer one group
// 3000 holding the number of codes found, then the codes.
#pragma once

#include <cstdint>

#include "zone/ZoneSortie.h"

class LectureDonnees;

class RechercheActes {
public:
    static constexpr uint16_t kGroupeResultat = 3000;
    static constexpr uint32_t kTousLesCadres = 0xFFFFFFFFu;

    // The LectureDonnees is already open for reading.
    explicit RechercheActes(LectureDonnees& lecture) : lecture_(lecture) {}

    // motCle as the host gave it; cadreRecherche 0 means every frame.
    uint16_t parMotCle(const char* motCle, uint32_t cadreRecherche, ZoneSortie& sortie);
    // filtre already checked (at most four capitals), null or empty for every act.
    uint16_t parFiltre(const char* filtre, ZoneSortie& sortie);

private:
    LectureDonnees& lecture_;
};
