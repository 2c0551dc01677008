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

// The message as it is written: appends cut at the limit, so that a wide conversion
// costs no more than the room left.
class Redaction {
public:
    Redaction(char* tampon, size_t longueurMax) : tampon_(tampon), max_(longueurMax) {}

    size_t taille() const { return taille_; }
    bool pleine() const { return taille_ >= max_; }
    void ajouter(const char* texte, size_t n) {
        n = borner(n);
        if (n > 0) std::memcpy(tampon_ + taille_, texte, n);
        taille_ += n;
    }
    void repeter(char c, size_t n) {
        n = borner(n);
        if (n > 0) std::memset(tampon_ + taille_, c, n);
        taille_ += n;
    }
    void ajouter(char c) { repeter(c, 1); }

private:
    size_t borner(size_t n) const { return n < max_ - taille_ ? n : max_ - taille_; }

    char* tampon_;
    size_t max_;
    size_t taille_ = 0;
};

void completer(Redaction& message, size_t longueur, size_t largeur) {
    if (longueur < largeur) message.repeter(' ', largeur - longueur);
}

// Sign, zeros and digits, padded to the width, written straight into the message.
void rendreEntier(const Conversion& c, int32_t valeur, Redaction& message) {
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
    if (signe != 0) message.ajouter(signe);
    message.repeter('0', zeros);
    message.ajouter(tampon + sizeof tampon - chiffres, chiffres);
    if (c.gauche) completer(message, longueur, c.largeur);
}

// Appends the text of one conversion, padded to its width; nothing when the value is
// missing or of another kind.
void rendre(const Conversion& c, const ValeurMessage* valeur, Redaction& message) {
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
    message.ajouter(texte.data(), texte.size());
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
    std::string message(longueurMax, '\0');
    message.resize(formaterMessage(format, valeurs, nombre, &message[0], longueurMax));
    return message;
}

size_t formaterMessage(const std::string& format, const ValeurMessage* valeurs, size_t nombre, char* tampon,
                       size_t longueurMax) {
    Redaction message(tampon, longueurMax);
    size_t rang = 0;
    size_t i = 0;
    while (i < format.size() && !message.pleine()) {
        // The text up to the next conversion goes in one piece.
        const void* pourcent = std::memchr(format.data() + i, '%', format.size() - i);
        const size_t fin = pourcent == nullptr ? format.size() : static_cast<const char*>(pourcent) - format.data();
        message.ajouter(format.data() + i, fin - i);
        i = fin;
        // The '%' just found opens the conversion at once, when the text before it fitted.
        if (i == format.size() || message.pleine()) break;
        ++i;
        if (i < format.size() && format[i] == '%') {
            message.ajouter('%');
            ++i;
            continue;
        }
        const Conversion conversion = lireConversion(format, i, longueurMax);
        // The conversion's rank pairs it with a value, as printf would.
        const ValeurMessage* valeur = rang < nombre ? &valeurs[rang] : nullptr;
        ++rang;
        rendre(conversion, valeur, message);
    }
    return message.taille();
}

MessageErreur& MessageErreur::operator=(const char* chaine) {
    const size_t n = chaine != nullptr ? strnlen(chaine, kLongueurMax) : 0;
    if (n > 0) std::memcpy(texte_, chaine, n);
    terminer(n);
    return *this;
}

void MessageErreur::formater(const std::string& format, const ValeurMessage* valeurs, size_t nombre) {
    terminer(formaterMessage(format, valeurs, nombre, texte_, kLongueurMax));
}

void MessageErreur::terminer(size_t n) {
    const void* nul = n > 0 ? std::memchr(texte_, '\0', n) : nullptr;
    longueur_ = static_cast<uint8_t>(nul != nullptr ? static_cast<const char*>(nul) - texte_ : n);
    texte_[longueur_] = '\0';
}
