// Codes: the one-character form and the fixed-width column form.
#include "zone/Code.h"

#include "frame/Trace.h"

Code::Code(char caractere) : Texte(&caractere, 1) {}

Code::Code(const char* octets, size_t n, LargeurFixe) {
    size_t longueur = longueurAvantNul(octets, n);
    while (longueur > 0 && octets[longueur - 1] == ' ') --longueur;
    texte_.assign(octets != nullptr ? octets : "", longueur);
}

Code::Code(const uint8_t* octets, size_t n, LargeurFixe largeur)
    : Code(reinterpret_cast<const char*>(octets), n, largeur) {}

void Code::tracer(uint16_t niveau) const { tracerDetail(CAT_ZONE, niveau, "  code = %s", chaine()); }
