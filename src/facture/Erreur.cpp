#include "facture/Erreur.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "KPXW32.h"

#include "facture/TraceFacture.h"

PrestationsErreur::PrestationsErreur(PrestationsErreur&& autre) noexcept
    : premiere_(autre.premiere_), avecPremiere_(autre.avecPremiere_), autres_(std::move(autre.autres_)) {
    autre.avecPremiere_ = false;
}

PrestationsErreur& PrestationsErreur::operator=(PrestationsErreur&& autre) noexcept {
    premiere_ = autre.premiere_;
    avecPremiere_ = autre.avecPremiere_;
    autres_ = std::move(autre.autres_);
    autre.avecPremiere_ = false;
    return *this;
}

uint16_t PrestationsErreur::ajouter(const Nombre& numero) {
    if (!avecPremiere_) {
        premiere_ = numero;
        avecPremiere_ = true;
        return 0;
    }
    // The first counts too: the whole stays within a 16-bit count.
    if (autres_.nombre() == UINT16_MAX - 1) return KPX_CR_CONSTRUCTION;
    return autres_.ajouter(numero);
}

void PrestationsErreur::vider() {
    avecPremiere_ = false;
    autres_.vider();
}

const RegleErreur Erreur::kSansRegle;

Erreur::~Erreur() = default;

void Erreur::vider() {
    regle_.reset();
    prestations.vider();
    message.vider();
}

void Erreur::dump() const {
    if (!regleTracee()) return;
    tracerRegle("Erreur::dump >> IN");
    tracerRegle("%s (Outre-passable : %s ) :", codeRegle().chaine(), outrePassable().chaine());
    tracerRegle("%d prestations : ", static_cast<int>(prestations.nombre()));
    for (uint16_t i = 0; i < prestations.nombre(); ++i)
        tracerRegle("prestations[%d] = %d", static_cast<int>(i), static_cast<int>(prestations.element(i).valeur()));
    tracerRegle("indicateur de forcage = %s", indicateurForcage().chaine());
    tracerRegle("%s", libelle().chaine());
    tracerRegle("%s", message.chaine());
    tracerRegle("Erreur::dump << OUT");
}

uint16_t ajouterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, const Erreur*& ajoutee) {
    ajoutee = nullptr;
    const uint16_t cr = erreurs.ajouter(std::move(erreur));
    if (cr == 0) ajoutee = &erreurs.element(static_cast<uint16_t>(erreurs.nombre() - 1));
    if (cr != 0)
        tracer(CAT_REGLE, NIV_ERREUR, "ERREUR: allocation d'un tableau de %u éléments impossible",
               2u * erreurs.capacite());
    return cr;
}
