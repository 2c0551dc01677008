// Super-groups of the interface description and their children.
#include "zone/SuperGroupe.h"

#include <new>

#include "KPXW32.h"
#include "frame/Trace.h"

OccurrenceGroupe::OccurrenceGroupe() = default;
OccurrenceGroupe::~OccurrenceGroupe() = default;

uint16_t OccurrenceGroupe::premierNumeroSuperGroupe() const {
    if (superGroupe != nullptr && superGroupe->nombreFils() > 0) return superGroupe->fils(0).premierNumeroGroupe();
    return 0;
}

SuperGroupe::SuperGroupe(uint16_t numero, const std::string& nom, uint16_t capacite)
    : numero_(numero),
      nom_(nom),
      capacite_(capacite),
      fils_(capacite == 0 ? nullptr : new (std::nothrow) OccurrenceGroupe[capacite]) {
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "Création du super-groupe %s.", nom_.c_str());
}

OccurrenceGroupe* SuperGroupe::prochainFils() {
    if (nombreFils_ >= capacite_ || fils_ == nullptr) {
        ::tracer(CAT_CONTROLE, NIV_ERREUR,
                 "SuperGroupe::ajouterFils : ERREUR: Nombre max de fils (%u) atteint pour le super-groupe %s.",
                 static_cast<unsigned>(capacite_), nom_.c_str());
        return nullptr;
    }
    return &fils_[nombreFils_];
}

uint16_t SuperGroupe::ajouterFils(const Groupe& groupe, uint16_t minimum, uint16_t maximum) {
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "Ajout du groupe %u au super-groupe %s.", static_cast<unsigned>(groupe.numero()),
             nom_.c_str());
    OccurrenceGroupe* fils = prochainFils();
    if (fils == nullptr) return KPX_CR_NON_PREVU;
    fils->occurrencesMinimum = minimum;
    fils->occurrencesMaximum = maximum;
    fils->groupe = &groupe;
    ++nombreFils_;
    return 0;
}

uint16_t SuperGroupe::ajouterFils(std::unique_ptr<SuperGroupe> superGroupe, uint16_t minimum, uint16_t maximum) {
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "Ajout du super-groupe %s au super-groupe %s.", superGroupe->nom().c_str(),
             nom_.c_str());
    OccurrenceGroupe* fils = prochainFils();
    if (fils == nullptr) return KPX_CR_NON_PREVU;
    fils->occurrencesMinimum = minimum;
    fils->occurrencesMaximum = maximum;
    fils->superGroupe = std::move(superGroupe);
    ++nombreFils_;
    return 0;
}

void SuperGroupe::tracer() const {
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "SuperGroupe %s {", nom_.c_str());
    for (uint16_t i = 0; i < nombreFils_; ++i) {
        const OccurrenceGroupe& fils = fils_[i];
        ::tracer(CAT_CONTROLE, NIV_DETAIL, "[%u - %u]", static_cast<unsigned>(fils.occurrencesMinimum),
                 static_cast<unsigned>(fils.occurrencesMaximum));
        if (fils.groupe != nullptr)
            fils.groupe->tracer();
        else if (fils.superGroupe != nullptr)
            fils.superGroupe->tracer();
    }
    ::tracer(CAT_CONTROLE, NIV_DETAIL, "}");
}
