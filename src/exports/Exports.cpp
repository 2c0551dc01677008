// The buffer-based exported functions: argument checks in their fixed order,
// then the call into the core. Each export writes its entry line, its code
// and its exit line at level 1 of its category.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "KPXW32.h"
#include "consultation/Aiguillage.h"
#include "consultation/FonctionsConsulter.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "consultation/LectureVersion.h"
#include "consultation/RechercheActes.h"
#include "controle/FonctionControleComplet.h"
#include "controle/FonctionsAppliquer.h"
#include "exports/Bibliotheque.h"
#include "exports/ControleurParametres.h"
#include "exports/Ouverture.h"
#include "exports/TraceExport.h"
#include "frame/Composants.h"
#include "frame/ExceptionEchappee.h"
#include "frame/Systeme.h"
#include "frame/Trace.h"
#include "modification/FonctionsAnnuler.h"
#include "modification/FonctionsModifier.h"
#include "modification/ModificationDonnees.h"
#include "referentiel/Referentiel.h"
#include "reglementation/FonctionsControler.h"
#include "zone/Booleen.h"
#include "zone/Date.h"
#include "zone/SuperGroupe.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

namespace {

constexpr std::size_t kLongueurCommentaireMax = 200;
constexpr std::size_t kLongueurFiltreMax = 4;

bool filtreValide(const char* filtre) {
    if (filtre == nullptr) return true;
    std::size_t n = std::strlen(filtre);
    if (n > kLongueurFiltreMax) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (filtre[i] < 'A' || filtre[i] > 'Z') return false;
    return true;
}

// The lookup of an identifier in its family's range of the interface description.
using Recherche = uint16_t (Interface::*)(const Code&, const SuperGroupe*&, uint16_t&) const;

void rechercherFonction(uint16_t& cr, Recherche recherche, const char* identifiant, const SuperGroupe*& racine,
                        uint16_t& numero) {
    if (cr == 0) cr = (Bibliotheque::interface().*recherche)(Code(identifiant), racine, numero);
}

// Consultation and cancellation: a function that describes no group takes no input.
void regleZoneEntree(uint16_t& cr, const SuperGroupe* racine, const unsigned char* zoneEntree,
                     uint32_t tailleZoneEntree, std::optional<ZoneKPX>& entree) {
    if (cr != 0) return;
    if (racine->decritGroupes()) {
        ControleurParametres::verifierZoneIn(cr, zoneEntree, tailleZoneEntree);
        if (cr == 0) entree.emplace(zoneEntree, tailleZoneEntree);
    } else if (tailleZoneEntree != 0) {
        tracer(CAT_CONTROLE, NIV_ERREUR, "taille de la zone d'entrée non nulle, alors aucune donnée attendue.");
        cr = KPX_CR_ZONE_NON_ATTENDUE;
    }
}

// Modification and cancellation hold the writer place for the call; a success marks the
// référentiel modified since its last save, a failure leaves the mark as it was.
template <class Corps>
void ecrire(uint16_t& cr, Corps corps) {
    if (cr != 0) return;
    Ouverture<ModificationDonnees> modification(cr);
    if (cr == 0) cr = corps(*modification);
    if (cr == 0) Bibliotheque::marquerModifie(true);
}

// Control, rule application and complete control read as one reader for the call.
template <class Corps>
void lire(uint16_t& cr, Corps corps) {
    if (cr != 0) return;
    Ouverture<LectureDonnees> lecture(cr);
    if (cr == 0) corps(*lecture);
}

// Both searches read as one reader of the référentiel and hand the zone over on success only.
template <class Recherche>
void rechercher(uint16_t& cr, Recherche recherche, unsigned char** zoneSortie, uint32_t* tailleZoneSortie) {
    if (cr != 0) return;
    ZoneSortie sortie;
    Ouverture<LectureDonnees> lecture(cr);
    if (cr == 0) {
        RechercheActes actes(*lecture);
        cr = recherche(actes, sortie);
    }
    if (cr == 0) sortie.remettre(zoneSortie, tailleZoneSortie);
}

// Control, rule application and complete control report three outcomes in their own range.
uint16_t traduireControle(uint16_t cr) {
    switch (cr) {
        case KPX_CR_IDENTIFIANT_INCONNU: return KPX_CR_CONTROLE_IDENTIFIANT;
        case KPX_CR_ELEMENT_ABSENT: return KPX_CR_CONTROLE_ABSENT;
        case KPX_CR_RIEN_EN_VIGUEUR: return KPX_CR_CONTROLE_RIEN_EN_VIGUEUR;
        default: return cr;
    }
}

}  // namespace

