// The exchange zone codec: coded lengths, group headers, the reading cursor and
// the insertions. Every decode is bounded by `tailleBuffer` before a byte is read.
#include "zone/ZoneKPX.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "KPXW32.h"
#include "frame/Systeme.h"
#include "frame/Trace.h"
#include "zone/TypeSimple.h"

namespace {
constexpr uint32_t kOctetsLongueurMax = 4;
constexpr uint32_t kTailleTexteTrace = 255;
}  // namespace

ZoneKPX::ZoneKPX(uint32_t taille) {
    // One zone per call at least: a line not written costs one comparison, not a call.
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail) tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ZoneKPX >> IN: taille = %u", taille);
    tailleBuffer = taille == 0 ? 1 : taille;
    void* bloc = nullptr;
    uint16_t cr = Systeme::allouer(&bloc, tailleBuffer);
    buffer = static_cast<uint8_t*>(bloc);
    if (buffer == nullptr && cr == KPX_OK) cr = KPX_CR_MEMOIRE;
    if (buffer != nullptr) positionnerDebut();
    if (detail) tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ZoneKPX << OUT : cr = 0x%04X", cr);
}

ZoneKPX::ZoneKPX(const uint8_t* octets, uint32_t taille) {
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail)
        tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ZoneKPX >> IN : buffer = 0x%p, taille = %u",
               static_cast<const void*>(octets), taille);
    buffer = const_cast<uint8_t*>(octets);
    tailleBuffer = taille;
    tailleDonnees = taille;
    const bool positionne = octets != nullptr || taille != 0;
    if (positionne) positionnerDebut();
    if (detail) tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ZoneKPX << OUT :ok() = %d", positionne ? 1 : 0);
}

void ZoneKPX::positionnerDebut() {
    if (NiveauTrace::ecrit(NIV_DETAIL)) tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::positionnerDebut");
    identifiantGroupe = 0;
    debutGroupe = 0;
    enteteGroupe = 0;
    longueurGroupe = 0;
    numeroGroupe = 0;
    numeroChamp = 0;
    debutChamp = 0;
    enteteChamp = 0;
    longueurChamp = 0;
    numeroChampZone = 0;
}

uint16_t ZoneKPX::decoderLongueur(uint32_t position, uint32_t& longueur, uint32_t& taille) const {
    longueur = 0;
    taille = 1;
    if (position >= tailleBuffer) {
        // Only a cursor left on a refused element gets here.
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: Buffer trop petit pour coder la longueur (%u) (tailleBuffer = %u).",
               0u, tailleBuffer);
        return KPX_CR_ZONE_MALFORMEE;
    }
    const uint8_t premier = buffer[position];
    if (premier < 0x81) {
        longueur = premier;
        return KPX_OK;
    }
    const uint32_t k = premier & 0x7Fu;
    taille = k + 1;
    if (k > kOctetsLongueurMax) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: Nombre d'octets pour coder la longueur (%u) > %d.", k,
               static_cast<int>(kOctetsLongueurMax));
        return KPX_CR_ZONE_MALFORMEE;
    }
    if (uint64_t{position} + k >= tailleBuffer) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: Buffer trop petit pour coder la longueur (%u) (tailleBuffer = %u).",
               k, tailleBuffer);
        return KPX_CR_ZONE_MALFORMEE;
    }
    uint32_t valeur = 0;
    for (uint32_t i = 1; i <= k; ++i) valeur = (valeur << 8) | buffer[position + i];
    longueur = valeur;
    return KPX_OK;
}

// Steps as lireGroupeSuivant does without walking the fields, and stops where it would refuse.
bool ZoneKPX::annonceGroupe(uint16_t numero, std::initializer_list<uint16_t> fin) const {
    uint64_t position = finGroupe();
    while (position < tailleDonnees) {
        if (position + 3 > tailleBuffer) return false;
        const auto identifiant = static_cast<uint16_t>((buffer[position] << 8) | buffer[position + 1]);
        uint64_t longueur = buffer[position + 2];
        uint32_t entete = 3;
        if (longueur > 0x80) {
            const uint32_t k = buffer[position + 2] & 0x7Fu;
            if (k > kOctetsLongueurMax || position + 2 + k >= tailleBuffer) return false;
            longueur = 0;
            for (uint32_t i = 1; i <= k; ++i) longueur = (longueur << 8) | buffer[position + 2 + i];
            entete += k;
        }
        position += entete + longueur;
        if (position > tailleDonnees) return false;
        if (identifiant == numero) return true;
        for (const uint16_t f : fin)
            if (identifiant == f) return false;
    }
    return false;
}

