#include "facture/ValeursConcept.h"

#include <utility>

ValeursConcept::ValeursConcept(ListeCodes valeurs) : valeurs_(std::move(valeurs)) {
    for (uint16_t i = 0; i < valeurs_.nombre(); ++i) {
        const Code& valeur = valeurs_.element(i);
        if (valeur.longueur() == 1) {
            const auto bit = static_cast<unsigned char>(valeur[0]);
            unOctet_[bit >> 6] |= uint64_t{1} << (bit & 63);
        }
    }
    const bool enPlace = valeurs_.nombre() <= kMotsEnPlace;
    if (!enPlace) autresMots_.reserve(valeurs_.nombre());
    for (uint16_t i = 0; i < valeurs_.nombre(); ++i) {
        uint64_t mot = 0;
        const Code& valeur = valeurs_.element(i);
        if (!motDe(valeur.chaine(), valeur.longueur(), mot)) {
            nombreMots_ = 0;
            autresMots_.clear();
            return;
        }
        if (enPlace) motsEnPlace_[i] = mot;
        else autresMots_.push_back(mot);
        ++nombreMots_;
    }
}
