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

std::unique_ptr<uint8_t[]> TypeSimple::versOctets(uint32_t& longueur) const {
    FormeOctets forme;
    formeOctets(forme);
    longueur = forme.longueur;
    return forme.donnees != nullptr ? copierOctets(reinterpret_cast<const char*>(forme.donnees), longueur) : nullptr;
}

void TypeSimple::formeOctets(FormeOctets& forme) const {
    forme.alloue = versOctets(forme.longueur);
    forme.donnees = forme.alloue.get();
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

std::unique_ptr<uint8_t[]> TypeSimple::copierOctets(const char* octets, uint32_t longueur) {
    if (longueur == 0) return nullptr;
    std::unique_ptr<uint8_t[]> copie(new uint8_t[longueur]);
    std::memcpy(copie.get(), octets, longueur);
    return copie;
}
