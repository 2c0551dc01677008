// Input group descriptions, filled field by field while the interface is built.
#include "zone/Groupe.h"

#include <new>

#include "KPXW32.h"
#include "frame/Trace.h"

Groupe::Groupe(uint16_t numero, uint16_t capacite)
    : numero_(numero), capacite_(capacite), champs_(capacite == 0 ? nullptr : new (std::nothrow) Champ[capacite]) {
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "Création du groupe %u.", static_cast<unsigned>(numero_));
}

uint16_t Groupe::ajouterChamp(uint32_t format, uint32_t type, uint16_t tailleMinimale, uint16_t tailleMaximale,
                              const ListeCodes& valeurs) {
    if (nombreChamps_ >= capacite_ || champs_ == nullptr) {
        ::tracer(CAT_CONTROLE, NIV_ERREUR,
                 "Groupe::ajouterChamp : ERREUR: Nombre max de champs (%u) atteint pour le groupe %u.",
                 static_cast<unsigned>(capacite_), static_cast<unsigned>(numero_));
        return KPX_CR_NON_PREVU;
    }
    Champ& champ = champs_[nombreChamps_];
    champ.format = format;
    champ.type = type;
    champ.tailleMinimale = tailleMinimale;
    champ.tailleMaximale = tailleMaximale;
    champ.valeursAutorisees.vider();
    for (uint16_t i = 0; i < valeurs.nombre(); ++i)
        if (champ.valeursAutorisees.ajouter(valeurs.element(i)) != 0) return KPX_CR_CONSTRUCTION;
    champ.regler();
    ++nombreChamps_;
    return 0;
}

void Groupe::tracer() const {
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "Groupe %u", static_cast<unsigned>(numero_));
    for (uint16_t i = 0; i < nombreChamps_; ++i) champs_[i].tracer();
}
