// The overseas positions of a practitioner's caisse number, which consultation,
// modification and the tariff rules share: the surcharge position of an overseas
// department, and the position of its exemption threshold.
#pragma once

#include <cstdint>

#include "zone/Code.h"

class PositionsOutreMer {
public:
    // "971" to "974" give 1 to 4; any other number is traced in the caller's
    // category and refused with 0xD006.
    static uint16_t positionDOM(const Code& caisse, uint16_t categorie, int32_t& position);
    // The same without refusal: 0 for a caisse of no overseas department.
    static int32_t indexDOM(const Code& caisse);
    // "971" and "972" give 2, "973" 4, "974" 3, any other number 1 (metropolitan France).
    static int32_t positionSeuil(const Code& caisse);
};
