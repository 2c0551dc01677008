#include "frame/ExceptionEchappee.h"

#include <exception>
#include <new>

#include "KPXW32.h"
#include "frame/Trace.h"

uint16_t codeExceptionEchappee(const char* fonction) noexcept {
    uint16_t cr = KPX_CR_EXCEPTION;
    const char* nature = "inconnue";
    try {
        throw;
    } catch (const std::bad_alloc&) {
        cr = KPX_CR_CONSTRUCTION;
        nature = "std::bad_alloc";
    } catch (const std::exception& e) {
        nature = e.what();
    } catch (...) {
    }
    // Memory may be short right now: a trace that fails is dropped, never rethrown.
    try {
        tracer(CAT_SYSTEME, NIV_ERREUR, "%s : exception interceptee (%s), cr = 0x%04X", fonction, nature, cr);
    } catch (...) {
    }
    return cr;
}
