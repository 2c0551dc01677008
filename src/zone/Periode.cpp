// Durations: printed forms.
#include "zone/Periode.h"

#include "frame/Trace.h"

namespace {
void formater(char* texte, size_t taille, uint16_t annees, uint16_t jours) {
    if (annees == 0)
        std::snprintf(texte, taille, "%dJ", jours);
    else if (jours == 0)
        std::snprintf(texte, taille, "%dA", annees);
    else
        std::snprintf(texte, taille, "%dA %dJ", annees, jours);
}
}  // namespace

void Periode::afficher(FILE* fichier) const {
    char texte[32];
    formater(texte, sizeof texte, annees_, jours_);
    std::fputs(texte, fichier);
}

void Periode::tracer(uint16_t niveau) const {
    char texte[32];
    formater(texte, sizeof texte, annees_, jours_);
    tracerDetail(CAT_ZONE, niveau, "  periode = %s", texte);
}

void Periode::formeOctets(FormeOctets& forme) const {
    // As "%huA%huJ" writes it.
    char* p = ecrireDecimal(forme.court, annees_, 1);
    *p++ = 'A';
    p = ecrireDecimal(p, jours_, 1);
    *p++ = 'J';
    formeCourte(forme, p);
}
