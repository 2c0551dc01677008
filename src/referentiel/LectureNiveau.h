// Reading of one act-level record, field by field in file order, on a running
// code: once the code is non-zero every later read or check does nothing.
// Content faults are traced with the reader's last position and give 0xD640.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "referentiel/Lecteur.h"
#include "zone/Date.h"


class LectureNiveau {
public:
    LectureNiveau(Lecteur& lecteur, uint16_t& cr) : lecteur_(lecteur), cr_(cr) {}

    Lecteur& lecteur() { return lecteur_; }
    bool enErreur() const { return cr_ != 0; }

    void octet(char& valeur);
    void caracteres(std::string& valeur, size_t n);
    void entier16(uint16_t& valeur);
    void entier32(uint32_t& valeur);
    // Empty in the file gives an empty string.
    void chaine(std::string& valeur);
    void date(Date& valeur);
    void nombre(double& valeur);

    // Fields read and checked in one step; the message names the fault.
    void code(char& valeur, bool nonBlanc, const char* message);
    void code(std::string& valeur, size_t n, bool nonBlanc, const char* message);
    void chaineRenseignee(std::string& valeur, const char* message);
    void dateDebut(Date& valeur, const char* message);
    void dateFin(Date& valeur, const char* message);
    // A u16 count then that many codes; messageVide, when given, refuses a count of 0.
    void listeCodes(std::vector<char>& valeurs, const char* messageVide, const char* message);
    void listeCodes(std::vector<std::string>& valeurs, size_t n, const char* messageVide, const char* message);
    // A u16 count; messageVide, when given, refuses 0. The caller reads the items.
    uint16_t compte(const char* messageVide);
    // Room for n items, but never more than the rest of the file could hold (each item
    // takes a byte at least); an allocation failure gives 0xDFFC.
    template <typename T>
    void reserver(std::vector<T>& valeurs, size_t n);

    // Traces "ERREUR position 0x%08lX : <message>" and gives 0xD640 when the condition fails.
    void verifier(bool condition, const char* message);

    static bool estCodeValide(const char* octets, size_t n);
    static bool estNonBlanc(const char* octets, size_t n);
    static bool estDateValide(const Date& date);

private:
    Lecteur& lecteur_;
    uint16_t& cr_;
};

template <typename T>
void LectureNiveau::reserver(std::vector<T>& valeurs, size_t n) {
    if (cr_ != 0) return;
    const long reste = lecteur_.restant();
    if (reste >= 0 && static_cast<unsigned long>(reste) < n) n = static_cast<size_t>(reste);
    try {
        valeurs.reserve(n);
    } catch (const std::bad_alloc&) {
        cr_ = KPX_CR_CONSTRUCTION;
    }
}