uint16_t ZoneKPX::decoderEnteteGroupe(uint32_t position, uint16_t& identifiant, uint32_t& longueur,
                                      uint32_t& taille) const {
    identifiant = 0;
    longueur = 0;
    taille = 2;
    if (uint64_t{position} + 2 >= tailleBuffer) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: Buffer trop petit pour coder l'identifiant (tailleBuffer = %u).",
               tailleBuffer);
        return KPX_CR_ZONE_MALFORMEE;
    }
    identifiant = static_cast<uint16_t>((buffer[position] << 8) | buffer[position + 1]);
    uint32_t octetsLongueur = 0;
    const uint16_t cr = decoderLongueur(position + 2, longueur, octetsLongueur);
    taille = 2 + octetsLongueur;
    return cr;
}

uint16_t ZoneKPX::verifierGroupeDansDonnees() const {
    if (finGroupe() <= tailleDonnees) return KPX_OK;
    tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: La taille du groupe (%u) dépasse la taille des données.", longueurGroupe);
    return KPX_CR_ZONE_MALFORMEE;
}

uint16_t ZoneKPX::lireGroupeSuivant(uint16_t& identifiant, uint16_t nombre, bool parcourirChamps) {
    uint16_t cr = KPX_OK;
    for (uint16_t i = 0; i < nombre && cr == KPX_OK; ++i) {
        if (estFinZone()) {
            tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: Fin de la zone atteinte.");
            cr = KPX_CR_ZONE_FIN;
            break;
        }
        if (parcourirChamps) {
            uint16_t numero = 0;
            const uint8_t* donnees = nullptr;
            uint32_t longueur = 0;
            while (cr == KPX_OK && !estFinGroupe()) cr = lireChampSuivant(numero, donnees, longueur);
            if (cr != KPX_OK) break;
        }
        // Not at the end of the zone, so the end of this group fits in 32 bits.
        debutGroupe += enteteGroupe + longueurGroupe;
        ++numeroGroupe;
        cr = decoderEnteteGroupe(debutGroupe, identifiantGroupe, longueurGroupe, enteteGroupe);
        numeroChamp = 0;
        longueurChamp = 0;
        enteteChamp = 0;
        debutChamp = debutGroupe + enteteGroupe;
        if (cr == KPX_OK) {
            cr = verifierGroupeDansDonnees();
            if (cr == KPX_OK) identifiant = identifiantGroupe;
        }
    }
    return cr;
}

uint16_t ZoneKPX::lireChampSuivant(uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur, uint16_t nombre) {
    uint16_t cr = KPX_OK;
    for (uint16_t i = 0; i < nombre && cr == KPX_OK; ++i) cr = lireChampSuivant(numero, donnees, longueur);
    return cr;
}

uint16_t ZoneKPX::lireChampSuivantDecode(uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur) {
    const uint64_t fin = finGroupe();
    if (finChamp() >= fin) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: Fin du groupe atteinte.");
        return KPX_CR_ZONE_FIN;
    }
    if (fin > tailleDonnees) return verifierGroupeDansDonnees();
    // Inside a group that lies within the data: no overflow below.
    debutChamp += enteteChamp + longueurChamp;
    ++numeroChamp;
    ++numeroChampZone;
    // Most fields are shorter than 129 bytes: their length is their first byte.
    if (debutChamp < tailleBuffer && buffer[debutChamp] < 0x81) {
        longueurChamp = buffer[debutChamp];
        enteteChamp = 1;
    } else {
        const uint16_t cr = decoderLongueur(debutChamp, longueurChamp, enteteChamp);
        if (cr != KPX_OK) return cr;
    }
    if (finChamp() > fin) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: La taille du champ (%u) dépasse la taille du groupe.", longueurChamp);
        return KPX_CR_ZONE_MALFORMEE;
    }
    numero = numeroChamp;
    donnees = buffer + debutChamp + enteteChamp;
    longueur = longueurChamp;
    return KPX_OK;
}

uint16_t ZoneKPX::ajouterGroupe(uint16_t identifiant) {
    // Written once per output field: a line not written costs one comparison, not a call.
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail) tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ajouterGroupe >> IN: identifiant = %u", identifiant);
    uint16_t cr = KPX_OK;
    if (uint64_t{tailleDonnees} + 3 > tailleBuffer) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: buffer plein (tailleBuffer = %u).", tailleBuffer);
        cr = KPX_CR_ZONE_PLEINE;
    }
    if (cr == KPX_OK) cr = verifierGroupeDansDonnees();
    if (cr == KPX_OK) {
        debutGroupe = static_cast<uint32_t>(finGroupe());
        if (debutGroupe < tailleDonnees)
            std::memmove(buffer + debutGroupe + 3, buffer + debutGroupe, tailleDonnees - debutGroupe);
        identifiantGroupe = identifiant;
        longueurGroupe = 0;
        enteteGroupe = coderEnteteGroupe(identifiant, 0, debutGroupe);
        ++numeroGroupe;
        numeroChamp = 0;
        longueurChamp = 0;
        enteteChamp = 0;
        debutChamp = debutGroupe + enteteGroupe;
        tailleDonnees += 3;
    }
    if (detail)
        tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ajouterGroupe  << OUT : cr = 0x%04X, tailleDonnees = %u", cr,
               tailleDonnees);
    return cr;
}

