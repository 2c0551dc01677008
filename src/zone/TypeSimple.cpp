// Type names and the digit writing shared by the simple values.
#include "zone/TypeSimple.h"

const char* TypeSimple::nomType(uint8_t code) {
    switch (code) {
        case TYPE_CODE: return "Code";
        case TYPE_TEXTE: return "Texte";
        case TYPE_BOOLEEN: return "Booleen";
        case TYPE_DATE: return "Date";
        case TYPE_NOMBRE: return "Nombre";
        case TYPE_MONTANT: return "Montant";
        case TYPE_COEFFICIENT: return "Coefficient";
        case TYPE_COEFFICIENT_TAUX: return "Coefficient (taux)";
        case TYPE_AUCUN: return "(aucun type)";
        default: return "(type inconnu)";
    }
}

char* TypeSimple::ecrireDecimal(char* p, uint64_t valeur, unsigned chiffres) {
    char inverse[20];
    unsigned n = 0;
    do {
        inverse[n++] = static_cast<char>('0' + valeur % 10);
        valeur /= 10;
    } while (valeur != 0);
    while (n < chiffres && n < sizeof inverse) inverse[n++] = '0';
    while (n > 0) *p++ = inverse[--n];
    return p;
}

void TypeSimple::formeCourte(FormeOctets& forme, const char* fin) {
    forme.donnees = reinterpret_cast<const uint8_t*>(forme.court);
    forme.longueur = static_cast<uint32_t>(fin - forme.court);
}
