#include "frame/Fichiers.h"

namespace {

Fichiers*& installes() {
    static Fichiers* fichiers = nullptr;
    return fichiers;
}

}  // namespace

FILE* Fichiers::ouvrir(const char* nom, const char* mode) { return std::fopen(nom, mode); }

bool Fichiers::ecrire(const void* octets, size_t taille, FILE* fichier) {
    return taille == 0 || std::fwrite(octets, 1, taille, fichier) == taille;
}

bool Fichiers::lire(void* octets, size_t taille, FILE* fichier, size_t& lus) {
    lus = std::fread(octets, 1, taille, fichier);
    return std::ferror(fichier) == 0;
}

bool Fichiers::positionner(FILE* fichier, long position, int origine) {
    return std::fseek(fichier, position, origine) == 0;
}

long Fichiers::position(FILE* fichier) { return std::ftell(fichier); }

bool Fichiers::fermer(FILE* fichier) {
    const bool vide = std::fflush(fichier) == 0;
    return std::fclose(fichier) == 0 && vide;
}

bool Fichiers::supprimer(const char* nom) { return std::remove(nom) == 0; }

bool Fichiers::renommer(const char* ancien, const char* nouveau) { return std::rename(ancien, nouveau) == 0; }

Fichiers& Fichiers::courants() {
    static Fichiers systeme;
    return installes() != nullptr ? *installes() : systeme;
}

void Fichiers::installer(Fichiers* fichiers) { installes() = fichiers; }