uint16_t ZoneKPX::ajouterChamp(const uint8_t* donnees, uint32_t longueur) {
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail)
        tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ajouterChamp >> IN: donnees = 0x%p, longueur = %u",
               static_cast<const void*>(donnees), longueur);
    uint16_t cr = KPX_OK;
    if (identifiantGroupe == 0) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: groupe courant invalide.");
        cr = KPX_CR_ZONE_GROUPE_INVALIDE;
    }
    if (cr == KPX_OK) cr = verifierGroupeDansDonnees();
    if (cr == KPX_OK && finChamp() > finGroupe()) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: La taille du champ (%u) dépasse la taille du groupe.", longueurChamp);
        cr = KPX_CR_ZONE_MALFORMEE;
    }
    uint32_t t = 0;
    uint32_t d = 0;
    if (cr == KPX_OK) {
        // The field alone must fit before the group's new length can be computed in 32 bits.
        const uint64_t champ = uint64_t{nbOctetsLongueur(longueur)} + longueur;
        const uint64_t libre = tailleBuffer - tailleDonnees;
        if (champ <= libre) {
            t = static_cast<uint32_t>(champ);
            d = nbOctetsLongueur(longueurGroupe + t) - nbOctetsLongueur(longueurGroupe);
        }
        if (champ > libre || uint64_t{d} + t > libre) {
            tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: buffer plein (tailleBuffer = %u).", tailleBuffer);
            cr = KPX_CR_ZONE_PLEINE;
        }
    }
    if (cr == KPX_OK) {
        const uint32_t insertion = static_cast<uint32_t>(finChamp());
        debutChamp = insertion;
        if (insertion < tailleDonnees)
            std::memmove(buffer + insertion + d + t, buffer + insertion, tailleDonnees - insertion);
        if (d > 0) {
            const uint32_t contenu = debutGroupe + enteteGroupe;
            std::memmove(buffer + contenu + d, buffer + contenu, insertion - contenu);
            enteteGroupe += d;
            debutChamp += d;
        }
        longueurGroupe += t;
        coderLongueur(longueurGroupe, debutGroupe + 2);
        ++numeroChamp;
        ++numeroChampZone;
        longueurChamp = longueur;
        enteteChamp = coderLongueur(longueur, debutChamp);
        if (longueur > 0) std::memcpy(buffer + debutChamp + enteteChamp, donnees, longueur);
        tailleDonnees += d + t;
    }
    if (detail)
        tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::ajouterChamp << OUT :cr = 0x%04X, tailleDonnees = %u", cr,
               tailleDonnees);
    return cr;
}

uint16_t ZoneKPX::ajouterChamp(const TypeSimple& valeur) {
    FormeOctets forme;
    valeur.formeOctets(forme);
    return ajouterChamp(forme);
}

uint16_t ZoneKPX::ajouterChamp(const FormeOctets& forme) {
    if (forme.donnees == nullptr && forme.longueur != 0) {
        tracer(CAT_ZONE, NIV_ERREUR, "ERREUR: Conversion d'un type simple en un champ d'octets impossible.");
        return KPX_CR_CONSTRUCTION;
    }
    return ajouterChamp(forme.donnees, forme.donnees == nullptr ? 0 : forme.longueur);
}

