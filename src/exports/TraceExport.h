// Entry, return-code and exit lines of an exported function. The exit part is
// written by the destructor, so every return path of an export writes it.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "frame/Trace.h"

// Null strings are printed as the C library of the host platform would.
inline const char* texte(const char* chaine) { return chaine != nullptr ? chaine : "(null)"; }

class TraceExport {
public:
    enum Forme { kCode, kCodeAvecBlancs, kSansCode };

    TraceExport(uint16_t categorie, uint16_t niveau, const char* nom, const uint16_t& cr, Forme forme = kCode)
        : categorie_(categorie), niveau_(niveau), nom_(nom), cr_(cr), forme_(forme) {
        // The host may have switched the trace since its last call.
        NiveauTrace::relire();
    }

    void entree(const char* format, ...) KPX_FORMAT(2, 3) {
        if (!NiveauTrace::ecrit(niveau_)) return;
        char ligne[1024];
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(ligne, sizeof ligne, format, arguments);
        va_end(arguments);
        tracer(categorie_, niveau_, "%s", ligne);
    }

    // One exit line of the session variants ends with a blank.
    void suffixeSortie(const char* suffixe) { suffixe_ = suffixe; }

    // A few outcomes return without the code and exit lines.
    void annuler() { actif_ = false; }

    ~TraceExport() {
        if (!actif_) return;
        // "cr = 0x % 04X": the blank flag has no effect on an unsigned conversion.
        if (forme_ == kCode) tracer(categorie_, niveau_, "cr = 0x%04X", cr_);
        if (forme_ == kCodeAvecBlancs) tracer(categorie_, niveau_, "cr = 0x %04X", cr_);
        tracer(categorie_, niveau_, "%s << OUT%s", nom_, suffixe_);
    }

    TraceExport(const TraceExport&) = delete;
    TraceExport& operator=(const TraceExport&) = delete;

private:
    uint16_t categorie_;
    uint16_t niveau_;
    const char* nom_;
    const uint16_t& cr_;
    Forme forme_;
    const char* suffixe_ = "";
    bool actif_ = true;
};
