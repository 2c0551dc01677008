// An exchange zone: numbered groups of length-prefixed fields in one byte buffer,
// with the cursor that reads or fills it. The zone never frees its buffer, and no
// read goes outside `tailleBuffer` (nor a handed-out field outside `tailleDonnees`).
#pragma once

#include <cstdint>
#include <initializer_list>

#include "KPXW32.h"

class TypeSimple;
struct FormeOctets;

class ZoneKPX {
public:
    // Output zone of `taille` bytes (1 when 0) from the memory accounting; the
    // buffer is null when the allocation failed.
    explicit ZoneKPX(uint32_t taille);
    // Input zone read in place over the host's bytes; reading never writes them.
    ZoneKPX(const uint8_t* buffer, uint32_t taille);

    // Before the first group: the ten cursor fields become 0.
    void positionnerDebut();

    // Moves forward `nombre` groups; with `parcourirChamps` the fields of each group
    // left are decoded first, so a malformed field is found before the move.
    uint16_t lireGroupeSuivant(uint16_t& identifiant, uint16_t nombre = 1, bool parcourirChamps = true);
    // lireGroupeSuivant for one group, its fields walked first: the step of every zone walk.
    inline uint16_t passerGroupeSuivant(uint16_t& identifiant);
    // Moves forward `nombre` fields of the current group; `donnees` points into the buffer.
    uint16_t lireChampSuivant(uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur, uint16_t nombre);
    // The same for one field, the step of every zone walk.
    inline uint16_t lireChampSuivant(uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur);

    // Whether group `numero` comes among the groups after the current one, before any group
    // of `fin` and the end of the data. A glance at the headers only: the cursor stays, no
    // line is written, and a header that does not decode ends it with false.
    bool annonceGroupe(uint16_t numero, std::initializer_list<uint16_t> fin) const;

    // A look at the fields ahead of the cursor in the current group, which ends at finGroupe():
    // the next field starts at debutChampSuivant(); a field is read inline by lireChampSuivant
    // when the group lies within the buffer and the data, and the field within the group with a
    // length under 129 (its first byte).
    uint64_t debutChampSuivant() const { return finChamp(); }
    uint64_t finGroupe() const { return uint64_t{debutGroupe} + enteteGroupe + longueurGroupe; }

    bool estFinZone() const { return finGroupe() >= tailleDonnees; }
    bool estFinGroupe() const { return finChamp() >= finGroupe(); }
    bool estFinDonnees() const { return finChamp() >= tailleDonnees; }

    // Writing inserts after the current group or field; a refused write changes
    // neither the buffer nor the cursor.
    uint16_t ajouterGroupe(uint16_t identifiant);
    uint16_t ajouterChamp(const uint8_t* donnees, uint32_t longueur);
    uint16_t ajouterChamp(const TypeSimple& valeur);
    // A field given by its byte form: 0xDFFC for a length without bytes.
    uint16_t ajouterChamp(const FormeOctets& forme);
    // A whole group after the last one, its fields given by their byte forms. Without the
    // detail lines, when it fits, it is laid at once, its length encoded once; otherwise it
    // goes group then field by field, as the writes above, and stops at the first refused.
    uint16_t ajouterGroupe(uint16_t identifiant, const FormeOctets* champs, uint32_t nombre);

    // Exact sizes, so that output zones are allocated once.
    static uint32_t nbOctetsLongueur(uint32_t longueur);
    static uint32_t tailleChamp(uint32_t longueur);
    static uint32_t tailleGroupeContenu(uint32_t tailleContenu);
    // `nombre` field lengths follow, each a uint32_t (cast size_t values).
    static uint32_t tailleGroupe(uint32_t nombre, ...);
    static uint32_t tailleGroupe(std::initializer_list<uint32_t> longueurs);

    // Write at `offset` without checking the capacity (their callers have) and
    // return the number of bytes written.
    uint32_t coderLongueur(uint32_t longueur, uint32_t offset);
    uint32_t coderEnteteGroupe(uint16_t identifiant, uint32_t longueur, uint32_t offset);

    // Null-terminated copy for trace lines, cut to `maximum` (< 255) with "...";
    // one static buffer, valid until the next call.
    static const char* texteTrace(const void* donnees, uint32_t longueur, uint32_t maximum);

    uint16_t identifiantGroupe = 0;
    uint32_t debutGroupe = 0;
    uint32_t enteteGroupe = 0;
    uint32_t longueurGroupe = 0;
    uint16_t numeroGroupe = 0;
    uint16_t numeroChamp = 0;
    uint32_t debutChamp = 0;
    uint32_t enteteChamp = 0;
    uint32_t longueurChamp = 0;
    uint16_t numeroChampZone = 0;
    uint8_t* buffer = nullptr;
    uint32_t tailleBuffer = 0;
    uint32_t tailleDonnees = 0;

private:
    // 64-bit: decoded lengths may announce far more than the buffer holds.
    uint64_t finChamp() const { return uint64_t{debutChamp} + enteteChamp + longueurChamp; }

    // lireChampSuivant for any field, its errors included.
    uint16_t lireChampSuivantDecode(uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur);
    uint16_t decoderLongueur(uint32_t position, uint32_t& longueur, uint32_t& taille) const;
    uint16_t decoderEnteteGroupe(uint32_t position, uint16_t& identifiant, uint32_t& longueur,
                                 uint32_t& taille) const;
    // A cursor left by a refused group runs past the data: nothing is read or written through it.
    uint16_t verifierGroupeDansDonnees() const;
};

// Most fields are shorter than 129 bytes, in a group that lies within the data: their
// length is their first byte and they are read here, in the walk. Any other field, and
// every error, goes to the full decoding, which starts again from the same cursor.
uint16_t ZoneKPX::lireChampSuivant(uint16_t& numero, const uint8_t*& donnees, uint32_t& longueur) {
    const uint64_t fin = finGroupe();
    const uint64_t debut = finChamp();
    if (debut >= fin || fin > tailleDonnees || debut >= tailleBuffer || buffer[debut] > 0x80 ||
        debut + 1 + buffer[debut] > fin)
        return lireChampSuivantDecode(numero, donnees, longueur);
    debutChamp = static_cast<uint32_t>(debut);
    enteteChamp = 1;
    longueurChamp = buffer[debut];
    ++numeroChamp;
    ++numeroChampZone;
    numero = numeroChamp;
    donnees = buffer + debut + 1;
    longueur = longueurChamp;
    return KPX_OK;
}

// Most groups are entered once their last field was read, with a length under 129 bytes and
// within the data: their header is three bytes, read here. Any other group, and every error,
// goes to the full step, which starts again from the same cursor.
uint16_t ZoneKPX::passerGroupeSuivant(uint16_t& identifiant) {
    const uint64_t debut = finGroupe();
    if (finChamp() < debut || debut + 3 > tailleDonnees || debut + 3 > tailleBuffer || buffer[debut + 2] > 0x80 ||
        debut + 3 + buffer[debut + 2] > tailleDonnees)
        return lireGroupeSuivant(identifiant, 1, true);
    debutGroupe = static_cast<uint32_t>(debut);
    ++numeroGroupe;
    identifiantGroupe = static_cast<uint16_t>((buffer[debut] << 8) | buffer[debut + 1]);
    enteteGroupe = 3;
    longueurGroupe = buffer[debut + 2];
    numeroChamp = 0;
    longueurChamp = 0;
    enteteChamp = 0;
    debutChamp = debutGroupe + enteteGroupe;
    identifiant = identifiantGroupe;
    return KPX_OK;
}
