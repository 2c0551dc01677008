// The file operations through which the modification file is written and switched,
// gathered in one replaceable object so that a test can make any single step fail
// (open, write, read, positioning, close, delete, rename). The library itself only
// ever uses the system's.
#pragma once

#include <cstddef>
#include <cstdio>

class Fichiers {
public:
    Fichiers() = default;
    virtual ~Fichiers() = default;
    Fichiers(const Fichiers&) = delete;
    Fichiers& operator=(const Fichiers&) = delete;

    // Null on failure, with errno telling why (ENOENT: no such file).
    virtual FILE* ouvrir(const char* nom, const char* mode);
    // False on a short write.
    virtual bool ecrire(const void* octets, size_t taille, FILE* fichier);
    // The bytes read in lus, 0 at the end of the file; false on a read error.
    virtual bool lire(void* octets, size_t taille, FILE* fichier, size_t& lus);
    virtual bool positionner(FILE* fichier, long position, int origine);
    // -1 on failure.
    virtual long position(FILE* fichier);
    // Flushes and closes; false when either fails (the handle is released anyway).
    virtual bool fermer(FILE* fichier);
    virtual bool supprimer(const char* nom);
    virtual bool renommer(const char* ancien, const char* nouveau);

    // The operations in use: the system's unless others were installed.
    static Fichiers& courants();
    // Not owned; null gives the system's back.
    static void installer(Fichiers* fichiers);
};
