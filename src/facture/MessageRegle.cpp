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

// Reads what follows a '%' up to and including the conversion character.
Conversion lireConversion(const std::string& format, size_t& i, size_t plafond) {
    Conversion c;
    for (; i < format.size() && format[i] != '\0' && std::strchr("-+ #0", format[i]) != nullptr; ++i) {
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
    while (i < format.size() && format[i] != '\0' && std::strchr("hlLqjzt", format[i]) != nullptr) ++i;
    if (i < format.size()) c.type = format[i++];
    return c;
}

std::string entier(const Conversion& c, int32_t valeur) {
    const bool nonSigne = c.type == 'u';
    const int64_t v = nonSigne ? static_cast<int64_t>(static_cast<uint32_t>(valeur)) : valeur;
    std::string chiffres = std::to_string(v < 0 ? -v : v);
    if (c.avecPrecision && chiffres.size() < c.precision) chiffres.insert(0, c.precision - chiffres.size(), '0');
    if (c.avecPrecision && c.precision == 0 && v == 0) chiffres.clear();
    std::string signe;
    if (v < 0) signe = "-";
    else if (!nonSigne && c.signe != 0) signe = std::string(1, c.signe);
    if (c.zeros && !c.gauche && !c.avecPrecision && signe.size() + chiffres.size() < c.largeur)
        chiffres.insert(0, c.largeur - signe.size() - chiffres.size(), '0');
    return signe + chiffres;
}

// Appends the text of one conversion, padded to its width; nothing when the value is
// missing or of another kind.
void rendre(const Conversion& c, const ValeurMessage* valeur, std::string& message) {
    if (c.invalide || valeur == nullptr) return;
    std::string nombre;
    const std::string* texte = &valeur->texte();
    size_t longueur = texte->size();
    switch (c.type) {
        case 's':
            if (valeur->sorte() != ValeurMessage::kTexte) return;
            if (c.avecPrecision && c.precision < longueur) longueur = c.precision;
            break;
        case 'd':
        case 'i':
        case 'u':
            if (valeur->sorte() != ValeurMessage::kEntier) return;
            nombre = entier(c, valeur->entier());
            texte = &nombre;
            longueur = nombre.size();
            break;
        case 'c':
            if (valeur->sorte() != ValeurMessage::kCaractere) return;
            break;
        default:
            return;
    }
    const size_t blancs = longueur < c.largeur ? c.largeur - longueur : 0;
    if (!c.gauche) message.append(blancs, ' ');
    message.append(*texte, 0, longueur);
    if (c.gauche) message.append(blancs, ' ');
}

}  // namespace

ValeurMessage::ValeurMessage(const char* texte) : texte_(texte != nullptr ? texte : "") {}

ValeurMessage::ValeurMessage(const Texte& texte) : texte_(texte.chaine()) {}

ValeurMessage::ValeurMessage(int32_t valeur) : sorte_(kEntier), entier_(valeur) {}

ValeurMessage ValeurMessage::caractere(char c) {
    ValeurMessage v;
    v.sorte_ = kCaractere;
    v.texte_.assign(1, c);
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
