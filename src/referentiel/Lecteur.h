// Reader of the table file format over an open file. It tracks the file position
// itself (one ftell at construction), so a primitive never costs a system call;
// `position()` is the offset taken just before the last primitive read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "zone/Date.h"

class Referentiel;

class Lecteur {
public:
    // lireCaracteres when the end of the file comes before any byte.
    static constexpr uint16_t kFinFichier = 0xFFFF;

    Lecteur(Referentiel& referentiel, FILE* fichier);
    Lecteur(const Lecteur&) = delete;
    Lecteur& operator=(const Lecteur&) = delete;

    uint16_t lireCRC(uint16_t& crc);
    uint16_t lireEnteteRef();
    uint16_t lireEnteteModif();
    // The four characters at offset 18 (plus a terminator); the position is restored.
    uint16_t lireVersionReferentiel(char version[5]);
    // identifiant receives 3 characters and a terminator; position is where the rows start.
    // A section announcing more bytes than the rest of the file holds is refused.
    uint16_t lireEnteteTable(char identifiant[4], uint32_t& nombreLignes, long& position);
    uint16_t sauterTable();
    // Byte size of the rows of the last section header read.
    uint32_t tailleTable() const { return tailleTable_; }

    uint16_t lireCaracteres(char* buffer, size_t n);
    uint16_t lireOctet(char& c);
    uint16_t lireEntier16(uint16_t& n);
    uint16_t lireEntierSigne16(int16_t& n);
    uint16_t lireEntier32(uint32_t& n);
    // Up to the delimiter, which is consumed; an empty string leaves texte unchanged.
    uint16_t lireChaine(std::string& texte, char delimiteur = '\0');
    uint16_t lireDate(Date& date);
    uint16_t lireDateTexte(Date& date);
    uint16_t lireNombre(double& valeur);

    // Bytes from the current position to the end of the file; -1 when it cannot be measured.
    long restant();

    long position() const { return positionDerniereLecture_; }
    long positionCourante() const { return position_; }
    Referentiel& referentiel() { return referentiel_; }

private:
    uint16_t prendrePosition();
    bool positionner(long offset, int origine);
    uint16_t lireMot(std::string& mot);

    Referentiel& referentiel_;
    FILE* fichier_;
    uint32_t tailleTable_ = 0;
    long position_ = 0;
    long positionDerniereLecture_ = 0;
    long tailleFichier_ = -1;
};
