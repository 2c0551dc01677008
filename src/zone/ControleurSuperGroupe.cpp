// Occurrence control of the groups of one super-group.
#include "zone/ControleurSuperGroupe.h"

#include "KPXW32.h"
#include "frame/Trace.h"

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

void ControleurSuperGroupe::rendreAudible() {
    silencieux_ = false;
    if (controleurFils_ != nullptr) controleurFils_->rendreAudible();
}

void ControleurSuperGroupe::erreur(const char* format, unsigned a, unsigned b) const {
    if (!silencieux_) tracer(CAT_CONTROLE, NIV_ERREUR, format, a, b);
}

uint16_t ControleurSuperGroupe::entrerSuperGroupe(const SuperGroupe& fils, uint16_t numero, const Groupe*& groupe) {
    controleurFils_.reset(new ControleurSuperGroupe(fils, silencieux_));
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
        const bool requis = occurrences_ < fils.occurrencesMinimum;
        if (premier != 0 && premier == numero) {
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
            repondu = true;
        } else if (fils.superGroupe != nullptr && (requis || numero != 0)) {
            // The group may open the super-group further in than its first group, when
            // what comes before is optional: a line of another kind opens a new line.
            std::unique_ptr<ControleurSuperGroupe> essai(
                new ControleurSuperGroupe(*fils.superGroupe, silencieux_ || !requis));
            const Groupe* trouve = nullptr;
            const uint16_t crEssai = essai->rechercherGroupe(numero, trouve);
            if (crEssai == 0 && trouve != nullptr) {
                ++occurrences_;
                if (fils.occurrencesMaximum != 0 && occurrences_ > fils.occurrencesMaximum) {
                    erreur("ERREUR: nombre d'occurrences du groupe %u supérieur au maximum (%u)", numero,
                           fils.occurrencesMaximum);
                    cr = static_cast<uint16_t>(KPX_CR_NUMERO_GROUPE_BASE + numero);
                } else {
                    if (!silencieux_) essai->rendreAudible();
                    controleurFils_ = std::move(essai);
                    groupe = trouve;
                }
                repondu = true;
            } else if (!requis) {
                ++filsCourant_;
                occurrences_ = 0;
            } else {
                // Still required: its answer, a fault or nothing, is the answer.
                controleurFils_ = std::move(essai);
                cr = crEssai;
                repondu = true;
            }
        } else if (!requis) {
            ++filsCourant_;
            occurrences_ = 0;
        } else {
            erreur("ERREUR: nombre d'occurrences du groupe %u inférieur au minimum (%u)", premier,
                   fils.occurrencesMinimum);
            cr = static_cast<uint16_t>(KPX_CR_NUMERO_GROUPE_BASE + premier);
            repondu = true;
        }
    }
    tracer(CAT_CONTROLE, NIV_DETAIL, "ControleurSuperGroupe[]::rechercherGroupe << OUT :  cr = 0x%04X, groupe = 0x%p",
           cr, static_cast<const void*>(groupe));
    return cr;
}
