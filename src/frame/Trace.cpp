// Formats trace lines in one place and hands them to the common-services component.
#include "frame/Trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "frame/Composants.h"

namespace {

constexpr int kTailleLigne = 4096;
constexpr int kNombreCategories = 10;

uint16_t niveauxDetail[kNombreCategories] = {};

// Whether the component writes a line of that level; asked before any formatting,
// outside the frame that holds the line buffer (whose stack probing costs more
// than the check when the trace is off).
inline bool ligneEcrite(uint16_t niveau) {
    return NiveauTrace::ecrit(niveau) && Composants::traceEcrire() != nullptr;
}

KPX_NOINLINE void ecrire(uint16_t categorie, uint16_t niveau, const char* format, va_list arguments) {
    char ligne[kTailleLigne];
    std::vsnprintf(ligne, sizeof ligne, format, arguments);
    Composants::traceEcrire()("KPX", categorie, niveau, "%s", ligne);
}

}  // namespace

void tracer(uint16_t categorie, uint16_t niveau, const char* format, ...) {
    if (!ligneEcrite(niveau)) return;
    va_list arguments;
    va_start(arguments, format);
    ecrire(categorie, niveau, format, arguments);
    va_end(arguments);
}

void tracerListe(uint16_t categorie, uint16_t niveau, const char* format, va_list arguments) {
    if (ligneEcrite(niveau)) ecrire(categorie, niveau, format, arguments);
}

void tracerDetail(uint16_t categorie, uint16_t niveau, const char* format, ...) {
    if (!TraceDetail::estActif(categorie, niveau)) return;
    char ligne[kTailleLigne];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(ligne, sizeof ligne, format, arguments);
    va_end(arguments);
    if (auto destination = TraceDetail::destination.load()) destination(categorie, niveau, ligne);
}

namespace NiveauTrace {

void relire() {
    auto niveauTrace = Composants::niveauTrace();
    uint16_t niveau = kInconnu;
    if (Composants::traceEcrire() == nullptr) niveau = 0;
    else if (niveauTrace != nullptr) niveau = niveauTrace("KPX");
    niveauEcrit.store(niveau, std::memory_order_relaxed);
}

void oublier() { niveauEcrit.store(kInconnu, std::memory_order_relaxed); }

}  // namespace NiveauTrace

namespace TraceDetail {

void definirNiveau(uint16_t categorie, uint16_t niveau) {
    if (categorie < kNombreCategories) niveauxDetail[categorie] = niveau;
}

void definirDestination(Destination nouvelle) { destination.store(nouvelle); }

bool niveauActif(uint16_t categorie, uint16_t niveau) {
    return categorie < kNombreCategories && niveau != 0 && niveau <= niveauxDetail[categorie];
}

}  // namespace TraceDetail

void TraceOperation::tracerEntree() { tracer(categorie_, niveau_, "%s >> IN", nom_); }

TraceOperation::TraceOperation(uint16_t categorie, uint16_t niveau, const char* nom, const uint16_t& cr,
                               const char* formatArguments, ...)
    : categorie_(categorie), niveau_(niveau), nom_(nom), cr_(cr) {
    if (!ligneEcrite(niveau_)) return;
    char arguments[kTailleLigne];
    va_list liste;
    va_start(liste, formatArguments);
    std::vsnprintf(arguments, sizeof arguments, formatArguments, liste);
    va_end(liste);
    tracer(categorie_, niveau_, "%s >> IN : %s", nom_, arguments);
}

void TraceOperation::tracerSortie() { tracer(categorie_, niveau_, "%s << OUT : cr = 0x%04X", nom_, cr_); }
