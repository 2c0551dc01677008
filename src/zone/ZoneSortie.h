// An output zone until the host takes it: sized once, filled, then either handed
// over (buffer and data size to the host's pointers) or, on any failure, released.
#pragma once

#include <cstdint>
#include <optional>

#include "zone/TypeSimple.h"
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
    ZoneKPX* zone() { return zone_ ? &*zone_ : nullptr; }
    ZoneKPX* operator->() { return zone(); }
    explicit operator bool() const { return zone_.has_value(); }

    // A group after the zone's last one, its fields given by their byte forms: the bytes,
    // cursor and code of ZoneKPX::ajouterGroupe. An answer of many groups takes this step:
    // without the detail lines, when the group fits, it is laid here with its lengths coded
    // in place; otherwise the zone's own step writes it.
    uint16_t ajouterGroupe(uint16_t identifiant, const FormeOctets* champs, uint32_t nombre);

    // Success with a zone: the buffer now belongs to the host. Success without one
    // leaves both outputs as they are.
    void remettre(unsigned char** zoneSortie, uint32_t* tailleZoneSortie);
    void liberer();

private:
    // Held in place: one allocation per answer, its buffer.
    std::optional<ZoneKPX> zone_;
};
