// The tariff rules of CCAM acts: unit price, reduction in an association, charges
// supplement, reimbursement base, the comparisons with the host's amounts, and the
// exoneration of the patient's share. A rule reports a violation by filling the
// Erreur it is given and returns 0; a non-zero code means it could not be evaluated.
// Amounts are compared with the tolerances of Flottant and rounded by Montant only.
#pragma once

#include <cstdint>
#include <cstring>

#include "facture/AssociationCCAM.h"
#include "facture/Erreur.h"
#include "facture/Regles.h"
#include "facture/Seance.h"
#include "referentiel/CodeActe.h"
#include "zone/Booleen.h"
#include "zone/Code.h"
#include "zone/Coefficient.h"
#include "zone/Date.h"
#include "zone/ListeCodes.h"
#include "zone/Montant.h"
#include "zone/Nombre.h"

class Tarification : public Regles {
public:
    explicit Tarification(LectureDonnees& lecture);
    ~Tarification() override;

    // --- Prices and bases of a CCAM line ---
    // The price of the grid, raised for an overseas caisse; 0xD123 past 7 characters.
    uint16_t appliquerProd840(const Code& acte, const Code& activite, const Code& phase, const Nombre& grille,
                              const Date& date, const Code* caissePS, Montant& prix);
    uint16_t appliquerProd850(const Code& acte, const Code& activite, const Code& phase, const Montant* prixLigne,
                              const Montant& prixTheorique, Erreur& erreur);
    // The act of the highest-priced line that can be reduced against; that line is marked.
    uint16_t appliquerProd656A(AssociationCCAM& association, Code& actePuMax);
    uint16_t appliquerProd656B(const Code& acte, const Booleen& topActePuMax, const Date& date,
                               const Code* codeAssociation, Booleen& topReduction);
    // Rate of a reduced act under the association's highest-priced act.
    uint16_t appliquerProd640(const Code& acte, const Code& activite, const Date& date, const Booleen& topReduction,
                              const Code* actePuMax, const Nombre& grille, Coefficient& taux);
    // Rate of a reduced act under an unplanned-association code.
    uint16_t appliquerProd655(const Code& codeAssociation, const Date& date, const Booleen& topReduction,
                              const Nombre& grille, Coefficient& taux);
    uint16_t appliquerProd860(const Code& acte, const Code& activite, const Code& phase, const Date& date,
                              const Code* supplementCharges, const Code* lieuExecution, const Code* identifiantLieu,
                              Montant& supplement);
    // Not rounded: the caller rounds.
    uint16_t appliquerProd870(const Code& acte, const Code& activite, const Code& phase, const Date& date,
                              const Montant& prixUnitaire, const Coefficient& taux, const Montant& supplement,
                              const TypeListe<Code>& modificateurs, const Nombre& grille, Montant& base,
                              Montant& baseHorsForfait);
    // The cap or rate of a non-contracted practitioner.
    uint16_t appliquerProd740(const Date& date, const Code* conventionPS, const Montant& base,
                              Montant& baseRecalculee);
    uint16_t appliquerProd763A(const Code& acte, const Date& date, const Code* codeRemboursement,
                               Booleen& remboursable);
    uint16_t appliquerProd880(const Code& acte, const Code& activite, const Code& phase, const Montant* baseHote,
                              const Montant& base, Erreur& erreur);
    uint16_t appliquerProd880A(const Code& acte, const Code& activite, const Code& phase,
                               const Montant* baseTheoriqueHote, const Montant& base, Erreur& erreur);

    // --- Exoneration of the patient's share; each checks the exoneration codes it concerns ---
    uint16_t appliquerProd785(const Code& acte, const Date& date, const Code* exonerationTM, const Code* caissePS,
                              const Montant& baseHorsForfait, Erreur& erreur);
    uint16_t appliquerProd786(const Code& acte, const Date& date, const Code* exonerationTM, Erreur& erreur);
    uint16_t appliquerProd787(const Code& acte, const Date& date, const Code* exonerationTM, Erreur& erreur);
    uint16_t appliquerProd788(const Code& acte, const Date& date, const Code* exonerationTM, Erreur& erreur);
    uint16_t appliquerProd789(const Code& acte, const Date& date, const Code* exonerationTM, Erreur& erreur);
    // Sets seanceExoneree to "2" when the act exonerates its session.
    uint16_t appliquerProd790A(const Code& acte, const Date& date, const Code* exonerationTM, const Code* caissePS,
                               const Montant& baseHorsForfait, Code& seanceExoneree);
    // Marks the session exonerated when its lines reach the threshold together.
    uint16_t appliquerProd790B(const Code* caissePS, Seance& seance);
    uint16_t appliquerProd790C(const Code& acte, const Date& date, Code& exonerationTM, Coefficient& taux);
    // The travel line of an act: only its rate.
    uint16_t appliquerProd790C(const Code& prestation, const Code& acteRattachement, const Date& date,
                               Coefficient& taux);
    uint16_t appliquerProd791A(const Code& acte, const Date& date, const Code* exonerationTM, const Code* caissePS,
                               const Montant& baseHorsForfait, Erreur& erreur);
    uint16_t appliquerProd791B(const Code& acte, const Date& date, const Code* exonerationTM, const Code* caissePS,
                               const Montant& baseHorsForfait, Erreur& erreur);
    uint16_t appliquerProd791C(const Code& acte, const Date& date, const Code* exonerationTM, Erreur& erreur);
    uint16_t appliquerProd792(const Coefficient& taux, const Code& acte, const Date& date, const Code* exonerationTM,
                              const Code* qualificatifDepense, Erreur& erreur);
    uint16_t appliquerProd792B(const Code& prestation, const Coefficient& taux, const Code& acteRattachement,
                               const Date& date, const Code* exonerationTM, const Code* qualificatifDepense,
                               Erreur& erreur);
    uint16_t appliquerProd793(const Code& acte, const Code* exonerationTM, Erreur& erreur);
    uint16_t appliquerProd795A(const Code& acte, const Code* exonerationTM, const Coefficient& taux,
                               const Code* qualificatifDepense, Erreur& erreur);

