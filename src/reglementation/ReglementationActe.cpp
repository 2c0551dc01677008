// The rules on one act line.
#include <algorithm>

#include "KPXW32.h"
#include "consultation/LectureDonnees.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "reglementation/Reglementation.h"

using namespace regles;

namespace {

constexpr int32_t kDentsMax = 16;

}  // namespace

// A modifier among [debut, fin) that has no value at the date.
uint16_t Reglementation::premierModificateurInexistant(const TypeListe<Code>& modificateurs, uint16_t debut,
                                                       uint16_t fin, const Date& date, const Code*& inexistant) {
    uint16_t cr = 0;
    inexistant = nullptr;
    for (uint16_t i = debut; cr == 0 && inexistant == nullptr && i < fin; ++i) {
        Booleen existe;
        cr = lecture.rechercherExistenceModificateur(modificateurs.element(i), date, existe);
        if (cr == 0 && !existe.valeur()) inexistant = &modificateurs.element(i);
    }
    return cr;
}

uint16_t Reglementation::nombreTarifants(const TypeListe<Code>& modificateurs, const Date& date, uint16_t& n) {
    tracerRegle("modificateurs = %s, date = %s", texteCodes(modificateurs).c_str(), date.chaine());
    Nombre tarifants;
    const uint16_t cr = lecture.rechercherNombreModificateursTarifants(date, tarifants);
    if (cr == 0) tracerRegle("Le nombre de modificateurs tarifants est %d", static_cast<int>(tarifants.valeur()));
    n = static_cast<uint16_t>(std::max(0, std::min<int32_t>(tarifants.valeur(), modificateurs.nombre())));
    return cr;
}

// Price-changing modifiers: the first n of the line, n the count at the date.
uint16_t Reglementation::appliquerProd136A(const TypeListe<Code>& modificateurs, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd136A", cr);
    uint16_t n = 0;
    const Code* inexistant = nullptr;
    cr = nombreTarifants(modificateurs, date, n);
    if (cr == 0) cr = premierModificateurInexistant(modificateurs, 0, n, date, inexistant);
    if (cr == 0 && inexistant != nullptr) cr = copierValeurErreur(erreur, "PROD136A", {*inexistant});
    return cr;
}

// The modifiers beyond the price-changing ones.
uint16_t Reglementation::appliquerProd136B(const TypeListe<Code>& modificateurs, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd136B", cr);
    uint16_t n = 0;
    const Code* inexistant = nullptr;
    cr = nombreTarifants(modificateurs, date, n);
    if (cr == 0) cr = premierModificateurInexistant(modificateurs, n, modificateurs.nombre(), date, inexistant);
    if (cr == 0 && inexistant != nullptr) cr = copierValeurErreur(erreur, "PROD136B", {*inexistant});
    return cr;
}

// An unforeseen-association code given must exist at the date on the line's grid.
uint16_t Reglementation::appliquerProd137(const Code* codeAssociation, const Date& date, const Nombre& grille,
                                          Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd137", cr);
    tracerRegle("code association = %s, date = %s, grille = %d", texteDe(codeAssociation), date.chaine(),
                static_cast<int>(grille.valeur()));
    Booleen existe(true);
    if (present(codeAssociation)) cr = lecture.rechercherExistenceAssociationNP(*codeAssociation, date, grille, existe);
    if (cr == 0 && !existe.valeur()) cr = copierValeurErreur(erreur, "PROD137", {*codeAssociation});
    return cr;
}

// The prestation is a CCAM grouping code: it must not be billed as a plain act.
uint16_t Reglementation::appliquerProd170(const Code& prestation, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd170", cr);
    tracerRegle("prestation = %s, date = %s", prestation.chaine(), date.chaine());
    Booleen existe;
    cr = lecture.rechercherExistenceCodeRegroupement(prestation, date, existe);
    if (cr == 0 && existe.valeur()) cr = copierValeurErreur(erreur, "PROD170", {prestation});
    return cr;
}

