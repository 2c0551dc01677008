// Codes: the one-character form and the fixed-width column form.
#include "zone/Code.h"

#include "frame/Trace.h"

Code::Code(char caractere) : Texte(&caractere, 1) {}

namespace {

// Columns are a few bytes wide (mostly one): one pass finds the NUL and the last
// non-blank before it.
size_t longueurColonne(const char* octets, size_t n) {
    size_t longueur = 0;
    for (size_t i = 0; octets != nullptr && i < n && octets[i] != '\0'; ++i)
        if (octets[i] != ' ') longueur = i + 1;
    return longueur;
}

}  // namespace

// Codes are read from the référentiel's columns by the hundred in a control: the string
// is built once, at its final length.
Code::Code(const char* octets, size_t n, LargeurFixe) : Texte(octets, longueurColonne(octets, n), SansNul{}) {}

Code::Code(const uint8_t* octets, size_t n, LargeurFixe largeur)
    : Code(reinterpret_cast<const char*>(octets), n, largeur) {}

size_t VueCode::longueurDe(const char* octets, size_t n) { return longueurColonne(octets, n); }

bool Code::estColonne(const char* octets, size_t n) const { return VueCode(octets, n, largeurFixe) == *this; }

void Code::tracer(uint16_t niveau) const { tracerDetail(CAT_ZONE, niveau, "  code = %s", chaine()); }
