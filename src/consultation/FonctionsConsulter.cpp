#include "consultation/FonctionsConsulter.h"

#include <vector>

#include "KPXW32.h"
#include "consultation/Aiguillage.h"
#include "consultation/LectureDonnees.h"
#include "consultation/PositionsOutreMer.h"
#include "frame/Trace.h"
#include "zone/Booleen.h"
#include "zone/Coefficient.h"
#include "zone/Montant.h"
#include "zone/Periode.h"

namespace {

enum Groupes : uint16_t {
    kCode = 3110,
    kNombre = 3111,
    kTexte = 3112,
    kDate = 3113,
    kCoefficient = 3114,
    kAge = 3115,
    kBooleen = 3116,
    kMontant = 3117,
    kCodeLibelle = 3118,
    kListeTextes = 3119,
    kGrille = 3123,
    kDateModification = 3130,
};

enum ListesLibelles : int32_t {
    kActivites = 1,
    kModificateurs = 2,
    kTypesActe = 3,
    kCategories = 4,
    kAdmissions = 5,
    kExonerations = 6,
    kNatures = 7,
    kFraisDeplacement = 8,
    kRegroupements = 9,
    kAssociations = 10,
    kExtensions = 11,
};

constexpr int32_t kConceptDentaire = 4;
constexpr int32_t kConceptAssociations = 19;
constexpr int32_t kMenuRacine = 1;
// A menu tree deeper than this is a loop in the data.
constexpr int kProfondeurMenuMax = 64;

// Every consultation passes here: its lines cost one comparison when not written.
class TraceFonction {
public:
    TraceFonction(const char* nom, const uint16_t& cr) : nom_(nom), cr_(cr) {
        if (NiveauTrace::ecrit(NIV_DETAIL)) tracer(CAT_CONSULTATION, NIV_DETAIL, "FonctionsConsulter::%s >> IN", nom_);
    }
    ~TraceFonction() {
        if (NiveauTrace::ecrit(NIV_DETAIL))
            tracer(CAT_CONSULTATION, NIV_DETAIL, "FonctionsConsulter::%s << OUT : cr = 0x%04X", nom_, cr_);
    }

private:
    const char* nom_;
    const uint16_t& cr_;
};

// One value in its group; an age is two numbers, its years and its days.
void valeur(Reponse& reponse, uint16_t groupe, const TypeSimple& v) {
    reponse.groupe(groupe);
    reponse.champ(v);
}

void valeur(Reponse& reponse, uint16_t, const Periode& periode) {
    reponse.groupe(kAge);
    reponse.champ(Nombre(periode.annees()));
    reponse.champ(Nombre(periode.jours()));
}

using AiguillageConsulter = Aiguillage<FonctionsConsulter, ZoneSortie&>;

// Sorted by number for the binary search.
const AiguillageConsulter::Entree kTable[] = {
    {1, &FonctionsConsulter::CCAM_10},    {2, &FonctionsConsulter::CCAM_11},    {3, &FonctionsConsulter::CCAM_12},
    {4, &FonctionsConsulter::CCAM_13},    {5, &FonctionsConsulter::CCAM_14},    {6, &FonctionsConsulter::CCAM_15},
    {7, &FonctionsConsulter::CCAM_16a},   {8, &FonctionsConsulter::CCAM_18},    {9, &FonctionsConsulter::CCAM_19},
    {10, &FonctionsConsulter::CCAM_2},    {11, &FonctionsConsulter::CCAM_20},   {12, &FonctionsConsulter::CCAM_22},
    {13, &FonctionsConsulter::CCAM_24},   {14, &FonctionsConsulter::CCAM_25},   {15, &FonctionsConsulter::CCAM_30_1},
    {16, &FonctionsConsulter::CCAM_32a},  {17, &FonctionsConsulter::CCAM_37},   {18, &FonctionsConsulter::CCAM_39},
    {19, &FonctionsConsulter::CCAM_40a},  {20, &FonctionsConsulter::CCAM_41},   {21, &FonctionsConsulter::CCAM_42},
    {22, &FonctionsConsulter::CCAM_43a},  {23, &FonctionsConsulter::CCAM_44},   {24, &FonctionsConsulter::CCAM_45},
    {25, &FonctionsConsulter::CCAM_46},   {26, &FonctionsConsulter::CCAM_47a},  {27, &FonctionsConsulter::CCAM_4a},
    {28, &FonctionsConsulter::CCAM_5},    {29, &FonctionsConsulter::CCAM_6},    {30, &FonctionsConsulter::CCAM_7},
    {31, &FonctionsConsulter::CCAM_8},    {32, &FonctionsConsulter::CCAM_9},    {33, &FonctionsConsulter::CCAM_9_1},
    {34, &FonctionsConsulter::TB02_1},    {35, &FonctionsConsulter::TB02_2},    {36, &FonctionsConsulter::TB06_1},
    {37, &FonctionsConsulter::TB06_2},    {38, &FonctionsConsulter::TB07_1},    {39, &FonctionsConsulter::TB08_1},
    {40, &FonctionsConsulter::TB09_1},    {41, &FonctionsConsulter::TB10_1},    {42, &FonctionsConsulter::TB10_2},
    {43, &FonctionsConsulter::TB11_1},    {44, &FonctionsConsulter::TB11_2},    {45, &FonctionsConsulter::TB11_3},
    {46, &FonctionsConsulter::TB12_1},    {47, &FonctionsConsulter::TB12_2},    {48, &FonctionsConsulter::TB15_1},
    {49, &FonctionsConsulter::TB19_1},    {50, &FonctionsConsulter::TB21_1},    {84, &FonctionsConsulter::TB20_1},
    {97, &FonctionsConsulter::CCAM_1},    {98, &FonctionsConsulter::CCAM_3},    {99, &FonctionsConsulter::TB13_1},
    {100, &FonctionsConsulter::TB15_2},   {108, &FonctionsConsulter::TB23},     {109, &FonctionsConsulter::TB22_3},
    {110, &FonctionsConsulter::CCAM_52a},
};

}  // namespace