// For a pair i < j, modifier j is not compatible with modifier i.
uint16_t Reglementation::appliquerProd190(const TypeListe<Code>& modificateurs, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd190", cr);
    tracerRegle("modificateurs = %s, date = %s", texteCodes(modificateurs).c_str(), date.chaine());
    const Code* incompatible = nullptr;
    for (uint16_t i = 0; cr == 0 && incompatible == nullptr && i < modificateurs.nombre(); ++i) {
        ListeCodes compatibles;
        cr = lecture.rechercherModificateursCompatibles(modificateurs.element(i), date, compatibles);
        for (uint16_t j = i + 1; cr == 0 && incompatible == nullptr && j < modificateurs.nombre(); ++j)
            if (!compatibles.contient(modificateurs.element(j))) incompatible = &modificateurs.element(i);
    }
    if (cr == 0 && incompatible != nullptr) cr = copierValeurErreur(erreur, "PROD190", {*incompatible});
    return cr;
}

// The prestation nature must be coded in CCAM for that speciality from its obligation date.
uint16_t Reglementation::appliquerProd211(const Code& specialite, const Code& prestation, const Date& date,
                                          Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd211", cr);
    tracerRegle("code specialité  = %s, code prestation = %s, date = %s", specialite.chaine(), prestation.chaine(),
                date.chaine());
    Date obligation;
    cr = lecture.rechercherDateObligationCodage(prestation, specialite, obligation);
    if (cr == 0) tracerRegle("date d'obligation de codage = %s", obligation.chaine());
    if (cr == 0 && obligation.estRenseigne() && !date.estAnterieure(obligation))
        cr = copierValeurErreur(erreur, "PROD211", {prestation});
    return cr;
}

// A CCAM line's prestation must be a grouping code at the date.
uint16_t Reglementation::appliquerProd220(const Code& prestation, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd220", cr);
    tracerRegle("prestation = %s, date = %s", prestation.chaine(), date.chaine());
    Booleen existe;
    cr = lecture.rechercherExistenceCodeRegroupement(prestation, date, existe);
    if (cr == 0 && !existe.valeur()) cr = copierValeurErreur(erreur, "PROD220", {prestation});
    return cr;
}

// The act is unknown.
uint16_t Reglementation::appliquerProd500(const Code& acte, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd500", cr);
    tracerRegle("acte = %s", acte.chaine());
    Booleen existe;
    cr = lecture.rechercherExistenceActe(acte, existe);
    if (cr == 0 && !existe.valeur()) cr = copierValeurErreur(erreur, "PROD500", {acte});
    return cr;
}

// The date is outside the act's life: before its creation, or from its end date on
// (the creation date itself always passes).
uint16_t Reglementation::appliquerProd510(const Code& acte, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd510", cr);
    tracerRegle("acte = %s, date = %s", acte.chaine(), date.chaine());
    Date creation, fin;
    cr = lecture.rechercherDateCreation(acte, creation);
    if (cr == 0) cr = lecture.rechercherDateFin(acte, fin);
    const bool horsVie = date.estAnterieure(creation) ||
                         (date != creation && fin.estRenseigne() && !date.estAnterieure(fin));
    if (cr == 0 && horsVie) cr = copierValeurErreur(erreur, "PROD510", {acte});
    return cr;
}

// The act is dated before the patient's birth.
uint16_t Reglementation::appliquerProd511A(const Code& acte, const Date& date, const Date& dateNaissance,
                                           Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd511A", cr);
    tracerRegle("acte = %s, date = %s, date de naissance = %s", acte.chaine(), jour(date).c_str(),
                jour(dateNaissance).c_str());
    if (date.estAnterieure(dateNaissance)) cr = copierValeurErreur(erreur, "PROD511A", {acte, jour(date).c_str()});
    return cr;
}

// The activity is not one of the act's.
uint16_t Reglementation::appliquerProd530(const Code& acte, const Code& activite, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd530", cr);
    tracerRegle("acte = %s, activite = %s", acte.chaine(), activite.chaine());
    Booleen connue;
    cr = lecture.contientActivite(acte, activite, connue);
    if (cr == 0 && !connue.valeur()) cr = copierValeurErreur(erreur, "PROD530", {acte});
    return cr;
}

