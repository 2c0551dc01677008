// Allocation through the process heap with the usable-size accounting.
#include "frame/Systeme.h"

#include <cstdlib>

#include "KPXW32.h"
#include "frame/Plateforme.h"
#include "frame/Trace.h"

namespace {
uint32_t tailleCumulee = 0;
uint32_t echecDans = 0;

bool echecSimule() {
    if (echecDans == 0) return false;
    return --echecDans == 0;
}
}  // namespace

uint16_t Systeme::allouer(void** adresse, uint32_t taille) {
    uint16_t cr = KPX_OK;
    void* bloc = echecSimule() ? nullptr : std::malloc(taille == 0 ? 1 : taille);
    *adresse = bloc;
    if (bloc != nullptr) {
        auto utilisable = static_cast<uint32_t>(Plateforme::tailleUtilisable(bloc));
        tailleCumulee += utilisable;
        tracer(CAT_SYSTEME, NIV_DETAIL, "Systeme::allouer : allocation de %u (%u) octets a l'adresse 0x%p.",
               taille, utilisable, bloc);
    } else {
        tracer(CAT_SYSTEME, NIV_ERREUR, "Systeme::allouer : ERREUR: impossible d'allouer %u octets.", taille);
        cr = KPX_CR_MEMOIRE;
    }
    tracer(CAT_SYSTEME, NIV_DETAIL, "Taille memoire cumulee = %u, cr = 0x%04X.", tailleCumulee, cr);
    return cr;
}

void Systeme::liberer(void* adresse) {
    if (adresse == nullptr) return;
    auto utilisable = static_cast<uint32_t>(Plateforme::tailleUtilisable(adresse));
    tailleCumulee -= utilisable;
    // The address is printed before the block goes back to the heap.
    tracer(CAT_SYSTEME, NIV_DETAIL, "Systeme::liberer : liberation de %u octets a l'adresse 0x%p.", utilisable,
           adresse);
    std::free(adresse);
    tracer(CAT_SYSTEME, NIV_DETAIL, "Taille memoire cumulee = %u", tailleCumulee);
}

uint32_t Systeme::tailleMemoireCumulee() { return tailleCumulee; }

void Systeme::simulerEchecAllocation(uint32_t rang) { echecDans = rang; }
