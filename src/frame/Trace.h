// Trace of the library: every line goes through the common-services component,
// formatted here once. The detail channel has its own per-category levels, all 0,
// so it writes nothing unless a test switches a level on.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <string>

#if defined(__GNUC__)
#define KPX_FORMAT(f, a) __attribute__((format(printf, f, a)))
#define KPX_NOINLINE __attribute__((noinline))
#else
#define KPX_FORMAT(f, a)
#define KPX_NOINLINE
#endif

// Categories by area of the library.
enum Categorie : uint16_t {
    CAT_CYCLE = 0,          // lifecycle, interface description build
    CAT_CONSULTATION = 1,
    CAT_MODIFICATION = 2,
    CAT_SAUVEGARDE = 3,
    CAT_REGLE = 4,
    CAT_CONTROLE = 6,       // control, argument checks, input zones
    CAT_SYSTEME = 7,
    CAT_ZONE = 9,
};

enum Niveau : uint16_t {
    NIV_EXPORT = 1,
    NIV_DETAIL = 2,
    NIV_ERREUR = 5,
};

// The highest level the component writes, read at the entry of every exported call and
// kept until the next reads it again, so that the thousands of lines a control skips cost
// one comparison each. Before any call, and once the library has switched the trace, it
// is unknown: every line is handed over and the component keeps its own filter.
namespace NiveauTrace {
constexpr uint16_t kInconnu = 0xFFFF;
// Relaxed: any value it holds is either the component's level or "unknown", both right.
inline std::atomic<uint16_t> niveauEcrit{kInconnu};

// Asks the component again (at the entry of an exported call, after the library switched the trace).
void relire();
// Back to handing every line over.
void oublier();
// Whether a line of that level may be written; true when not known.
inline bool ecrit(uint16_t niveau) { return niveau <= niveauEcrit.load(std::memory_order_relaxed); }
}  // namespace NiveauTrace

// Writes one line through LN_TraceEcrire; does nothing while the component is unbound.
void tracer(uint16_t categorie, uint16_t niveau, const char* format, ...) KPX_FORMAT(3, 4);
// The same for wrappers that fix the category and level of an area.
void tracerListe(uint16_t categorie, uint16_t niveau, const char* format, va_list arguments) KPX_FORMAT(3, 0);

// The detail channel of the storage, query and modification layers.
void tracerDetail(uint16_t categorie, uint16_t niveau, const char* format, ...) KPX_FORMAT(3, 4);

namespace TraceDetail {
// Test hook only: the library itself never switches a level on.
using Destination = void (*)(uint16_t categorie, uint16_t niveau, const char* ligne);
void definirNiveau(uint16_t categorie, uint16_t niveau);
void definirDestination(Destination destination);
// Asked at every query of a control: inline, and false at once while no test listens.
inline std::atomic<Destination> destination{nullptr};
bool niveauActif(uint16_t categorie, uint16_t niveau);
inline bool estActif(uint16_t categorie, uint16_t niveau) {
    return destination.load(std::memory_order_relaxed) != nullptr && niveauActif(categorie, niveau);
}
}  // namespace TraceDetail

// Entry line at construction, "<nom> << OUT : cr = 0x%04X" at destruction, so no
// return path forgets the exit line. The code is read through the reference.
class TraceOperation {
public:
    // Inline: an operation's lines are mostly not written, and the check costs less than a call.
    TraceOperation(uint16_t categorie, uint16_t niveau, const char* nom, const uint16_t& cr)
        : categorie_(categorie), niveau_(niveau), nom_(nom), cr_(cr) {
        if (NiveauTrace::ecrit(niveau_)) tracerEntree();
    }
    TraceOperation(uint16_t categorie, uint16_t niveau, const char* nom, const uint16_t& cr,
                   const char* formatArguments, ...) KPX_FORMAT(6, 7);
    ~TraceOperation() {
        if (actif_ && NiveauTrace::ecrit(niveau_)) tracerSortie();
    }
    TraceOperation(const TraceOperation&) = delete;
    TraceOperation& operator=(const TraceOperation&) = delete;

    // Leaves without the exit line (the few operations specified that way).
    void annulerSortie() { actif_ = false; }

private:
    void tracerEntree();
    void tracerSortie();

    uint16_t categorie_;
    uint16_t niveau_;
    const char* nom_;
    const uint16_t& cr_;
    bool actif_ = true;
};
