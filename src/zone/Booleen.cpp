// Yes/no values.
#include "zone/Booleen.h"

#include "frame/Trace.h"

void Booleen::afficher(FILE* fichier) const { std::fputs(valeur_ ? "vrai" : "faux", fichier); }

void Booleen::tracer(uint16_t niveau) const {
    tracerDetail(CAT_ZONE, niveau, "  booleen = %s", valeur_ ? "vrai" : "faux");
}

void Booleen::formeOctets(FormeOctets& forme) const {
    forme.court[0] = valeur_ ? 'O' : 'N';
    formeCourte(forme, forme.court + 1);
}