FonctionsConsulter::FonctionsConsulter(const Date& date, ZoneKPX* entree, const SuperGroupe* superGroupe,
                                       LectureDonnees& lectureDonnees)
    : Fonctions(entree, superGroupe), dateReference(date), lecture(lectureDonnees) {}

FonctionsConsulter::~FonctionsConsulter() = default;

uint16_t FonctionsConsulter::executer(uint16_t numero, ZoneSortie& sortie) {
    static const AiguillageConsulter aiguillage(kTable, CAT_CONSULTATION, "de consultation");
    return aiguillage.executer(*this, numero, sortie);
}

// --- Shared steps -----------------------------------------------------------------

void FonctionsConsulter::controlerDateReference(uint16_t& cr, const Code* acte) {
    if (cr != 0) return;
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail) tracer(CAT_CONSULTATION, NIV_DETAIL, "FonctionsModifier::controlerDateReference >> IN");
    static const Code vide;
    Date creation, fin;
    const Code& code = acte ? *acte : vide;
    cr = lecture.rechercherDateCreation(code, creation);
    if (cr == 0) cr = lecture.rechercherDateFin(code, fin);
    if (cr == 0 && !(dateReference == creation) && dateReference < creation) {
        tracer(CAT_CONSULTATION, NIV_ERREUR, "Date de référence antérieure à la date de création de l'acte");
        cr = KPX_CR_RIEN_EN_VIGUEUR;
    } else if (cr == 0 && fin.estRenseigne() && fin < dateReference) {
        tracer(CAT_CONSULTATION, NIV_ERREUR, "Date de référence postérieure à la date de fin de l'acte");
        cr = KPX_CR_RIEN_EN_VIGUEUR;
    }
    if (detail)
        tracer(CAT_CONSULTATION, NIV_DETAIL, "FonctionsModifier::controlerDateReference << OUT : cr = 0x%04X", cr);
}

Nombre FonctionsConsulter::grille(uint16_t& cr, const Nombre* ps, const Nombre* bs) {
    Nombre numero;
    if (cr == 0)
        cr = lecture.rechercherUneGrilleTarifaire(ps ? *ps : Nombre(), bs ? *bs : Nombre(), dateReference, numero);
    return numero;
}

void FonctionsConsulter::codes(uint16_t& cr, const TypeListe<Code>& liste, Reponse& reponse) {
    for (uint16_t i = 0; cr == 0 && i < liste.nombre(); ++i) {
        reponse.groupe(kCode);
        reponse.champ(liste.element(i));
    }
}

void FonctionsConsulter::codesLibelles(uint16_t& cr, const TypeListe<Code>& liste, int32_t numeroListe,
                                       Reponse& reponse) {
    for (uint16_t i = 0; cr == 0 && i < liste.nombre(); ++i) {
        Texte libelle;
        cr = lecture.rechercherLibelleCode(Nombre(numeroListe), liste.element(i), libelle);
        if (cr != 0) break;
        reponse.groupe(kCodeLibelle);
        reponse.champ(liste.element(i));
        reponse.champ(libelle);
    }
}

void FonctionsConsulter::dateModification(const Date& date, Reponse& reponse) {
    if (!date.estRenseigne()) return;
    reponse.groupe(kDateModification);
    reponse.champ(date);
}

uint16_t FonctionsConsulter::repondre(uint16_t cr, const Reponse& reponse, ZoneSortie& sortie) {
    reponse.ecrire(cr, sortie, CAT_CONSULTATION);
    return cr;
}

