// The fixed table from function number to handler of one family. Each family
// lists its (number, member function) pairs sorted by number; a number it does
// not hold is traced as "not provided in the functions <famille>" and gives 0xDFFF.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

// The message and code of a number that no handler of the family serves.
uint16_t nonPrevu(uint16_t categorie, const char* famille, uint16_t numero);

template <class Famille, class... Arguments>
class Aiguillage {
public:
    using Gestionnaire = uint16_t (Famille::*)(Arguments...);
    struct Entree {
        uint16_t numero;
        Gestionnaire gestionnaire;
    };

    // famille completes the message: "de consultation", "de modifications" ...
    template <std::size_t N>
    Aiguillage(const Entree (&table)[N], uint16_t categorie, const char* famille)
        : debut_(table), fin_(table + N), categorie_(categorie), famille_(famille) {}

    uint16_t executer(Famille& fonctions, uint16_t numero, Arguments... arguments) const {
        const Entree* e =
            std::lower_bound(debut_, fin_, numero, [](const Entree& a, uint16_t n) { return a.numero < n; });
        if (e == fin_ || e->numero != numero) return nonPrevu(categorie_, famille_, numero);
        return (fonctions.*(e->gestionnaire))(arguments...);
    }

private:
    const Entree* debut_;
    const Entree* fin_;
    uint16_t categorie_;
    const char* famille_;
};
