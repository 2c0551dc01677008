#include "consultation/Aiguillage.h"

#include "KPXW32.h"
#include "frame/Trace.h"

uint16_t nonPrevu(uint16_t categorie, const char* famille, uint16_t numero) {
    tracer(categorie, NIV_ERREUR, "Identifiant (%d) non prévu dans les fonctions %s", static_cast<int>(numero),
           famille);
    return KPX_CR_NON_PREVU;
}
