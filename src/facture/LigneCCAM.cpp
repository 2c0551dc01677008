#include "facture/LigneCCAM.h"

#include <utility>

#include "facture/AssociationCCAM.h"
#include "facture/ControlesFacture.h"
#include "facture/Seance.h"
#include "facture/TraceFacture.h"

LigneCCAM::LigneCCAM(const LigneActe& ligne) : LigneActe(ligne) { typeLigne = kCCAM; }

LigneCCAM::LigneCCAM(LigneActe&& ligne) : LigneActe(std::move(ligne)) { typeLigne = kCCAM; }

LigneCCAM::~LigneCCAM() = default;

void LigneCCAM::dump() const {
    if (!regleTracee()) return;
    tracerRegle("LigneCCAM::dump >> IN");
    dumpChamps(true);
    tracerRegle("acte                = %s", texteDe(acte.get()));
    tracerRegle("activite            = %s", texteDe(activite.get()));
    tracerRegle("phase               = %s", texteDe(phase.get()));
    for (uint16_t i = 0; i < modificateurs.nombre(); ++i)
        tracerRegle("modificateur[%d]     = %s", static_cast<int>(i), modificateurs.element(i).chaine());
    tracerRegle("codeAssociation     = %s", texteDe(codeAssociation.get()));
    tracerRegle("codeRemboursement   = %s", texteDe(codeRemboursement.get()));
    tracerRegle("supplementCharges   = %s", texteDe(supplementCharges.get()));
    for (uint16_t i = 0; i < donneesComplementaires.nombre(); ++i)
        tracerRegle("donneesComplementaires[%d] = %s", static_cast<int>(i),
                    donneesComplementaires.element(i).chaine());
    for (uint16_t i = 0; i < dents.nombre(); ++i)
        tracerRegle("dent[%d]             = %s", static_cast<int>(i), dents.element(i).chaine());
    tracerRegle("baseHorsForfait     = %.2fE", baseHorsForfait ? baseHorsForfait->valeur() : 0.0);
    tracerRegle("grilleTarifaire     = %d", static_cast<int>(grilleTarifaire ? grilleTarifaire->valeur() : 0));
    const uint16_t nonVerifiables = reglesNonVerifiables() ? reglesNonVerifiables()->nombre() : 0;
    tracerRegle("%d règles non vérifiables ", static_cast<int>(nonVerifiables));
    for (uint16_t i = 0; i < nonVerifiables; ++i)
        tracerRegle("\treglesNonVerifiables[%d]     = %s", static_cast<int>(i),
                    reglesNonVerifiables()->element(i).chaine());
    tracerRegle("top réduction       = %s", vraiFaux(topReduction.valeur()));
    tracerRegle("topActePuMax        = %s", vraiFaux(topActePuMax.valeur()));
    tracerRegle("LigneCCAM::dump << OUT");
}

void LigneCCAM::debrayer() {
    LigneActe::debrayer();
    if (association != nullptr) association->topDebrayage = true;
    if (seance != nullptr) seance->topDebrayage = true;
}

uint16_t LigneCCAM::controlerReglementation(Facture& facture, uint16_t position, ControlesFacture& controles,
                                            TypeListe<Erreur>& erreurs) {
    return controles.controlerReglementation(*this, facture, position, erreurs);
}

uint16_t LigneCCAM::controlerPU(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerPU(*this, facture, erreurs);
}

uint16_t LigneCCAM::controlerBaseActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerBaseActe(*this, facture, erreurs);
}

uint16_t LigneCCAM::controlerExoActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerExoActe(*this, facture, erreurs);
}

uint16_t LigneCCAM::controlerExoSeance(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerExoSeance(*this, facture, erreurs);
}

uint16_t LigneCCAM::controlerExoSeanceExoneree(Facture& facture, ControlesFacture& controles,
                                               TypeListe<Erreur>& erreurs) {
    return controles.controlerExoSeanceExoneree(*this, facture, erreurs);
}

uint16_t LigneCCAM::controlerExoSeanceNonExoneree(Facture& facture, ControlesFacture& controles,
                                                  TypeListe<Erreur>& erreurs) {
    return controles.controlerExoSeanceNonExoneree(*this, facture, erreurs);
}

void LigneCCAM::signalerNonVerifiable(const Code& regle, uint64_t hachage) {
    if (association != nullptr) association->nonVerifiables.ajouter(regle, hachage);
    if (seance != nullptr) seance->nonVerifiables.ajouter(regle, hachage);
}

void LigneCCAM::signalerRecreation(const ListeCodes& anciennes) {
    if (association != nullptr) association->nonVerifiables.retirer(anciennes);
    if (seance != nullptr) seance->nonVerifiables.retirer(anciennes);
}
