// Field writers of the act levels, the mirror of the readers.
#include "referentiel/EcritureNiveau.h"

#include "KPXW32.h"
#include "referentiel/Ecrivain.h"

void EcritureNiveau::octet(char valeur) {
    if (cr_ == 0) cr_ = ecrivain_.ecrireOctet(valeur);
}

void EcritureNiveau::caracteres(const std::string& valeur, size_t n) {
    if (cr_ != 0) return;
    std::string fixe(valeur, 0, n < valeur.size() ? n : valeur.size());
    fixe.resize(n, ' ');
    cr_ = ecrivain_.ecrireCaracteres(fixe.data(), n);
}

void EcritureNiveau::entier16(uint16_t valeur) {
    if (cr_ == 0) cr_ = ecrivain_.ecrireEntier16(valeur);
}

void EcritureNiveau::entier32(uint32_t valeur) {
    if (cr_ == 0) cr_ = ecrivain_.ecrireEntier32(valeur);
}

void EcritureNiveau::chaine(const std::string& valeur) {
    if (cr_ == 0) cr_ = ecrivain_.ecrireChaine(valeur);
}

void EcritureNiveau::date(const Date& valeur) {
    if (cr_ == 0) cr_ = ecrivain_.ecrireDate(valeur);
}

void EcritureNiveau::nombre(double valeur) {
    if (cr_ == 0) cr_ = ecrivain_.ecrireNombre(valeur);
}

void EcritureNiveau::compte(size_t n) {
    if (cr_ != 0) return;
    if (n > 0xFFFF) {
        cr_ = KPX_CR_ECRITURE;
        return;
    }
    entier16(static_cast<uint16_t>(n));
}

void EcritureNiveau::listeCodes(const std::vector<char>& valeurs) {
    compte(valeurs.size());
    for (char valeur : valeurs) octet(valeur);
}

void EcritureNiveau::listeCodes(const std::vector<std::string>& valeurs, size_t n) {
    compte(valeurs.size());
    for (const std::string& valeur : valeurs) caracteres(valeur, n);
}
