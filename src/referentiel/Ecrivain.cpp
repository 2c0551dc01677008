// Any failed positioning or short write is 0xD700; the caller stops at the first.
// Every file operation goes through Fichiers, where a test can make any one fail.
#include "referentiel/Ecrivain.h"

#include <cstring>

#include "KPXW32.h"
#include "frame/Fichiers.h"
#include "frame/Trace.h"
#include "referentiel/Codage.h"
#include "referentiel/Referentiel.h"

uint16_t Ecrivain::ecrireSansCompter(const void* octets, size_t n) {
    if (fichier_ == nullptr || !Fichiers::courants().ecrire(octets, n, fichier_)) return KPX_CR_ECRITURE;
    return 0;
}

uint16_t Ecrivain::ecrireBrut(const void* octets, size_t n) {
    const uint16_t cr = ecrireSansCompter(octets, n);
    if (cr == 0) compteur_ += static_cast<uint32_t>(n);
    return cr;
}

uint16_t Ecrivain::ecrireEntete(const char* nomFichier, const Date& date, const char* versionMinimale,
                                uint16_t numeroRevision, const char* variante) {
    tracerDetail(CAT_CYCLE, NIV_DETAIL, "Ecrivain::ecrireEntete : Ecriture de l'entete du fichier");
    uint16_t cr = 0;
    if (fichier_ == nullptr || !Fichiers::courants().positionner(fichier_, 0, SEEK_SET)) {
        tracerDetail(CAT_CYCLE, NIV_ERREUR, "ERREUR : probleme de positionnement en debut de fichier");
        cr = KPX_CR_ECRITURE;
    }
    if (cr == 0) {
        const Referentiel& r = referentiel_;
        char nom[13];
        std::snprintf(nom, sizeof nom, "%-12.12s", nomFichier ? nomFichier : "");
        // Fixed-width fields are not terminated, hence the precisions.
        char champs[64];
        const int n = std::snprintf(champs, sizeof champs, "%s %s %.4s %.5s %04u%02u%02u %.4s %0*lu %.10s ", "0000",
                                    nom, r.version, r.versionBaseCCAM, date.annee(), date.mois(), date.jour(),
                                    versionMinimale, 5, static_cast<unsigned long>(numeroRevision), variante);
        if (n != 60) cr = KPX_CR_ECRITURE;
        if (cr == 0) cr = ecrireSansCompter(champs, 60);
        if (cr == 0 && !r.commentaire.empty()) cr = ecrireSansCompter(r.commentaire.data(), r.commentaire.size());
        static const char fin[3] = {13, 10, 26};
        if (cr == 0) cr = ecrireSansCompter(fin, sizeof fin);
    }
    if (cr != 0) tracerDetail(CAT_CYCLE, NIV_ERREUR, "Code retour Ecrivain::ecrireEntete : 0x%04X", cr);
    return cr;
}

uint16_t Ecrivain::ecrireEnteteTable(const char* identifiant, uint32_t nombreLignes) {
    char texte[3] = {' ', ' ', ' '};
    if (identifiant) std::memcpy(texte, identifiant, strnlen(identifiant, 3));
    if (ecrireBrut(texte, 3) != 0 || ecrireEntier32(nombreLignes) != 0) return KPX_CR_ECRITURE;
    positionTaille_ = Fichiers::courants().position(fichier_);
    if (positionTaille_ < 0 || ecrireEntier32(0) != 0) return KPX_CR_ECRITURE;
    compteur_ = 0;
    return 0;
}

uint16_t Ecrivain::terminerTable() {
    if (fichier_ == nullptr || positionTaille_ < 0) return KPX_CR_ECRITURE;
    uint8_t octets[4];
    Codage::ecrireEntier32(octets, compteur_);
    Fichiers& fichiers = Fichiers::courants();
    if (!fichiers.positionner(fichier_, positionTaille_, SEEK_SET) || ecrireSansCompter(octets, 4) != 0 ||
        !fichiers.positionner(fichier_, 0, SEEK_END))
        return KPX_CR_ECRITURE;
    positionTaille_ = -1;
    return 0;
}

uint16_t Ecrivain::ecrireCRC(uint16_t crc) {
    if (fichier_ == nullptr || !Fichiers::courants().positionner(fichier_, 0, SEEK_SET)) return KPX_CR_ECRITURE;
    char texte[5];
    std::snprintf(texte, sizeof texte, "%04X", static_cast<unsigned>(crc));
    return ecrireSansCompter(texte, 4);
}

uint16_t Ecrivain::ecrireOctet(char c) { return ecrireBrut(&c, 1); }

uint16_t Ecrivain::ecrireEntier16(uint16_t n) {
    uint8_t octets[2];
    Codage::ecrireEntier16(octets, n);
    return ecrireBrut(octets, sizeof octets);
}

uint16_t Ecrivain::ecrireEntier32(uint32_t n) {
    uint8_t octets[4];
    Codage::ecrireEntier32(octets, n);
    return ecrireBrut(octets, sizeof octets);
}

uint16_t Ecrivain::ecrireCaracteres(const char* buffer, size_t n) { return ecrireBrut(buffer, n); }

uint16_t Ecrivain::ecrireChaine(const std::string& texte) { return ecrireBrut(texte.c_str(), texte.size() + 1); }

uint16_t Ecrivain::ecrireChaine(const char* texte) {
    if (texte == nullptr) return ecrireBrut("", 1);
    return ecrireBrut(texte, std::strlen(texte) + 1);
}

uint16_t Ecrivain::ecrireDate(const Date& date) {
    uint8_t octets[4];
    Codage::ecrireEntier16(octets, date.annee());
    octets[2] = date.mois();
    octets[3] = date.jour();
    return ecrireBrut(octets, sizeof octets);
}

uint16_t Ecrivain::ecrireDateTexte(const Date& date) {
    char texte[16];
    if (std::snprintf(texte, sizeof texte, "%04u%02u%02u", date.annee(), date.mois(), date.jour()) != 8)
        return KPX_CR_ECRITURE;
    return ecrireSansCompter(texte, 8);
}

uint16_t Ecrivain::ecrireNombre(double valeur) {
    uint8_t octets[Codage::kTailleNombre];
    if (!Codage::coderNombre(valeur, octets)) return KPX_CR_ECRITURE;
    return ecrireBrut(octets, sizeof octets);
}
