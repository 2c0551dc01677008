// Meanings of the return codes, by family.
#include "hote/Codes.h"

#include "KPXW32.h"

const char* significationCode(uint16_t cr) {
    switch (cr) {
        case KPX_OK: return "success";
        case KPX_CR_IDENTIFIANT_INCONNU: return "function identifier not found";
        case KPX_CR_AUCUN_RESULTAT: return "no result";
        case KPX_CR_ELEMENT_ABSENT: return "element absent from the referentiel";
        case KPX_CR_RIEN_EN_VIGUEUR: return "nothing in force at that date";
        case KPX_CR_DATE_EFFET_REFUSEE: return "effective date refused";
        case KPX_CR_RIEN_A_ANNULER: return "nothing to cancel";
        case KPX_CR_CAISSE_NON_DOM: return "caisse number of no overseas department";
        case KPX_CR_CODE_REGROUPEMENT_INCONNU: return "grouping code absent from the referentiel";
        case KPX_CR_CODE_REGROUPEMENT_EXISTANT: return "grouping code already exists";
        case KPX_CR_CODE_REGROUPEMENT_NATURE: return "grouping code already used as a prestation nature";
        case KPX_CR_CONTROLE_IDENTIFIANT: return "function identifier not found (control)";
        case KPX_CR_CONTROLE_ABSENT: return "element absent (control)";
        case KPX_CR_CONTROLE_RIEN_EN_VIGUEUR: return "nothing in force at that date (control)";
        case KPX_CR_DATE_DEPLACEMENT: return "travel line not on the date of the line it is attached to";
        case KPX_CR_LISTE_MODIFICATEURS: return "a modifier given after an absent one";
        case KPX_CR_LISTE_DENTS: return "a tooth number repeated or given after an absent one";
        case KPX_CR_NATURE_ASSURANCE: return "no nature of insurance group (1511 to 1515) after the header, or two";
        case KPX_CR_PRESTATION_REGROUPEMENT: return "the prestation code is a grouping code (PROD170)";
        case KPX_CR_ASSOCIATION_INCOMPATIBLE: return "incompatible acts in the association";
        case KPX_CR_AVANT_NAISSANCE: return "reference date before the date of birth";
        case KPX_CR_BASE_THEORIQUE_ABSENTE: return "CCAM line (group 2100) without its theoretical base (group 2020)";
        case KPX_CR_CONTROLE_NIVEAU_BASE + 1: return "the invoice breaks rules that may be overridden (error level 1)";
        case KPX_CR_CONTROLE_NIVEAU_BASE + 2: return "the invoice breaks rules that cannot be overridden (error level 2)";
        case KPX_CR_NUMERO_GROUPE_BASE + 3470: return "CCAM line without its tariff contexts (group 3470), or group 3470 repeated";
        case KPX_CR_REGLE_AVERTISSEMENT_1: return "a single prevention code without the prevention flag (zone given)";
        case KPX_CR_REGLE_AVERTISSEMENT_2: return "the prevention flag without a prevention code (zone given)";
        case KPX_CR_MONTANT_TROP_LONG: return "computed amount longer than 7 characters";
        case KPX_CR_TROP_DE_LIGNES: return "more than 250 invoice lines or acts";
        case KPX_CR_DEJA_CHARGE: return "referentiel already loaded";
        case KPX_CR_OUVERTURE_FICHIER: return "table file cannot be opened or closed";
        case KPX_CR_OUVERTURE_MODIFICATIONS: return "modification file cannot be opened or closed";
        case KPX_CR_VERSION: return "referentiel or software version refused";
        case KPX_CR_VERSION_MODIFICATIONS: return "modification file made for another referentiel version";
        case KPX_CR_CRC: return "table file CRC mismatch";
        case KPX_CR_CRC_MODIFICATIONS: return "modification file CRC mismatch";
        case KPX_CR_LECTURE: return "table file unreadable or inconsistent";
        case KPX_CR_LECTURE_MODIFICATIONS: return "modification file unreadable or inconsistent";
        case KPX_CR_NOMBRE_TABLES: return "fewer than 58 tables in the table file";
        case KPX_CR_NOMBRE_TABLES_TOTAL: return "fewer than 67 tables after the modification file";
        case KPX_CR_VERSION_DEJA_ECRITE: return "component version changed, record replaced";
        case KPX_CR_REPERTOIRE_TABLE_ABSENT: return "configuration key repertoiretable absent";
        case KPX_CR_ECRITURE: return "writing the referentiel failed";
        case KPX_CR_NON_CHARGE: return "no referentiel loaded";
        case KPX_CR_OCCUPE: return "referentiel busy";
        case KPX_CR_CONSTRUCTION: return "allocation or construction failure";
        case KPX_CR_EXCEPTION: return "unexpected internal exception";
        case KPX_CR_DONNEES_INCOHERENTES: return "inconsistent reference data";
        case KPX_CR_NON_PREVU: return "no handler for this function";
        case KPX_CR_REPERTOIRE_TRAVAIL: return "configuration key repertoiretravail absent";
        case KPX_CR_COMPOSANT_SESSION: return "session-zone component missing";
        case KPX_CR_COMPOSANT_SERVICES: return "common-services component missing";
        case KPX_CR_POINTEUR_NUL: return "null output pointer";
        case KPX_CR_MEMOIRE: return "memory exhausted";
        case KPX_CR_ARGUMENT: return "invalid argument";
        case KPX_CR_ZONE_ENTREE: return "null or empty input zone";
        default: break;
    }
    if (cr > KPX_CR_NUMERO_PRESTATION_BASE && cr < KPX_CR_TROP_DE_LIGNES)
        return "a line's group names another line (0xE000 + the line's position)";
    if (cr >= KPX_CR_CONTROLE_MIN && cr <= KPX_CR_CONTROLE_MAX) return "control outcome";
    if (cr >= KPX_CR_CHARGEMENT_MIN && cr <= KPX_CR_CHARGEMENT_MAX) return "loading the referentiel failed";
    if (cr >= KPX_CR_ZONE_MIN && cr <= KPX_CR_ZONE_MAX) return "exchange zone fault";
    if (cr >= KPX_CR_NUMERO_GROUPE_BASE && cr < KPX_CR_NUMERO_GROUPE_BASE + 0x1000)
        return "required group missing or group repeated (0xB000 + its number)";
    if (cr >= KPX_CR_GROUPE_ABSENT_BASE && cr < KPX_CR_NUMERO_GROUPE_BASE) return "input group fault";
    if (cr >= KPX_CR_GROUPE_BASE && cr < KPX_CR_GROUPE_ABSENT_BASE) return "input group fault";
    if (cr >= KPX_CR_CHAMP_BASE && cr < KPX_CR_GROUPE_BASE) return "input field fault";
    return "unknown code";
}