extern "C" {

KPX_API uint16_t KPX_CALL KPX_InitLIB2(const char* fichierConfiguration) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_CYCLE, NIV_EXPORT, "KPX_InitLIB2", cr, TraceExport::kCodeAvecBlancs);
    trace.entree("KPX_InitLIB2 >> IN");
    if (Bibliotheque::estCharge()) {
        tracer(CAT_CYCLE, NIV_ERREUR, "Référentiel déjà chargé.");
        return cr = KPX_CR_DEJA_CHARGE;
    }
    cr = Composants::setFichierKoral()(fichierConfiguration);
    if (cr != 0) return cr;
    return cr = Bibliotheque::chargerReferentiel();
} catch (...) {
    return codeExceptionEchappee("KPX_InitLIB2");
}

KPX_API uint16_t KPX_CALL KPX_TermLIB(void) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_CYCLE, NIV_EXPORT, "KPX_TermLIB", cr);
    trace.entree("KPX_TermLIB >> IN");
    Bibliotheque::verifierReferentiel(cr);
    if (cr == 0) cr = Bibliotheque::terminer();
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_TermLIB");
}

KPX_API uint16_t KPX_CALL KPX_InitTrace(const char* parametreTrace, uint32_t, uint32_t, uint32_t) try {
    return Bibliotheque::initialiserTrace(parametreTrace);
} catch (...) {
    return codeExceptionEchappee("KPX_InitTrace");
}

KPX_API uint16_t KPX_CALL KPX_LireVersion(unsigned char** zoneSortie, uint32_t* tailleZoneSortie) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_SYSTEME, NIV_EXPORT, "KPX_LireVersion", cr);
    trace.entree("KPX_LireVersion >> IN");
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierZoneOut(cr, zoneSortie, tailleZoneSortie);
    ZoneSortie sortie;
    Ouverture<LectureDonnees> lecture(cr);
    if (cr == 0) cr = LectureVersion::lire(*lecture, Bibliotheque::kVersionLogicielle, sortie);
    if (cr == 0) sortie.remettre(zoneSortie, tailleZoneSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_LireVersion");
}

KPX_API uint16_t KPX_CALL KPX_AllouerZoneMem(unsigned char** zone, uint32_t tailleZone) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_SYSTEME, NIV_DETAIL, "KPX_AllouerZoneMem", cr);
    trace.entree("KPX_AllouerZoneMem >> IN : tailleZone = %u", tailleZone);
    ControleurParametres::verifierPointeur(cr, zone, false);
    if (cr == 0 && tailleZone == 0) {
        tracer(CAT_SYSTEME, NIV_ERREUR, "taille nulle.");
        cr = KPX_CR_ARGUMENT;
    }
    if (cr == 0) {
        void* bloc = nullptr;
        cr = Systeme::allouer(&bloc, tailleZone);
        *zone = static_cast<unsigned char*>(bloc);
    }
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_AllouerZoneMem");
}

KPX_API void KPX_CALL KPX_LibererZoneMem(unsigned char* zone) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_SYSTEME, NIV_DETAIL, "KPX_LibererZoneMem", cr, TraceExport::kSansCode);
    trace.entree("KPX_LibererZoneMem >> IN : zone = 0x%p", static_cast<void*>(zone));
    Systeme::liberer(zone);
} catch (...) {
    codeExceptionEchappee("KPX_LibererZoneMem");
}

