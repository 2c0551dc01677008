#include "facture/MessageRegle.h"

#include <cstring>

#include "zone/Texte.h"

namespace {

struct Conversion {
    bool gauche = false;
    bool zeros = false;
    char signe = 0;  // '+' or ' ' before a non-negative integer
    size_t largeur = 0;
    bool avecPrecision = false;
    size_t precision = 0;
    bool invalide = false;
    char type = 0;
};

// A width or precision read from data is capped: nothing wider than the message can matter.
size_t lireNombre(const std::string& format, size_t& i, size_t plafond) {
    size_t valeur = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        valeur = valeur * 10 + static_cast<size_t>(format[i] - '0');
        if (valeur > plafond) valeur = plafond;
        ++i;
    }
    return valeur;
}

bool estDrapeau(char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0'; }
bool estLongueur(char c) {
    return c == 'h' || c == 'l' || c == 'L' || c == 'q' || c == 'j' || c == 'z' || c == 't';
}

// Reads what follows a '%' up to and including the conversion character.
Conversion lireConversion(const std::string& format, size_t& i, size_t plafond) {
    Conversion c;
    for (; i < format.size() && estDrapeau(format[i]); ++i) {
        if (format[i] == '-') c.gauche = true;
        if (format[i] == '0') c.zeros = true;
        if (format[i] == '+') c.signe = '+';
        if (format[i] == ' ' && c.signe == 0) c.signe = ' ';
    }
    if (i < format.size() && format[i] == '*') {
        c.invalide = true;
        ++i;
    }
    c.largeur = lireNombre(format, i, plafond);
    if (i < format.size() && format[i] == '.') {
        ++i;
        c.avecPrecision = true;
        if (i < format.size() && format[i] == '*') {
            c.invalide = true;
            ++i;
        }
        c.precision = lireNombre(format, i, plafond);
    }
    while (i < format.size() && estLongueur(format[i])) ++i;
    if (i < format.size()) c.type = format[i++];
    return c;
}

void completer(std::string& message, size_t longueur, size_t largeur) {
    if (longueur < largeur) message.append(largeur - longueur, ' ');
}

// Sign, zeros and digits, padded to the width, written straight into the message.
void rendreEntier(const Conversion& c, int32_t valeur, std::string& message) {
    const bool nonSigne = c.type == 'u';
    const int64_t v = nonSigne ? static_cast<int64_t>(static_cast<uint32_t>(valeur)) : valeur;
    char tampon[20];
    size_t chiffres = 0;
    for (uint64_t reste = static_cast<uint64_t>(v < 0 ? -v : v); chiffres == 0 || reste != 0; reste /= 10)
        tampon[sizeof tampon - ++chiffres] = static_cast<char>('0' + reste % 10);
    if (c.avecPrecision && c.precision == 0 && v == 0) chiffres = 0;
    const char signe = v < 0 ? '-' : nonSigne ? 0 : c.signe;
    const size_t tailleSigne = signe != 0 ? 1 : 0;
    size_t zeros = c.avecPrecision && chiffres < c.precision ? c.precision - chiffres : 0;
    if (c.zeros && !c.gauche && !c.avecPrecision && tailleSigne + chiffres < c.largeur)
        zeros = c.largeur - tailleSigne - chiffres;
    const size_t longueur = tailleSigne + zeros + chiffres;
    if (!c.gauche) completer(message, longueur, c.largeur);
    if (signe != 0) message += signe;
    message.append(zeros, '0');
    message.append(tampon + sizeof tampon - chiffres, chiffres);
    if (c.gauche) completer(message, longueur, c.largeur);
}

// Appends the text of one conversion, padded to its width; nothing when the value is
// missing or of another kind.
void rendre(const Conversion& c, const ValeurMessage* valeur, std::string& message) {
    if (c.invalide || valeur == nullptr) return;
    std::string_view texte = valeur->texte();
    switch (c.type) {
        case 's':
            if (valeur->sorte() != ValeurMessage::kTexte) return;
            if (c.avecPrecision && c.precision < texte.size()) texte = texte.substr(0, c.precision);
            break;
        case 'd':
        case 'i':
        case 'u':
            if (valeur->sorte() == ValeurMessage::kEntier) rendreEntier(c, valeur->entier(), message);
            return;
        case 'c':
            if (valeur->sorte() != ValeurMessage::kCaractere) return;
            break;
        default:
            return;
    }
    if (!c.gauche) completer(message, texte.size(), c.largeur);
    message.append(texte.data(), texte.size());
    if (c.gauche) completer(message, texte.size(), c.largeur);
}

}  // namespace

ValeurMessage::ValeurMessage(const char* texte)
    : texte_(texte != nullptr ? texte : ""), longueur_(texte != nullptr ? std::strlen(texte) : 0) {}

ValeurMessage::ValeurMessage(const Texte& texte) : texte_(texte.chaine()), longueur_(texte.longueur()) {}

ValeurMessage::ValeurMessage(int32_t valeur) : sorte_(kEntier), entier_(valeur) {}

ValeurMessage ValeurMessage::caractere(char c) {
    ValeurMessage v;
    v.sorte_ = kCaractere;
    v.caractere_ = c;
    return v;
}

std::string formaterMessage(const std::string& format, const std::vector<ValeurMessage>& valeurs,
                            size_t longueurMax) {
    return formaterMessage(format, valeurs.data(), valeurs.size(), longueurMax);
}

std::string formaterMessage(const std::string& format, const ValeurMessage* valeurs, size_t nombre,
                            size_t longueurMax) {
    std::string message;
    // Room for the values too, so that the message is allocated once.
    const size_t prevue = format.size() + 16 * nombre;
    message.reserve(prevue < longueurMax ? prevue : longueurMax);
    size_t rang = 0;
    size_t i = 0;
    while (i < format.size() && message.size() < longueurMax) {
        // The text up to the next conversion goes in one piece.
        const size_t pourcent = format.find('%', i);
        const size_t fin = pourcent == std::string::npos ? format.size() : pourcent;
        if (fin > i) {
            const size_t place = longueurMax - message.size();
            message.append(format, i, fin - i < place ? fin - i : place);
            i = fin;
            continue;
        }
        ++i;
        if (i < format.size() && format[i] == '%') {
            message += '%';
            ++i;
            continue;
        }
        const Conversion conversion = lireConversion(format, i, longueurMax);
        // The conversion's rank pairs it with a value, as printf would.
        const ValeurMessage* valeur = rang < nombre ? &valeurs[rang] : nullptr;
        ++rang;
        rendre(conversion, valeur, message);
    }
    if (message.size() > longueurMax) message.resize(longueurMax);
    return message;
}
