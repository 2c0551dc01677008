// An output zone until the host takes it: sized once, filled, then either handed
// over (buffer and data size to the host's pointers) or, on any failure, released.
#pragma once

#include <cstdint>
#include <memory>

#include "zone/ZoneKPX.h"

class ZoneSortie {
public:
    ZoneSortie() = default;
    ZoneSortie(const ZoneSortie&) = delete;
    ZoneSortie& operator=(const ZoneSortie&) = delete;
    ~ZoneSortie() { liberer(); }

    // Creates the zone with that exact size: 0xF801 with "ERREUR allocation zone de
    // sortie de %d octets" when the memory accounting refuses it.
    void allouer(uint16_t& cr, uint32_t taille, uint16_t categorie);
    ZoneKPX* zone() const { return zone_.get(); }
    ZoneKPX* operator->() const { return zone_.get(); }
    explicit operator bool() const { return zone_ != nullptr; }

    // Success with a zone: the buffer now belongs to the host. Success without one
    // leaves both outputs as they are.
    void remettre(unsigned char** zoneSortie, uint32_t* tailleZoneSortie);
    void liberer();

private:
    std::unique_ptr<ZoneKPX> zone_;
};
