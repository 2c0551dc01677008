#include "facture/ReferencesNonVerifiables.h"

#include "facture/LigneActe.h"

namespace {

std::string cle(const Code& reference) { return std::string(reference.chaine(), reference.longueur()); }

}  // namespace

void ReferencesNonVerifiables::ajouterLigne(const LigneActe& ligne) {
    if (ligne.reglesNonVerifiables() != nullptr) ajouter(*ligne.reglesNonVerifiables());
}

void ReferencesNonVerifiables::ajouter(const TypeListe<Code>& references) {
    for (uint16_t i = 0; i < references.nombre(); ++i) ajouter(references.element(i));
}

void ReferencesNonVerifiables::ajouter(const Code& reference) { ++lignes_[cle(reference)]; }

void ReferencesNonVerifiables::retirer(const TypeListe<Code>& references) {
    for (uint16_t i = 0; i < references.nombre(); ++i) {
        auto trouvee = lignes_.find(cle(references.element(i)));
        if (trouvee != lignes_.end() && --trouvee->second == 0) lignes_.erase(trouvee);
    }
}

bool ReferencesNonVerifiables::contient(const Code& reference) const {
    return !lignes_.empty() && lignes_.find(cle(reference)) != lignes_.end();
}
