// What the invoice asks of its control sequences, without knowing the rule
// families: one operation per control slot of a line and per kind of line, and the
// controls of the invoice, of an association and of a session. The control slots
// of LigneActe and LigneCCAM forward here with their own static type, so the
// sequences see the exact kind of line (double dispatch); the controle layer
// implements them with the call's regulatory and tariff rules.
#pragma once

#include <cstdint>

#include "facture/Erreur.h"
#include "zone/TypeListe.h"

class AssociationCCAM;
class Facture;
class LigneActe;
class LigneCCAM;
class Seance;

class ControlesFacture {
public:
    virtual ~ControlesFacture() = default;

    // position: the line's index in the invoice's lines.
    virtual uint16_t controlerReglementation(LigneActe& ligne, Facture& facture, uint16_t position,
                                             TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerReglementation(LigneCCAM& ligne, Facture& facture, uint16_t position,
                                             TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerPU(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerPU(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerBaseActe(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerBaseActe(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoActe(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoActe(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoSeance(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoSeance(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoSeanceExoneree(LigneActe& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoSeanceExoneree(LigneCCAM& ligne, Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoSeanceNonExoneree(LigneActe& ligne, Facture& facture,
                                                   TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoSeanceNonExoneree(LigneCCAM& ligne, Facture& facture,
                                                   TypeListe<Erreur>& erreurs) = 0;

    // The invoice's rules on the sessions of its CCAM lines.
    virtual uint16_t controlerReglementation(Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    // Each of these continues along the chain from the association given.
    virtual uint16_t controlerReglementation(AssociationCCAM& association, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t rechercheActePu(AssociationCCAM& association, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoFacture(Facture& facture, TypeListe<Erreur>& erreurs) = 0;
    virtual uint16_t controlerExoFacture(Seance& seance, Facture& facture) = 0;
};
