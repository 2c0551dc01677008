// The rules on an association, its CCAM lines in order; the first line's
// association code decides what the others must carry.
#include <utility>
#include <vector>

#include "consultation/LectureDonnees.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "reglementation/Reglementation.h"

using namespace regles;

namespace {

const Date& dateDe(const AssociationCCAM& association) {
    static const Date aucune;
    return association.date != nullptr ? *association.date : aucune;
}

// The procedures of each line of an association at its date, read once however many
// pairs the line is in; in the order the pairs first ask them, as one read per pair would.
// They are only compared: read where the acts' versions hold them.
class ProceduresLignes {
public:
    ProceduresLignes(LectureDonnees& lecture, const AssociationCCAM& association, const Date& date)
        : lecture_(lecture), lignes_(association.lignes), date_(date), lues_(association.lignes.size()) {}

    const VueCodes* de(uint16_t& cr, size_t rang) {
        Lues& lues = lues_[rang];
        if (cr == 0 && !lues.lues) {
            cr = lecture_.rechercherProcedures(ouVide(lignes_[rang]->acte), date_, lues.procedures);
            lues.lues = cr == 0;
        }
        return lues.lues ? &lues.procedures : nullptr;
    }

private:
    struct Lues {
        bool lues = false;
        VueCodes procedures;
    };
    LectureDonnees& lecture_;
    const std::vector<LigneCCAM*>& lignes_;
    const Date& date_;
    std::vector<Lues> lues_;
};

void tracerLignes(const AssociationCCAM& association) {
    tracerRegle("association n° %d, %d actes", static_cast<int>(association.numero.valeur()),
                static_cast<int>(association.lignes.size()));
}

}  // namespace

// Two acts of one procedure: PROD590A when their categories may not go together,
// PROD590B when they may but the first carries no association code.
uint16_t Reglementation::appliquerProd590(const AssociationCCAM& association, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd590", cr);
    tracerLignes(association);
    const Date& date = dateDe(association);
    const auto& lignes = association.lignes;
    ProceduresLignes procedures(lecture, association, date);
    for (size_t i = 0; cr == 0 && !erreur.estPositionnee() && i < lignes.size(); ++i) {
        for (size_t j = i + 1; cr == 0 && !erreur.estPositionnee() && j < lignes.size(); ++j) {
            const LigneCCAM& a = *lignes[i];
            const LigneCCAM& b = *lignes[j];
            bool compatibles = false;
            const VueCodes* deA = procedures.de(cr, i);
            const VueCodes* deB = procedures.de(cr, j);
            if (cr != 0 || !renseigne(procedureCommune(*deA, *deB))) continue;
            cr = categoriesCompatibles(ouVide(a.acte), ouVide(a.activite), ouVide(b.acte), ouVide(b.activite), date,
                                       compatibles);
            const char* regle = !compatibles ? "PROD590A" : !present(a.codeAssociation.get()) ? "PROD590B" : nullptr;
            if (cr != 0 || regle == nullptr) continue;
            tracerRegle("les codes associations des deux actes sont %s et %s", texteDe(a.codeAssociation.get()),
                        texteDe(b.codeAssociation.get()));
            cr = copierValeurErreur(erreur, {a.valeurNumero(), b.valeurNumero()}, regle,
                                    {a.valeurNumero(), b.valeurNumero(), ouVide(a.acte), ouVide(b.acte)});
        }
    }
    return cr;
}

// An act alone carries an association code.
uint16_t Reglementation::appliquerProd648(const AssociationCCAM& association, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd648", cr);
    tracerLignes(association);
    if (association.lignes.size() == 1 && present(association.lignes[0]->codeAssociation.get())) {
        const LigneCCAM& seule = *association.lignes[0];
        tracerRegle("L'acte %s contient un code association renseigné à tort", texteDe(seule.acte.get()));
        cr = copierValeurErreur(erreur, {seule.valeurNumero()}, "PROD648", {ouVide(seule.acte)});
    }
    return cr;
}

// The lines' association codes disagree with the first line's.
uint16_t Reglementation::appliquerProd649(const AssociationCCAM& association, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd649", cr);
    tracerLignes(association);
    const auto& lignes = association.lignes;
    if (lignes.empty()) return cr;
    const Code* premier = lignes[0]->codeAssociation.get();
    ListeCodes valeurs;
    if (present(premier)) cr = valeursConcept(kConceptCodesAssociation, dateDe(association), valeurs);
    // A code of concept 19 must be on every line; another code must be the same on all.
    const bool commun = present(premier) && valeurs.contient(*premier);
    auto enDesaccord = [&](const Code* code) {
        if (!present(premier)) return present(code);
        if (commun) return !present(code) || !valeurs.contient(*code);
        return !present(code) || *code != *premier;
    };
    const LigneCCAM* fautive = nullptr;
    for (size_t i = commun ? 0 : 1; cr == 0 && fautive == nullptr && i < lignes.size(); ++i)
        if (enDesaccord(lignes[i]->codeAssociation.get())) fautive = lignes[i];
    if (cr == 0 && fautive != nullptr)
        cr = copierValeurErreur(erreur, {lignes[0]->valeurNumero(), fautive->valeurNumero()}, "PROD649",
                                {lignes[0]->valeurNumero(), fautive->valeurNumero(), ouVide(fautive->acte)});
    return cr;
}

// Without an association code, every pair of acts must be an association the référentiel foresees.
uint16_t Reglementation::appliquerProd650(const AssociationCCAM& association, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd650", cr);
    tracerLignes(association);
    const auto& lignes = association.lignes;
    if (lignes.empty() || present(lignes[0]->codeAssociation.get())) return cr;
    for (size_t i = 0; cr == 0 && !erreur.estPositionnee() && i < lignes.size(); ++i) {
        for (size_t j = i + 1; cr == 0 && !erreur.estPositionnee() && j < lignes.size(); ++j) {
            bool associable = false;
            cr = estAssociable(*lignes[i], *lignes[j], dateDe(association), associable);
            if (cr != 0 || associable) continue;
            const LigneCCAM& a = *lignes[i];
            const LigneCCAM& b = *lignes[j];
            tracerRegle("Les deux actes dont l'association n'est pas prévue sont %s et %s", texteDe(a.acte.get()),
                        texteDe(b.acte.get()));
            cr = copierValeurErreur(erreur, {a.valeurNumero(), b.valeurNumero()}, "PROD650",
                                    {ouVide(a.acte), ouVide(b.acte)});
        }
    }
    return cr;
}

// An unforeseen-association code on acts whose association is foreseen.
uint16_t Reglementation::appliquerProd653(const AssociationCCAM& association, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd653", cr);
    tracerLignes(association);
    const auto& lignes = association.lignes;
    if (lignes.size() < 2 || !present(lignes[0]->codeAssociation.get())) return cr;
    bool toutesPrevues = true;
    for (size_t i = 0; cr == 0 && toutesPrevues && i < lignes.size(); ++i)
        for (size_t j = i + 1; cr == 0 && toutesPrevues && j < lignes.size(); ++j)
            cr = estAssociable(*lignes[i], *lignes[j], dateDe(association), toutesPrevues);
    TypeListe<Nombre> numeros;
    for (size_t i = 0; cr == 0 && i < lignes.size(); ++i) cr = numeros.ajouter(Nombre(lignes[i]->valeurNumero()));
    if (cr == 0 && toutesPrevues)
        cr = copierValeurErreur(erreur, numeros, "PROD653", {*lignes[0]->codeAssociation});
    return cr;
}
