#include "consultation/PositionsOutreMer.h"

#include <cstring>

#include "KPXW32.h"
#include "frame/Trace.h"

int32_t PositionsOutreMer::indexDOM(const Code& caisse) {
    const char* const caisses[] = {"971", "972", "973", "974"};
    for (int32_t i = 0; i < 4; ++i)
        if (std::strcmp(caisse.chaine(), caisses[i]) == 0) return i + 1;
    return 0;
}

uint16_t PositionsOutreMer::positionDOM(const Code& caisse, uint16_t categorie, int32_t& position) {
    const int32_t index = indexDOM(caisse);
    if (index != 0) {
        position = index;
        return 0;
    }
    tracer(categorie, NIV_ERREUR, "ERREUR: Le numéro de caisse PS (%s) n'est pas un numéro de DOM.", caisse.chaine());
    return KPX_CR_CAISSE_NON_DOM;
}

int32_t PositionsOutreMer::positionSeuil(const Code& caisse) {
    if (caisse == "971" || caisse == "972") return 2;
    if (caisse == "973") return 4;
    if (caisse == "974") return 3;
    return 1;
}
