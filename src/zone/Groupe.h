// The description of one input group: its number and its fields in order.
// Field k describes field k of every occurrence of the group; the capacity is
// the count announced by the group's row, and no more fields are accepted.
#pragma once

#include <cstdint>
#include <memory>

#include "zone/Champ.h"

class Groupe {
public:
    Groupe(uint16_t numero, uint16_t capacite);
    Groupe(const Groupe&) = delete;
    Groupe& operator=(const Groupe&) = delete;

    // False when the array of fields could not be allocated.
    bool estValide() const { return capacite_ == 0 || champs_ != nullptr; }

    // 0xDFFF once the capacity is reached, 0xDFFC when the allowed values cannot be copied.
    uint16_t ajouterChamp(uint32_t format, uint32_t type, uint16_t tailleMinimale, uint16_t tailleMaximale,
                          const ListeCodes& valeurs);

    uint16_t numero() const { return numero_; }
    uint16_t nombreChamps() const { return nombreChamps_; }
    uint16_t capacite() const { return capacite_; }
    const Champ& champ(uint16_t i) const { return champs_[i]; }

    // "Groupe %u" and one line per field.
    void tracer() const;

private:
    uint16_t numero_;
    uint16_t nombreChamps_ = 0;
    uint16_t capacite_;
    std::unique_ptr<Champ[]> champs_;
};
