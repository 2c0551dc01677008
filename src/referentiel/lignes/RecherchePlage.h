// Searches over the child rows of a range, in range order: the history in force
// at a date (both bounds inclusive, an absent end open) and the first row with a key.
#pragma once

#include <cstdint>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/Table.h"
#include "zone/Date.h"

// True when the reference date falls in [debut, fin]; an absent fin is open.
inline bool estEnVigueur(const Date& debut, const Date& fin, const Date& dateReference) {
    if (dateReference.estAnterieure(debut)) return false;
    return !fin.estRenseigne() || !fin.estAnterieure(dateReference);
}

// 0 and the first child in force; otherwise codeEchec without tracing.
template <class H, class P>
uint16_t chercherEnVigueur(const Table& enfants, const P& plage, const Date& dateReference, const H*& trouve,
                           uint16_t codeEchec = KPX_CR_RIEN_EN_VIGUEUR) {
    trouve = nullptr;
    for (uint32_t k = plage.position; k < static_cast<uint32_t>(plage.position) + plage.nombre; ++k) {
        const H* h = enfants.template ligneDe<H>(k);
        if (h == nullptr) break;
        if (estEnVigueur(h->dateDebut, h->dateFin, dateReference)) {
            trouve = h;
            return 0;
        }
    }
    return codeEchec;
}

// The history at a date, with the message of a failed search.
template <class H, class P>
uint16_t chercherHistoriqueADate(const Table& enfants, const P& plage, const Date& dateReference, const H*& trouve) {
    uint16_t cr = chercherEnVigueur(enfants, plage, dateReference, trouve);
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : pas d'historique trouve a la date de reference");
    return cr;
}

// The first child whose key satisfies egal, and its row index in the child table.
template <class L, class P, class Egal>
bool chercherParCle(const Table& enfants, const P& plage, Egal egal, const L*& trouve, uint32_t& indice) {
    trouve = nullptr;
    for (uint32_t k = plage.position; k < static_cast<uint32_t>(plage.position) + plage.nombre; ++k) {
        const L* l = enfants.template ligneDe<L>(k);
        if (l == nullptr) break;
        if (egal(*l)) {
            trouve = l;
            indice = k;
            return true;
        }
    }
    return false;
}
