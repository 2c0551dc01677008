#include "facture/LigneActe.h"

#include "facture/ControlesFacture.h"
#include "facture/LigneCCAM.h"
#include "facture/ReferencesNonVerifiables.h"
#include "facture/Regles.h"
#include "facture/TraceFacture.h"
#include "frame/BlocsGardes.h"

namespace {

constexpr size_t kTailleBloc = sizeof(LigneCCAM) > sizeof(LigneActe) ? sizeof(LigneCCAM) : sizeof(LigneActe);
// Enough for the invoices most hosts send; the lines of a longer one beyond it come and go
// through the allocator as before.
using BlocsLignes = BlocsGardes<kTailleBloc, 32>;

}  // namespace

void* LigneActe::operator new(size_t taille) {
    // Under the address sanitizer a line takes its own size, so that it sees past its end.
    if (!kGarderBlocs || taille > kTailleBloc) return ::operator new(taille);
    void* bloc = BlocsLignes::prendre();
    if (bloc == nullptr) throw std::bad_alloc();
    return bloc;
}

void LigneActe::operator delete(void* ligne, size_t taille) {
    if (ligne == nullptr) return;
    if (kGarderBlocs && taille <= kTailleBloc)
        BlocsLignes::rendre(ligne);
    else
        ::operator delete(ligne);
}

LigneActe::LigneActe(const LigneActe& autre)
    : typeLigne(autre.typeLigne),
      numero(autre.numero),
      date(autre.date),
      numeroPS(autre.numeroPS),
      specialitePS(autre.specialitePS),
      prestation(autre.prestation),
      lieuExecution(autre.lieuExecution),
      identifiantLieu(autre.identifiantLieu),
      qualificatifDepense(autre.qualificatifDepense),
      prixUnitaire(autre.prixUnitaire),
      baseRemboursement(autre.baseRemboursement),
      tauxRemboursement(autre.tauxRemboursement),
      exonerationTM(autre.exonerationTM),
      ententePrealable(autre.ententePrealable),
      rattachement(autre.rattachement),
      forcage(autre.forcage),
      topDebrayageLigne(autre.topDebrayageLigne),
      baseTheoriqueAMO(autre.baseTheoriqueAMO),
      topFactureExoneree(autre.topFactureExoneree),
      reglesNonVerifiables_(autre.reglesNonVerifiables_),
      signature_(autre.signature_) {}

LigneActe::~LigneActe() = default;

void LigneActe::dump() const {
    if (!regleTracee()) return;
    tracerRegle("LigneActe::dump >> IN");
    dumpChamps(false);
    tracerRegle("LigneActe::dump << OUT");
}

void LigneActe::dumpChamps(bool prixEnEuros) const {
    const auto montant = [](const Optionnel<Montant>& m) { return m ? m->valeur() : 0.0; };
    tracerRegle("numero              = %d", static_cast<int>(valeurNumero()));
    tracerRegle("typeLigne           = %u", static_cast<unsigned>(typeLigne));
    tracerRegle("date                = %s", date ? date->chaine() : "");
    tracerRegle("numeroPS            = %s", texteDe(numeroPS.get()));
    tracerRegle("specialitePS        = %s", texteDe(specialitePS.get()));
    tracerRegle("prestation          = %s", texteDe(prestation.get()));
    tracerRegle("lieuExecution       = %s", texteDe(lieuExecution.get()));
    tracerRegle("identifiantLieu     = %s", texteDe(identifiantLieu.get()));
    tracerRegle("qualificatifDepense = %s", texteDe(qualificatifDepense.get()));
    if (prixEnEuros)
        tracerRegle("prixUnitaire        = %.2fE", montant(prixUnitaire));
    else
        tracerRegle("prixUnitaire        = %.2f", montant(prixUnitaire));
    tracerRegle("baseRemboursement   = %.2fE", montant(baseRemboursement));
    tracerRegle("tauxRemboursement   = %.f%%", tauxRemboursement ? tauxRemboursement->valeur() * 100.0 : 0.0);
    tracerRegle("exonerationTM       = %s", texteDe(exonerationTM.get()));
    tracerRegle("ententePrealable    = %s", texteDe(ententePrealable.get()));
    tracerRegle("forcage             = %s", texteDe(forcage.get()));
    tracerRegle("rattachement        = %d", static_cast<int>(rattachement ? rattachement->valeurNumero() : 0));
    tracerRegle("top débrayage       = %s", vraiFaux(topDebrayageLigne));
    tracerRegle("baseTheoriqueAMO    = %.2fE", montant(baseTheoriqueAMO));
}

void LigneActe::debrayer() { topDebrayageLigne = true; }

uint16_t LigneActe::controlerReglementation(Facture& facture, uint16_t position, ControlesFacture& controles,
                                            TypeListe<Erreur>& erreurs) {
    return controles.controlerReglementation(*this, facture, position, erreurs);
}

uint16_t LigneActe::controlerPU(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerPU(*this, facture, erreurs);
}

uint16_t LigneActe::controlerBaseActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerBaseActe(*this, facture, erreurs);
}

uint16_t LigneActe::controlerExoActe(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerExoActe(*this, facture, erreurs);
}

uint16_t LigneActe::controlerExoSeance(Facture& facture, ControlesFacture& controles, TypeListe<Erreur>& erreurs) {
    return controles.controlerExoSeance(*this, facture, erreurs);
}

uint16_t LigneActe::controlerExoSeanceExoneree(Facture& facture, ControlesFacture& controles,
                                               TypeListe<Erreur>& erreurs) {
    return controles.controlerExoSeanceExoneree(*this, facture, erreurs);
}

