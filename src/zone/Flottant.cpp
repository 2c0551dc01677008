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

std::unique_ptr<uint8_t[]> Flottant::versOctets(uint32_t& longueur, uint8_t decimales) const {
    double x = valeur_ * puissanceDix(decimales);
    x = std::trunc(valeur_ >= 0 ? x + kTolerance : x - kTolerance);
    if (!std::isfinite(x) || std::fabs(x) >= 1e11) {
        longueur = kMaxCaracteres + 1;
        return nullptr;
    }
    char chiffres[16];
    int n = std::snprintf(chiffres, sizeof chiffres, "%.0f", std::fabs(x));
    bool negatif = x < 0;
    size_t largeur = std::max(static_cast<size_t>(n), static_cast<size_t>(decimales) + 1);
    size_t total = largeur + (negatif ? 1 : 0);
    if (total > kMaxCaracteres) {
        longueur = static_cast<uint32_t>(total);
        return nullptr;
    }
    char texte[kMaxCaracteres + 1];
    size_t p = 0;
    if (negatif) texte[p++] = '-';
    for (size_t i = static_cast<size_t>(n); i < largeur; ++i) texte[p++] = '0';
    std::memcpy(texte + p, chiffres, static_cast<size_t>(n));
    longueur = static_cast<uint32_t>(total);
    return copierOctets(texte, longueur);
}
