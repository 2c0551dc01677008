#include "zone/ZoneSortie.h"

#include <cstring>

#include "frame/Systeme.h"
#include "KPXW32.h"
#include "frame/Trace.h"

namespace {

// Lengths under this take their one byte: the fields of an answer nearly all are.
constexpr uint32_t kLongueurUnOctet = 128;

// Lengths under this take two: a label or a message of an answer may.
constexpr uint32_t kLongueurDeuxOctets = 255;

uint32_t octetsLongueur(uint32_t longueur) {
    return longueur < kLongueurUnOctet ? 1 : ZoneKPX::nbOctetsLongueur(longueur);
}

// The length coded at p as the zone codes it, the two short forms here; the bytes it took.
uint32_t coderLongueur(ZoneKPX& zone, uint32_t longueur, uint32_t position) {
    uint8_t* p = zone.buffer + position;
    if (longueur < kLongueurUnOctet) {
        p[0] = static_cast<uint8_t>(longueur);
        return 1;
    }
    if (longueur < kLongueurDeuxOctets) {
        p[0] = 0x81;
        p[1] = static_cast<uint8_t>(longueur);
        return 2;
    }
    return zone.coderLongueur(longueur, position);
}

}  // namespace

void ZoneSortie::allouer(uint16_t& cr, uint32_t taille, uint16_t categorie) {
    if (cr != 0) return;
    liberer();
    zone_.emplace(taille);
    if (zone_->buffer == nullptr) {
        tracer(categorie, NIV_ERREUR, "ERREUR allocation zone de sortie de %d octets", static_cast<int>(taille));
        zone_.reset();
        cr = KPX_CR_MEMOIRE;
    }
}

void ZoneSortie::remettre(unsigned char** zoneSortie, uint32_t* tailleZoneSortie) {
    if (!zone_) return;
    *zoneSortie = zone_->buffer;
    *tailleZoneSortie = zone_->tailleDonnees;
    zone_.reset();
}

void ZoneSortie::liberer() {
    if (!zone_) return;
    Systeme::liberer(zone_->buffer);
    zone_.reset();
}

uint16_t ZoneSortie::ajouterGroupe(uint16_t identifiant, const FormeOctets* champs, uint32_t nombre) {
    ZoneKPX& zone = *zone_;
    bool ici = identifiant != 0 && !NiveauTrace::ecrit(NIV_DETAIL) &&
               uint64_t{zone.debutGroupe} + zone.enteteGroupe + zone.longueurGroupe == zone.tailleDonnees;
    uint64_t contenu = 0;
    for (uint32_t i = 0; ici && i < nombre; ++i) {
        ici = champs[i].donnees != nullptr || champs[i].longueur == 0;
        contenu += uint64_t{octetsLongueur(champs[i].longueur)} + champs[i].longueur;
    }
    const uint64_t entete = 2 + (contenu < UINT32_MAX ? octetsLongueur(static_cast<uint32_t>(contenu)) : 0);
    if (!ici || contenu >= UINT32_MAX || zone.tailleDonnees + entete + contenu > zone.tailleBuffer)
        return zone.ajouterGroupe(identifiant, champs, nombre);
    zone.debutGroupe = zone.tailleDonnees;
    zone.identifiantGroupe = identifiant;
    zone.longueurGroupe = static_cast<uint32_t>(contenu);
    zone.buffer[zone.debutGroupe] = static_cast<uint8_t>(identifiant >> 8);
    zone.buffer[zone.debutGroupe + 1] = static_cast<uint8_t>(identifiant);
    zone.enteteGroupe = 2 + coderLongueur(zone, zone.longueurGroupe, zone.debutGroupe + 2);
    ++zone.numeroGroupe;
    uint32_t position = zone.debutGroupe + zone.enteteGroupe;
    zone.debutChamp = position;
    zone.enteteChamp = 0;
    zone.longueurChamp = 0;
    uint8_t* octets = zone.buffer;
    for (uint32_t i = 0; i < nombre; ++i) {
        const uint32_t longueur = champs[i].longueur;
        zone.debutChamp = position;
        zone.enteteChamp = coderLongueur(zone, longueur, position);
        position += zone.enteteChamp;
        if (longueur > 0) std::memcpy(octets + position, champs[i].donnees, longueur);
        position += longueur;
    }
    if (nombre > 0) zone.longueurChamp = champs[nombre - 1].longueur;
    zone.numeroChamp = static_cast<uint16_t>(nombre);
    zone.numeroChampZone = static_cast<uint16_t>(zone.numeroChampZone + nombre);
    zone.tailleDonnees = position;
    return KPX_OK;
}