    // --- Chains for the rule-application functions ---
    // Writes baseRemboursement, baseHorsForfait and baseTheoriqueAMO of every line.
    uint16_t appliquerCBase(const Code* conventionPS, AssociationCCAM& association);
    // The rate and exoneration code an act earns, and whether it exonerates the invoice.
    uint16_t appliquerCExoActe(const Code* caissePS, const Code& acte, const Date& date,
                               const Montant& baseHorsForfait, const Code& motifExoneration, Coefficient& taux,
                               Code& exonerationTM, Booleen& factureExoneree);
    // 0xD112 or 0xD115 when the prevention flag and the act's codes disagree.
    uint16_t appliquerCExoPrevention(const Code& acte, const Booleen& prevention, const Date& date,
                                     Coefficient& taux, Code& exonerationTM);

private:
    // The CCAM concepts the tariff rules read, by number.
    enum Concept : int32_t {
        kConceptSansReduction = 1,           // act types kept out of the highest price and the reduction
        kConceptNonRemboursable = 6,         // admission codes of acts never reimbursed
        kConceptRemboursementExceptionnel = 7,  // admission codes reimbursed with code "O" only
        kConceptExoSeuil = 13,               // exoneration codes earned at the threshold, for the session
        kConceptExoSeuilActe = 14,           // the same for the act alone
        kConceptExoDroit = 15,               // exoneration by right
        kConceptExoDroitSeance = 16,         // exoneration by right of the whole session
        kConceptPrevention = 17,             // prevention
        kConceptExoRefusee = 22,             // codes that refuse exoneration
    };

    static constexpr const char* kClasse = "Tarification";

    // The act's exoneration codes at the date (traced), valid until the next act asked.
    uint16_t codesExoneration(const Code& acte, const Date& date, const VueCodesOctet*& codes);
    // The exemption threshold of the caisse's position at the date (traced).
    uint16_t seuil(const Code* caissePS, const Date& date, Montant& valeur);
    // Whether the act's type keeps it out of the highest price and of the reduction.
    uint16_t sansReduction(const Code& acte, const Date& date, bool& exclu);
    // One of the act's codes is in the concept and the base is not below the threshold.
    uint16_t codeSeuil(const Code& acte, const Date& date, int32_t concept, const Code* caissePS,
                       const Montant& baseHorsForfait, bool& atteint);
    // Exonerated ("C") while a code of the concept is below the threshold: the rule's violation.
    uint16_t exonereSousSeuil(const char* regle, int32_t concept, const Code& acte, const Date& date,
                              const Code* exonerationTM, const Code* caissePS, const Montant& baseHorsForfait,
                              Erreur& erreur);
    // The act has exactly one code and it is a prevention code.
    uint16_t seulCodePrevention(const Code& acte, const Date& date, bool& prevention);
    // The act at rate below 100 % carries a threshold code in an exonerated session.
    uint16_t tauxAExonerer(const Code& acte, const Date& date, const Coefficient& taux, bool& aExonerer);

    // The exoneration rules of a line ask its codes again and again.
    // They are read where the act's version holds them, for the reader's generation they were read in.
    // The act's code is kept as its bytes, compared and copied without a string: a session's
    // rule asks the codes of each of its lines in turn.
    struct CodesExoneration {
        bool lus = false;
        uint32_t generation = 0;
        char acte[CodeActe::kLargeur] = {};
        size_t longueur = 0;
        Date date;
        VueCodesOctet codes;
        bool pour(const Code& code, const Date& jour) const {
            return code.longueur() == longueur && std::memcmp(code.chaine(), acte, longueur) == 0 && jour == date;
        }
    } derniersCodes_;
};
