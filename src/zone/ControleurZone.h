// Reads a function's input zone field by field in the order of its super-group:
// each group is placed in the description as it arrives, each field checked
// (and converted) against its description. Forward only: nothing is revisited.
// Errors carry the place of the fault: 0x9000 + field rank in the zone,
// 0xA000 / 0xA800 + group rank, 0xB000 + group number.
#pragma once

#include <cstdint>
#include <optional>

#include "frame/Trace.h"
#include "zone/ControleurSuperGroupe.h"
#include "zone/EnLigne.h"
#include "zone/SuperGroupe.h"
#include "zone/TypeSimple.h"
#include "zone/ValeurChamp.h"
#include "zone/ZoneKPX.h"

// A field checked and reduced, as it lies in the zone, with its description's type code.
struct ChampLu {
    const uint8_t* octets = nullptr;
    uint32_t longueur = 0;
    uint8_t type = TYPE_AUCUN;  // none given
};

class ControleurZone {
public:
    // Not strict: a group with no place in the description is passed over
    // instead of refused. The library itself is always strict.
    ControleurZone(ZoneKPX& zone, const SuperGroupe& racine, bool strict = true);
    ControleurZone(const ControleurZone&) = delete;
    ControleurZone& operator=(const ControleurZone&) = delete;
    virtual ~ControleurZone();

    // The next field as a typed value built in place (nothing is allocated), with its group
    // number and its rank in the group.
    uint16_t extraireChamp(uint16_t& groupe, uint16_t& numero, ValeurChamp& valeur);
    // Whether fields may be read bare: no detail line written, no value traced.
    static bool estCalme() { return !NiveauTrace::ecrit(NIV_DETAIL) && !TraceDetail::estActif(CAT_ZONE, NIV_DETAIL); }
    // extraireChamp while estCalme(), without a value: its reader builds it from the bytes.
    // A group's fields are checked together at the first such read in it and handed out
    // here in turn; the first field that would fault, and every field after it, are read
    // one by one, so that each fault is found, and its line written, at its own turn.
    uint16_t extraireChamp(ChampLu& champ) {
        if (pret_ == nombrePrets_) return extraireChampSeul(champ);
        champ = donnerPret();
        return 0;
    }
    // The next field when it was checked ahead, handed out as extraireChamp(ChampLu&) would;
    // null, reading nothing, when it was not. A group already placed and not read yet (the
    // handlers place each group before its fields) has its fields checked here, while estCalme():
    // the trace level is kept for a call, so the rest of the group is handed out calm too. Valid
    // until the next field is read.
    const ChampLu* prendrePret() {
        if (pret_ == nombrePrets_) {
            if (groupeCourant_ == nullptr || indexChamp_ != 0 || !estCalme()) return nullptr;
            preparerGroupe();
            if (pret_ == nombrePrets_) return nullptr;
        }
        return &donnerPret();
    }
    // The same, checked but not converted: a pointer into the input buffer.
    uint16_t extraireChamp(uint16_t& groupe, uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur);
    // The number of the group whose fields come next. A handler asks it again and again of a
    // group already placed: without the detail lines that one is answered here, and a group
    // not placed yet is placed without the operation's lines around it.
    uint16_t positionnerGroupeSuivant(uint16_t& groupe) {
        if (NiveauTrace::ecrit(NIV_DETAIL)) return positionnerGroupeSuivantTrace(groupe);
        if (groupeCourant_ == nullptr) {
            const uint16_t cr = positionnerGroupe();
            if (cr != 0) return cr;
        }
        groupe = groupeCourant_->numero();
        return 0;
    }
    // 0xA000 + rank of the first group left over, if any.
    uint16_t verifierFinZone();
    // The zone's cursor, brought up to the last field handed out. Between the fields of a group
    // checked ahead, the handouts leave it behind (it is moved once, at the group's last one, or
    // at the first step that reads it): outside the controller, it is read through these.
    uint16_t rangChamp() {
        suivrePrets();
        return zone_.numeroChampZone;
    }
    bool estFinDonnees() {
        suivrePrets();
        return zone_.estFinDonnees();
    }

private:
    // More than any group of the library's functions but the teeth: those go field by field.
    static constexpr uint16_t kPrets = 16;

    // The next field checked ahead. The cursor is moved past the fields handed out only at the
    // last one, which may close the group: until then nothing but the handouts reads it.
    const ChampLu& donnerPret() {
        const ChampLu& lu = prets_[pret_++];
        if (pret_ == nombrePrets_) suivrePrets();
        return lu;
    }
    // The cursor moved past the fields handed out, as reading them one by one would have moved it:
    // they follow the cursor's field and each other, each length in one byte.
    void suivrePrets() {
        if (suivis_ != pret_) rattraperPrets();
    }
    // Kept out of line: the field-by-field read tests it at every field and nearly never needs it.
    HORS_LIGNE void rattraperPrets() {
        const auto passes = static_cast<uint16_t>(pret_ - suivis_);
        suivis_ = pret_;
        auto debut = static_cast<uint32_t>(zone_.debutChampSuivant());
        for (uint16_t i = 1; i < passes; ++i) debut += 1u + zone_.buffer[debut];
        zone_.debutChamp = debut;
        zone_.enteteChamp = 1;
        zone_.longueurChamp = zone_.buffer[debut];
        zone_.numeroChamp = static_cast<uint16_t>(zone_.numeroChamp + passes);
        zone_.numeroChampZone = static_cast<uint16_t>(zone_.numeroChampZone + passes);
        indexChamp_ = static_cast<uint16_t>(indexChamp_ + passes);
        if (indexChamp_ == groupeCourant_->nombreChamps()) {
            indexChamp_ = 0;
            groupeCourant_ = nullptr;
        }
    }
    // extraireChamp(ChampLu&) with nothing checked ahead: checks the group's fields at its first read.
    uint16_t extraireChampSeul(ChampLu& champ);
    // The fields of the group just entered, up to the first one whose read would fault, write a
    // line or do more than step: the last of a group only when it closes it, with data after it.
    void preparerGroupe();
    // positionnerGroupeSuivant with its operation lines.
    uint16_t positionnerGroupeSuivantTrace(uint16_t& groupe);
    // extraireChamp with its operation lines and the value's trace.
    uint16_t extraireChampTrace(uint16_t& groupe, uint16_t& numero, ValeurChamp& valeur);
    // The description's conversion, its error placed at the field's rank in the zone.
    uint16_t transformer(const Champ& description, const uint8_t* donnees, uint32_t longueur,
                         ValeurChamp& valeur) const;
    uint16_t positionnerGroupe();
    // Reads the next input field and takes its description (null when none is left).
    uint16_t lireChamp(uint16_t& groupe, uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur,
                       const Champ*& description);
    uint16_t prendreDescription(const Champ*& description);
    // The errors of a group whose fields are too many, or too few: trace line and code.
    uint16_t tropDeChamps() const;
    uint16_t champsInsuffisants() const;

    ZoneKPX& zone_;
    // In place: a strict walk never replaces it.
    std::optional<ControleurSuperGroupe> controleur_;
    bool strict_;
    const Groupe* groupeCourant_ = nullptr;
    uint16_t indexChamp_ = 0;
    uint16_t pret_ = 0;         // the next field checked ahead to hand out
    uint16_t nombrePrets_ = 0;
    uint16_t suivis_ = 0;       // the fields handed out the cursor was moved past
    ChampLu prets_[kPrets];
};
