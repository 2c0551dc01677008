// The complete control of an invoice: the input zone decoded into a Facture, the
// control run on it, the violations filtered through the host's overrides and
// written with the lines' forcing indicators into one output zone. A violation is
// not a failure: it leaves the code at 0 and raises the error level.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "consultation/Fonctions.h"
#include "facture/Erreur.h"
#include "zone/Code.h"
#include "zone/Nombre.h"
#include "zone/TypeListe.h"

class Facture;
class LectureDonnees;
class LigneActe;
class LigneCCAM;
class ZoneSortie;

class FonctionControleComplet : public Fonctions {
public:
    // What is run on the decoded invoice; the call runs the control sequences.
    using Controle = std::function<uint16_t(Facture&, TypeListe<Erreur>&)>;

    // Lines an invoice may hold; one more line group is refused with 0xE100.
    static constexpr uint16_t kLignesMax = 250;

    FonctionControleComplet(ZoneKPX* zoneEntree, const SuperGroupe* superGroupe, LectureDonnees& lecture,
                            Controle controle);
    ~FonctionControleComplet() override;

    // 0 once the invoice was decoded and controlled, whatever it broke; niveau is then
    // 0 (nothing written), 1 (only overridable errors written) or 2.
    uint16_t executer(ZoneSortie& sortie, uint16_t& niveau);

    // One complete control over an opened reader, with the rules and the sequences of the call.
    static uint16_t controler(LectureDonnees& lecture, const SuperGroupe* racine, ZoneKPX* entree, ZoneSortie& sortie,
                              uint16_t& niveau);

    // The worst-case size of the answer: every line with its indicator, every error
    // naming every line.
    static uint32_t tailleSortie(uint32_t lignes, uint32_t erreurs);

private:
    void lireEntete(uint16_t& cr, Facture& facture);
    void lireNatureAssurance(uint16_t& cr, Facture& facture);
    void lireLignes(uint16_t& cr, Facture& facture);
    void lireLigneActe(uint16_t& cr, Facture& facture);
    void lireDeplacement(uint16_t& cr, Facture& facture, uint32_t typeLigne);
    void lirePrestation(uint16_t& cr, const Facture& facture, LigneActe& ligne, uint16_t groupe);
    void lireSousGroupesActe(uint16_t& cr, const Facture& facture, std::unique_ptr<LigneActe>& ligne);
    // The line as a CCAM line, its act's fields read into it; null once the code is not 0.
    LigneCCAM* lireActeCCAM(uint16_t& cr, std::unique_ptr<LigneActe>& ligne);
    // The contexts' grid goes into the line's CCAM form, when its act was read.
    void lireContextes(uint16_t& cr, const LigneActe& ligne, LigneCCAM* ccam, bool& contextesLus);
    void lireOutrepassements(uint16_t& cr, const LigneActe& ligne, uint16_t position);
    // True when the next group is that one, its line number checked against the line's.
    bool sousGroupe(uint16_t& cr, uint16_t groupe, const LigneActe& ligne, uint16_t position);

    void repondre(uint16_t& cr, const Facture& facture, const TypeListe<Erreur>& erreurs, ZoneSortie& sortie,
                  uint16_t& niveau) const;
    // Withheld: overridable, and every line it names carries an override of its rule.
    bool estOutrepassee(const Erreur& erreur) const;

    LectureDonnees& lecture;
    Controle controle;
    TypeListe<Code> reglesOutrepassees;
    TypeListe<Nombre> prestationsOutrepassees;
};