KPX_API uint16_t KPX_CALL KPX_ConsulterDonnee(const char* identifiant, const char* dateReference,
                                              const unsigned char* zoneEntree, uint32_t tailleZoneEntree,
                                              unsigned char** zoneSortie, uint32_t* tailleZoneSortie) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_CONSULTATION, NIV_EXPORT, "KPX_ConsulterDonnee", cr);
    trace.entree("KPX_ConsulterDonnee >> IN : identifiant = %s, dateReference = %s", texte(identifiant),
                 texte(dateReference));
    std::unique_ptr<Date> date;
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierChaine(cr, identifiant, true);
    ControleurParametres::verifierDate(cr, dateReference, date);
    ControleurParametres::verifierZoneOut(cr, zoneSortie, tailleZoneSortie);
    if (cr == 0 && std::strcmp(identifiant, "Dump") == 0) {
        Bibliotheque::referentiel()->afficher(NIV_DETAIL);
        trace.annuler();
        return cr;
    }
    const SuperGroupe* racine = nullptr;
    uint16_t numero = 0;
    rechercherFonction(cr, &Interface::lireSuperGroupeConsulter, identifiant, racine, numero);
    std::optional<ZoneKPX> entree;
    regleZoneEntree(cr, racine, zoneEntree, tailleZoneEntree, entree);
    ZoneSortie sortie;
    Ouverture<LectureDonnees> lecture(cr);
    if (cr == 0) {
        FonctionsConsulter fonctions(*date, entree ? &*entree : nullptr, racine, *lecture);
        cr = fonctions.executer(numero, sortie);
    }
    if (cr == 0) sortie.remettre(zoneSortie, tailleZoneSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_ConsulterDonnee");
}

KPX_API uint16_t KPX_CALL KPX_RechercherParMotCle(const char* motCle, uint32_t cadreRecherche,
                                                  unsigned char** zoneSortie, uint32_t* tailleZoneSortie) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_CONSULTATION, NIV_EXPORT, "KPX_RechercherParMotCle", cr);
    trace.entree("KPX_RechercherParMotCle >> IN : motCle = %s, cadreRecherche = %lu", texte(motCle),
                 static_cast<unsigned long>(cadreRecherche));
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierChaine(cr, motCle, true);
    ControleurParametres::verifierZoneOut(cr, zoneSortie, tailleZoneSortie);
    rechercher(cr, [&](RechercheActes& recherche, ZoneSortie& sortie) {
        return recherche.parMotCle(motCle, cadreRecherche, sortie);
    }, zoneSortie, tailleZoneSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_RechercherParMotCle");
}

KPX_API uint16_t KPX_CALL KPX_RechercherParFiltre(const char* filtre, unsigned char** zoneSortie,
                                                  uint32_t* tailleZoneSortie) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_CONSULTATION, NIV_EXPORT, "KPX_RechercherParFiltre", cr);
    trace.entree("KPX_RechercherParFiltre >> IN : filtre = %s", texte(filtre));
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierChaine(cr, filtre, false);
    if (cr == 0 && !filtreValide(filtre)) cr = KPX_CR_ARGUMENT;
    ControleurParametres::verifierZoneOut(cr, zoneSortie, tailleZoneSortie);
    rechercher(cr, [&](RechercheActes& recherche, ZoneSortie& sortie) { return recherche.parFiltre(filtre, sortie); },
               zoneSortie, tailleZoneSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_RechercherParFiltre");
}