// The phase is not one of the activity's.
uint16_t Reglementation::appliquerProd540(const Code& acte, const Code& activite, const Code& phase,
                                          Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd540", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s", acte.chaine(), activite.chaine(), phase.chaine());
    Booleen connue;
    cr = lecture.contientPhase(acte, activite, phase, connue);
    if (cr == 0 && !connue.valeur()) cr = copierValeurErreur(erreur, "PROD540", {acte});
    return cr;
}

// A modifier the activity does not allow at the date.
uint16_t Reglementation::appliquerProd550(const Code& acte, const Code& activite, const TypeListe<Code>& modificateurs,
                                          const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd550", cr);
    tracerRegle("acte = %s, activite = %s, modificateurs = %s, date = %s", acte.chaine(), activite.chaine(),
                texteCodes(modificateurs).c_str(), date.chaine());
    Booleen applicables;
    cr = lecture.contientModificateursApplicables(acte, activite, date, modificateurs, applicables);
    if (cr == 0 && !applicables.valeur()) cr = copierValeurErreur(erreur, "PROD550", {acte});
    return cr;
}

// The patient's age is outside a modifier's age limits (a limit of 0 is none).
uint16_t Reglementation::appliquerProd555(const TypeListe<Code>& modificateurs, const Date& date,
                                          const Date& dateNaissance, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd555", cr);
    tracerRegle("modificateurs = %s, date = %s, date de naissance = %s", texteCodes(modificateurs).c_str(),
                jour(date).c_str(), jour(dateNaissance).c_str());
    const Periode age = date.difference(dateNaissance);
    const Code* horsAge = nullptr;
    for (uint16_t i = 0; cr == 0 && horsAge == nullptr && i < modificateurs.nombre(); ++i) {
        Periode maximum, minimum;
        cr = lecture.rechercherAgeMaximumModificateur(modificateurs.element(i), date, maximum);
        if (cr == 0) cr = lecture.rechercherAgeMinimumModificateur(modificateurs.element(i), date, minimum);
        if (cr == 0 && ((maximum.estRenseigne() && comparerAges(age, maximum) > 0) ||
                        (minimum.estRenseigne() && comparerAges(age, minimum) < 0)))
            horsAge = &modificateurs.element(i);
    }
    if (cr == 0 && horsAge != nullptr) cr = copierValeurErreur(erreur, "PROD555", {*horsAge});
    return cr;
}

// Not a violation rule: whether the act is a complementary act.
uint16_t Reglementation::appliquerProd580A(const Code& acte, const Date& date, Booleen& complementaire) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd580A", cr);
    tracerRegle("acte = %s, date = %s", acte.chaine(), date.chaine());
    VueCode type;
    bool dedans = false;
    cr = lecture.rechercherTypeActe(acte, type);
    if (cr == 0) cr = estDansConcept(kConceptComplementaires, date, type, dedans);
    if (cr == 0) complementaire = Booleen(dedans);
    return cr;
}

// The practitioner's speciality is not of a class allowed to perform the activity.
uint16_t Reglementation::appliquerProd670(const Code& acte, const Code& activite, const Date& date,
                                          const Code& specialite, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd670", cr);
    tracerRegle("acte = %s, activite = %s, date = %s, specialite = %s", acte.chaine(), activite.chaine(),
                date.chaine(), specialite.chaine());
    Code classe;
    cr = lecture.rechercherRegroupementSpecialites(specialite, date, classe);
    // A speciality without a class at the date performs nothing.
    const bool sansClasse = cr == KPX_CR_ELEMENT_ABSENT || cr == KPX_CR_RIEN_EN_VIGUEUR;
    if (sansClasse) cr = 0;
    Booleen permise;
    if (cr == 0 && !sansClasse) cr = lecture.contientClasseSpecialiteExecutant(acte, activite, date, classe, permise);
    if (cr == 0 && (sansClasse || !permise.valeur())) cr = copierValeurErreur(erreur, "PROD670", {acte});
    return cr;
}

