// The message of a rule violation: the référentiel's format text filled with the
// rule's values. The format is data, possibly damaged, so it is walked here and
// never handed to printf: a conversion without a value of its kind renders empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class Texte;

// A value refers to the text it was made from, without a copy: it lives no longer than
// the call it is passed to.
class ValeurMessage {
public:
    enum Sorte { kTexte, kEntier, kCaractere };

    ValeurMessage(const char* texte);    // NOLINT: rules pass literals and codes alike
    ValeurMessage(const Texte& texte);   // NOLINT
    ValeurMessage(int32_t entier);       // NOLINT
    static ValeurMessage caractere(char c);

    Sorte sorte() const { return sorte_; }
    std::string_view texte() const {
        return sorte_ == kCaractere ? std::string_view(&caractere_, 1) : std::string_view(texte_, longueur_);
    }
    int32_t entier() const { return entier_; }

private:
    ValeurMessage() = default;

    Sorte sorte_ = kTexte;
    const char* texte_ = "";
    size_t longueur_ = 0;
    int32_t entier_ = 0;
    char caractere_ = 0;
};

using ValeursMessage = std::initializer_list<ValeurMessage>;

// %s takes a text, %d %i %u an integer, %c a character, %% is itself; flags, width,
// precision and length modifiers are honoured or skipped. The result never exceeds
// longueurMax bytes.
std::string formaterMessage(const std::string& format, const std::vector<ValeurMessage>& valeurs,
                            size_t longueurMax);
std::string formaterMessage(const std::string& format, const ValeurMessage* valeurs, size_t nombre,
                            size_t longueurMax);
// The same written into tampon, which has room for longueurMax bytes: the length written.
size_t formaterMessage(const std::string& format, const ValeurMessage* valeurs, size_t nombre, char* tampon,
                       size_t longueurMax);

// A violation's message, held in the violation: formatted straight into it, it costs the
// violation no allocation. As a text, it stops at its first NUL byte.
class MessageErreur {
public:
    // The longest message the host is sent.
    static constexpr size_t kLongueurMax = 250;

    MessageErreur() { texte_[0] = '\0'; }
    // Only the characters are copied: the error list moves violations as it grows.
    MessageErreur(const MessageErreur& autre) { copier(autre); }
    MessageErreur& operator=(const MessageErreur& autre) {
        copier(autre);
        return *this;
    }
    // Cut at kLongueurMax.
    MessageErreur& operator=(const char* chaine);

    // The format filled with the values, cut at kLongueurMax.
    void formater(const std::string& format, const ValeurMessage* valeurs, size_t nombre);
    void vider() {
        longueur_ = 0;
        texte_[0] = '\0';
    }

    const char* chaine() const { return texte_; }
    size_t longueur() const { return longueur_; }

private:
    void copier(const MessageErreur& autre) {
        longueur_ = autre.longueur_;
        std::memcpy(texte_, autre.texte_, longueur_ + 1);
    }
    // Ends the text at its first NUL among the n bytes written.
    void terminer(size_t n);

    uint8_t longueur_ = 0;
    // Past the NUL ending the text, the bytes are neither set nor read.
    char texte_[kLongueurMax + 1];
};
