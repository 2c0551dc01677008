/*
 * KPXW32 public interface: the 24 exported functions and their return codes.
 * Every function returns an unsigned 16-bit code, 0 on success. Output zones
 * handed to the host are released with KPX_LibererZoneMem.
 *
 * Calling convention (KPX_CALL): under 32-bit Windows every export, and the
 * release function handed to the session-zone component, is __stdcall, the
 * convention of the Windows hosts of this library; the DLL exports them under
 * their undecorated names (KPX_InitLIB2, not _KPX_InitLIB2@4), so a host finds
 * them by GetProcAddress on the plain name and must call them through pointers
 * declared with KPX_CALL. 64-bit Windows and Linux have a single C convention.
 */
#ifndef KPXW32_H
#define KPXW32_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(KPXW32_BUILD)
#    define KPX_API __declspec(dllexport)
#  else
#    define KPX_API __declspec(dllimport)
#  endif
#  if defined(_M_IX86) || defined(__i386__)
#    define KPX_CALL __stdcall
#  else
#    define KPX_CALL
#  endif
#else
#  define KPX_API __attribute__((visibility("default")))
#  define KPX_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Release function handed to the session-zone component with an output zone. */
typedef void (KPX_CALL *KPX_FonctionLiberation)(unsigned char* zone);

/* Lifecycle, trace and memory. */
KPX_API uint16_t KPX_CALL KPX_InitLIB2(const char* fichierConfiguration);
KPX_API uint16_t KPX_CALL KPX_TermLIB(void);
/* The three trailing arguments are accepted and not used. */
KPX_API uint16_t KPX_CALL KPX_InitTrace(const char* parametreTrace, uint32_t reserve1,
                                        uint32_t reserve2, uint32_t reserve3);
KPX_API uint16_t KPX_CALL KPX_LireVersion(unsigned char** zoneSortie, uint32_t* tailleZoneSortie);
KPX_API uint16_t KPX_CALL KPX_AllouerZoneMem(unsigned char** zone, uint32_t tailleZone);
KPX_API void KPX_CALL KPX_LibererZoneMem(unsigned char* zone);

/* Consultation and search. Dates are "YYYYMMDD" (or followed by "0000"). */
KPX_API uint16_t KPX_CALL KPX_ConsulterDonnee(const char* identifiant, const char* dateReference,
                                              const unsigned char* zoneEntree, uint32_t tailleZoneEntree,
                                              unsigned char** zoneSortie, uint32_t* tailleZoneSortie);
/* cadreRecherche 0 searches every frame. */
KPX_API uint16_t KPX_CALL KPX_RechercherParMotCle(const char* motCle, uint32_t cadreRecherche,
                                                  unsigned char** zoneSortie, uint32_t* tailleZoneSortie);
/* filtre: at most 4 capitals 'A'-'Z'; empty or null lists every act. */
KPX_API uint16_t KPX_CALL KPX_RechercherParFiltre(const char* filtre, unsigned char** zoneSortie,
                                                  uint32_t* tailleZoneSortie);

/* Local modifications. */
KPX_API uint16_t KPX_CALL KPX_ModifierDonnee(const char* identifiant, const char* dateEffet,
                                             const unsigned char* zoneEntree, uint32_t tailleZoneEntree);
KPX_API uint16_t KPX_CALL KPX_AnnulerModification(const char* identifiant, const unsigned char* zoneEntree,
                                                  uint32_t tailleZoneEntree);
/* commentaire may be null; at most 200 characters. */
KPX_API uint16_t KPX_CALL KPX_SauvegarderReferentiel(const char* commentaire);

/* Controls and rules. */
KPX_API uint16_t KPX_CALL KPX_AppliquerRegle(const char* identifiant, const unsigned char* zoneEntree,
                                             uint32_t tailleZoneEntree, unsigned char** zoneSortie,
                                             uint32_t* tailleZoneSortie);
/* *resultat receives 'O' or 'N'. */
KPX_API uint16_t KPX_CALL KPX_ControlerDonnees(const char* identifiant, const char* dateReference,
                                               const unsigned char* zoneEntree, uint32_t tailleZoneEntree,
                                               char* resultat);
