// The save of the modification tables: the new file is written in full under a
// temporary name, then switched with the current one, which becomes the previous.
// Whatever step fails, what the save did is undone so that the last file saved stays
// in place; a file holding the only copy of something saved is never deleted.
#include <cerrno>
#include <string>

#include "KPXW32.h"
#include "frame/Fichiers.h"
#include "frame/Plateforme.h"
#include "frame/Trace.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"

namespace {

// The four files, in the modification directory.
struct NomsSauvegarde {
    std::string modifications;
    std::string precedent;
    std::string temporaire;
    std::string copie;
};

void tracerErreur(const char* format, const std::string& nom) {
    tracerDetail(CAT_SAUVEGARDE, NIV_ERREUR, format, nom.c_str(), Plateforme::texteErreurSysteme().c_str());
}

void tracerErreur(const char* format) {
    tracerDetail(CAT_SAUVEGARDE, NIV_ERREUR, format, Plateforme::texteErreurSysteme().c_str());
}

// Opens for reading; null with absent set when the system reports no such file.
FILE* ouvrirLecture(const std::string& nom, bool& absent) {
    tracerDetail(CAT_SAUVEGARDE, NIV_DETAIL, "Ouverture du fichier %s", nom.c_str());
    errno = 0;
    FILE* fichier = Fichiers::courants().ouvrir(nom.c_str(), "rb");
    absent = fichier == nullptr && errno == ENOENT;
    if (fichier == nullptr && !absent) tracerErreur("ERREUR : probleme lors de l'ouverture du fichier: %s");
    return fichier;
}

bool renommer(const std::string& ancien, const std::string& nouveau) {
    errno = 0;
    if (Fichiers::courants().renommer(ancien.c_str(), nouveau.c_str())) return true;
    const bool absent = errno == ENOENT;
    tracerDetail(CAT_SAUVEGARDE, NIV_ERREUR, "Renommage du fichier %s en %s", ancien.c_str(), nouveau.c_str());
    if (!absent) tracerErreur("ERREUR : probleme lors du renommage: %s");
    return false;
}

bool supprimer(const std::string& nom) {
    if (Fichiers::courants().supprimer(nom.c_str())) return true;
    tracerErreur("ERREUR : probleme lors de la suppression du fichier %s : %s", nom);
    return false;
}

// Copies source to destination byte by byte, then deletes source; deplace tells whether
// source existed. On failure source is left whole and no destination remains.
uint16_t deplacer(const std::string& source, const std::string& destination, bool& deplace) {
    deplace = false;
    Fichiers& fichiers = Fichiers::courants();
    bool absent = false;
    FILE* entree = ouvrirLecture(source, absent);
    if (entree == nullptr) return absent ? 0 : KPX_CR_ECRITURE;
    tracerDetail(CAT_SAUVEGARDE, NIV_DETAIL, "Ouverture du fichier %s", destination.c_str());
    FILE* sortie = fichiers.ouvrir(destination.c_str(), "wb");
    bool copie = sortie != nullptr;
    if (!copie) tracerErreur("ERREUR : probleme lors de l'ouverture du fichier: %s");
    char bloc[1024];
    size_t lus = 0;
    while (copie && (copie = fichiers.lire(bloc, sizeof bloc, entree, lus)) && lus > 0)
        copie = fichiers.ecrire(bloc, lus, sortie);
    if (sortie != nullptr && !fichiers.fermer(sortie)) copie = false;
    if (!fichiers.fermer(entree)) copie = false;
    if (!copie) {
        tracerErreur("ERREUR : probleme lors de la copie du fichier %s : %s", source);
        if (sortie != nullptr) fichiers.supprimer(destination.c_str());
        return KPX_CR_ECRITURE;
    }
    if (!supprimer(source)) {
        fichiers.supprimer(destination.c_str());
        return KPX_CR_ECRITURE;
    }
    deplace = true;
    return 0;
}

// The copy of the previous file back in its place (a partial previous file removed
// first); when that fails the copy stays where it is.
uint16_t remettrePrecedent(const NomsSauvegarde& noms) {
    Fichiers::courants().supprimer(noms.precedent.c_str());
    return renommer(noms.copie, noms.precedent) ? 0 : KPX_CR_ECRITURE;
}

}  // namespace

