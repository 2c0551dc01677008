// Dates: text parsing, validity and the day arithmetic used for ages and delays.
#include "zone/Date.h"

#include <cstdint>
#include <cstring>

#include "frame/Trace.h"

namespace {

bool estChiffre(char c) { return c >= '0' && c <= '9'; }

unsigned lireDecimal(const char* octets, size_t n) {
    unsigned valeur = 0;
    for (size_t i = 0; i < n; ++i) valeur = valeur * 10 + static_cast<unsigned>(octets[i] - '0');
    return valeur;
}

// Days from (j2, m2) to (j1, m1), months counted in year annee.
int joursEntre(int j2, int m2, int j1, int m1, uint16_t annee) {
    if (m1 == m2) return j1 - j2;
    int jours = Date::joursDuMois(static_cast<uint8_t>(m2), annee) - j2;
    for (int m = m2 + 1; m < m1; ++m) jours += Date::joursDuMois(static_cast<uint8_t>(m), annee);
    return jours + j1;
}

// One per thread, as concurrent calls each format their own; the last date written is
// kept, as a control formats the date of its lines for every rule.
thread_local char texteDate[16];
thread_local uint32_t dateEcrite = UINT32_MAX;

}  // namespace

Date::Date(const char* chaine) {
    if (chaine != nullptr) analyser(chaine, std::strlen(chaine), annee_, mois_, jour_);
}

Date::Date(const char* octets, size_t n) { analyser(octets, n, annee_, mois_, jour_); }

Date::Date(const uint8_t* octets, size_t n) : Date(reinterpret_cast<const char*>(octets), n) {}

bool Date::analyser(const char* octets, size_t n, uint16_t& annee, uint8_t& mois, uint8_t& jour) {
    annee = 0;
    mois = 0;
    jour = 0;
    if (octets == nullptr || (n != 8 && n != 12)) return false;
    for (size_t i = 0; i < 8; ++i)
        if (!estChiffre(octets[i])) return false;
    for (size_t i = 8; i < n; ++i)
        if (octets[i] != '0') return false;
    annee = static_cast<uint16_t>(lireDecimal(octets, 4));
    mois = static_cast<uint8_t>(lireDecimal(octets + 4, 2));
    jour = static_cast<uint8_t>(lireDecimal(octets + 6, 2));
    return true;
}

bool Date::estDateValide(const char* octets, size_t n) { return Date(octets, n).existe(); }

bool Date::estDateValide(const uint8_t* octets, size_t n) {
    return estDateValide(reinterpret_cast<const char*>(octets), n);
}

bool Date::estBissextile(uint16_t annee) { return (annee % 4 == 0 && annee % 100 != 0) || annee % 400 == 0; }

uint8_t Date::joursDuMois(uint8_t mois, uint16_t annee) {
    static const uint8_t kJours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mois < 1 || mois > 12) return 0;
    if (mois == 2 && estBissextile(annee)) return 29;
    return kJours[mois - 1];
}

void Date::afficher(FILE* fichier) const { std::fprintf(fichier, "%02u/%02u/%04u", jour_, mois_, annee_); }

void Date::tracer(uint16_t niveau) const {
    tracerDetail(CAT_ZONE, niveau, "  date = %02u/%02u/%04u", jour_, mois_, annee_);
}

void Date::formeOctets(FormeOctets& forme) const {
    if (!estRenseigne()) {
        forme.donnees = nullptr;
        forme.longueur = 0;
        return;
    }
    char* p = ecrireDecimal(forme.court, annee_ % 10000u, 4);
    p = ecrireDecimal(p, mois_ % 100u, 2);
    p = ecrireDecimal(p, jour_ % 100u, 2);
    for (int i = 0; i < 4; ++i) *p++ = '0';
    formeCourte(forme, p);
}

// Rules build this text for their trace arguments at every call, so it is written by hand.
const char* Date::chaine() const {
    const uint32_t date = static_cast<uint32_t>(annee_) << 16 | static_cast<uint32_t>(mois_) << 8 | jour_;
    if (date == dateEcrite) return texteDate;
    dateEcrite = date;
    char* p = ecrireDecimal(texteDate, jour_, 2);
    *p++ = '/';
    p = ecrireDecimal(p, mois_, 2);
    *p++ = '/';
    p = ecrireDecimal(p, annee_, 4);
    *p = '\0';
    return texteDate;
}

bool Date::estAnterieure(const Date& autre) const {
    if (annee_ != autre.annee_) return annee_ < autre.annee_;
    if (mois_ != autre.mois_) return mois_ < autre.mois_;
    return jour_ < autre.jour_;
}

Periode Date::difference(const Date& autre) const {
    // A month or day out of range counts as 1 January of its year.
    auto ramener = [](const Date& d, int& mois, int& jour) {
        mois = d.mois_;
        jour = d.jour_;
        if (mois > 12 || jour > 31) {
            mois = 1;
            jour = 1;
        }
    };
    int m1, j1, m2, j2;
    ramener(*this, m1, j1);
    ramener(autre, m2, j2);
    int annees;
    int jours;
    if (annee_ == autre.annee_) {
        annees = 0;
        jours = joursEntre(j2, m2, j1, m1, annee_);
    } else if (m1 < m2 || (m1 == m2 && j1 < j2)) {
        annees = annee_ - autre.annee_ - 1;
        jours = joursEntre(j2, m2, 31, 12, autre.annee_) + joursEntre(1, 1, j1, m1, annee_);
    } else {
        annees = annee_ - autre.annee_;
        jours = joursEntre(j2, m2, j1, m1, annee_);
    }
    return Periode(static_cast<uint16_t>(annees), static_cast<uint16_t>(jours));
}

Date Date::retrancherJours(uint32_t n) const {
    Date resultat(*this);
    while (n > 0 && resultat.annee_ != 0) {
        if (n < resultat.jour_) {
            resultat.jour_ = static_cast<uint8_t>(resultat.jour_ - n);
            break;
        }
        n -= resultat.jour_;
        if (resultat.mois_ <= 1) {
            resultat.mois_ = 12;
            --resultat.annee_;
        } else {
            --resultat.mois_;
        }
        resultat.jour_ = joursDuMois(resultat.mois_, resultat.annee_);
    }
    if (resultat.annee_ == 0) return Date();
    return resultat;
}
