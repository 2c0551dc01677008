// The regulatory rules of CCAM coding, one operation per rule, and the combined
// controls built on them. A rule reports a violation by filling the Erreur it is
// given and returns 0; a non-zero code means it could not be evaluated.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "facture/AssociationCCAM.h"
#include "facture/Erreur.h"
#include "facture/Regles.h"
#include "facture/Seance.h"
#include "zone/Booleen.h"
#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/ListeCodes.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"

class VueCodes;

class Reglementation : public Regles {
public:
    explicit Reglementation(LectureDonnees& lecture);
    ~Reglementation() override;

    // --- One act ---
    uint16_t appliquerProd136A(const TypeListe<Code>& modificateurs, const Date& date, Erreur& erreur);
    uint16_t appliquerProd136B(const TypeListe<Code>& modificateurs, const Date& date, Erreur& erreur);
    uint16_t appliquerProd137(const Code* codeAssociation, const Date& date, const Nombre& grille, Erreur& erreur);
    uint16_t appliquerProd170(const Code& prestation, const Date& date, Erreur& erreur);
    uint16_t appliquerProd190(const TypeListe<Code>& modificateurs, const Date& date, Erreur& erreur);
    uint16_t appliquerProd211(const Code& specialite, const Code& prestation, const Date& date, Erreur& erreur);
    uint16_t appliquerProd220(const Code& prestation, const Date& date, Erreur& erreur);
    uint16_t appliquerProd500(const Code& acte, Erreur& erreur);
    uint16_t appliquerProd510(const Code& acte, const Date& date, Erreur& erreur);
    uint16_t appliquerProd511A(const Code& acte, const Date& date, const Date& dateNaissance, Erreur& erreur);
    uint16_t appliquerProd530(const Code& acte, const Code& activite, Erreur& erreur);
    uint16_t appliquerProd540(const Code& acte, const Code& activite, const Code& phase, Erreur& erreur);
    uint16_t appliquerProd550(const Code& acte, const Code& activite, const TypeListe<Code>& modificateurs,
                              const Date& date, Erreur& erreur);
    uint16_t appliquerProd555(const TypeListe<Code>& modificateurs, const Date& date, const Date& dateNaissance,
                              Erreur& erreur);
    uint16_t appliquerProd580A(const Code& acte, const Date& date, Booleen& complementaire);
    uint16_t appliquerProd670(const Code& acte, const Code& activite, const Date& date, const Code& specialite,
                              Erreur& erreur);
    // typeDeplacement: the travel line's kind, 1 or 2; other kinds are not checked.
    uint16_t appliquerProd690A(const Code& deplacement, uint32_t typeDeplacement, const Code& acteRattachement,
                               const Date& date, Erreur& erreur);
    uint16_t appliquerProd695(const Code& acte, const Code& activite, const Code& phase,
                              Booleen& priseEnCompteNumeroDent);
    uint16_t appliquerProd696(const Code& acte, const Code& activite, const Date& date, Booleen& acteDentaire);
    uint16_t appliquerProd700(const Code& acte, const TypeListe<Code>& dents, Erreur& erreur);
    uint16_t appliquerProd702(const Code& acte, const Code& activite, const Code& phase, const TypeListe<Code>& dents,
                              Erreur& erreur);
    uint16_t appliquerProd710(const Code& acte, const Code& activite, const Code& phase, const TypeListe<Code>& dents,
                              Erreur& erreur);
    uint16_t appliquerProd720(const Code& acte, const Code& activite, const Code& phase, const Date& date,
                              const Date& dateNaissance, Erreur& erreur);
    uint16_t appliquerProd730(const Code& acte, const Code& activite, const Code& phase, const Date& date,
                              const Date& dateNaissance, Erreur& erreur);
    uint16_t appliquerProd760(const Code& acte, const Date& date, const Montant* base, const Montant* baseTheorique,
                              const Code* qualificatifDepense, Erreur& erreur);
    uint16_t appliquerProd765(const Code& acte, const Date& date, const Montant* base, const Montant* baseTheorique,
                              const Code* qualificatifDepense, const Code* codeRemboursement, Erreur& erreur);
    uint16_t appliquerProd780(const Code& acte, const Date& date, const Code* entente, Erreur& erreur);
    uint16_t appliquerProd798(const Code& acte, const Code& activite, const Date& date, const Code& prestation,
                              Erreur& erreur);
    uint16_t appliquerProd798A(const TypeListe<Code>& modificateurs, const TypeListe<Code>& modificateursOC,
                               const Date& date, Erreur& erreur);
    uint16_t appliquerProd890(const Code& acte, const Code& natureAssurance, Erreur& erreur);
    uint16_t appliquerProd895A(const Code& acte, const Code& activite, const Code* agrementRadio, const Date& date,
                               Erreur& erreur);
    uint16_t appliquerProd930(const Code& acte, const Code& forfaitCMU, const Date& date, Erreur& erreur);

