// A character string value. The string stops at its first NUL byte, so the
// characters, the byte form and the comparisons always agree with chaine().
#pragma once

#include <cstddef>
#include <string>

#include "zone/TypeSimple.h"

class Texte : public TypeSimple {
public:
    Texte() = default;
    Texte(const char* chaine);  // NOLINT: texts are built from literals everywhere
    Texte(const char* octets, size_t n);
    Texte(const uint8_t* octets, size_t n);
    // Takes the characters over, up to the first NUL byte, without copying them.
    explicit Texte(std::string&& chaine);

    void afficher(FILE* fichier) const override;
    void tracer(uint16_t niveau) const override;
    bool estRenseigne() const override;
    void formeOctets(FormeOctets& forme) const override;

    const char* chaine() const { return texte_.c_str(); }
    size_t longueur() const { return texte_.size(); }
    char operator[](size_t i) const { return texte_[i]; }
    char caractere(size_t i) const { return texte_[i]; }

    Texte operator+(const Texte& autre) const;
    Texte& ajouter(const Texte& autre);
    Texte& ajouter(const char* chaine);
    Texte& operator+=(const Texte& autre) { return ajouter(autre); }

    // Folds to upper-case letters and digits without accents, dropping everything
    // else; a text with nothing to keep is left as it was.
    void canoniser();
    // Folding of one ISO 8859-1 byte; 0 means dropped.
    static char replier(uint8_t octet);

    // Byte-wise, unsigned, as strcmp.
    int comparer(const Texte& autre) const;
    bool operator==(const Texte& autre) const { return texte_ == autre.texte_; }
    bool operator!=(const Texte& autre) const { return texte_ != autre.texte_; }
    bool operator<(const Texte& autre) const { return comparer(autre) < 0; }
    // Inline: rules compare codes of a letter or two with literals by the hundred in a control.
    bool operator==(const char* chaine) const {
        const char* a = texte_.c_str();
        const char* b = chaine != nullptr ? chaine : "";
        while (*a != '\0' && *a == *b) {
            ++a;
            ++b;
        }
        return *a == *b;
    }
    bool operator!=(const char* chaine) const { return !(*this == chaine); }

protected:
    // Bytes already known to hold no NUL: the string is built once, at its length.
    struct SansNul {};
    Texte(const char* octets, size_t n, SansNul) : texte_(octets != nullptr ? octets : "", n) {}

    // The characters before the first NUL byte of the n given (none when octets is null).
    static size_t longueurAvantNul(const char* octets, size_t n);

    std::string texte_;
};
