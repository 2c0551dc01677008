// The combined controls of the control and rule-application functions: each runs
// rules into a record of its own and answers by its résultat or its codes.
#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "facture/LigneCCAM.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "reglementation/Reglementation.h"

using namespace regles;

namespace {

// Entry line, then the exit line with the résultat.
class TraceControle {
public:
    TraceControle(const char* nom, const uint16_t& cr, const Booleen& resultat)
        : nom_(nom), cr_(cr), resultat_(resultat) {
        tracerRegle("Reglementation::%s >> IN", nom_);
    }
    ~TraceControle() {
        tracerRegle("Reglementation::%s << OUT : cr = 0x%04X, résultat = %s", nom_, cr_,
                    vraiFaux(resultat_.valeur()));
    }
    TraceControle(const TraceControle&) = delete;
    TraceControle& operator=(const TraceControle&) = delete;

private:
    const char* nom_;
    const uint16_t& cr_;
    const Booleen& resultat_;
};

// A rule run for its answer only: résultat is whether it found nothing.
uint16_t sansViolation(uint16_t cr, const Erreur& erreur, Booleen& resultat) {
    if (cr == 0) resultat = Booleen(!erreur.estPositionnee());
    return cr;
}

uint16_t avantNaissance(const Date& date, const Date& dateNaissance) {
    if (!date.estAnterieure(dateNaissance)) return 0;
    tracer(CAT_REGLE, NIV_ERREUR, "Date de référence antérieure à la date de naissance");
    return KPX_CR_AVANT_NAISSANCE;
}

}  // namespace

uint16_t Reglementation::appliquerCCcam(const Code& specialite, const Code& prestation, const Date& date,
                                        Booleen& resultat) {
    uint16_t cr = 0;
    TraceControle trace("appliquerCCcam", cr, resultat);
    tracerRegle("specialite = %s, prestation = %s, date = %s", specialite.chaine(), prestation.chaine(),
                date.chaine());
    Erreur erreur;
    cr = appliquerProd170(prestation, date, erreur);
    if (cr == 0 && erreur.estPositionnee()) return cr = KPX_CR_PRESTATION_REGROUPEMENT;
    if (cr == 0) cr = sansViolation(appliquerProd211(specialite, prestation, date, erreur), erreur, resultat);
    return cr;
}

uint16_t Reglementation::appliquerCAge1(const Date& dateNaissance, const Code& modificateur, const Date& date,
                                        Booleen& resultat) {
    uint16_t cr = 0;
    TraceControle trace("appliquerCAge1", cr, resultat);
    tracerRegle("date de naissance = %s, modificateur = %s, date = %s", jour(dateNaissance).c_str(),
                modificateur.chaine(), jour(date).c_str());
    cr = avantNaissance(date, dateNaissance);
    ListeCodes modificateurs;
    if (cr == 0) cr = modificateurs.ajouter(modificateur);
    Erreur erreur;
    if (cr == 0) cr = sansViolation(appliquerProd555(modificateurs, date, dateNaissance, erreur), erreur, resultat);
    return cr;
}

uint16_t Reglementation::appliquerCAge2(const Date& dateNaissance, const Code& acte, const Code& activite,
                                        const Code& phase, const Date& date, Booleen& resultat) {
    uint16_t cr = 0;
    TraceControle trace("appliquerCAge2", cr, resultat);
    tracerRegle("date de naissance = %s, acte = %s, activite = %s, phase = %s, date = %s",
                jour(dateNaissance).c_str(), acte.chaine(), activite.chaine(), phase.chaine(), jour(date).c_str());
    cr = avantNaissance(date, dateNaissance);
    if (cr != 0) return cr;
    resultat = Booleen(true);
    Booleen dentaire;
    Erreur erreur;
    cr = appliquerProd696(acte, activite, date, dentaire);
    if (cr == 0 && dentaire.valeur()) cr = appliquerProd720(acte, activite, phase, date, dateNaissance, erreur);
    if (cr == 0 && dentaire.valeur() && !erreur.estPositionnee())
        cr = appliquerProd730(acte, activite, phase, date, dateNaissance, erreur);
    if (cr == 0 && erreur.estPositionnee()) resultat = Booleen(false);
    return cr;
}

