// Argument checks with their exact messages (category 6).
#include "exports/ControleurParametres.h"

#include <cstring>
#include <new>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/Date.h"

namespace {
void erreur(const char* message) { tracer(CAT_CONTROLE, NIV_ERREUR, "%s", message); }
}  // namespace

void ControleurParametres::verifierChaine(uint16_t& cr, const char* chaine, bool obligatoire) {
    if (cr != 0) return;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurParametres::verifierChaine", cr);
    if (chaine == nullptr) {
        erreur("ERREUR: chaine = pointeur nul.");
        cr = KPX_CR_ARGUMENT;
    } else if (obligatoire && chaine[0] == '\0') {
        erreur("ERREUR: chaine vide.");
        cr = KPX_CR_ARGUMENT;
    }
}

void ControleurParametres::verifierDate(uint16_t& cr, const char* chaine, std::unique_ptr<Date>& date) {
    if (cr != 0) return;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurParametres::verifierDate", cr);
    if (chaine == nullptr) {
        erreur("ERREUR: date = pointeur nul.");
        cr = KPX_CR_ARGUMENT;
        return;
    }
    // Read once: a text that does not parse gives no date, which names no day either.
    const Date lue(chaine, std::strlen(chaine));
    if (!lue.existe()) {
        tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: date %s invalide.", chaine);
        cr = KPX_CR_ARGUMENT;
        return;
    }
    date.reset(new (std::nothrow) Date(lue));
    if (!date) cr = KPX_CR_CONSTRUCTION;
}

void ControleurParametres::verifierPointeur(uint16_t& cr, const void* pointeur, bool obligatoire) {
    if (cr != 0) return;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurParametres::verifierPointeur", cr,
                         "pointeur = 0x%p, parametre = %s", pointeur, obligatoire ? "true" : "false");
    if (pointeur == nullptr) {
        erreur("ERREUR: pointeur nul.");
        cr = obligatoire ? KPX_CR_ARGUMENT : KPX_CR_POINTEUR_NUL;
    }
}

void ControleurParametres::verifierZoneIn(uint16_t& cr, const unsigned char* buffer, uint32_t taille) {
    if (cr != 0) return;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurParametres::verifierZoneIn", cr,
                         "buffer = 0x%p, taille = %u", static_cast<const void*>(buffer), taille);
    if (buffer == nullptr) {
        erreur("ERREUR: buffer = pointeur nul.");
        cr = KPX_CR_ZONE_ENTREE;
    } else if (taille == 0) {
        erreur("ERREUR: taille nulle.");
        cr = KPX_CR_ZONE_ENTREE;
    }
}

void ControleurParametres::verifierZoneOut(uint16_t& cr, unsigned char** zone, uint32_t* taille) {
    if (cr != 0) return;
    TraceOperation trace(CAT_CONTROLE, NIV_DETAIL, "ControleurParametres::verifierZoneOut", cr);
    if (zone == nullptr) {
        erreur("ERREUR: buffer = pointeur nul.");
        cr = KPX_CR_POINTEUR_NUL;
    } else if (taille == nullptr) {
        erreur("ERREUR: taille nulle.");
        cr = KPX_CR_POINTEUR_NUL;
    } else {
        *zone = nullptr;
        *taille = 0;
    }
}
