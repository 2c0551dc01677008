// Occurrence control of the groups of one super-group.
#include "zone/ControleurSuperGroupe.h"

#include "KPXW32.h"
#include "frame/Trace.h"

ControleurSuperGroupe::ControleurSuperGroupe(const SuperGroupe& superGroupe) : superGroupe_(superGroupe) {}

ControleurSuperGroupe::ControleurSuperGroupe(const ControleurSuperGroupe& autre)
    : superGroupe_(autre.superGroupe_),
      controleurFils_(autre.controleurFils_ != nullptr ? new ControleurSuperGroupe(*autre.controleurFils_) : nullptr),
      filsCourant_(autre.filsCourant_),
      occurrences_(autre.occurrences_) {}

ControleurSuperGroupe::~ControleurSuperGroupe() = default;

uint16_t ControleurSuperGroupe::entrerSuperGroupe(const SuperGroupe& fils, uint16_t numero, const Groupe*& groupe) {
    controleurFils_.reset(new ControleurSuperGroupe(fils));
    return controleurFils_->rechercherGroupe(numero, groupe);
}

uint16_t ControleurSuperGroupe::rechercherGroupe(uint16_t numero, const Groupe*& groupe) {
    uint16_t cr = 0;
    tracer(CAT_CONTROLE, NIV_DETAIL, "ControleurSuperGroupe[%s]::rechercherGroupe >> IN : identifiant = %u",
           superGroupe_.nom().c_str(), static_cast<unsigned>(numero));
    groupe = nullptr;
    if (controleurFils_ != nullptr) {
        cr = controleurFils_->rechercherGroupe(numero, groupe);
        if (cr == 0 && groupe == nullptr) controleurFils_.reset();
    }
    bool repondu = cr != 0 || groupe != nullptr;
    while (!repondu && filsCourant_ < superGroupe_.nombreFils()) {
        const OccurrenceGroupe& fils = superGroupe_.fils(filsCourant_);
        const uint16_t premier = fils.premierNumeroGroupe();
        if (premier != 0 && premier == numero) {
            ++occurrences_;
            if (fils.occurrencesMaximum != 0 && occurrences_ > fils.occurrencesMaximum) {
                tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: nombre d'occurrences du groupe %u supérieur au maximum (%u)",
                       static_cast<unsigned>(numero), static_cast<unsigned>(fils.occurrencesMaximum));
                cr = static_cast<uint16_t>(KPX_CR_NUMERO_GROUPE_BASE + numero);
            } else if (fils.groupe != nullptr) {
                groupe = fils.groupe;
            } else {
                cr = entrerSuperGroupe(*fils.superGroupe, numero, groupe);
            }
            repondu = true;
        } else if (occurrences_ >= fils.occurrencesMinimum) {
            ++filsCourant_;
            occurrences_ = 0;
        } else if (fils.superGroupe != nullptr) {
            // The group may open the required super-group further in; its count waits.
            cr = entrerSuperGroupe(*fils.superGroupe, numero, groupe);
            repondu = true;
        } else {
            tracer(CAT_CONTROLE, NIV_ERREUR, "ERREUR: nombre d'occurrences du groupe %u inférieur au minimum (%u)",
                   static_cast<unsigned>(premier), static_cast<unsigned>(fils.occurrencesMinimum));
            cr = static_cast<uint16_t>(KPX_CR_NUMERO_GROUPE_BASE + premier);
            repondu = true;
        }
    }
    tracer(CAT_CONTROLE, NIV_DETAIL, "ControleurSuperGroupe[]::rechercherGroupe << OUT :  cr = 0x%04X, groupe = 0x%p",
           cr, static_cast<const void*>(groupe));
    return cr;
}