// A travel line of kind 1 or 2 needs the attached act's travel-expense code in concept 11 or 12.
uint16_t Reglementation::appliquerProd690A(const Code& deplacement, uint32_t typeDeplacement,
                                           const Code& acteRattachement, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd690A", cr);
    tracerRegle("deplacement = %s, type = %u, acte de rattachement = %s, date = %s", deplacement.chaine(),
                static_cast<unsigned>(typeDeplacement), acteRattachement.chaine(), date.chaine());
    if (typeDeplacement != 1 && typeDeplacement != 2) return cr;
    Code frais;
    bool prevu = false;
    cr = lecture.rechercherFraisDeplacement(acteRattachement, frais);
    if (cr == 0)
        cr = estDansConcept(typeDeplacement == 1 ? kConceptDeplacement1 : kConceptDeplacement2, date, frais, prevu);
    if (cr == 0 && !prevu) cr = copierValeurErreur(erreur, "PROD690A", {deplacement, acteRattachement});
    return cr;
}

// Not a violation rule: whether the phase counts its teeth.
uint16_t Reglementation::appliquerProd695(const Code& acte, const Code& activite, const Code& phase,
                                          Booleen& priseEnCompteNumeroDent) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd695", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s", acte.chaine(), activite.chaine(), phase.chaine());
    Code nombre;
    cr = lecture.rechercherNombreDents(acte, activite, phase, nombre);
    if (cr == 0) priseEnCompteNumeroDent = Booleen(nombre.longueur() > 0 && nombreDe(nombre) != 0);
    return cr;
}

// Not a violation rule: whether the act is dental.
uint16_t Reglementation::appliquerProd696(const Code& acte, const Code& activite, const Date& date,
                                          Booleen& acteDentaire) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd696", cr);
    tracerRegle("acte = %s, activite = %s, date = %s", acte.chaine(), activite.chaine(), date.chaine());
    VueCode categorie;
    bool dedans = false;
    cr = lecture.rechercherCategorieMedicale(acte, activite, date, categorie);
    if (cr == 0) cr = estDansConcept(kConceptDentaires, date, categorie, dedans);
    if (cr == 0) acteDentaire = Booleen(dedans);
    return cr;
}

// A dental act that counts its teeth names at least one.
uint16_t Reglementation::appliquerProd700(const Code& acte, const TypeListe<Code>& dents, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd700", cr);
    tracerRegle("acte = %s, dents = %s", acte.chaine(), texteCodes(dents).c_str());
    if (dents.nombre() == 0) cr = copierValeurErreur(erreur, "PROD700", {acte});
    return cr;
}

// Fewer teeth than the phase's minimum, when that minimum is 1 to 16.
uint16_t Reglementation::appliquerProd702(const Code& acte, const Code& activite, const Code& phase,
                                          const TypeListe<Code>& dents, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd702", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, dents = %s", acte.chaine(), activite.chaine(), phase.chaine(),
                texteCodes(dents).c_str());
    Code nombre;
    cr = lecture.rechercherNombreDents(acte, activite, phase, nombre);
    const int32_t minimum = nombreDe(nombre);
    if (cr == 0 && minimum >= 1 && minimum <= kDentsMax && dents.nombre() < minimum)
        cr = copierValeurErreur(erreur, "PROD702", {acte});
    return cr;
}

// A tooth the phase cannot treat.
uint16_t Reglementation::appliquerProd710(const Code& acte, const Code& activite, const Code& phase,
                                          const TypeListe<Code>& dents, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd710", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, dents = %s", acte.chaine(), activite.chaine(), phase.chaine(),
                texteCodes(dents).c_str());
    ListeCodes incompatibles;
    cr = lecture.rechercherDentsIncompatibles(acte, activite, phase, incompatibles);
    bool refusee = false;
    for (uint16_t i = 0; cr == 0 && !refusee && i < dents.nombre(); ++i)
        refusee = incompatibles.contient(dents.element(i));
    if (cr == 0 && refusee) cr = copierValeurErreur(erreur, "PROD710", {acte});
    return cr;
}

