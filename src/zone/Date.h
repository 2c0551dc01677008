// A calendar date (year, month, day); year, month and day all 0 is no date.
// Texts are "YYYYMMDD" or "YYYYMMDD0000"; anything else gives no date.
#pragma once

#include <cstddef>

#include "zone/Periode.h"
#include "zone/TypeSimple.h"

class Date : public TypeSimple {
public:
    Date() = default;
    Date(uint16_t annee, uint8_t mois, uint8_t jour) : annee_(annee), mois_(mois), jour_(jour) {}
    explicit Date(const char* chaine);
    Date(const char* octets, size_t n);
    Date(const uint8_t* octets, size_t n);

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    bool estRenseigne() const override { return annee_ != 0 && mois_ != 0 && jour_ != 0; }
    void formeOctets(FormeOctets& forme) const override;

    uint16_t annee() const { return annee_; }
    uint8_t mois() const { return mois_; }
    uint8_t jour() const { return jour_; }

    // Strictly earlier, by year, then month, then day.
    bool estAnterieure(const Date& autre) const;
    // This date minus autre, in whole years and remaining days; autre is the earlier one.
    Periode difference(const Date& autre) const;
    Date retrancherJours(uint32_t n) const;

    // A day of the calendar (year 0 passes); no date is none.
    bool existe() const { return mois_ >= 1 && mois_ <= 12 && jour_ >= 1 && jour_ <= joursDuMois(mois_, annee_); }
    // A parsable text naming a day that exists (year 0 passes).
    static bool estDateValide(const char* octets, size_t n);
    static bool estDateValide(const uint8_t* octets, size_t n);
    static bool estBissextile(uint16_t annee);
    // 0 for a month outside 1..12.
    static uint8_t joursDuMois(uint8_t mois, uint16_t annee);

    // "jj/mm/aaaa" in a buffer shared by all dates, valid until the next call.
    const char* chaine() const;

    bool operator==(const Date& autre) const {
        return annee_ == autre.annee_ && mois_ == autre.mois_ && jour_ == autre.jour_;
    }
    bool operator!=(const Date& autre) const { return !(*this == autre); }
    bool operator<(const Date& autre) const { return estAnterieure(autre); }
    bool operator>(const Date& autre) const { return autre.estAnterieure(*this); }
    bool operator<=(const Date& autre) const { return !autre.estAnterieure(*this); }
    bool operator>=(const Date& autre) const { return !estAnterieure(autre); }

private:
    static bool analyser(const char* octets, size_t n, uint16_t& annee, uint8_t& mois, uint8_t& jour);

    uint16_t annee_ = 0;
    uint8_t mois_ = 0;
    uint8_t jour_ = 0;
};
