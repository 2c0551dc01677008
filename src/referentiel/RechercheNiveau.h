// Searches shared by the three act levels: the child with a one-character code
// (children kept in ascending order of that code, compared as signed characters)
// and the version in force at a date (versions kept newest first).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/Date.h"

template <typename Niveau, typename Cle>
Niveau* chercherParCode(const std::vector<std::unique_ptr<Niveau>>& enfants, char code, Cle cle) {
    size_t bas = 0;
    size_t haut = enfants.size();
    const signed char cherche = static_cast<signed char>(code);
    while (bas < haut) {
        size_t milieu = bas + (haut - bas) / 2;
        const signed char courant = static_cast<signed char>(cle(*enfants[milieu]));
        if (courant == cherche) return enfants[milieu].get();
        if (courant < cherche) bas = milieu + 1;
        else haut = milieu;
    }
    return nullptr;
}

// The first version, from the head, whose effective date is not after the reference date;
// null when none is. Writes no line: the descents a reader keeps search through it.
template <typename Historique>
const Historique* versionEnVigueur(const Historique* tete, const Date& dateReference) {
    for (const Historique* h = tete; h != nullptr; h = h->suivant())
        if (!dateReference.estAnterieure(h->dateEffet)) return h;
    return nullptr;
}

// The same with its lines.
template <typename Historique>
uint16_t chercherHistoriqueEnVigueur(const Historique* tete, const Date& dateReference,
                                     const Historique*& historique) {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Date de reference : %04u/%02u/%02u", dateReference.annee(),
                 dateReference.mois(), dateReference.jour());
    historique = versionEnVigueur(tete, dateReference);
    if (historique != nullptr) return 0;
    tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : pas d'historique trouve a la date de reference");
    return KPX_CR_RIEN_EN_VIGUEUR;
}

// Length of a version list.
template <typename Historique>
uint16_t compterHistoriques(const Historique* tete) {
    uint16_t n = 0;
    for (const Historique* h = tete; h != nullptr; h = h->suivant()) ++n;
    return n;
}
