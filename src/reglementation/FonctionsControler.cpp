#include "reglementation/FonctionsControler.h"

#include "KPXW32.h"
#include "consultation/Aiguillage.h"
#include "consultation/LectureDonnees.h"
#include "facture/LigneActe.h"
#include "facture/TraceFacture.h"
#include "frame/Trace.h"
#include "reglementation/Reglementation.h"

namespace {

using AiguillageControler = Aiguillage<FonctionsControler, Booleen&>;

// Sorted by number for the binary search.
const AiguillageControler::Entree kTable[] = {
    {61, &FonctionsControler::C_Age_1},     {62, &FonctionsControler::C_Age_2},
    {63, &FonctionsControler::C_Assurance}, {64, &FonctionsControler::C_Ccam},
    {65, &FonctionsControler::C_Executant}, {66, &FonctionsControler::C_Radio},
    {111, &FonctionsControler::C_ForfaitCMU},
};

}  // namespace

FonctionsControler::FonctionsControler(const Date& date, ZoneKPX* entree, const SuperGroupe* superGroupe,
                                       Reglementation& regles)
    : Fonctions(entree, superGroupe), dateReference(date), reglementation(regles) {}

FonctionsControler::~FonctionsControler() = default;

uint16_t FonctionsControler::executer(uint16_t numero, Booleen& resultat) {
    static const AiguillageControler aiguillage(kTable, CAT_REGLE, "de controle");
    return aiguillage.executer(*this, numero, resultat);
}

uint16_t FonctionsControler::controler(LectureDonnees& lecture, const SuperGroupe* racine, uint16_t numero,
                                       const Date& dateReference, ZoneKPX* entree, Booleen& resultat) {
    Reglementation reglementation(lecture);
    FonctionsControler fonctions(dateReference, entree, racine, reglementation);
    return fonctions.executer(numero, resultat);
}

uint16_t FonctionsControler::C_Age_1(Booleen& resultat) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsControler", "C_Age_1", cr);
    auto dateNaissance = lireDateNaissance(cr);
    auto modificateur = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = reglementation.appliquerCAge1(*dateNaissance, ouVide(modificateur), dateReference, resultat);
    return cr;
}

uint16_t FonctionsControler::C_Age_2(Booleen& resultat) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsControler", "C_Age_2", cr);
    auto dateNaissance = lireDateNaissance(cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    if (cr == 0)
        cr = reglementation.appliquerCAge2(*dateNaissance, ouVide(acte), ouVide(activite), ouVide(phase),
                                           dateReference, resultat);
    return cr;
}

uint16_t FonctionsControler::C_Assurance(Booleen& resultat) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsControler", "C_Assurance", cr);
    auto nature = lireChamp<Code>(cr);
    auto acte = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = reglementation.appliquerCAssurance(ouVide(nature), ouVide(acte), dateReference, resultat);
    return cr;
}

uint16_t FonctionsControler::C_Ccam(Booleen& resultat) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsControler", "C_Ccam", cr);
    auto specialite = lireChamp<Code>(cr);
    auto prestation = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = reglementation.appliquerCCcam(ouVide(specialite), ouVide(prestation), dateReference, resultat);
    return cr;
}

uint16_t FonctionsControler::C_Executant(Booleen& resultat) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsControler", "C_Executant", cr);
    auto specialite = lireChamp<Code>(cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0)
        cr = reglementation.appliquerCExecutant(ouVide(specialite), ouVide(acte), ouVide(activite), dateReference,
                                                resultat);
    return cr;
}

uint16_t FonctionsControler::C_Radio(Booleen& resultat) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsControler", "C_Radio", cr);
    auto agrement = lireChamp<Code>(cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0)
        cr = reglementation.appliquerCRadio(agrement.get(), ouVide(acte), ouVide(activite), dateReference, resultat);
    return cr;
}

uint16_t FonctionsControler::C_ForfaitCMU(Booleen& resultat) {
    uint16_t cr = 0;
    TraceRegle trace("FonctionsControler", "C_ForfaitCMU", cr);
    auto acte = lireChamp<Code>(cr);
    auto forfait = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (cr == 0) cr = reglementation.appliquerCForfaitCMU(ouVide(acte), ouVide(forfait), dateReference, resultat);
    return cr;
}
