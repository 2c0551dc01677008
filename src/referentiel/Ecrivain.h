// Writer of the table file format. The file is opened for writing and reading by
// the caller (the CRC is computed over it afterwards); every primitive but the
// header date and the CRC adds its bytes to the count of the current table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "zone/Date.h"

class Referentiel;

class Ecrivain {
public:
    Ecrivain(Referentiel& referentiel, FILE* fichier) : referentiel_(referentiel), fichier_(fichier) {}
    Ecrivain(const Ecrivain&) = delete;
    Ecrivain& operator=(const Ecrivain&) = delete;

    uint16_t ecrireEntete(const char* nomFichier, const Date& date, const char* versionMinimale,
                          uint16_t numeroRevision, const char* variante);
    uint16_t ecrireEnteteTable(const char* identifiant, uint32_t nombreLignes);
    uint16_t terminerTable();
    uint16_t ecrireCRC(uint16_t crc);

    uint16_t ecrireOctet(char c);
    uint16_t ecrireEntier16(uint16_t n);
    uint16_t ecrireEntier32(uint32_t n);
    uint16_t ecrireCaracteres(const char* buffer, size_t n);
    uint16_t ecrireChaine(const std::string& texte);
    uint16_t ecrireChaine(const char* texte);
    uint16_t ecrireDate(const Date& date);
    uint16_t ecrireDateTexte(const Date& date);
    uint16_t ecrireNombre(double valeur);

    uint32_t octetsTable() const { return compteur_; }

private:
    uint16_t ecrireBrut(const void* octets, size_t n);
    uint16_t ecrireSansCompter(const void* octets, size_t n);

    Referentiel& referentiel_;
    FILE* fichier_;
    uint32_t compteur_ = 0;
    long positionTaille_ = -1;
};
