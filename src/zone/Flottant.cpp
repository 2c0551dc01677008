// Decimal values: implied-decimal reading and writing, tolerant comparisons.
#include "zone/Flottant.h"

#include <cmath>
#include <cstring>

#include "frame/Trace.h"

namespace {
constexpr size_t kMaxCaracteres = 11;

double puissanceDix(uint8_t n) {
    double p = 1.0;
    for (uint8_t i = 0; i < n; ++i) p *= 10.0;
    return p;
}
}  // namespace

Flottant::Flottant(const char* octets, size_t n, uint8_t decimales) {
    double valeur = 0.0;
    for (size_t i = 0; i < n; ++i) valeur = valeur * 10.0 + (octets[i] - '0');
    valeur_ = valeur / puissanceDix(decimales);
}

Flottant::Flottant(const uint8_t* octets, size_t n, uint8_t decimales)
    : Flottant(reinterpret_cast<const char*>(octets), n, decimales) {}

void Flottant::afficher(FILE* fichier) const { std::fprintf(fichier, "%f", valeur_); }

void Flottant::tracer(uint16_t niveau) const { tracerDetail(CAT_ZONE, niveau, "  flottant = %f", valeur_); }

bool Flottant::estRenseigne() const { return std::fabs(valeur_) > kTolerance; }

bool Flottant::operator==(double autre) const { return std::fabs(valeur_ - autre) < kTolerance; }

void Flottant::formeOctets(FormeOctets& forme, uint8_t decimales) const {
    double x = valeur_ * puissanceDix(decimales);
    x = std::trunc(valeur_ >= 0 ? x + kTolerance : x - kTolerance);
    forme.donnees = nullptr;
    if (!std::isfinite(x) || std::fabs(x) >= 1e11) {
        forme.longueur = kMaxCaracteres + 1;
        return;
    }
    // A whole number below 10^11: its integer has the digits "%.0f" would print.
    char chiffres[20];
    const char* fin = ecrireDecimal(chiffres, static_cast<uint64_t>(std::fabs(x)), decimales + 1u);
    const size_t largeur = static_cast<size_t>(fin - chiffres);
    const bool negatif = x < 0;
    const size_t total = largeur + (negatif ? 1 : 0);
    if (total > kMaxCaracteres) {
        forme.longueur = static_cast<uint32_t>(total);
        return;
    }
    char* p = forme.court;
    if (negatif) *p++ = '-';
    std::memcpy(p, chiffres, largeur);
    formeCourte(forme, p + largeur);
}
