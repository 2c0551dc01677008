/*
 * Session-zone component: exchange zones kept in memory under a session number.
 * The library reads a session's input zone and deposits its output zone; the
 * host deposits input zones and takes output zones with the BFH_Hote entries.
 */
#ifndef BFHW32_H
#define BFHW32_H

#include <stdint.h>

#if defined(_WIN32)
#  define BFH_API __declspec(dllexport)
#else
#  define BFH_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define BFH_OK                 0x0000u
#define BFH_CR_SESSION_INCONNUE 0xF6E8u /* no input zone under this session */
#define BFH_CR_ARGUMENT        0xF6E9u  /* null address */
#define BFH_CR_SORTIE_FERMEE   0xF6EAu  /* the session takes no output zone */
#define BFH_CR_MEMOIRE         0xDFFCu
#define BFH_CR_EXCEPTION       0xDFFDu  /* any other internal fault; the component stays usable */

/* The library's release function follows its own calling convention. */
#if defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
#  define BFH_CALLBACK __stdcall
#else
#  define BFH_CALLBACK
#endif
typedef void (BFH_CALLBACK *BFH_FonctionLiberation)(unsigned char* zone);

/* Library side. */
/* Gives the session's input zone; it stays the component's. */
BFH_API uint16_t BFH_LireZoneIn(uint16_t session, unsigned char** buffer, uint32_t* taille);
/* Takes an output zone; released later through liberation (a previous output
   zone of the same session is released first). */
BFH_API uint16_t BFH_EcrireZoneOut(uint16_t session, unsigned char* buffer, uint32_t taille,
                                   BFH_FonctionLiberation liberation);

/* Host side. */
/* Keeps a copy of the input zone of a session (replacing an earlier one). */
BFH_API uint16_t BFH_DeposerZoneIn(uint16_t session, const unsigned char* buffer, uint32_t taille);
/* Gives the output zone of a session; it stays the component's until BFH_LibererSession.
   A session without output zone gives a null buffer and size 0. */
BFH_API uint16_t BFH_PrendreZoneOut(uint16_t session, unsigned char** buffer, uint32_t* taille);
/* Closes a session to output zones, for a host that no longer waits for the answer:
   BFH_EcrireZoneOut on it is refused until BFH_LibererSession. */
BFH_API uint16_t BFH_FermerSortie(uint16_t session);
/* Releases both zones of a session, the output one through the library's release function. */
BFH_API uint16_t BFH_LibererSession(uint16_t session);
/* Releases every session. */
BFH_API uint16_t BFH_Reinitialiser(void);

typedef uint16_t (*BFH_LireZoneIn_t)(uint16_t, unsigned char**, uint32_t*);
typedef uint16_t (*BFH_EcrireZoneOut_t)(uint16_t, unsigned char*, uint32_t, BFH_FonctionLiberation);

#ifdef __cplusplus
}
#endif

#endif
