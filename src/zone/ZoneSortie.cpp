#include "zone/ZoneSortie.h"

#include "frame/Systeme.h"
#include "KPXW32.h"
#include "frame/Trace.h"

void ZoneSortie::allouer(uint16_t& cr, uint32_t taille, uint16_t categorie) {
    if (cr != 0) return;
    liberer();
    zone_.emplace(taille);
    if (zone_->buffer == nullptr) {
        tracer(categorie, NIV_ERREUR, "ERREUR allocation zone de sortie de %d octets", static_cast<int>(taille));
        zone_.reset();
        cr = KPX_CR_MEMOIRE;
    }
}

void ZoneSortie::remettre(unsigned char** zoneSortie, uint32_t* tailleZoneSortie) {
    if (!zone_) return;
    *zoneSortie = zone_->buffer;
    *tailleZoneSortie = zone_->tailleDonnees;
    zone_.reset();
}

void ZoneSortie::liberer() {
    if (!zone_) return;
    Systeme::liberer(zone_->buffer);
    zone_.reset();
}
