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

void Nombre::formeOctets(FormeOctets& forme) const {
    // As "%ld" writes it; the answer of a control writes one for every line it names,
    // and line numbers and counts mostly take two digits or one.
    char* p = forme.court;
    if (valeur_ >= 0 && valeur_ < 100) {
        if (valeur_ >= 10) *p++ = static_cast<char>('0' + valeur_ / 10);
        *p++ = static_cast<char>('0' + valeur_ % 10);
        formeCourte(forme, p);
        return;
    }
    if (valeur_ < 0) *p++ = '-';
    const uint32_t grandeur = valeur_ < 0 ? 0u - static_cast<uint32_t>(valeur_) : static_cast<uint32_t>(valeur_);
    formeCourte(forme, ecrireDecimal(p, grandeur, 1));
}