template <class Requete>
uint16_t FonctionsConsulter::texteActe(const char* nom, ZoneSortie& sortie, Requete requete) {
    uint16_t cr = 0;
    TraceFonction trace(nom, cr);
    auto acte = lireChamp<Code>(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    Texte texte;
    if (cr == 0) cr = requete(ouVide(acte), texte);
    Reponse reponse;
    reponse.groupe(kTexte);
    reponse.champ(texte);
    return repondre(cr, reponse, sortie);
}

template <class Requete>
uint16_t FonctionsConsulter::listeActe(const char* nom, ZoneSortie& sortie, bool avecActivite, int32_t numeroListe,
                                       Requete requete) {
    uint16_t cr = 0;
    TraceFonction trace(nom, cr);
    auto acte = lireChamp<Code>(cr);
    std::unique_ptr<Code> activite = avecActivite ? lireChamp<Code>(cr) : nullptr;
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    TypeListe<Code> liste;
    if (cr == 0) cr = requete(ouVide(acte), ouVide(activite), liste);
    Reponse reponse;
    if (numeroListe == 0) codes(cr, liste, reponse);
    else codesLibelles(cr, liste, numeroListe, reponse);
    return repondre(cr, reponse, sortie);
}

template <class T, class Requete>
uint16_t FonctionsConsulter::valeurModificateur(const char* nom, uint16_t groupe, ZoneSortie& sortie,
                                                Requete requete) {
    uint16_t cr = 0;
    TraceFonction trace(nom, cr);
    auto modificateur = lireChamp<Code>(cr);
    verifierFinZone(cr);
    T v;
    if (cr == 0) cr = requete(ouVide(modificateur), v);
    Reponse reponse;
    valeur(reponse, groupe, v);
    return repondre(cr, reponse, sortie);
}

template <class T, class Requete>
uint16_t FonctionsConsulter::valeurActe(const char* nom, uint16_t groupe, bool controle, ZoneSortie& sortie,
                                        Requete requete) {
    uint16_t cr = 0;
    TraceFonction trace(nom, cr);
    auto acte = lireChamp<Code>(cr);
    verifierFinZone(cr);
    if (controle) controlerDateReference(cr, acte.get());
    T v;
    if (cr == 0) cr = requete(ouVide(acte), v);
    Reponse reponse;
    valeur(reponse, groupe, v);
    return repondre(cr, reponse, sortie);
}

template <class T, class Requete>
uint16_t FonctionsConsulter::valeurPhase(const char* nom, uint16_t groupe, ZoneSortie& sortie, Requete requete) {
    uint16_t cr = 0;
    TraceFonction trace(nom, cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    T v;
    if (cr == 0) cr = requete(ouVide(acte), ouVide(activite), ouVide(phase), v);
    Reponse reponse;
    valeur(reponse, groupe, v);
    return repondre(cr, reponse, sortie);
}

template <class T, class Requete, class Modification>
uint16_t FonctionsConsulter::valeurDatee(const char* nom, uint16_t groupe, ZoneSortie& sortie, Requete requete,
                                         Modification modification) {
    uint16_t cr = 0;
    TraceFonction trace(nom, cr);
    verifierFinZone(cr);
    T v;
    Date date;
    if (cr == 0) cr = requete(v);
    if (cr == 0) cr = modification(date);
    Reponse reponse;
    valeur(reponse, groupe, v);
    dateModification(date, reponse);
    return repondre(cr, reponse, sortie);
}

template <class T, class Requete>
uint16_t FonctionsConsulter::valeurGrilleModificateur(const char* nom, uint16_t groupe, ZoneSortie& sortie,
                                                      Requete requete) {
    uint16_t cr = 0;
    TraceFonction trace(nom, cr);
    auto modificateur = lireChamp<Code>(cr);
    auto ps = lireChamp<Nombre>(cr);
    auto bs = lireChamp<Nombre>(cr);
    verifierFinZone(cr);
    const Nombre numeroGrille = grille(cr, ps.get(), bs.get());
    T v;
    Date modification;
    if (cr == 0) cr = requete(ouVide(modificateur), numeroGrille, v);
    if (cr == 0)
        cr = lecture.rechercherDateModificationModificateur(ouVide(modificateur), numeroGrille, dateReference, modification);
    Reponse reponse;
    valeur(reponse, groupe, v);
    dateModification(modification, reponse);
    return repondre(cr, reponse, sortie);
}

// --- Acts ---------------------------------------------------------------------------

uint16_t FonctionsConsulter::CCAM_1(ZoneSortie& sortie) {
    return valeurActe<Booleen>("CCAM_1", kBooleen, false, sortie,
                               [&](const Code& a, Booleen& b) { return lecture.rechercherExistenceActe(a, b); });
}

uint16_t FonctionsConsulter::CCAM_2(ZoneSortie& sortie) {
    return listeActe("CCAM_2", sortie, false, kActivites, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        return lecture.rechercherActivites(a, l);
    });
}

uint16_t FonctionsConsulter::CCAM_3(ZoneSortie& sortie) {
    return listeActe("CCAM_3", sortie, true, kExtensions, [&](const Code& a, const Code& ac, TypeListe<Code>& l) {
        return lecture.rechercherCodesExtensionDocumentaire(a, ac, l);
    });
}

uint16_t FonctionsConsulter::CCAM_4a(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_4a", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    TypeListe<Code> phases;
    if (cr == 0) cr = lecture.rechercherPhasesDeTraitement(ouVide(acte), ouVide(activite), phases);
    Reponse reponse;
    reponse.groupe(kNombre);
    reponse.champ(Nombre(phases.nombre()));
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_5(ZoneSortie& sortie) {
    return valeurActe<Code>("CCAM_5", kCode, true, sortie,
                            [&](const Code& a, Code& c) { return lecture.rechercherCodeStructure(a, c); });
}

uint16_t FonctionsConsulter::CCAM_6(ZoneSortie& sortie) {
    return listeActe("CCAM_6", sortie, true, kModificateurs, [&](const Code& a, const Code& ac, TypeListe<Code>& l) {
        return lecture.rechercherModificateursApplicables(a, ac, dateReference, l);
    });
}

uint16_t FonctionsConsulter::CCAM_7(ZoneSortie& sortie) {
    return texteActe("CCAM_7", sortie, [&](const Code& a, Texte& t) { return lecture.rechercherLibelleCourt(a, t); });
}

uint16_t FonctionsConsulter::CCAM_8(ZoneSortie& sortie) {
    return texteActe("CCAM_8", sortie, [&](const Code& a, Texte& t) { return lecture.rechercherLibelleLong(a, t); });
}

uint16_t FonctionsConsulter::CCAM_9(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_9", cr);
    auto acte = lireChamp<Code>(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    TypeListe<Code> type;
    Code code;
    if (cr == 0) cr = lecture.rechercherTypeActe(ouVide(acte), code);
    if (cr == 0) cr = type.ajouter(code);
    Reponse reponse;
    codesLibelles(cr, type, kTypesActe, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_9_1(ZoneSortie& sortie) {
    return listeActe("CCAM_9_1", sortie, false, 0, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        return lecture.rechercherProcedures(a, dateReference, l);
    });
}

uint16_t FonctionsConsulter::CCAM_10(ZoneSortie& sortie) {
    return texteActe("CCAM_10", sortie,
                     [&](const Code& a, Texte& t) { return lecture.rechercherConditionsGenerales(a, t); });
}

uint16_t FonctionsConsulter::CCAM_11(ZoneSortie& sortie) {
    return texteActe("CCAM_11", sortie, [&](const Code& a, Texte& t) { return lecture.rechercherNotesActe(a, t); });
}

uint16_t FonctionsConsulter::CCAM_12(ZoneSortie& sortie) {
    return listeActe("CCAM_12", sortie, true, kCategories, [&](const Code& a, const Code& ac, TypeListe<Code>& l) {
        Code categorie;
        uint16_t cr = lecture.rechercherCategorieMedicale(a, ac, dateReference, categorie);
        return cr != 0 ? cr : l.ajouter(categorie);
    });
}

uint16_t FonctionsConsulter::CCAM_13(ZoneSortie& sortie) {
    return listeActe("CCAM_13", sortie, true, 0, [&](const Code& a, const Code& ac, TypeListe<Code>& l) {
        return lecture.rechercherActesCompatibles(a, ac, dateReference, l);
    });
}

uint16_t FonctionsConsulter::CCAM_14(ZoneSortie& sortie) {
    return listeActe("CCAM_14", sortie, false, 0, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        return lecture.rechercherActesIncompatibles(a, dateReference, l);
    });
}

uint16_t FonctionsConsulter::CCAM_15(ZoneSortie& sortie) {
    return listeActe("CCAM_15", sortie, false, 0, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        Code sexe;
        uint16_t cr = lecture.rechercherSexeCompatible(a, sexe);
        return cr != 0 ? cr : l.ajouter(sexe);
    });
}

uint16_t FonctionsConsulter::CCAM_16a(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_16a", cr);
    auto acte = lireChamp<Code>(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    Nombre menu;
    if (cr == 0) cr = lecture.rechercherCodeMenu(ouVide(acte), menu);
    std::vector<Texte> niveaux;
    while (cr == 0 && menu.valeur() != kMenuRacine) {
        if (niveaux.size() >= kProfondeurMenuMax) {
            tracer(CAT_CONSULTATION, NIV_ERREUR, "ERREUR : arborescence des menus sans racine (menu %d)",
                   static_cast<int>(menu.valeur()));
            cr = KPX_CR_DONNEES_INCOHERENTES;
            break;
        }
        Texte titre, notes;
        Nombre pere;
        cr = lecture.rechercherTitreMenu(menu, titre);
        if (cr == 0) cr = lecture.rechercherNotesMenu(menu, notes);
        if (cr == 0) cr = lecture.rechercherMenuPere(menu, pere);
        if (cr != 0) break;
        if (notes.longueur() > 0) {
            titre.ajouter("\n");
            titre.ajouter(notes);
        }
        niveaux.push_back(titre);
        menu = pere;
    }
    Reponse reponse;
    reponse.groupe(kListeTextes);
    reponse.champ(Nombre(static_cast<int32_t>(niveaux.size())));
    for (const Texte& niveau : niveaux) reponse.champ(niveau);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_18(ZoneSortie& sortie) {
    return valeurActe<Date>("CCAM_18", kDate, false, sortie,
                            [&](const Code& a, Date& d) { return lecture.rechercherDateCreation(a, d); });
}

uint16_t FonctionsConsulter::CCAM_19(ZoneSortie& sortie) {
    return valeurActe<Date>("CCAM_19", kDate, false, sortie,
                            [&](const Code& a, Date& d) { return lecture.rechercherDateFin(a, d); });
}

uint16_t FonctionsConsulter::CCAM_20(ZoneSortie& sortie) {
    return listeActe("CCAM_20", sortie, true, 0, [&](const Code& a, const Code& ac, TypeListe<Code>& l) {
        return lecture.rechercherRMO(a, ac, l);
    });
}

uint16_t FonctionsConsulter::CCAM_22(ZoneSortie& sortie) {
    return listeActe("CCAM_22", sortie, false, kAdmissions, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        Code admission;
        uint16_t cr = lecture.rechercherAdmissionRemboursement(a, dateReference, admission);
        return cr != 0 ? cr : l.ajouter(admission);
    });
}

uint16_t FonctionsConsulter::CCAM_24(ZoneSortie& sortie) {
    return valeurActe<Booleen>("CCAM_24", kBooleen, true, sortie, [&](const Code& a, Booleen& b) {
        return lecture.rechercherEntentePrealable(a, dateReference, b);
    });
}

uint16_t FonctionsConsulter::CCAM_25(ZoneSortie& sortie) {
    return listeActe("CCAM_25", sortie, false, kExonerations, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        return lecture.rechercherCodesExonerationTM(a, dateReference, l);
    });
}

uint16_t FonctionsConsulter::CCAM_30_1(ZoneSortie& sortie) {
    return listeActe("CCAM_30_1", sortie, false, kNatures, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        return lecture.rechercherNaturesAssurance(a, l);
    });
}

uint16_t FonctionsConsulter::CCAM_32a(ZoneSortie& sortie) {
    return listeActe("CCAM_32a", sortie, true, 0, [&](const Code& a, const Code& ac, TypeListe<Code>& l) {
        TypeListe<Code> classes;
        uint16_t cr = lecture.rechercherClassesSpecialitesExecutant(a, ac, dateReference, classes);
        for (uint16_t i = 0; cr == 0 && i < classes.nombre(); ++i) {
            TypeListe<Code> specialites;
            cr = lecture.rechercherSpecialitesDansClasse(classes.element(i), dateReference, specialites);
            for (uint16_t j = 0; cr == 0 && j < specialites.nombre(); ++j) cr = l.ajouter(specialites.element(j));
        }
        return cr;
    });
}

// --- Phases: prices and limits --------------------------------------------------------

uint16_t FonctionsConsulter::CCAM_37(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_37", cr);
    // The most asked price: its fields are read into values, not owned ones, since an
    // absent field and an empty one answer alike here.
    Code acte, activite, phase;
    Nombre ps, bs;
    lireChamp(cr, acte);
    lireChamp(cr, activite);
    lireCodeOuZero(cr, phase);
    lireChamp(cr, ps);
    lireChamp(cr, bs);
    verifierFinZone(cr);
    controlerDateReference(cr, &acte);
    const Nombre numeroGrille = grille(cr, &ps, &bs);
    Montant prix(0.0);
    Date modification;
    if (cr == 0) cr = lecture.rechercherPrixUnitaire(acte, activite, phase, numeroGrille, dateReference, prix);
    if (cr == 0)
        cr = lecture.rechercherDateModificationPrixUnitaire(acte, activite, phase, dateReference, modification);
    Reponse reponse;
    reponse.groupe(kMontant);
    reponse.champ(prix);
    dateModification(modification, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_39(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_39", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    Montant supplement(0.0);
    Date modification;
    if (cr == 0) cr = lecture.rechercherSupplementCharge(ouVide(acte), ouVide(activite), ouVide(phase), dateReference, supplement);
    if (cr == 0)
        cr = lecture.rechercherDateModificationSupplementCharges(ouVide(acte), ouVide(activite), ouVide(phase), dateReference,
                                                                 modification);
    Reponse reponse;
    reponse.groupe(kMontant);
    reponse.champ(supplement);
    dateModification(modification, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_40a(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_40a", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    TypeListe<Code> agrements;
    if (cr == 0) cr = lecture.rechercherAgrementsRadio(ouVide(acte), ouVide(activite), agrements);
    Reponse reponse;
    reponse.groupe(kBooleen);
    reponse.champ(Booleen(agrements.nombre() > 0));
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_41(ZoneSortie& sortie) {
    return listeActe("CCAM_41", sortie, false, kFraisDeplacement,
                     [&](const Code& a, const Code&, TypeListe<Code>& l) {
                         Code frais;
                         uint16_t cr = lecture.rechercherFraisDeplacement(a, frais);
                         return cr != 0 ? cr : l.ajouter(frais);
                     });
}

uint16_t FonctionsConsulter::CCAM_42(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_42", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    Code regroupement;
    TypeListe<Code> liste;
    Date modification;
    if (cr == 0) cr = lecture.rechercherCodeRegroupement(ouVide(acte), ouVide(activite), dateReference, regroupement);
    if (cr == 0) cr = liste.ajouter(regroupement);
    Reponse reponse;
    codesLibelles(cr, liste, kRegroupements, reponse);
    if (cr == 0)
        cr = lecture.rechercherDateModificationCodeRegroupement(ouVide(acte), ouVide(activite), dateReference, modification);
    dateModification(modification, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_43a(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_43a", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    Code categorie;
    TypeListe<Code> dentaires;
    if (cr == 0) cr = lecture.rechercherCategorieMedicale(ouVide(acte), ouVide(activite), dateReference, categorie);
    if (cr == 0) cr = lecture.rechercherValeursConcept(Nombre(kConceptDentaire), dateReference, dentaires);
    const bool dentaire = cr == 0 && dentaires.contient(categorie);
    Reponse reponse;
    reponse.groupe(kBooleen);
    reponse.champ(Booleen(dentaire));
    if (dentaire) {
        Code nombre;
        cr = lecture.rechercherNombreDents(ouVide(acte), ouVide(activite), ouVide(phase), nombre);
        if (cr == 0 && nombre.longueur() == 0) {
            tracer(CAT_CONSULTATION, NIV_ERREUR, "ERREUR : nombre de dents non renseigne pour l'acte dentaire %s",
                   ouVide(acte).chaine());
            cr = KPX_CR_DONNEES_INCOHERENTES;
        }
        reponse.groupe(kNombre);
        reponse.champ(Nombre(nombre.chaine(), nombre.longueur()));
    }
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_44(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_44", cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    TypeListe<Code> dents;
    if (cr == 0) cr = lecture.rechercherDentsIncompatibles(ouVide(acte), ouVide(activite), ouVide(phase), dents);
    Reponse reponse;
    codes(cr, dents, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_45(ZoneSortie& sortie) {
    return valeurPhase<Periode>("CCAM_45", kAge, sortie,
                                [&](const Code& a, const Code& ac, const Code& ph, Periode& age) {
                                    return lecture.rechercherAgeMinimal(a, ac, ph, age);
                                });
}

uint16_t FonctionsConsulter::CCAM_46(ZoneSortie& sortie) {
    return valeurPhase<Periode>("CCAM_46", kAge, sortie,
                                [&](const Code& a, const Code& ac, const Code& ph, Periode& age) {
                                    return lecture.rechercherAgeMaximal(a, ac, ph, age);
                                });
}

uint16_t FonctionsConsulter::CCAM_47a(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("CCAM_47a", cr);
    auto caisse = lireChamp<Code>(cr);
    auto acte = lireChamp<Code>(cr);
    auto activite = lireChamp<Code>(cr);
    auto phase = lireCodeOuZero(cr);
    verifierFinZone(cr);
    controlerDateReference(cr, acte.get());
    int32_t position = 0;
    if (cr == 0) cr = PositionsOutreMer::positionDOM(ouVide(caisse), CAT_CONSULTATION, position);
    Coefficient majoration(0.0);
    Date modification;
    if (cr == 0)
        cr = lecture.rechercherMajorationDOM(ouVide(acte), ouVide(activite), ouVide(phase), Nombre(position), dateReference,
                                             majoration);
    if (cr == 0)
        cr = lecture.rechercherDateModificationMajorationDOM(ouVide(acte), ouVide(activite), ouVide(phase), Nombre(position),
                                                             dateReference, modification);
    Reponse reponse;
    reponse.groupe(kCoefficient);
    reponse.champ(majoration);
    dateModification(modification, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::CCAM_52a(ZoneSortie& sortie) {
    return listeActe("CCAM_52a", sortie, false, 0, [&](const Code& a, const Code&, TypeListe<Code>& l) {
        return lecture.rechercherActesForfaitCMU(a, dateReference, l);
    });
}

// --- Tables ---------------------------------------------------------------------------

uint16_t FonctionsConsulter::TB02_1(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB02_1", cr);
    auto association = lireChamp<Code>(cr);
    auto ps = lireChamp<Nombre>(cr);
    auto bs = lireChamp<Nombre>(cr);
    verifierFinZone(cr);
    const Nombre numeroGrille = grille(cr, ps.get(), bs.get());
    Coefficient coefficient(0.0);
    Date modification;
    if (cr == 0)
        cr = lecture.rechercherCoefficientAssociationNonPrevue(ouVide(association), dateReference, numeroGrille, coefficient);
    if (cr == 0)
        cr = lecture.rechercherDateModificationCoefficientAssociationNP(ouVide(association), numeroGrille, dateReference,
                                                                        modification);
    Reponse reponse;
    reponse.groupe(kCoefficient);
    reponse.champ(coefficient);
    dateModification(modification, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB02_2(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB02_2", cr);
    auto ps = lireChamp<Nombre>(cr);
    auto bs = lireChamp<Nombre>(cr);
    verifierFinZone(cr);
    const Nombre numeroGrille = grille(cr, ps.get(), bs.get());
    TypeListe<Code> associations;
    if (cr == 0) cr = lecture.rechercherCodesAssociationsNonPrevues(dateReference, numeroGrille, associations);
    Reponse reponse;
    codesLibelles(cr, associations, kAssociations, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB06_1(ZoneSortie& sortie) {
    return valeurModificateur<Periode>("TB06_1", kAge, sortie, [&](const Code& m, Periode& age) {
        return lecture.rechercherAgeMinimumModificateur(m, dateReference, age);
    });
}

uint16_t FonctionsConsulter::TB06_2(ZoneSortie& sortie) {
    return valeurModificateur<Periode>("TB06_2", kAge, sortie, [&](const Code& m, Periode& age) {
        return lecture.rechercherAgeMaximumModificateur(m, dateReference, age);
    });
}

uint16_t FonctionsConsulter::TB07_1(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB07_1", cr);
    auto caisse = lireChamp<Code>(cr);
    verifierFinZone(cr);
    const Nombre position(PositionsOutreMer::positionSeuil(ouVide(caisse)));
    Montant seuil(0.0);
    Date modification;
    if (cr == 0) cr = lecture.rechercherSeuilExoTM(dateReference, position, seuil);
    if (cr == 0) cr = lecture.rechercherDateModificationSeuilExoTM(position, dateReference, modification);
    Reponse reponse;
    reponse.groupe(kMontant);
    reponse.champ(seuil);
    dateModification(modification, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB08_1(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB08_1", cr);
    auto caisse = lireChamp<Code>(cr);
    verifierFinZone(cr);
    auto ferie = [&](const TypeListe<Date>& jours) {
        for (uint16_t i = 0; i < jours.nombre(); ++i) {
            const Date& j = jours.element(i);
            if (j.mois() == dateReference.mois() && j.jour() == dateReference.jour() &&
                (j.annee() == 0 || j.annee() == dateReference.annee()))
                return true;
        }
        return false;
    };
    TypeListe<Date> nationaux, locaux;
    if (cr == 0) cr = lecture.rechercherJoursFeriesNationaux(dateReference, nationaux);
    bool resultat = cr == 0 && ferie(nationaux);
    if (cr == 0 && !resultat) {
        cr = lecture.rechercherJoursFeriesCaisse(ouVide(caisse), dateReference, locaux);
        // Most caisses have no holiday of their own and no row: nothing more to find.
        if (cr == KPX_CR_ELEMENT_ABSENT) cr = 0;
        resultat = cr == 0 && ferie(locaux);
    }
    Reponse reponse;
    reponse.groupe(kBooleen);
    reponse.champ(Booleen(resultat));
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB09_1(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB09_1", cr);
    auto modificateur = lireChamp<Code>(cr);
    auto second = lireChamp<Code>(cr);
    verifierFinZone(cr);
    TypeListe<Code> compatibles;
    if (cr == 0) cr = lecture.rechercherModificateursCompatibles(ouVide(modificateur), dateReference, compatibles);
    Reponse reponse;
    reponse.groupe(kBooleen);
    reponse.champ(Booleen(compatibles.contient(ouVide(second))));
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB10_1(ZoneSortie& sortie) {
    return valeurModificateur<Booleen>("TB10_1", kBooleen, sortie, [&](const Code& m, Booleen& b) {
        return lecture.rechercherTopControleCoherence(m, dateReference, b);
    });
}

uint16_t FonctionsConsulter::TB10_2(ZoneSortie& sortie) {
    return valeurModificateur<Booleen>("TB10_2", kBooleen, sortie, [&](const Code& m, Booleen& b) {
        return lecture.rechercherTopPresenceMultiple(m, dateReference, b);
    });
}

uint16_t FonctionsConsulter::TB11_1(ZoneSortie& sortie) {
    return valeurGrilleModificateur<Montant>("TB11_1", kMontant, sortie, [&](const Code& m, const Nombre& g, Montant& f) {
        return lecture.rechercherForfaitModificateur(m, dateReference, g, f);
    });
}

uint16_t FonctionsConsulter::TB11_2(ZoneSortie& sortie) {
    return valeurGrilleModificateur<Coefficient>("TB11_2", kCoefficient, sortie,
                                                 [&](const Code& m, const Nombre& g, Coefficient& t) {
                                                     return lecture.rechercherTauxModificateur(m, dateReference, g, t);
                                                 });
}

uint16_t FonctionsConsulter::TB11_3(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB11_3", cr);
    auto ps = lireChamp<Nombre>(cr);
    auto bs = lireChamp<Nombre>(cr);
    verifierFinZone(cr);
    const Nombre numeroGrille = grille(cr, ps.get(), bs.get());
    TypeListe<Code> modificateurs;
    if (cr == 0) cr = lecture.rechercherModificateurs(dateReference, numeroGrille, modificateurs);
    Reponse reponse;
    codesLibelles(cr, modificateurs, kModificateurs, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB12_1(ZoneSortie& sortie) {
    return valeurDatee<Montant>(
        "TB12_1", kMontant, sortie, [&](Montant& f) { return lecture.rechercherForfaitNonConventionnes(dateReference, f); },
        [&](Date& d) { return lecture.rechercherDateModificationNonConventionnes(dateReference, d); });
}

uint16_t FonctionsConsulter::TB12_2(ZoneSortie& sortie) {
    return valeurDatee<Coefficient>(
        "TB12_2", kCoefficient, sortie, [&](Coefficient& t) { return lecture.rechercherTauxNonConventionnes(dateReference, t); },
        [&](Date& d) { return lecture.rechercherDateModificationNonConventionnes(dateReference, d); });
}

uint16_t FonctionsConsulter::TB13_1(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB13_1", cr);
    verifierFinZone(cr);
    TypeListe<Code> regroupements;
    if (cr == 0) cr = lecture.rechercherCodesRegroupement(dateReference, regroupements);
    Reponse reponse;
    for (uint16_t i = 0; cr == 0 && i < regroupements.nombre(); ++i) {
        TypeListe<Code> un;
        cr = un.ajouter(regroupements.element(i));
        codesLibelles(cr, un, kRegroupements, reponse);
        Date creation;
        // Codes of the reference data have no local creation date.
        if (cr == 0 && lecture.rechercherDateCreationCodeRegroupement(regroupements.element(i), creation) == 0)
            dateModification(creation, reponse);
    }
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB15_1(ZoneSortie& sortie) {
    return valeurModificateur<Code>("TB15_1", kCode, sortie, [&](const Code& m, Code& oc) {
        return lecture.rechercherModificateurOC(m, dateReference, oc);
    });
}

uint16_t FonctionsConsulter::TB15_2(ZoneSortie& sortie) {
    return valeurDatee<Nombre>(
        "TB15_2", kNombre, sortie, [&](Nombre& n) { return lecture.rechercherNombreModificateursTransmissibles(dateReference, n); },
        [](Date&) { return static_cast<uint16_t>(0); });
}

uint16_t FonctionsConsulter::TB19_1(ZoneSortie& sortie) {
    return valeurDatee<Nombre>(
        "TB19_1", kNombre, sortie, [&](Nombre& n) { return lecture.rechercherNombreModificateursTarifants(dateReference, n); },
        [](Date&) { return static_cast<uint16_t>(0); });
}

uint16_t FonctionsConsulter::TB20_1(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB20_1", cr);
    verifierFinZone(cr);
    TypeListe<Code> valeurs;
    if (cr == 0) cr = lecture.rechercherValeursConcept(Nombre(kConceptAssociations), dateReference, valeurs);
    Reponse reponse;
    codesLibelles(cr, valeurs, kAssociations, reponse);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB21_1(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB21_1", cr);
    verifierFinZone(cr);
    TypeListe<Texte> motsCles;
    if (cr == 0) cr = lecture.rechercherMotsCles(motsCles);
    Reponse reponse;
    reponse.groupe(kListeTextes);
    reponse.champ(Nombre(motsCles.nombre()));
    for (uint16_t i = 0; cr == 0 && i < motsCles.nombre(); ++i) reponse.champ(motsCles.element(i));
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB22_3(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB22_3", cr);
    auto ps = lireChamp<Nombre>(cr);
    auto bs = lireChamp<Nombre>(cr);
    verifierFinZone(cr);
    Nombre numero;
    Texte libelle, definition;
    if (cr == 0)
        cr = lecture.rechercherUneGrilleTarifaire(ouVide(ps), ouVide(bs), dateReference, numero, libelle, definition);
    Reponse reponse;
    reponse.groupe(kGrille);
    reponse.champ(numero);
    reponse.champ(libelle);
    reponse.champ(definition);
    return repondre(cr, reponse, sortie);
}

uint16_t FonctionsConsulter::TB23(ZoneSortie& sortie) {
    uint16_t cr = 0;
    TraceFonction trace("TB23", cr);
    verifierFinZone(cr);
    TypeListe<Nombre> grilles;
    TypeListe<Texte> libelles, definitions;
    if (cr == 0) cr = lecture.rechercherGrillesTarifaires(grilles, libelles, definitions);
    Reponse reponse;
    for (uint16_t i = 0; cr == 0 && i < grilles.nombre(); ++i) {
        reponse.groupe(kGrille);
        reponse.champ(grilles.element(i));
        reponse.champ(libelles.element(i));
        reponse.champ(definitions.element(i));
    }
    return repondre(cr, reponse, sortie);
}
