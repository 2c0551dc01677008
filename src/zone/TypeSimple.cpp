// Type names and the byte copy shared by the simple values.
#include "zone/TypeSimple.h"

#include <cstring>

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

std::unique_ptr<uint8_t[]> TypeSimple::copierOctets(const char* octets, uint32_t longueur) {
    if (longueur == 0) return nullptr;
    std::unique_ptr<uint8_t[]> copie(new uint8_t[longueur]);
    std::memcpy(copie.get(), octets, longueur);
    return copie;
}