// The patient is younger than the phase's minimum age.
uint16_t Reglementation::appliquerProd720(const Code& acte, const Code& activite, const Code& phase,
                                          const Date& date, const Date& dateNaissance, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd720", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, date = %s, date de naissance = %s", acte.chaine(),
                activite.chaine(), phase.chaine(), jour(date).c_str(), jour(dateNaissance).c_str());
    Periode minimum;
    cr = lecture.rechercherAgeMinimal(acte, activite, phase, minimum);
    if (cr == 0 && minimum.estRenseigne() && comparerAges(date.difference(dateNaissance), minimum) < 0)
        cr = copierValeurErreur(erreur, "PROD720", {acte, activite, phase});
    return cr;
}

// The patient is older than the phase's maximum age.
uint16_t Reglementation::appliquerProd730(const Code& acte, const Code& activite, const Code& phase,
                                          const Date& date, const Date& dateNaissance, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd730", cr);
    tracerRegle("acte = %s, activite = %s, phase = %s, date = %s, date de naissance = %s", acte.chaine(),
                activite.chaine(), phase.chaine(), jour(date).c_str(), jour(dateNaissance).c_str());
    Periode maximum;
    cr = lecture.rechercherAgeMaximal(acte, activite, phase, maximum);
    if (cr == 0 && maximum.estRenseigne() && comparerAges(date.difference(dateNaissance), maximum) > 0)
        cr = copierValeurErreur(erreur, "PROD730", {acte});
    return cr;
}

namespace {

// A line without bases and with an expense qualifier "N" bills nothing to check.
bool sansDepense(const Montant* base, const Montant* baseTheorique, const Code* qualificatifDepense) {
    return !present(base) && !present(baseTheorique) && parmi(qualificatifDepense, {"N"});
}

}  // namespace

// An act not reimbursable (admission code in concept 6) billed with an expense.
uint16_t Reglementation::appliquerProd760(const Code& acte, const Date& date, const Montant* base,
                                          const Montant* baseTheorique, const Code* qualificatifDepense,
                                          Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd760", cr);
    tracerRegle("acte = %s, date = %s, qualificatif de depense = %s", acte.chaine(), date.chaine(),
                texteDe(qualificatifDepense));
    VueCode admission;
    bool nonRemboursable = false;
    cr = lecture.rechercherAdmissionRemboursement(acte, date, admission);
    if (cr == 0) cr = estDansConcept(kConceptNonRemboursables, date, admission, nonRemboursable);
    if (cr == 0 && nonRemboursable && !sansDepense(base, baseTheorique, qualificatifDepense))
        cr = copierValeurErreur(erreur, "PROD760", {acte});
    return cr;
}

// An act reimbursable only exceptionally (concept 7) billed with an expense and without the code "O".
uint16_t Reglementation::appliquerProd765(const Code& acte, const Date& date, const Montant* base,
                                          const Montant* baseTheorique, const Code* qualificatifDepense,
                                          const Code* codeRemboursement, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd765", cr);
    tracerRegle("acte = %s, date = %s, qualificatif de depense = %s, code remboursement exceptionnel = %s",
                acte.chaine(), date.chaine(), texteDe(qualificatifDepense), texteDe(codeRemboursement));
    VueCode admission;
    bool exceptionnel = false;
    cr = lecture.rechercherAdmissionRemboursement(acte, date, admission);
    if (cr == 0) cr = estDansConcept(kConceptRemboursementExceptionnel, date, admission, exceptionnel);
    if (cr == 0 && exceptionnel && !parmi(codeRemboursement, {"O"}) &&
        !sansDepense(base, baseTheorique, qualificatifDepense))
        cr = copierValeurErreur(erreur, "PROD765", {acte});
    return cr;
}

// The act needs prior agreement and the code given is absent or none of "0", "4", "5".
uint16_t Reglementation::appliquerProd780(const Code& acte, const Date& date, const Code* entente, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd780", cr);
    tracerRegle("acte = %s, date = %s, code entente prealable = %s", acte.chaine(), date.chaine(), texteDe(entente));
    Booleen soumis;
    cr = lecture.rechercherEntentePrealable(acte, date, soumis);
    if (cr == 0) tracerRegle("Acte soumis à entente préalable : %s", vraiFaux(soumis.valeur()));
    if (cr == 0 && soumis.valeur() && !parmi(entente, {"0", "4", "5"}))
        cr = copierValeurErreur(erreur, "PROD780", {acte});
    return cr;
}

