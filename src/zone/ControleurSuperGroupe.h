// Walks a super-group's children forward only, deciding where an incoming group
// fits and counting occurrences. A nested super-group being walked has its own
// controller; leaving it (nothing found inside) destroys it. An occurrence of a
// nested super-group opens with its first group, or with any group a fresh walk
// of it accepts, so that repeated sequences of optional parts (invoice lines of
// several kinds) may start with any of them.
#pragma once

#include <cstdint>
#include <memory>

#include "zone/SuperGroupe.h"

class ControleurSuperGroupe {
public:
    explicit ControleurSuperGroupe(const SuperGroupe& superGroupe);
    // Duplicates the whole chain of child controllers.
    ControleurSuperGroupe(const ControleurSuperGroupe& autre);
    ControleurSuperGroupe& operator=(const ControleurSuperGroupe&) = delete;
    virtual ~ControleurSuperGroupe();

    // The description of group `numero` at the next place that accepts it, or null
    // with 0 when none does; 0xB000 + n when a count breaks its bounds. Number 0
    // walks to the end: the end-of-zone check.
    uint16_t rechercherGroupe(uint16_t numero, const Groupe*& groupe);
    // rechercherGroupe where its answer is plain: a group among the next children of the
    // deepest controller, or the first group of a fresh occurrence of that controller's
    // super-group opened by its parent (the controller is then taken again from its start).
    // False, with nothing changed, wherever the search would fault, enter a super-group or
    // go up further: it then decides. Writes no line, so only while no detail line is written.
    bool placerDirect(uint16_t numero, const Groupe*& groupe);

    const SuperGroupe& superGroupe() const { return superGroupe_; }
    uint16_t filsCourant() const { return filsCourant_; }
    uint16_t occurrences() const { return occurrences_; }

private:
    // A trial walk writes no error line: its refusal is no fault of the zone.
    ControleurSuperGroupe(const SuperGroupe& superGroupe, bool silencieux);
    uint16_t entrerSuperGroupe(const SuperGroupe& fils, uint16_t numero, const Groupe*& groupe);
    void erreur(const char* format, unsigned a, unsigned b) const;

    const SuperGroupe& superGroupe_;
    bool silencieux_ = false;
    std::unique_ptr<ControleurSuperGroupe> controleurFils_;
    uint16_t filsCourant_ = 0;
    uint16_t occurrences_ = 0;
};