    // --- A session: the line at position in the session is the one checked ---
    uint16_t appliquerProd240(const Code& acte, const Date& date, const Code& numeroPS,
                              const TypeListe<Code>& modificateurs, uint16_t position, const Seance& seance,
                              Erreur& erreur);
    uint16_t appliquerProd580(const Code& acte, const Date& date, const Seance& seance, Erreur& erreur);
    uint16_t appliquerProd600(const Code& acte, const Date& date, uint16_t position, const Seance& seance,
                              Erreur& erreur);

    // --- An association, its lines in order ---
    // Reports PROD590A or PROD590B.
    uint16_t appliquerProd590(const AssociationCCAM& association, Erreur& erreur);
    uint16_t appliquerProd648(const AssociationCCAM& association, Erreur& erreur);
    uint16_t appliquerProd649(const AssociationCCAM& association, Erreur& erreur);
    uint16_t appliquerProd650(const AssociationCCAM& association, Erreur& erreur);
    uint16_t appliquerProd653(const AssociationCCAM& association, Erreur& erreur);

    // --- Combined controls: résultat is true when no violation was recorded ---
    uint16_t appliquerCCcam(const Code& specialite, const Code& prestation, const Date& date, Booleen& resultat);
    uint16_t appliquerCAge1(const Date& dateNaissance, const Code& modificateur, const Date& date, Booleen& resultat);
    uint16_t appliquerCAge2(const Date& dateNaissance, const Code& acte, const Code& activite, const Code& phase,
                            const Date& date, Booleen& resultat);
    uint16_t appliquerCAssurance(const Code& natureAssurance, const Code& acte, const Date& date, Booleen& resultat);
    uint16_t appliquerCExecutant(const Code& specialite, const Code& acte, const Code& activite, const Date& date,
                                 Booleen& resultat);
    uint16_t appliquerCRadio(const Code* agrementRadio, const Code& acte, const Code& activite, const Date& date,
                             Booleen& resultat);
    uint16_t appliquerCForfaitCMU(const Code& acte, const Code& forfaitCMU, const Date& date, Booleen& resultat);
    // One result per tooth given, in order: true when the tooth passed PROD710.
    uint16_t appliquerCDent(const Code& acte, const Code& activite, const Code& phase, const TypeListe<Code>& dents,
                            const Date& date, TypeListe<Booleen>& resultats);
    // compatibilite: "1" compatible, "2" same procedure and compatible, "3" same
    // procedure and incompatible, "4" incompatible; procedure: the common one or empty.
    uint16_t appliquerCCompatibilite(const Code& acte1, const Code& activite1, const Code& numeroPS1,
                                     const Code& acte2, const Code& activite2, const Code& numeroPS2,
                                     const Date& date, Code& compatibilite, Code& procedure);
    // Sets the association's codeCalcule: "N", "P", or "E", "D" for dental acts.
    uint16_t appliquerCAssociation(AssociationCCAM& association);

private:
    // The CCAM concepts the rules read, by number.
    enum Concept : int32_t {
        kConceptComplementaires = 1,            // act types of complementary acts
        kConceptSupportsComplementaires = 2,    // act types that can carry one
        kConceptProcedureCompatible = 3,        // categories of two acts of one procedure that go together
        kConceptDentaires = 4,                  // categories of dental acts
        kConceptNonRemboursables = 6,           // admission codes of PROD760
        kConceptRemboursementExceptionnel = 7,  // admission codes of PROD765
        kConceptDeplacement1 = 11,              // travel-expense codes for travel lines of kind 1
        kConceptDeplacement2 = 12,              // and of kind 2
        kConceptCodesAssociation = 19,          // association codes every line must carry
    };

    // The class name of the rules' trace lines.
    static constexpr const char* kClasse = "Reglementation";

    // The first procedure of acte1 that acte2 has too at the date; empty when none.
    uint16_t procedureCommune(const Code& acte1, const Code& acte2, const Date& date, Code& procedure);
    // The same from procedures already read.
    static VueCode procedureCommune(const VueCodes& procedures1, const VueCodes& procedures2);
    // Both activities' medical categories are values of concept 3: the two acts of
    // one procedure may still go together.
    uint16_t categoriesCompatibles(const Code& acte1, const Code& activite1, const Code& acte2,
                                   const Code& activite2, const Date& date, bool& compatibles);
    // Act j is among the acts associable with act i.
    uint16_t estAssociable(const LigneCCAM& i, const LigneCCAM& j, const Date& date, bool& associable);
    // The number of price-changing modifiers at the date, at most the line's (traced with them).
    uint16_t nombreTarifants(const TypeListe<Code>& modificateurs, const Date& date, uint16_t& n);
    // The first modifier of positions [debut, fin) that has no value at the date, or null.
    uint16_t premierModificateurInexistant(const TypeListe<Code>& modificateurs, uint16_t debut, uint16_t fin,
                                           const Date& date, const Code*& inexistant);
};