/* 0xD120 + n: errors of level n were found; the output zone is still the host's. */
KPX_API uint16_t KPX_CALL KPX_ControleComplet(const unsigned char* zoneEntree, uint32_t tailleZoneEntree,
                                              unsigned char** zoneSortie, uint32_t* tailleZoneSortie);

/* Session variants: zones travel through the session-zone component. */
KPX_API uint16_t KPX_CALL KPX_ConsulterDonnee_S(const char* identifiant, const char* dateReference,
                                                uint16_t numeroSession);
KPX_API uint16_t KPX_CALL KPX_RechercherParMotCle_S(const char* motCle, uint32_t cadreRecherche,
                                                    uint16_t numeroSession);
KPX_API uint16_t KPX_CALL KPX_RechercherParFiltre_S(const char* filtre, uint16_t numeroSession);
KPX_API uint16_t KPX_CALL KPX_ModifierDonnee_S(const char* identifiant, const char* dateEffet,
                                               uint16_t numeroSession);
KPX_API uint16_t KPX_CALL KPX_AnnulerModification_S(const char* identifiant, uint16_t numeroSession);
KPX_API uint16_t KPX_CALL KPX_AppliquerRegle_S(const char* identifiant, uint16_t numeroSession);
KPX_API uint16_t KPX_CALL KPX_ControlerDonnees_S(const char* identifiant, const char* dateReference,
                                                 uint16_t numeroSession, char* resultat);
KPX_API uint16_t KPX_CALL KPX_ControleComplet_S(uint16_t numeroSession);
KPX_API uint16_t KPX_CALL KPX_LireVersion_S(uint16_t numeroSession);

#ifdef __cplusplus
}
#endif

/* Return codes. */
#define KPX_OK                          0x0000u

/* Input zone faults: base + rank of the field or group, or + group number. */
#define KPX_CR_CHAMP_BASE               0x9000u /* + field rank in the zone */
#define KPX_CR_GROUPE_BASE              0xA000u /* + group rank */
#define KPX_CR_GROUPE_ABSENT_BASE       0xA800u /* + group rank */
#define KPX_CR_NUMERO_GROUPE_BASE       0xB000u /* + group number */
#define KPX_CR_ZONE_NON_ATTENDUE        0xA000u /* input zone given to a function that takes none */
#define KPX_CR_NUMERO_PRESTATION_BASE   0xE000u /* + line number: a dependent group names another prestation */
#define KPX_CR_TROP_DE_LIGNES           0xE100u /* an invoice line beyond the 250th */

/* Function outcomes. */
#define KPX_CR_IDENTIFIANT_INCONNU      0xD000u
#define KPX_CR_AUCUN_RESULTAT           0xD001u
#define KPX_CR_ELEMENT_ABSENT           0xD002u
#define KPX_CR_RIEN_EN_VIGUEUR          0xD003u
#define KPX_CR_DATE_EFFET_REFUSEE       0xD004u
#define KPX_CR_RIEN_A_ANNULER           0xD005u
#define KPX_CR_MODIFICATION_MIN         0xD006u
#define KPX_CR_CAISSE_NON_DOM           0xD006u /* caisse number of no overseas department */
#define KPX_CR_CODE_REGROUPEMENT_INCONNU 0xD007u /* new grouping code absent from the référentiel */
#define KPX_CR_CODE_REGROUPEMENT_EXISTANT 0xD008u /* grouping code to add already exists */
#define KPX_CR_CODE_REGROUPEMENT_NATURE 0xD009u /* grouping code to add is a prestation nature */
#define KPX_CR_MODIFICATION_MAX         0xD009u