uint16_t Reglementation::appliquerCAssurance(const Code& natureAssurance, const Code& acte, const Date& date,
                                             Booleen& resultat) {
    uint16_t cr = 0;
    TraceControle trace("appliquerCAssurance", cr, resultat);
    tracerRegle("nature d'assurance = %s, acte = %s, date = %s", natureAssurance.chaine(), acte.chaine(),
                date.chaine());
    Erreur erreur;
    return cr = sansViolation(appliquerProd890(acte, natureAssurance, erreur), erreur, resultat);
}

uint16_t Reglementation::appliquerCExecutant(const Code& specialite, const Code& acte, const Code& activite,
                                             const Date& date, Booleen& resultat) {
    uint16_t cr = 0;
    TraceControle trace("appliquerCExecutant", cr, resultat);
    tracerRegle("specialite = %s, acte = %s, activite = %s, date = %s", specialite.chaine(), acte.chaine(),
                activite.chaine(), date.chaine());
    Erreur erreur;
    return cr = sansViolation(appliquerProd670(acte, activite, date, specialite, erreur), erreur, resultat);
}

uint16_t Reglementation::appliquerCRadio(const Code* agrementRadio, const Code& acte, const Code& activite,
                                         const Date& date, Booleen& resultat) {
    uint16_t cr = 0;
    TraceControle trace("appliquerCRadio", cr, resultat);
    tracerRegle("agrement radio = %s, acte = %s, activite = %s, date = %s", texteDe(agrementRadio), acte.chaine(),
                activite.chaine(), date.chaine());
    Erreur erreur;
    return cr = sansViolation(appliquerProd895A(acte, activite, agrementRadio, date, erreur), erreur, resultat);
}

uint16_t Reglementation::appliquerCForfaitCMU(const Code& acte, const Code& forfaitCMU, const Date& date,
                                              Booleen& resultat) {
    uint16_t cr = 0;
    TraceControle trace("appliquerCForfaitCMU", cr, resultat);
    tracerRegle("acte = %s, forfait CMU = %s, date = %s", acte.chaine(), forfaitCMU.chaine(), date.chaine());
    Erreur erreur;
    return cr = sansViolation(appliquerProd930(acte, forfaitCMU, date, erreur), erreur, resultat);
}

uint16_t Reglementation::appliquerCDent(const Code& acte, const Code& activite, const Code& phase,
                                        const TypeListe<Code>& dents, const Date& date,
                                        TypeListe<Booleen>& resultats) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerCDent", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, dents = %s, date = %s", acte.chaine(), activite.chaine(),
                phase.chaine(), texteCodes(dents).c_str(), date.chaine());
    resultats.vider();
    Booleen dentaire, compte;
    cr = appliquerProd696(acte, activite, date, dentaire);
    if (cr == 0 && dentaire.valeur()) cr = appliquerProd695(acte, activite, phase, compte);
    for (uint16_t i = 0; cr == 0 && i < dents.nombre(); ++i) {
        Booleen passe(false);
        if (compte.valeur()) {
            ListeCodes seule;
            Erreur erreur;
            cr = seule.ajouter(dents.element(i));
            if (cr == 0) cr = sansViolation(appliquerProd710(acte, activite, phase, seule, erreur), erreur, passe);
        }
        if (cr == 0) cr = resultats.ajouter(passe);
    }
    return cr;
}

