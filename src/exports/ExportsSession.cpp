// The session variants: the input zone comes from the session-zone component,
// the buffer-based export does the work, the output zone goes back to it.
#include <cstdint>

#include "KPXW32.h"
#include "frame/Composants.h"
#include "frame/ExceptionEchappee.h"
#include "frame/Trace.h"
#include "exports/TraceExport.h"

namespace {

// Takes the session's input zone; a refusal ends the call with its code.
bool lireEntree(uint16_t& cr, uint16_t numeroSession, unsigned char*& buffer, uint32_t& taille) {
    cr = Composants::lireZoneIn()(numeroSession, &buffer, &taille);
    return cr == 0;
}

// Hands the output zone to the session; when the session refuses it, the zone is released here.
uint16_t ecrireSortie(uint16_t numeroSession, unsigned char* buffer, uint32_t taille) {
    uint16_t cr = Composants::ecrireZoneOut()(numeroSession, buffer, taille, KPX_LibererZoneMem);
    if (cr != 0) KPX_LibererZoneMem(buffer);
    return cr;
}

}  // namespace

extern "C" {

KPX_API uint16_t KPX_CALL KPX_ConsulterDonnee_S(const char* identifiant, const char* dateReference,
                                                uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_CONSULTATION, NIV_EXPORT, "KPX_ConsulterDonnee_S", cr);
    trace.entree("KPX_ConsulterDonnee_S >> IN : numeroSession = %hu", numeroSession);
    unsigned char* entree = nullptr;
    uint32_t tailleEntree = 0;
    if (!lireEntree(cr, numeroSession, entree, tailleEntree)) return cr;
    unsigned char* sortie = nullptr;
    uint32_t tailleSortie = 0;
    cr = KPX_ConsulterDonnee(identifiant, dateReference, entree, tailleEntree, &sortie, &tailleSortie);
    if (cr == 0) cr = ecrireSortie(numeroSession, sortie, tailleSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_ConsulterDonnee_S");
}

KPX_API uint16_t KPX_CALL KPX_RechercherParMotCle_S(const char* motCle, uint32_t cadreRecherche,
                                                    uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_CONSULTATION, NIV_EXPORT, "KPX_RechercherParMotCle_S", cr);
    trace.entree("KPX_RechercherParMotCle_S  >> IN : numeroSession = %hu", numeroSession);
    unsigned char* sortie = nullptr;
    uint32_t tailleSortie = 0;
    cr = KPX_RechercherParMotCle(motCle, cadreRecherche, &sortie, &tailleSortie);
    if (cr == 0) cr = ecrireSortie(numeroSession, sortie, tailleSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_RechercherParMotCle_S");
}

KPX_API uint16_t KPX_CALL KPX_RechercherParFiltre_S(const char* filtre, uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_CONSULTATION, NIV_EXPORT, "KPX_RechercherParFiltre_S", cr);
    trace.entree("KPX_RechercherParFiltre_S >> IN : numeroSession = %hu", numeroSession);
    unsigned char* sortie = nullptr;
    uint32_t tailleSortie = 0;
    cr = KPX_RechercherParFiltre(filtre, &sortie, &tailleSortie);
    if (cr == 0) cr = ecrireSortie(numeroSession, sortie, tailleSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_RechercherParFiltre_S");
}

KPX_API uint16_t KPX_CALL KPX_ModifierDonnee_S(const char* identifiant, const char* dateEffet,
                                               uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_MODIFICATION, NIV_EXPORT, "KPX_ModifierDonnee_S", cr);
    trace.entree("KPX_ModifierDonnee_S >> IN : numeroSession = %hu", numeroSession);
    unsigned char* entree = nullptr;
    uint32_t tailleEntree = 0;
    if (!lireEntree(cr, numeroSession, entree, tailleEntree)) return cr;
    return cr = KPX_ModifierDonnee(identifiant, dateEffet, entree, tailleEntree);
} catch (...) {
    return codeExceptionEchappee("KPX_ModifierDonnee_S");
}