KPX_API uint16_t KPX_CALL KPX_ModifierDonnee(const char* identifiant, const char* dateEffet,
                                             const unsigned char* zoneEntree, uint32_t tailleZoneEntree) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_MODIFICATION, NIV_EXPORT, "KPX_ModifierDonnee", cr);
    trace.entree("KPX_ModifierDonnee >> IN : identifiant = %s, dateEffet = %s", texte(identifiant),
                 texte(dateEffet));
    std::unique_ptr<Date> date;
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierChaine(cr, identifiant, true);
    ControleurParametres::verifierDate(cr, dateEffet, date);
    ControleurParametres::verifierZoneIn(cr, zoneEntree, tailleZoneEntree);
    const SuperGroupe* racine = nullptr;
    uint16_t numero = 0;
    rechercherFonction(cr, &Interface::lireSuperGroupeModifier, identifiant, racine, numero);
    std::unique_ptr<ZoneKPX> entree;
    if (cr == 0) entree.reset(new ZoneKPX(zoneEntree, tailleZoneEntree));
    ecrire(cr, [&](ModificationDonnees& modification) {
        FonctionsModifier fonctions(*date, entree.get(), racine, modification);
        return fonctions.executer(numero);
    });
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_ModifierDonnee");
}

KPX_API uint16_t KPX_CALL KPX_AnnulerModification(const char* identifiant, const unsigned char* zoneEntree,
                                                  uint32_t tailleZoneEntree) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_MODIFICATION, NIV_EXPORT, "KPX_AnnulerModification", cr);
    trace.entree("KPX_AnnulerModification >> IN : identifiant = %s", texte(identifiant));
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierChaine(cr, identifiant, true);
    const SuperGroupe* racine = nullptr;
    uint16_t numero = 0;
    rechercherFonction(cr, &Interface::lireSuperGroupeAnnuler, identifiant, racine, numero);
    std::optional<ZoneKPX> entree;
    regleZoneEntree(cr, racine, zoneEntree, tailleZoneEntree, entree);
    ecrire(cr, [&](ModificationDonnees& modification) {
        FonctionsAnnuler fonctions(entree ? &*entree : nullptr, racine, modification);
        return fonctions.executer(numero);
    });
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_AnnulerModification");
}

KPX_API uint16_t KPX_CALL KPX_SauvegarderReferentiel(const char* commentaire) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_SAUVEGARDE, NIV_EXPORT, "KPX_SauvegarderReferentiel", cr);
    trace.entree("KPX_SauvegarderReferentiel >> IN : commentaire = %s", texte(commentaire));
    Bibliotheque::verifierReferentiel(cr);
    if (cr == 0 && commentaire != nullptr && std::strlen(commentaire) > kLongueurCommentaireMax) {
        tracer(CAT_SAUVEGARDE, NIV_ERREUR, "La taille du commentaire est superieure à 200 caractères.");
        cr = KPX_CR_ARGUMENT;
    }
    Ouverture<ModificationDonnees> modification(cr);
    if (cr == 0 && !Bibliotheque::referentielModifie() && (commentaire == nullptr || commentaire[0] == '\0')) {
        tracer(CAT_SAUVEGARDE, NIV_DETAIL, "Aucune modification à sauvegarder ; cr = 0x%04X", cr);
        trace.annuler();
        return cr;
    }
    if (cr == 0) cr = (*modification).sauvegarderReferentiel(commentaire);
    if (cr == 0) Bibliotheque::marquerModifie(false);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_SauvegarderReferentiel");
}

KPX_API uint16_t KPX_CALL KPX_AppliquerRegle(const char* identifiant, const unsigned char* zoneEntree,
                                             uint32_t tailleZoneEntree, unsigned char** zoneSortie,
                                             uint32_t* tailleZoneSortie) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_REGLE, NIV_EXPORT, "KPX_AppliquerRegle", cr);
    trace.entree("KPX_AppliquerRegle >> IN : identifiant = %s", texte(identifiant));
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierChaine(cr, identifiant, true);
    ControleurParametres::verifierZoneIn(cr, zoneEntree, tailleZoneEntree);
    ControleurParametres::verifierZoneOut(cr, zoneSortie, tailleZoneSortie);
    const SuperGroupe* racine = nullptr;
    uint16_t numero = 0;
    rechercherFonction(cr, &Interface::lireSuperGroupeRegle, identifiant, racine, numero);
    std::unique_ptr<ZoneKPX> entree;
    if (cr == 0) entree.reset(new ZoneKPX(zoneEntree, tailleZoneEntree));
    ZoneSortie sortie;
    lire(cr, [&](LectureDonnees& lecture) {
        cr = FonctionsAppliquer::appliquer(lecture, racine, numero, entree.get(), sortie);
    });
    // A rule warning comes with the zone it computed.
    if (cr == 0 || cr == KPX_CR_REGLE_AVERTISSEMENT_1 || cr == KPX_CR_REGLE_AVERTISSEMENT_2)
        sortie.remettre(zoneSortie, tailleZoneSortie);
    return cr = traduireControle(cr);
} catch (...) {
    return codeExceptionEchappee("KPX_AppliquerRegle");
}