uint16_t Referentiel::sauvegarderModifications() {
    tracerDetail(CAT_SAUVEGARDE, NIV_DETAIL, "Referentiel::sauvegarderModifications : Sauvegarde des modifications");
    uint16_t cr = 0;
    NomsSauvegarde noms;
    const char* repertoire = repertoireModification.c_str();
    if (!nomCompletFichier(repertoire, kFichierModifications, noms.modifications) ||
        !nomCompletFichier(repertoire, kFichierModificationsPrecedent, noms.precedent) ||
        !nomCompletFichier(repertoire, kFichierModificationsTemporaire, noms.temporaire) ||
        !nomCompletFichier(repertoire, kFichierCopiePrecedent, noms.copie))
        cr = KPX_CR_CONSTRUCTION;
    if (cr == 0) cr = reprendreCopiePrecedent(noms.precedent, noms.copie);
    if (cr == 0) cr = ecrireFichierModifications(noms.temporaire);

    bool copieFaite = false;
    bool precedentFait = false;
    if (cr == 0) {
        cr = deplacer(noms.precedent, noms.copie, copieFaite);
        if (cr == 0) cr = deplacer(noms.modifications, noms.precedent, precedentFait);
        if (cr == 0 && !renommer(noms.temporaire, noms.modifications)) cr = KPX_CR_ECRITURE;
        if (cr != 0) Fichiers::courants().supprimer(noms.temporaire.c_str());
    }
    // The current file, moved to the previous one, goes back when the new one did not take its place.
    bool precedentLibre = true;
    if (cr != 0 && precedentFait) precedentLibre = renommer(noms.precedent, noms.modifications);
    if (copieFaite) {
        // Kept while it holds the only copy of the previous file: until a newer previous file
        // replaced it, or until it is back in its place.
        if (cr == 0 && precedentFait) {
            if (!supprimer(noms.copie)) cr = KPX_CR_ECRITURE;
        } else if (precedentLibre && remettrePrecedent(noms) != 0 && cr == 0) {
            cr = KPX_CR_ECRITURE;
        }
    }
    tracerDetail(CAT_SAUVEGARDE, NIV_DETAIL, "Code retour de Referentiel::sauvegarderModifications : 0x%04X", cr);
    return cr;
}

uint16_t Referentiel::reprendreCopiePrecedent(const std::string& precedent, const std::string& copie) {
    bool absent = false;
    FILE* fichier = ouvrirLecture(copie, absent);
    if (fichier == nullptr) return absent ? 0 : KPX_CR_ECRITURE;
    Fichiers::courants().fermer(fichier);
    // Left by a save that stopped while switching: it is the previous file unless a whole one is in place.
    bool precedentEntier = false;
    if (FILE* lu = std::fopen(precedent.c_str(), "rb")) {
        Lecteur lecteur(*this, lu);
        uint16_t crcLu = 0;
        uint16_t crcCalcule = 0;
        precedentEntier = lecteur.lireCRC(crcLu) == 0 && calculerCRC16(lu, crcCalcule) && crcLu == crcCalcule;
        std::fclose(lu);
    }
    tracerDetail(CAT_SAUVEGARDE, NIV_DETAIL, "Fichier %s d'une sauvegarde interrompue %s", copie.c_str(),
                 precedentEntier ? "remplace" : "remis en place");
    if (precedentEntier) return 0;
    NomsSauvegarde noms;
    noms.precedent = precedent;
    noms.copie = copie;
    return remettrePrecedent(noms);
}

uint16_t Referentiel::ecrireFichierModifications(const std::string& nom) {
    Fichiers& fichiers = Fichiers::courants();
    tracerDetail(CAT_SAUVEGARDE, NIV_DETAIL, "Ouverture du fichier %s", nom.c_str());
    FILE* fichier = fichiers.ouvrir(nom.c_str(), "w+b");
    if (fichier == nullptr) {
        tracerErreur("ERREUR : probleme lors de l'ouverture du fichier: %s");
        return KPX_CR_ECRITURE;
    }
    lireDateSysteme(dateDerniereModification);
    Ecrivain ecrivain(*this, fichier);
    uint16_t cr =
        ecrivain.ecrireEntete(kFichierModifications, dateDerniereModification, "0000", numeroRevision, variante);
    for (uint16_t id = kPremiereTableModification; cr == 0 && id <= kDerniereTableModification; ++id)
        cr = table(id) != nullptr ? table(id)->ecrireTable(ecrivain) : KPX_CR_DONNEES_INCOHERENTES;
    uint16_t crc = 0;
    if (cr == 0 && !calculerCRC16(fichier, crc)) cr = KPX_CR_ECRITURE;
    if (cr == 0) cr = ecrivain.ecrireCRC(crc);
    tracerDetail(CAT_SAUVEGARDE, NIV_DETAIL, "Fermeture du fichier");
    if (!fichiers.fermer(fichier)) {
        tracerErreur("ERREUR : probleme lors de la fermeture du fichier: %s");
        if (cr == 0) cr = KPX_CR_ECRITURE;
    }
    if (cr != 0) fichiers.supprimer(nom.c_str());
    return cr;
}
