// A duration in whole years plus days, as Date::difference gives it (an age).
#pragma once

#include "zone/TypeSimple.h"

class Periode : public TypeSimple {
public:
    Periode() = default;
    Periode(uint16_t annees, uint16_t jours) : annees_(annees), jours_(jours) {}

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    bool estRenseigne() const override { return annees_ != 0 || jours_ != 0; }
    void formeOctets(FormeOctets& forme) const override;

    uint16_t annees() const { return annees_; }
    uint16_t jours() const { return jours_; }
    bool operator==(const Periode& autre) const { return annees_ == autre.annees_ && jours_ == autre.jours_; }
    bool operator!=(const Periode& autre) const { return !(*this == autre); }

private:
    uint16_t annees_ = 0;
    uint16_t jours_ = 0;
};
