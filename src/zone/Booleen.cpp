// Yes/no values.
#include "zone/Booleen.h"

#include "frame/Trace.h"

void Booleen::afficher(FILE* fichier) const { std::fputs(valeur_ ? "vrai" : "faux", fichier); }

void Booleen::tracer(uint16_t niveau) const {
    tracerDetail(CAT_ZONE, niveau, "  booleen = %s", valeur_ ? "vrai" : "faux");
}

std::unique_ptr<uint8_t[]> Booleen::versOctets(uint32_t& longueur) const {
    longueur = 1;
    std::unique_ptr<uint8_t[]> octets(new uint8_t[1]);
    octets[0] = valeur_ ? 'O' : 'N';
    return octets;
}
