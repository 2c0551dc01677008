// Trace of the invoice model and of the rules: category 4, detail level.
#pragma once

#include "frame/Trace.h"
#include "zone/Texte.h"

void ecrireRegle(const char* format, ...) KPX_FORMAT(1, 2);
// Whether rule lines may be written: the dumps of the invoice ask once, not at every field.
inline bool regleTracee() { return NiveauTrace::ecrit(NIV_DETAIL); }
// A macro so that a line the trace level drops costs one comparison: its arguments (codes
// listed, dates written) are not even evaluated. The format is still checked at each call.
#define tracerRegle(...) (regleTracee() ? ecrireRegle(__VA_ARGS__) : static_cast<void>(0))

// Absent values print as empty text.
inline const char* texteDe(const Texte* t) { return t != nullptr ? t->chaine() : ""; }
inline const char* vraiFaux(bool valeur) { return valeur ? "vrai" : "faux"; }

// Entry and exit lines of a rule: "<classe>::<operation> >> IN" and
// "<classe>::<operation> << OUT : cr = 0x%04X", the code read through the reference.
class TraceRegle {
public:
    TraceRegle(const char* classe, const char* operation, const uint16_t& cr)
        : classe_(classe), operation_(operation), cr_(cr) {
        if (regleTracee()) tracerRegle("%s::%s >> IN", classe_, operation_);
    }
    ~TraceRegle() {
        if (regleTracee()) tracerRegle("%s::%s << OUT : cr = 0x%04X", classe_, operation_, cr_);
    }
    TraceRegle(const TraceRegle&) = delete;
    TraceRegle& operator=(const TraceRegle&) = delete;

private:
    const char* classe_;
    const char* operation_;
    const uint16_t& cr_;
};

// Runs its action when the scope ends, whatever the path: the exit line of an
// operation that reports its results on that line, the format checked at the call.
template <class Action>
class ALaSortie {
public:
    explicit ALaSortie(Action action) : action_(action) {}
    ~ALaSortie() { action_(); }
    ALaSortie(const ALaSortie&) = delete;
    ALaSortie& operator=(const ALaSortie&) = delete;

private:
    Action action_;
};