uint16_t LigneActe::controlerExoSeanceNonExoneree(Facture& facture, ControlesFacture& controles,
                                                  TypeListe<Erreur>& erreurs) {
    return controles.controlerExoSeanceNonExoneree(*this, facture, erreurs);
}

uint16_t LigneActe::traiterErreur(TypeListe<Erreur>& erreurs, Erreur& erreur, Regles& regles) {
    uint16_t cr = 0;
    TraceOperation trace(CAT_REGLE, NIV_DETAIL, "LigneActe::traiterErreur", cr);
    if (!erreur.estPositionnee()) return cr;
    erreur.prestations.vider();
    cr = erreur.prestations.ajouter(Nombre(valeurNumero()));
    const Erreur* ajoutee = nullptr;
    if (cr == 0) cr = ajouterErreur(erreurs, erreur, ajoutee);
    if (cr == 0) {
        ajoutee->dump();
        Effet effet(*ajoutee);
        cr = subirErreur(effet, regles, kPorteeLigne);
    }
    erreur.vider();
    return cr;
}

LigneActe::Effet::Effet(const Erreur& violation)
    : erreur(violation), forcage(violation.apporteForcage()) {}

uint16_t LigneActe::subirErreur(Effet& effet, Regles& regles, Portee portee) {
    uint16_t cr = 0;
    const Erreur& erreur = effet.erreur;
    if (effet.forcage) {
        if (forcage && forcage->estRenseigne()) {
            tracerRegle("L'ancien code forcage de l'acte est %s", forcage->chaine());
            tracerRegle("L'indicateur de forcage lié à l'erreur est %s", erreur.indicateurForcage().chaine());
            cr = combinerForcage(erreur.indicateurForcage(), regles);
        } else {
            forcage = erreur.indicateurForcage();
            const LigneCCAM* ccam = commeLigneCCAM();
            if (portee == kPorteeAssociation)
                tracerRegle("Le nouveau code forcage de l'acte %s de l'association est %s",
                            ccam ? texteDe(ccam->acte.get()) : "", forcage->chaine());
            else if (portee == kPorteeFacture)
                tracerRegle("Le nouveau code forcage de l'acte n° %d de l'association est %s",
                            static_cast<int>(valeurNumero()), forcage->chaine());
            else
                tracerRegle("Le nouveau code forcage de l'acte est %s", forcage->chaine());
        }
    }
    if (cr == 0 && effet.liees == nullptr) cr = regles.reglesNonVerifiablesDe(erreur, effet.liees);
    if (cr != 0) return cr;
    const ListeCodes* liees = effet.liees;
    // Most rules make no other unverifiable: the line's list is made, and nothing is merged.
    if (liees->nombre() == 0) {
        if (!reglesNonVerifiables_) reglesNonVerifiables_.emplace();
        return cr;
    }
    // The rules' lists are kept for the call: the one merged last since the line's list was
    // made has nothing more to add (an error of a session reaches every line, and errors of
    // one rule bring the same list again).
    if (liees != dernieresAjoutees_ || regles.identite() != reglesDesAjoutees_) {
        cr = ajouterReglesNonVerifiables(*liees);
        if (cr == 0) {
            dernieresAjoutees_ = liees;
            reglesDesAjoutees_ = regles.identite();
        }
    }
    return cr;
}

void LigneActe::recreerReglesNonVerifiables() {
    if (reglesNonVerifiables_) signalerRecreation(*reglesNonVerifiables_);
    reglesNonVerifiables_.emplace();
    signature_ = 0;
    dernieresAjoutees_ = nullptr;
}

uint16_t LigneActe::ajouterReglesNonVerifiables(const TypeListe<Code>& regles) {
    if (!reglesNonVerifiables_) reglesNonVerifiables_.emplace();
    // The union appends the new rules at the end: those are the ones the groups learn.
    const uint16_t avant = reglesNonVerifiables_->nombre();
    const uint16_t cr = reglesNonVerifiables_->unionAvec(regles);
    for (uint16_t i = avant; i < reglesNonVerifiables_->nombre(); ++i) {
        const Code& reference = reglesNonVerifiables_->element(i);
        const uint64_t hachage = ReferencesNonVerifiables::hacher(reference);
        signature_ |= ReferencesNonVerifiables::bitSignature(hachage);
        signalerNonVerifiable(reference, hachage);
    }
    return cr;
}

uint16_t LigneActe::combinerForcage(const Code& indicateur, Regles& regles) {
    const Code* resultat = nullptr;
    const uint16_t cr = regles.combinerIndicateurs(indicateur, *forcage, resultat);
    if (cr == 0) {
        *forcage = *resultat;
        tracerRegle("Le nouveau code forcage de l'acte est %s", forcage->chaine());
    }
    return cr;
}

uint16_t LigneActe::marquerForcage(Regles& regles, char lettre) {
    uint16_t cr = 0;
    if (regles.lireNombreModifications() > 0) {
        const Code nouveau(lettre);
        if (forcage && forcage->estRenseigne()) {
            tracerRegle("ancien = %s, nouveau = %c", forcage->chaine(), lettre);
            const Code* resultat = nullptr;
            cr = regles.combinerIndicateurs(nouveau, *forcage, resultat);
            if (cr == 0) {
                *forcage = *resultat;
                tracerRegle("resultat = %s", forcage->chaine());
            }
        } else {
            forcage = nouveau;
            tracerRegle("nouvelle valeur indicateur de forcage = %s", forcage->chaine());
        }
    }
    regles.compterModifications(false);
    return cr;
}