KPX_API uint16_t KPX_CALL KPX_ControlerDonnees(const char* identifiant, const char* dateReference,
                                               const unsigned char* zoneEntree, uint32_t tailleZoneEntree,
                                               char* resultat) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_CONTROLE, NIV_EXPORT, "KPX_ControlerDonnees", cr);
    trace.entree("KPX_ControlerDonnees >> IN : identifiant = %s, dateReference = %s", texte(identifiant),
                 texte(dateReference));
    std::unique_ptr<Date> date;
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierChaine(cr, identifiant, true);
    ControleurParametres::verifierDate(cr, dateReference, date);
    ControleurParametres::verifierZoneIn(cr, zoneEntree, tailleZoneEntree);
    ControleurParametres::verifierPointeur(cr, resultat, true);
    const SuperGroupe* racine = nullptr;
    uint16_t numero = 0;
    rechercherFonction(cr, &Interface::lireSuperGroupeControler, identifiant, racine, numero);
    std::unique_ptr<ZoneKPX> entree;
    if (cr == 0) entree.reset(new ZoneKPX(zoneEntree, tailleZoneEntree));
    lire(cr, [&](LectureDonnees& lecture) {
        Booleen verifie(false);
        cr = FonctionsControler::controler(lecture, racine, numero, *date, entree.get(), verifie);
        *resultat = verifie.valeur() ? 'O' : 'N';
    });
    return cr = traduireControle(cr);
} catch (...) {
    return codeExceptionEchappee("KPX_ControlerDonnees");
}

KPX_API uint16_t KPX_CALL KPX_ControleComplet(const unsigned char* zoneEntree, uint32_t tailleZoneEntree,
                                              unsigned char** zoneSortie, uint32_t* tailleZoneSortie) try {
    uint16_t cr = 0;
    TraceExport trace(CAT_CONTROLE, NIV_EXPORT, "KPX_ControleComplet", cr);
    trace.entree("KPX_ControleComplet >> IN");
    Bibliotheque::verifierReferentiel(cr);
    ControleurParametres::verifierZoneIn(cr, zoneEntree, tailleZoneEntree);
    ControleurParametres::verifierZoneOut(cr, zoneSortie, tailleZoneSortie);
    const SuperGroupe* racine = nullptr;
    if (cr == 0) cr = Bibliotheque::interface().lireSuperGroupeControleComplet(racine);
    std::unique_ptr<ZoneKPX> entree;
    if (cr == 0) entree.reset(new ZoneKPX(zoneEntree, tailleZoneEntree));
    ZoneSortie sortie;
    uint16_t niveau = 0;
    lire(cr, [&](LectureDonnees& lecture) {
        cr = FonctionControleComplet::controler(lecture, racine, entree.get(), sortie, niveau);
    });
    if (cr == 0) {
        sortie.remettre(zoneSortie, tailleZoneSortie);
        // Violations are no failure: the zone stays the host's, the level comes in the code.
        if (niveau != 0) {
            tracer(CAT_REGLE, NIV_ERREUR, "Le contrôle complet a détecté des erreurs de niveau %hu", niveau);
            cr = static_cast<uint16_t>(niveau - 12000);
        }
    }
    return cr = traduireControle(cr);
} catch (...) {
    return codeExceptionEchappee("KPX_ControleComplet");
}

}  // extern "C"