uint16_t Reglementation::appliquerCCompatibilite(const Code& acte1, const Code& activite1, const Code& numeroPS1,
                                                 const Code& acte2, const Code& activite2, const Code& numeroPS2,
                                                 const Date& date, Code& compatibilite, Code& procedure) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerCCompatibilite", cr);
    tracerRegle("acte1 = %s, activite1 = %s, PS1 = %s, acte2 = %s, activite2 = %s, PS2 = %s, date = %s",
                acte1.chaine(), activite1.chaine(), numeroPS1.chaine(), acte2.chaine(), activite2.chaine(),
                numeroPS2.chaine(), date.chaine());
    compatibilite = Code();
    procedure = Code();
    if (activite1 == activite2 && numeroPS1 == numeroPS2) {
        cr = procedureCommune(acte1, acte2, date, procedure);
        bool compatibles = false;
        if (cr == 0 && procedure.estRenseigne())
            cr = categoriesCompatibles(acte1, activite1, acte2, activite2, date, compatibles);
        if (cr == 0 && procedure.estRenseigne()) {
            tracerRegle("procédure = %s", procedure.chaine());
            if (compatibles) tracerRegle("Les 2 actes appartiennent à la même procédure et sont compatibles");
            compatibilite = Code(compatibles ? "2" : "3");
        } else if (cr == 0) {
            tracerRegle("Les deux actes n'appartiennent pas à la meme procedure");
        }
    } else {
        tracerRegle("Les deux actes n'appartiennent pas à la même association)");
    }
    if (cr != 0 || compatibilite == "3") return cr;
    ListeCodes incompatibles;
    cr = lecture.rechercherActesIncompatibles(acte1, date, incompatibles);
    if (cr == 0 && incompatibles.contient(acte2)) {
        tracerRegle("Les deux actes sont incompatibles");
        compatibilite = Code("4");
    } else if (cr == 0 && compatibilite != "2") {
        tracerRegle("Les deux actes sont compatibles");
        compatibilite = Code("1");
    }
    return cr;
}

uint16_t Reglementation::appliquerCAssociation(AssociationCCAM& association) {
    uint16_t cr = 0;
    Code type;
    tracerRegle("Reglementation::appliquerCAssociation >> IN");
    const Date date = association.date != nullptr ? *association.date : Date();
    const auto& lignes = association.lignes;
    for (size_t i = 0; cr == 0 && i < lignes.size(); ++i) {
        for (size_t j = i + 1; cr == 0 && j < lignes.size(); ++j) {
            const LigneCCAM& a = *lignes[i];
            const LigneCCAM& b = *lignes[j];
            Code compatibilite, procedure;
            cr = appliquerCCompatibilite(ouVide(a.acte), ouVide(a.activite), ouVide(a.numeroPS), ouVide(b.acte),
                                         ouVide(b.activite), ouVide(b.numeroPS), date, compatibilite, procedure);
            if (cr == 0 && (compatibilite == "3" || compatibilite == "4")) {
                tracer(CAT_REGLE, NIV_ERREUR, "Erreur C_Association");
                cr = KPX_CR_ASSOCIATION_INCOMPATIBLE;
            } else if (cr == 0 && compatibilite == "2" && !type.estRenseigne()) {
                tracerRegle("Association non prévue");
                type = Code("N");
            } else if (cr == 0 && compatibilite == "1") {
                ListeCodes associables;
                cr = lecture.rechercherActesCompatibles(ouVide(a.acte), ouVide(a.activite), date, associables);
                tracerRegle("Liste des associations médicales prévues pour l'acte %s", texteDe(a.acte.get()));
                if (cr == 0 && !associables.contient(ouVide(b.acte)) && !type.estRenseigne()) type = Code("N");
            }
        }
    }
    if (cr == 0 && !type.estRenseigne()) {
        tracerRegle("Association prévue");
        type = Code("P");
    }
    ListeCodes dentaires;
    if (cr == 0) cr = valeursConcept(kConceptDentaires, date, dentaires);
    bool toutesDentaires = true;
    for (size_t i = 0; cr == 0 && toutesDentaires && i < lignes.size(); ++i) {
        Code categorie;
        cr = lecture.rechercherCategorieMedicale(ouVide(lignes[i]->acte), ouVide(lignes[i]->activite), date,
                                                 categorie);
        toutesDentaires = cr == 0 && dentaires.contient(categorie);
    }
    if (cr == 0 && toutesDentaires) type = Code(type == "P" ? "D" : "E");
    if (cr == 0) association.codeCalcule = type;
    tracerRegle("Reglementation::appliquerCAssociation << OUT : cr = 0x%04X, type d'association = %s", cr,
                type.chaine());
    return cr;
}
