// The rules on the CCAM lines of one session.
#include "consultation/LectureDonnees.h"
#include "facture/TraceFacture.h"
#include "reglementation/OutilsRegles.h"
#include "reglementation/Reglementation.h"

using namespace regles;

namespace {


// The numero of the line at that position of the session; 0 outside it.
int32_t numeroEn(const Seance& seance, uint16_t position) {
    return position < seance.lignes.size() ? seance.lignes[position]->valeurNumero() : 0;
}

}  // namespace

// A modifier that may not appear twice in a session is also on another act of the
// same practitioner that day.
uint16_t Reglementation::appliquerProd240(const Code& acte, const Date& date, const Code& numeroPS,
                                          const TypeListe<Code>& modificateurs, uint16_t position,
                                          const Seance& seance, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd240", cr);
    tracerRegle("acte = %s, date = %s, numero PS = %s, modificateurs = %s, position = %d", acte.chaine(),
                date.chaine(), numeroPS.chaine(), texteCodes(modificateurs).c_str(), static_cast<int>(position));
    const LigneCCAM* autre = nullptr;
    for (uint16_t m = 0; cr == 0 && autre == nullptr && m < modificateurs.nombre(); ++m) {
        Booleen multiple;
        cr = lecture.rechercherTopPresenceMultiple(modificateurs.element(m), date, multiple);
        for (size_t i = 0; cr == 0 && !multiple.valeur() && autre == nullptr && i < seance.lignes.size(); ++i) {
            const LigneCCAM& l = *seance.lignes[i];
            if (i != position && ouVide(l.date) == date && ouVide(l.numeroPS) == numeroPS && ouVide(l.acte) != acte &&
                l.modificateurs.contient(modificateurs.element(m)))
                autre = &l;
        }
    }
    if (cr == 0 && autre != nullptr) {
        const int32_t numero = numeroEn(seance, position);
        cr = copierValeurErreur(erreur, {numero, autre->valeurNumero()}, "PROD240",
                                {numero, autre->valeurNumero(), acte, ouVide(autre->acte)});
    }
    return cr;
}

// A complementary act needs, that day, another act whose type can carry it.
uint16_t Reglementation::appliquerProd580(const Code& acte, const Date& date, const Seance& seance, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd580", cr);
    tracerRegle("acte = %s, date = %s", acte.chaine(), date.chaine());
    ListeCodes supports;
    cr = valeursConcept(kConceptSupportsComplementaires, date, supports);
    bool support = false;
    for (size_t i = 0; cr == 0 && !support && i < seance.lignes.size(); ++i) {
        const LigneCCAM& l = *seance.lignes[i];
        if (ouVide(l.acte) == acte || ouVide(l.date) != date) continue;
        Code type;
        cr = lecture.rechercherTypeActe(ouVide(l.acte), type);
        support = cr == 0 && supports.contient(type);
    }
    if (cr == 0 && !support) cr = copierValeurErreur(erreur, "PROD580", {acte});
    return cr;
}

// Another act of the session that day is incompatible with this one.
uint16_t Reglementation::appliquerProd600(const Code& acte, const Date& date, uint16_t position,
                                          const Seance& seance, Erreur& erreur) {
    uint16_t cr = 0;
    TraceRegle trace(kClasse, "appliquerProd600", cr);
    tracerRegle("acte = %s, date = %s, position = %d", acte.chaine(), date.chaine(), static_cast<int>(position));
    VueCodes incompatibles;
    cr = lecture.rechercherActesIncompatibles(acte, date, incompatibles);
    const LigneCCAM* autre = cr == 0 ? seance.ligneParmi(incompatibles, position, date) : nullptr;
    if (autre != nullptr) {
        tracerRegle("Les deux actes incompatibles sont %s et %s .", acte.chaine(), texteDe(autre->acte.get()));
        const int32_t numero = numeroEn(seance, position);
        cr = copierValeurErreur(erreur, {numero, autre->valeurNumero()}, "PROD600",
                                {numero, autre->valeurNumero()});
    }
    return cr;
}