KPX_API uint16_t KPX_CALL KPX_AnnulerModification_S(const char* identifiant, uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_MODIFICATION, NIV_EXPORT, "KPX_AnnulerModification_S", cr);
    trace.entree("KPX_AnnulerModification_S >> IN : numeroSession = %hu", numeroSession);
    unsigned char* entree = nullptr;
    uint32_t tailleEntree = 0;
    if (!lireEntree(cr, numeroSession, entree, tailleEntree)) return cr;
    return cr = KPX_AnnulerModification(identifiant, entree, tailleEntree);
} catch (...) {
    return codeExceptionEchappee("KPX_AnnulerModification_S");
}

KPX_API uint16_t KPX_CALL KPX_AppliquerRegle_S(const char* identifiant, uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_REGLE, NIV_EXPORT, "KPX_AppliquerRegle_S", cr);
    trace.entree("KPX_AppliquerRegle_S >> IN : numeroSession = %hu", numeroSession);
    unsigned char* entree = nullptr;
    uint32_t tailleEntree = 0;
    if (!lireEntree(cr, numeroSession, entree, tailleEntree)) return cr;
    unsigned char* sortie = nullptr;
    uint32_t tailleSortie = 0;
    cr = KPX_AppliquerRegle(identifiant, entree, tailleEntree, &sortie, &tailleSortie);
    // The session takes a zone on success only; one that came with a rule warning is released.
    if (cr == 0)
        cr = ecrireSortie(numeroSession, sortie, tailleSortie);
    else if (sortie != nullptr)
        KPX_LibererZoneMem(sortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_AppliquerRegle_S");
}

KPX_API uint16_t KPX_CALL KPX_ControlerDonnees_S(const char* identifiant, const char* dateReference,
                                                 uint16_t numeroSession, char* resultat) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_REGLE, NIV_EXPORT, "KPX_ControlerDonnees_S", cr);
    trace.entree("KPX_ControlerDonnees_S >> IN : numeroSession = %hu", numeroSession);
    unsigned char* entree = nullptr;
    uint32_t tailleEntree = 0;
    if (!lireEntree(cr, numeroSession, entree, tailleEntree)) return cr;
    return cr = KPX_ControlerDonnees(identifiant, dateReference, entree, tailleEntree, resultat);
} catch (...) {
    return codeExceptionEchappee("KPX_ControlerDonnees_S");
}

KPX_API uint16_t KPX_CALL KPX_ControleComplet_S(uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_REGLE, NIV_EXPORT, "KPX_ControleComplet_S", cr);
    trace.entree("KPX_ControleComplet_S >> IN : numeroSession = %hu", numeroSession);
    trace.suffixeSortie(" ");
    unsigned char* entree = nullptr;
    uint32_t tailleEntree = 0;
    if (!lireEntree(cr, numeroSession, entree, tailleEntree)) return cr;
    unsigned char* sortie = nullptr;
    uint32_t tailleSortie = 0;
    cr = KPX_ControleComplet(entree, tailleEntree, &sortie, &tailleSortie);
    // Errors of level 1 or 2 still come with a zone for the host.
    if (cr == 0 || cr == KPX_CR_CONTROLE_NIVEAU_BASE + 1 || cr == KPX_CR_CONTROLE_NIVEAU_BASE + 2) {
        uint16_t crSession = ecrireSortie(numeroSession, sortie, tailleSortie);
        if (crSession != 0) cr = crSession;
    }
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_ControleComplet_S");
}

KPX_API uint16_t KPX_CALL KPX_LireVersion_S(uint16_t numeroSession) try {
    uint16_t cr = Composants::verifierALaDemande();
    if (cr != 0) return cr;
    TraceExport trace(CAT_SYSTEME, NIV_EXPORT, "KPX_LireVersion_S", cr);
    trace.entree("KPX_LireVersion_S >> IN  : numeroSession = %hu", numeroSession);
    unsigned char* sortie = nullptr;
    uint32_t tailleSortie = 0;
    cr = KPX_LireVersion(&sortie, &tailleSortie);
    if (cr == 0) cr = ecrireSortie(numeroSession, sortie, tailleSortie);
    return cr;
} catch (...) {
    return codeExceptionEchappee("KPX_LireVersion_S");
}

}  // extern "C"