/* Control, rule application and complete control (0xD100 to 0xD123). */
#define KPX_CR_CONTROLE_MIN             0xD100u
#define KPX_CR_CONTROLE_IDENTIFIANT     0xD100u
#define KPX_CR_CONTROLE_ABSENT          0xD102u
#define KPX_CR_CONTROLE_RIEN_EN_VIGUEUR 0xD103u
#define KPX_CR_LISTE_MODIFICATEURS      0xD107u /* a modifier given after an absent one */
#define KPX_CR_LISTE_DENTS              0xD108u /* a tooth number repeated or after an absent one */
#define KPX_CR_REGLE_AVERTISSEMENT_1    0xD112u
#define KPX_CR_REGLE_AVERTISSEMENT_2    0xD115u
#define KPX_CR_CONTROLE_NIVEAU_BASE     0xD120u /* + error level */
#define KPX_CR_MONTANT_TROP_LONG        0xD123u /* a computed price or base longer than 7 characters with two decimals */
#define KPX_CR_CONTROLE_MAX             0xD123u

/* Loading and writing the référentiel. */
#define KPX_CR_DEJA_CHARGE              0xD600u
#define KPX_CR_CHARGEMENT_MIN           0xD600u
#define KPX_CR_CHARGEMENT_MAX           0xD6FFu
#define KPX_CR_OUVERTURE_FICHIER        0xD610u /* table file cannot be opened or closed */
#define KPX_CR_OUVERTURE_MODIFICATIONS  0xD611u /* modification file cannot be opened (other than absent) or closed */
#define KPX_CR_VERSION                  0xD620u /* référentiel or software version refused */
#define KPX_CR_VERSION_MODIFICATIONS    0xD621u /* modification file made for another référentiel version */
#define KPX_CR_CRC                      0xD630u /* table file CRC mismatch */
#define KPX_CR_CRC_MODIFICATIONS        0xD631u /* modification file CRC mismatch */
#define KPX_CR_LECTURE                  0xD640u /* table file unreadable or inconsistent */
#define KPX_CR_LECTURE_MODIFICATIONS    0xD641u /* the same for the modification file */
#define KPX_CR_NOMBRE_TABLES            0xD650u /* fewer than 58 tables in the table file */
#define KPX_CR_NOMBRE_TABLES_TOTAL      0xD651u /* fewer than 67 tables after the modification file */
#define KPX_CR_MODIFICATIONS_NON_REJOUEES 0xD660u /* stored modifications present, and this build cannot replay them yet */
#define KPX_CR_REPERTOIRE_TABLE_ABSENT  0xD680u
#define KPX_CR_ECRITURE                 0xD700u

/* Référentiel state and internal faults. */
#define KPX_CR_NON_CHARGE               0xDF00u
#define KPX_CR_OCCUPE                   0xDF01u
#define KPX_CR_CONSTRUCTION             0xDFFCu /* allocation or construction failure, std::bad_alloc included */
#define KPX_CR_EXCEPTION                0xDFFDu /* any other C++ exception stopped the call; the library stays usable */
#define KPX_CR_DONNEES_INCOHERENTES     0xDFFEu
#define KPX_CR_NON_PREVU                0xDFFFu

/* Sibling components. */
#define KPX_CR_REPERTOIRE_TRAVAIL       0xF6F1u
#define KPX_CR_VERSION_DEJA_ECRITE      0xF6F2u
#define KPX_CR_COMPOSANT_SESSION        0xF6F5u
#define KPX_CR_COMPOSANT_SERVICES       0xF6F6u

/* Arguments, memory and zone codec (0xF800 to 0xF810). */
#define KPX_CR_POINTEUR_NUL             0xF800u
#define KPX_CR_MEMOIRE                  0xF801u
#define KPX_CR_ARGUMENT                 0xF802u
#define KPX_CR_ZONE_ENTREE              0xF803u
#define KPX_CR_ZONE_MIN                 0xF804u
#define KPX_CR_ZONE_PLEINE              0xF804u /* no room for a group or a field */
#define KPX_CR_ZONE_FIN                 0xF805u /* past the last group or field */
#define KPX_CR_ZONE_GROUPE_INVALIDE     0xF809u /* field added with no current group */
#define KPX_CR_ZONE_MALFORMEE           0xF810u /* coded length or size inconsistent */
#define KPX_CR_ZONE_MAX                 0xF810u

#endif /* KPXW32_H */
