// A super-group: a named sequence of children, each a group or a nested
// super-group with its occurrence bounds. A root is a function of the interface
// (its number selects the handler); nested ones are owned by their parent's
// children, while the groups they name belong to the Interface and are shared.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "zone/Groupe.h"

class SuperGroupe;

// One child of a super-group: exactly one of groupe and superGroupe is set.
class OccurrenceGroupe {
public:
    OccurrenceGroupe();
    ~OccurrenceGroupe();
    OccurrenceGroupe(const OccurrenceGroupe&) = delete;
    OccurrenceGroupe& operator=(const OccurrenceGroupe&) = delete;

    // The group number that opens an occurrence of this child; 0 for a
    // super-group without children (no group carries 0). Inline: every placement asks it.
    uint16_t premierNumeroGroupe() const { return groupe != nullptr ? groupe->numero() : premierNumeroSuperGroupe(); }
    bool estSuperGroupe() const { return superGroupe != nullptr; }

    uint16_t occurrencesMinimum = 0;
    uint16_t occurrencesMaximum = 0;  // 0: no maximum
    const Groupe* groupe = nullptr;
    std::unique_ptr<SuperGroupe> superGroupe;

private:
    uint16_t premierNumeroSuperGroupe() const;
};

class SuperGroupe {
public:
    SuperGroupe(uint16_t numero, const std::string& nom, uint16_t capacite);
    SuperGroupe(const SuperGroupe&) = delete;
    SuperGroupe& operator=(const SuperGroupe&) = delete;

    bool estValide() const { return capacite_ == 0 || fils_ != nullptr; }

    // 0xDFFF once the capacity announced by the row is reached; a refused
    // child super-group is destroyed.
    uint16_t ajouterFils(const Groupe& groupe, uint16_t minimum, uint16_t maximum);
    uint16_t ajouterFils(std::unique_ptr<SuperGroupe> fils, uint16_t minimum, uint16_t maximum);

    uint16_t numero() const { return numero_; }
    const std::string& nom() const { return nom_; }
    uint16_t nombreFils() const { return nombreFils_; }
    uint16_t capacite() const { return capacite_; }
    const OccurrenceGroupe& fils(uint16_t i) const { return fils_[i]; }
    // Whether any child is described: a function without one takes no input zone.
    bool decritGroupes() const { return nombreFils_ > 0; }

    // The tree, as "SuperGroupe %s {" ... "}".
    void tracer() const;

private:
    OccurrenceGroupe* prochainFils();

    uint16_t numero_;
    std::string nom_;
    uint16_t nombreFils_ = 0;
    uint16_t capacite_;
    std::unique_ptr<OccurrenceGroupe[]> fils_;
};
