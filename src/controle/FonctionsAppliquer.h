// The rule-application family: each identifier reads a few acts, applies one family
// of regulatory or tariff rules to them without a complete control and writes one
// group per act. An act whose 3530 override names a rule that disengages the
// service has its result withheld: group 3531 instead.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "consultation/Fonctions.h"
#include "zone/Code.h"
#include "zone/TypeListe.h"

class Coefficient;
class Facture;
class LectureDonnees;
class LigneActe;
class LigneCCAM;
class Reglementation;
class Tarification;
class ZoneSortie;

class FonctionsAppliquer : public Fonctions {
public:
    // Acts one call may carry; one more act group is refused with 0xE100.
    static constexpr uint16_t kActesMax = 250;

    FonctionsAppliquer(ZoneKPX* zoneEntree, const SuperGroupe* superGroupe, Reglementation& reglementation,
                       Tarification& tarification, LectureDonnees& lecture);
    ~FonctionsAppliquer() override;

    // Runs the handler of that function number; 0xDFFF when the number has none.
    uint16_t executer(uint16_t numero, ZoneSortie& sortie);
    // One call of the family over an opened reader, with the call's two rule families.
    static uint16_t appliquer(LectureDonnees& lecture, const SuperGroupe* racine, uint16_t numero, ZoneKPX* entree,
                              ZoneSortie& sortie);

    uint16_t C_Association(ZoneSortie& sortie);
    uint16_t C_Base(ZoneSortie& sortie);
    uint16_t C_Compatibilite(ZoneSortie& sortie);
    uint16_t C_Dent(ZoneSortie& sortie);
    uint16_t C_ExoActe(ZoneSortie& sortie);
    uint16_t C_ExoFacture(ZoneSortie& sortie);
    // 0xD112 and 0xD115 come with the zone written.
    uint16_t C_ExoPrevention(ZoneSortie& sortie);
    uint16_t C_Pu(ZoneSortie& sortie);

private:
    // The rules whose override disengages the service ("C-Pu", "C-Base" ...).
    void remplirDebrayage(uint16_t& cr, const char* service, TypeListe<Code>& regles);
    // One override group of the line at that 1-based position: whether its rule is
    // among the service's disengaging rules.
    bool extraireGroupes3530(uint16_t& cr, uint16_t position, const LigneActe& ligne);
    // The rule named by the override group of the line, its prestation number checked.
    std::unique_ptr<Code> lireOutrepassement(uint16_t& cr, uint16_t position, const LigneActe& ligne);
    // Every override group that follows the act: the act is disengaged when one answers true.
    void lireOutrepassements(uint16_t& cr, uint16_t position, LigneActe& ligne);

    // Act after act until the zone ends, each read by lireActe into a new CCAM line of
    // the invoice; a 251st act, or any group left once 250 are held, gives 0xE100.
    template <class Lecture>
    void lireActes(uint16_t& cr, Facture& facture, const char* tropDActes, Lecture lireActe);
    // The practitioner number, its two fields joined.
    void lireNumeroPS(uint16_t& cr, LigneActe& ligne);
    // The acts of C_Compatibilite and C_Association: act, activity, practitioner.
    void lireActesAssocies(uint16_t& cr, Facture& facture);
    // Builds the associations and applies the rule to each one not disengaged.
    template <class Regle>
    void parAssociation(uint16_t& cr, Facture& facture, Regle appliquerA);
    // One group per act, 3531 for an act whose association is disengaged.
    static uint32_t tailleParAssociation(const Facture& facture, uint32_t tailleGroupe);
    // The act's tariff grid from the professional and beneficiary contexts of its group.
    void lireGrilleTarifaire(uint16_t& cr, LigneCCAM& ligne);

    // C_ExoFacture's three kinds of lines.
    void lireActeExoFacture(uint16_t& cr, Facture& facture, const TypeListe<Code>& seuil,
                            const TypeListe<Code>& prod790C, std::vector<bool>& sans790C);
    void lireLigneExoFacture(uint16_t& cr, Facture& facture);
    void lireDeplacementExoFacture(uint16_t& cr, Facture& facture);
    // The exoneration decided for the sessions, and the rate and code of their lines.
    uint16_t exonererSeances(Facture& facture, const std::vector<bool>& sans790C);

    // The rate as an amount and the exoneration code; two empty fields when no rate was decided.
    static void ajouterExoneration(uint16_t& cr, ZoneSortie& sortie, const Coefficient& taux,
                                   const Code* exonerationTM);

    Reglementation& reglementation;
    Tarification& tarification;
    TypeListe<Code> reglesDebrayage;
    LectureDonnees& lecture;
};
