// The description of one field of an input group, and the check and conversion
// of the bytes that arrive for it. A field is checked on its bytes as sent; the
// reduction (blanks, leading zeros) comes only before the conversion.
#pragma once

#include <cstdint>

#include "frame/Trace.h"
#include "zone/ListeCodes.h"
#include "zone/TypeSimple.h"

class ValeurChamp;

// Format codes of a field description.
enum FormatChamp : uint32_t {
    FORMAT_ALPHANUMERIQUE = 0,
    FORMAT_NUMERIQUE = 1,
    FORMAT_DATE = 2,
    FORMAT_VALEURS = 3,   // the allowed values decide
    FORMAT_LIBRE = 4,
};

class Champ {
public:
    Champ() = default;
    Champ(uint32_t format, uint32_t type, uint16_t tailleMinimale, uint16_t tailleMaximale,
          const ListeCodes& valeurs);

    // Once the description is complete (by the constructor, by its group when it fills one):
    // what accepte decides from the description alone, so that it runs only the checks left.
    void regler();

    // 0x9000 for a field that fails its description (the caller adds the field rank).
    uint16_t controler(const uint8_t* octets, uint32_t n) const;
    void reduire(const uint8_t*& octets, uint32_t& n) const;
    // controler, reduire, then the value of the field's type given (left as it was when the
    // check fails, empty on any other failure). The value is built from the bytes when asked
    // for: they must live until then. One call per field: the steps are inline in it.
    uint16_t transformer(const uint8_t* octets, uint32_t n, ValeurChamp& valeur) const;
    // transformer without its detail lines and without a value: the bytes checked and
    // reduced in place, to be built by the caller as the field's type. Only while no
    // detail line is written.
    uint16_t preparer(const uint8_t*& octets, uint32_t& n) const;
    // preparer without its error lines: whether the field passes, its bytes reduced in place;
    // an empty field its description accepts passes without the steps, and a plain description
    // runs only the checks regler left it.
    // A look ahead, so that a field refused is refused again, with its line, when its turn comes.
    // Inline where it is defined, with the group check that uses it (ControleurZone::preparerGroupe).
    bool accepte(const uint8_t*& octets, uint32_t& n) const;
    // Whether an empty field passes every check of its description and is left as it is: an
    // invoice leaves most of its fields empty, and those are then taken without the steps.
    bool accepteVide() const {
        return tailleMinimale == 0 && format <= FORMAT_LIBRE && format != FORMAT_DATE &&
               valeursAutorisees.nombre() == 0 && type < TYPE_AUCUN && type != TYPE_BOOLEEN;
    }

    // Letter of a format in trace lines ('*' for the free format).
    static char lettreFormat(uint32_t format);
    // Codes of the letters of the Champs table; false for an unknown letter.
    static bool formatDeLettre(char lettre, uint32_t& format);
    static bool typeDeLettre(char lettre, uint32_t& type);

    // "  %c %u - %u %s--> %s" to the trace.
    void tracer() const;

    uint32_t format = FORMAT_LIBRE;
    uint32_t type = TYPE_AUCUN;
    uint16_t tailleMinimale = 0;   // 0: no minimum
    uint16_t tailleMaximale = 0;   // 0: no maximum
    ListeCodes valeursAutorisees;  // empty: any value

    // No value of the type could be made (nor, for the caller that keeps it, allocated):
    // its trace line and 0xDFFC.
    static uint16_t constructionImpossible(uint8_t type);

private:
    // accepte's checks as regler made them. A description that is not plain (a date, allowed
    // values, a yes/no or unknown code, or regler not run) goes through the steps.
    struct Reglage {
        bool simple = false;
        bool videAccepte = false;
        uint8_t classesEnvoye = 0;   // classes every byte sent must be in; 0: any byte
        uint8_t classesReduit = 0;   // the same for the reduced bytes
        uint8_t reduction = 0;       // what the format's reduction takes off (Champ.cpp)
        uint32_t minimum = 0;
        uint32_t maximum = 0;
    };
    Reglage reglage_;

    // The steps, their detail lines written when `detail` says so, their error lines unless `muet`.
    uint16_t verifier(const uint8_t* octets, uint32_t n, bool detail, bool muet) const;
    void reduireOctets(const uint8_t*& octets, uint32_t& n, bool detail) const;
    // reduire, then the checks of the field's type, on bytes that passed controler.
    uint16_t verifierType(const uint8_t*& octets, uint32_t& n, bool detail, bool muet) const;
    // verifierType, then the bytes noted for the value.
    uint16_t noterValeur(const uint8_t* octets, uint32_t n, ValeurChamp& valeur, bool detail) const;
    uint16_t convertir(const uint8_t* octets, uint32_t n, ValeurChamp& valeur, bool detail) const;
};
