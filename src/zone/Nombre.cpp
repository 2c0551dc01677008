// Integers: decimal reading and printing.
#include "zone/Nombre.h"

#include "frame/Trace.h"

Nombre::Nombre(const char* octets, size_t n) {
    // Unsigned arithmetic: an over-long field wraps instead of overflowing.
    uint32_t valeur = 0;
    for (size_t i = 0; i < n; ++i) valeur = valeur * 10u + static_cast<uint32_t>(octets[i] - '0');
    valeur_ = static_cast<int32_t>(valeur);
}

Nombre::Nombre(const uint8_t* octets, size_t n) : Nombre(reinterpret_cast<const char*>(octets), n) {}

void Nombre::afficher(FILE* fichier) const { std::fprintf(fichier, "%ld", static_cast<long>(valeur_)); }

void Nombre::tracer(uint16_t niveau) const {
    tracerDetail(CAT_ZONE, niveau, "  nombre = %ld", static_cast<long>(valeur_));
}

std::unique_ptr<uint8_t[]> Nombre::versOctets(uint32_t& longueur) const {
    char texte[16];
    longueur = static_cast<uint32_t>(std::snprintf(texte, sizeof texte, "%ld", static_cast<long>(valeur_)));
    return copierOctets(texte, longueur);
}
