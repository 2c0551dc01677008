#include "facture/TraceFacture.h"

void tracerRegle(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    tracerListe(CAT_REGLE, NIV_DETAIL, format, arguments);
    va_end(arguments);
}

TraceRegle::TraceRegle(const char* classe, const char* operation, const uint16_t& cr)
    : classe_(classe), operation_(operation), cr_(cr) {
    tracerRegle("%s::%s >> IN", classe_, operation_);
}

TraceRegle::~TraceRegle() { tracerRegle("%s::%s << OUT : cr = 0x%04X", classe_, operation_, cr_); }