// The prestation billed is not the activity's grouping code.
uint16_t Reglementation::appliquerProd798(const Code& acte, const Code& activite, const Date& date,
                                          const Code& prestation, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd798", cr);
    tracerRegle("acte = %s, activite = %s, date = %s, prestation = %s", acte.chaine(), activite.chaine(),
                date.chaine(), prestation.chaine());
    VueCode regroupement;
    cr = lecture.rechercherCodeRegroupement(acte, activite, date, regroupement);
    if (cr == 0 && regroupement != prestation) cr = copierValeurErreur(erreur, "PROD798", {acte});
    return cr;
}

// The OC modifiers given follow, in order, those of the transmissible modifiers.
uint16_t Reglementation::appliquerProd798A(const TypeListe<Code>& modificateurs,
                                           const TypeListe<Code>& modificateursOC, const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd798A", cr);
    tracerRegle("modificateurs = %s, modificateurs OC = %s, date = %s", texteCodes(modificateurs).c_str(),
                texteCodes(modificateursOC).c_str(), date.chaine());
    Nombre transmissibles;
    cr = lecture.rechercherNombreModificateursTransmissibles(date, transmissibles);
    const int32_t n = std::min<int32_t>(transmissibles.valeur(), modificateurs.nombre());
    uint16_t suivant = 0;
    bool discordance = false;
    for (int32_t i = 0; cr == 0 && !discordance && i < n; ++i) {
        Code oc;
        cr = lecture.rechercherModificateurOC(modificateurs.element(static_cast<uint16_t>(i)), date, oc);
        if (cr != 0 || !oc.estRenseigne()) continue;
        discordance = suivant >= modificateursOC.nombre() || modificateursOC.element(suivant) != oc;
        ++suivant;
    }
    if (cr == 0 && (discordance || suivant < modificateursOC.nombre()))
        cr = copierValeurErreur(erreur, "PROD798A",
                                {texteCodes(modificateurs).c_str(), texteCodes(modificateursOC).c_str()});
    return cr;
}

// The invoice's nature of insurance is not one the act allows.
uint16_t Reglementation::appliquerProd890(const Code& acte, const Code& natureAssurance, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd890", cr);
    tracerRegle("acte = %s, nature d'assurance = %s", acte.chaine(), natureAssurance.chaine());
    Booleen admise;
    cr = lecture.contientNatureAssurance(acte, natureAssurance, admise);
    if (cr == 0 && !admise.valeur()) cr = copierValeurErreur(erreur, "PROD890", {acte});
    return cr;
}

// An activity that needs a radiology approval, billed with the approval code "0".
uint16_t Reglementation::appliquerProd895A(const Code& acte, const Code& activite, const Code* agrementRadio,
                                           const Date& date, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd895A", cr);
    tracerRegle("acte = %s, activite = %s, agrement radio = %s, date = %s", acte.chaine(), activite.chaine(),
                texteDe(agrementRadio), date.chaine());
    ListeCodes agrements;
    cr = lecture.rechercherAgrementsRadio(acte, activite, agrements);
    if (cr == 0 && parmi(agrementRadio, {"0"}) && agrements.nombre() > 0)
        cr = copierValeurErreur(erreur, "PROD895A", {acte, activite});
    return cr;
}

// The CMU lump sum given is not one compatible with the act at the date.
uint16_t Reglementation::appliquerProd930(const Code& acte, const Code& forfaitCMU, const Date& date,
                                          Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd930", cr);
    tracerRegle("acte = %s, forfait CMU = %s, date = %s", acte.chaine(), forfaitCMU.chaine(), date.chaine());
    ListeCodes forfaits;
    cr = lecture.rechercherActesForfaitCMU(acte, date, forfaits);
    if (cr == 0 && !forfaits.contient(forfaitCMU)) cr = copierValeurErreur(erreur, "PROD930", {acte});
    return cr;
}
