// Small comparisons the rules share, on the typed values they receive.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/Periode.h"
#include "zone/TypeListe.h"
#include "zone/TypeSimple.h"

namespace regles {

// A value is present when given and filled.
inline bool present(const TypeSimple* valeur) { return valeur != nullptr && valeur->estRenseigne(); }

// The code is given and equal to one of these. The literals come with their lengths: most
// codes differ from them by length alone, and the rest by a byte or two.
inline bool parmi(const Code* code, std::initializer_list<std::string_view> valeurs) {
    if (code == nullptr) return false;
    const std::string_view texte(code->chaine(), code->longueur());
    for (std::string_view v : valeurs)
        if (texte == v) return true;
    return false;
}

// A code read where its column lies is filled as a code made of it would be.
inline bool renseigne(const VueCode& code) {
    for (size_t i = 0; i < code.longueur(); ++i)
        if (code.octets()[i] != ' ' && code.octets()[i] != '\t') return true;
    return false;
}

// Ages compare by whole years, then by the remaining days.
inline int comparerAges(const Periode& a, const Periode& b) {
    if (a.annees() != b.annees()) return a.annees() < b.annees() ? -1 : 1;
    if (a.jours() != b.jours()) return a.jours() < b.jours() ? -1 : 1;
    return 0;
}

// The leading digits of a text as a number, as the référentiel's counts are written ("02").
inline int32_t nombreDe(const Code& texte) {
    int32_t n = 0;
    for (size_t i = 0; i < texte.longueur() && texte[i] >= '0' && texte[i] <= '9' && n < 100000; ++i)
        n = n * 10 + (texte[i] - '0');
    return n;
}

// The codes one after the other, as a message shows a list.
inline std::string texteCodes(const TypeListe<Code>& codes) {
    std::string texte;
    for (uint16_t i = 0; i < codes.nombre(); ++i) texte += codes.element(i).chaine();
    return texte;
}

// A date as text that survives the next date printed (Date::chaine shares its buffer).
inline std::string jour(const Date& date) { return date.chaine(); }

}  // namespace regles
