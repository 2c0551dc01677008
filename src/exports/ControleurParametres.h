// Checks of the exports' arguments. Each check is a step on the running code:
// it does nothing, and writes nothing, once the code is non-zero.
#pragma once

#include <cstdint>
#include <memory>

class Date;

class ControleurParametres {
public:
    static void verifierChaine(uint16_t& cr, const char* chaine, bool obligatoire);
    // On success the date is created and owned by the caller.
    static void verifierDate(uint16_t& cr, const char* chaine, std::unique_ptr<Date>& date);
    static void verifierPointeur(uint16_t& cr, const void* pointeur, bool obligatoire);
    // The host's buffer is read in place by the functions; it is only checked here.
    static void verifierZoneIn(uint16_t& cr, const unsigned char* buffer, uint32_t taille);
    // Sets both outputs to 0 so a failure later hands nothing over.
    static void verifierZoneOut(uint16_t& cr, unsigned char** zone, uint32_t* taille);
};