uint16_t ZoneKPX::ajouterGroupe(uint16_t identifiant, const FormeOctets* champs, uint32_t nombre) {
    // Laid at once only where the writes one by one would all pass and leave the same
    // bytes and cursor: after the data, in a buffer that holds it, every form with bytes.
    bool aLaSuite = !NiveauTrace::ecrit(NIV_DETAIL) && identifiant != 0 && finGroupe() == tailleDonnees;
    uint64_t contenu = 0;
    for (uint32_t i = 0; aLaSuite && i < nombre; ++i) {
        aLaSuite = champs[i].donnees != nullptr || champs[i].longueur == 0;
        const uint32_t longueur = champs[i].donnees != nullptr ? champs[i].longueur : 0;
        contenu += uint64_t{nbOctetsLongueur(longueur)} + longueur;
    }
    aLaSuite = aLaSuite && contenu < UINT32_MAX &&
               uint64_t{tailleDonnees} + 2 + nbOctetsLongueur(static_cast<uint32_t>(contenu)) + contenu <= tailleBuffer;
    if (!aLaSuite) {
        uint16_t cr = ajouterGroupe(identifiant);
        for (uint32_t i = 0; cr == KPX_OK && i < nombre; ++i) cr = ajouterChamp(champs[i]);
        return cr;
    }
    debutGroupe = tailleDonnees;
    identifiantGroupe = identifiant;
    longueurGroupe = static_cast<uint32_t>(contenu);
    enteteGroupe = coderEnteteGroupe(identifiant, longueurGroupe, debutGroupe);
    ++numeroGroupe;
    numeroChamp = 0;
    longueurChamp = 0;
    enteteChamp = 0;
    debutChamp = debutGroupe + enteteGroupe;
    uint32_t position = debutChamp;
    for (uint32_t i = 0; i < nombre; ++i) {
        const uint32_t longueur = champs[i].donnees != nullptr ? champs[i].longueur : 0;
        debutChamp = position;
        enteteChamp = coderLongueur(longueur, position);
        if (longueur > 0) std::memcpy(buffer + position + enteteChamp, champs[i].donnees, longueur);
        longueurChamp = longueur;
        ++numeroChamp;
        ++numeroChampZone;
        position += enteteChamp + longueur;
    }
    tailleDonnees = position;
    return KPX_OK;
}

uint32_t ZoneKPX::nbOctetsLongueur(uint32_t longueur) {
    if (longueur < 128) return 1;
    if (longueur < 255) return 2;
    if (longueur < 65535) return 3;
    if (longueur < 16777215) return 4;
    return 5;
}

uint32_t ZoneKPX::tailleChamp(uint32_t longueur) { return nbOctetsLongueur(longueur) + longueur; }

uint32_t ZoneKPX::tailleGroupeContenu(uint32_t tailleContenu) {
    return 2 + nbOctetsLongueur(tailleContenu) + tailleContenu;
}

uint32_t ZoneKPX::tailleGroupe(uint32_t nombre, ...) {
    uint32_t contenu = 0;
    va_list longueurs;
    va_start(longueurs, nombre);
    for (uint32_t i = 0; i < nombre; ++i) contenu += tailleChamp(va_arg(longueurs, uint32_t));
    va_end(longueurs);
    return tailleGroupeContenu(contenu);
}

uint32_t ZoneKPX::tailleGroupe(std::initializer_list<uint32_t> longueurs) {
    uint32_t contenu = 0;
    for (uint32_t l : longueurs) contenu += tailleChamp(l);
    return tailleGroupeContenu(contenu);
}

uint32_t ZoneKPX::coderLongueur(uint32_t longueur, uint32_t offset) {
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail)
        tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::coderLongueur >> IN : longueur = %u, offset = %u", longueur, offset);
    const uint32_t n = nbOctetsLongueur(longueur);
    uint8_t* p = buffer + offset;
    if (n == 1) {
        p[0] = static_cast<uint8_t>(longueur);
    } else {
        p[0] = static_cast<uint8_t>(0x80u | (n - 1));
        for (uint32_t i = 1; i < n; ++i) p[i] = static_cast<uint8_t>(longueur >> (8 * (n - 1 - i)));
    }
    if (detail) tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::coderLongueur << OUT : nbOctets = %u", n);
    return n;
}

uint32_t ZoneKPX::coderEnteteGroupe(uint16_t identifiant, uint32_t longueur, uint32_t offset) {
    const bool detail = NiveauTrace::ecrit(NIV_DETAIL);
    if (detail)
        tracer(CAT_ZONE, NIV_DETAIL,
               "ZoneKPX::coderEnteteGroupe >> IN : identifiant = %u, longueur = %u, offset = %u", identifiant,
               longueur, offset);
    buffer[offset] = static_cast<uint8_t>(identifiant >> 8);
    buffer[offset + 1] = static_cast<uint8_t>(identifiant);
    const uint32_t n = 2 + coderLongueur(longueur, offset + 2);
    if (detail) tracer(CAT_ZONE, NIV_DETAIL, "ZoneKPX::coderEnteteGroupe << OUT : nbOctets = %u", n);
    return n;
}

const char* ZoneKPX::texteTrace(const void* donnees, uint32_t longueur, uint32_t maximum) {
    static char texte[kTailleTexteTrace];
    maximum = std::min(maximum, kTailleTexteTrace - 1);
    const char* octets = static_cast<const char*>(donnees);
    uint32_t n = 0;
    if (longueur <= maximum) {
        if (longueur > 0) std::memcpy(texte, octets, longueur);
        n = longueur;
    } else {
        const uint32_t garde = maximum >= 3 ? maximum - 3 : 0;
        if (garde > 0) std::memcpy(texte, octets, garde);
        for (n = garde; n < maximum; ++n) texte[n] = '.';
    }
    texte[n] = '\0';
    return texte;
}
