#include "facture/TraceFacture.h"

void ecrireRegle(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    tracerListe(CAT_REGLE, NIV_DETAIL, format, arguments);
    va_end(arguments);
}
