// For boundary tests: the library loaded as a host loads it, initialised on the
// compiled sample (or on the table file of another directory) for the life of the
// object. The library state is process-wide and shared by every boundary test, so
// each test unloads it when it ends.
#pragma once

#include <string>

#include "hote/Hote.h"

class HoteEchantillon {
public:
    HoteEchantillon();
    // On the table file of repertoire, where the configuration is written.
    explicit HoteEchantillon(const std::string& repertoire);
    ~HoteEchantillon();
    HoteEchantillon(const HoteEchantillon&) = delete;
    HoteEchantillon& operator=(const HoteEchantillon&) = delete;

    bool pret() const { return pret_; }
    Hote& hote() { return hote_; }
    // The library initialised again on the same configuration, as at a host's next start.
    uint16_t initialiser() { return hote_.KPX_InitLIB2(configuration_.c_str()); }

private:
    void demarrer(const std::string& repertoire);

    Hote hote_;
    std::string configuration_;
    bool pret_ = false;
};
