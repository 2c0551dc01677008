/*
 * Common-services component: configuration strings read from an INI file,
 * the trace file, and the recording of component versions.
 * All entries use the C calling convention and return 0 on success.
 */
#ifndef DLNW32_H
#define DLNW32_H

#include <stdint.h>

#if defined(_WIN32)
#  define DLN_API __declspec(dllexport)
#else
#  define DLN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Codes of this component. */
#define DLN_OK                    0x0000u
#define DLN_CR_VERSION_DEJA_ECRITE 0xF6F2u /* identifier was recorded with another version: replaced */
#define DLN_CR_FICHIER_ABSENT     0xF6E0u  /* configuration file missing or unreadable */
#define DLN_CR_ARGUMENT           0xF6E1u  /* null or malformed argument */
#define DLN_CR_TRACE_FICHIER      0xF6E2u  /* trace file cannot be opened */
#define DLN_CR_REPERTOIRE_TRAVAIL 0xF6F1u  /* "repertoiretravail" absent from [COMMUN] */
#define DLN_CR_VERSION_FICHIER    0xF6E3u  /* versions file cannot be written */
#define DLN_CR_MEMOIRE            0xDFFCu  /* memory exhausted */
#define DLN_CR_EXCEPTION          0xDFFDu  /* any other internal fault; the component stays usable */

/* Uses the INI file for every later string read. */
DLN_API uint16_t LN_usSetFichierKoral(const char* fichier);
/* Copies the value of [section] cle into buffer (null-terminated, truncated to
   taille - 1); returns its length plus one, or 0 when the key is absent. */
DLN_API uint32_t LN_ulLireChaineKoral(const char* section, const char* cle, char* buffer, uint32_t taille);
/* Records "identifiant=version" in versions.txt of the working directory. */
DLN_API uint16_t LN_usEcrireVersionComposant(uint16_t identifiant, const char* version, uint32_t longueur);
/* Switches the trace of a module on; parametre is "fichier=PATH;niveau=N" (both optional). */
DLN_API uint16_t LN_usActiverTrace(const char* module, const char* parametre);
/* Writes one line: timestamp, module, category, level, formatted text. */
DLN_API uint16_t LN_TraceEcrire(const char* module, uint16_t categorie, uint16_t niveau, const char* format, ...);
DLN_API uint16_t LN_ArretTraces(void);
/* An addition of this implementation, optional for callers: the highest level
   that LN_TraceEcrire writes now (0 while the trace is off), so that a caller can
   skip formatting the lines that would be dropped. */
DLN_API uint16_t LN_usNiveauTrace(const char* module);

typedef uint16_t (*LN_usSetFichierKoral_t)(const char*);
typedef uint32_t (*LN_ulLireChaineKoral_t)(const char*, const char*, char*, uint32_t);
typedef uint16_t (*LN_usEcrireVersionComposant_t)(uint16_t, const char*, uint32_t);
typedef uint16_t (*LN_usActiverTrace_t)(const char*, const char*);
typedef uint16_t (*LN_TraceEcrire_t)(const char*, uint16_t, uint16_t, const char*, ...);
typedef uint16_t (*LN_ArretTraces_t)(void);
typedef uint16_t (*LN_usNiveauTrace_t)(const char*);

#ifdef __cplusplus
}
#endif

#endif
