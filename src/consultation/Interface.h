// The interface description: every input group and every function (a root
// super-group) of the référentiel's description tables, built once per load.
// Roots are kept in row order, sorted by function code then name, so that each
// family is a contiguous range searched by bisection.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "zone/Code.h"
#include "zone/Groupe.h"
#include "zone/SuperGroupe.h"

class LectureDonnees;
class DescriptifSuperGroupe;

class Interface {
public:
    Interface() = default;
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    // Builds everything from an open reader; on failure nothing stays built.
    uint16_t initialiser(LectureDonnees& lecture);
    void liberer();
    bool estConstruite() const { return groupes_ != nullptr; }

    // Bisection over roots inf to sup (inclusive); 0xD000 when absent, position unchanged.
    uint16_t rechercher(const Code& identifiant, uint16_t inf, uint16_t sup, uint16_t& position) const;

    // Lookups by family; control and rule application answer 0xD100 instead of 0xD000.
    uint16_t lireSuperGroupeConsulter(const Code& identifiant, const SuperGroupe*& racine) const;
    uint16_t lireSuperGroupeModifier(const Code& identifiant, const SuperGroupe*& racine) const;
    uint16_t lireSuperGroupeAnnuler(const Code& identifiant, const SuperGroupe*& racine) const;
    uint16_t lireSuperGroupeControler(const Code& identifiant, const SuperGroupe*& racine) const;
    uint16_t lireSuperGroupeRegle(const Code& identifiant, const SuperGroupe*& racine) const;
    // The same, giving the function number as well.
    uint16_t lireSuperGroupeConsulter(const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const;
    uint16_t lireSuperGroupeModifier(const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const;
    uint16_t lireSuperGroupeAnnuler(const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const;
    uint16_t lireSuperGroupeControler(const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const;
    uint16_t lireSuperGroupeRegle(const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const;
    // The first root after the rule-application ones; always 0, null when there is none.
    uint16_t lireSuperGroupeControleComplet(const SuperGroupe*& racine) const;

    uint16_t nombreGroupes() const { return nombreGroupes_; }
    uint16_t nombreRacines() const { return nombreRacines_; }
    const Groupe* groupe(uint16_t position) const { return position < nombreGroupes_ ? groupes_[position].get() : nullptr; }
    const SuperGroupe* racine(uint16_t i) const { return i < nombreRacines_ ? racines_[i].get() : nullptr; }

    // Families by function code; the range of family k runs from the end of
    // family k - 1 (0 for consultation) to its own end, exclusive.
    enum Famille { CONSULTATION = 0, MODIFICATION, ANNULATION, CONTROLE, REGLE, kNombreFamilles };
    uint16_t debutFamille(Famille famille) const { return famille == CONSULTATION ? 0 : fins_[famille - 1]; }
    uint16_t finFamille(Famille famille) const { return fins_[famille]; }

private:
    uint16_t initialiserGroupes(LectureDonnees& lecture);
    uint16_t initialiserSuperGroupes(LectureDonnees& lecture);
    uint16_t creerGroupe(LectureDonnees& lecture, uint16_t i);
    uint16_t creerSuperGroupeRacine(LectureDonnees& lecture, uint16_t i);
    // Children of the row `ligne` into S; `chemin` holds the rows being built, against cycles.
    uint16_t ajouterFils(LectureDonnees& lecture, const DescriptifSuperGroupe& ligne, uint16_t k, SuperGroupe& S,
                         std::vector<uint16_t>& chemin);
    uint16_t ajouterGroupe(uint16_t position, uint16_t minimum, uint16_t maximum, SuperGroupe& S);
    uint16_t ajouterSuperGroupe(LectureDonnees& lecture, uint16_t position, uint16_t minimum, uint16_t maximum,
                                SuperGroupe& S, std::vector<uint16_t>& chemin);
    uint16_t lireSuperGroupe(Famille famille, uint16_t categorie, const char* nom, uint16_t codeAbsent,
                             const Code& identifiant, const SuperGroupe*& racine, uint16_t& numero) const;

    uint16_t nombreGroupes_ = 0;
    uint16_t nombreRacines_ = 0;
    std::unique_ptr<std::unique_ptr<Groupe>[]> groupes_;
    std::unique_ptr<std::unique_ptr<SuperGroupe>[]> racines_;
    uint16_t fins_[kNombreFamilles] = {};
};
