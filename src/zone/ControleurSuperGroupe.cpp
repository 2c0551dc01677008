// Occurrence control of the groups of one super-group.
#include "zone/ControleurSuperGroupe.h"

#include "KPXW32.h"
#include "frame/Trace.h"
#include "zone/EnLigne.h"

namespace {

enum class Parcours { trouve, epuise, autre };

// The search's loop over the children of one super-group from (fils, occurrences), as long as it
// meets only plain steps: `trouve` with the group's place counted, `epuise` when every child
// left has its minimum without taking the group, `autre` at a fault or a super-group to enter.
EN_LIGNE Parcours parcourir(const SuperGroupe& superGroupe, uint16_t numero, uint16_t& fils, uint16_t& occurrences) {
    for (; fils < superGroupe.nombreFils(); ++fils, occurrences = 0) {
        const OccurrenceGroupe& enfant = superGroupe.fils(fils);
        if (enfant.premierNumeroGroupe() == numero) {
            if (enfant.groupe == nullptr ||
                (enfant.occurrencesMaximum != 0 && occurrences >= enfant.occurrencesMaximum))
                return Parcours::autre;
            ++occurrences;
            return Parcours::trouve;
        }
        if (occurrences < enfant.occurrencesMinimum) return Parcours::autre;
    }
    return Parcours::epuise;
}

}  // namespace

ControleurSuperGroupe::ControleurSuperGroupe(const SuperGroupe& superGroupe) : superGroupe_(superGroupe) {}

ControleurSuperGroupe::ControleurSuperGroupe(const SuperGroupe& superGroupe, bool silencieux)
    : superGroupe_(superGroupe), silencieux_(silencieux) {}

ControleurSuperGroupe::ControleurSuperGroupe(const ControleurSuperGroupe& autre)
    : superGroupe_(autre.superGroupe_),
      silencieux_(autre.silencieux_),
      controleurFils_(autre.controleurFils_ != nullptr ? new ControleurSuperGroupe(*autre.controleurFils_) : nullptr),
      filsCourant_(autre.filsCourant_),
      occurrences_(autre.occurrences_) {}

ControleurSuperGroupe::~ControleurSuperGroupe() = default;

void ControleurSuperGroupe::erreur(const char* format, unsigned a, unsigned b) const {
    if (!silencieux_) tracer(CAT_CONTROLE, NIV_ERREUR, format, a, b);
}

uint16_t ControleurSuperGroupe::entrerSuperGroupe(const SuperGroupe& fils, uint16_t numero, const Groupe*& groupe) {
    controleurFils_.reset(new ControleurSuperGroupe(fils, silencieux_));
    return controleurFils_->rechercherGroupe(numero, groupe);
}

uint16_t ControleurSuperGroupe::rechercherGroupe(uint16_t numero, const Groupe*& groupe) {
    uint16_t cr = 0;
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail)
        tracer(CAT_CONTROLE, NIV_DETAIL, "ControleurSuperGroupe[%s]::rechercherGroupe >> IN : identifiant = %u",
               superGroupe_.nom().c_str(), static_cast<unsigned>(numero));
    groupe = nullptr;
    bool repondu = false;
    if (controleurFils_ != nullptr) {
        cr = controleurFils_->rechercherGroupe(numero, groupe);
        repondu = cr != 0 || groupe != nullptr;
        if (!repondu) controleurFils_.reset();
    }
    // Forward only. A child whose minimum is met is left for the next one; a child
    // still needing occurrences answers (a super-group from a fresh walk of it).
    while (!repondu && filsCourant_ < superGroupe_.nombreFils()) {
        const OccurrenceGroupe& fils = superGroupe_.fils(filsCourant_);
        const uint16_t premier = fils.premierNumeroGroupe();
        repondu = true;
        if (premier == numero) {
            ++occurrences_;
            if (fils.occurrencesMaximum != 0 && occurrences_ > fils.occurrencesMaximum) {
                erreur("ERREUR: nombre d'occurrences du groupe %u supérieur au maximum (%u)", numero,
                       fils.occurrencesMaximum);
                cr = static_cast<uint16_t>(KPX_CR_NUMERO_GROUPE_BASE + numero);
            } else if (fils.groupe != nullptr) {
                groupe = fils.groupe;
            } else {
                cr = entrerSuperGroupe(*fils.superGroupe, numero, groupe);
            }
        } else if (occurrences_ >= fils.occurrencesMinimum) {
            ++filsCourant_;
            occurrences_ = 0;
            repondu = false;
        } else if (fils.superGroupe != nullptr) {
            cr = entrerSuperGroupe(*fils.superGroupe, numero, groupe);
        } else {
            erreur("ERREUR: nombre d'occurrences du groupe %u inférieur au minimum (%u)", premier,
                   fils.occurrencesMinimum);
            cr = static_cast<uint16_t>(KPX_CR_NUMERO_GROUPE_BASE + premier);
        }
    }
    if (detail)
        tracer(CAT_CONTROLE, NIV_DETAIL,
               "ControleurSuperGroupe[]::rechercherGroupe << OUT :  cr = 0x%04X, groupe = 0x%p", cr,
               static_cast<const void*>(groupe));
    return cr;
}

bool ControleurSuperGroupe::placerDirect(uint16_t numero, const Groupe*& groupe) {
    ControleurSuperGroupe* parent = nullptr;
    ControleurSuperGroupe* dernier = this;
    while (dernier->controleurFils_ != nullptr) {
        parent = dernier;
        dernier = dernier->controleurFils_.get();
    }
    const SuperGroupe& courant = dernier->superGroupe_;
    uint16_t fils = dernier->filsCourant_, occurrences = dernier->occurrences_;
    Parcours parcours = parcourir(courant, numero, fils, occurrences);
    if (parcours == Parcours::epuise && parent != nullptr) {
        // The search would drop this controller and have its parent open the same super-group afresh.
        const OccurrenceGroupe& ouvert = parent->superGroupe_.fils(parent->filsCourant_);
        if (ouvert.superGroupe.get() != &courant || ouvert.premierNumeroGroupe() != numero ||
            (ouvert.occurrencesMaximum != 0 && parent->occurrences_ >= ouvert.occurrencesMaximum))
            return false;
        fils = 0;
        occurrences = 0;
        parcours = parcourir(courant, numero, fils, occurrences);
        if (parcours == Parcours::trouve) ++parent->occurrences_;
    }
    if (parcours != Parcours::trouve) return false;
    dernier->filsCourant_ = fils;
    dernier->occurrences_ = occurrences;
    groupe = courant.fils(fils).groupe;
    return true;
}
