// For boundary tests: the library loaded as a host loads it, initialised on the
// compiled sample for the life of the object. The library state is process-wide
// and shared by every boundary test, so each test unloads it when it ends.
#pragma once

#include <string>

#include "hote/Hote.h"

class HoteEchantillon {
public:
    HoteEchantillon();
    ~HoteEchantillon();
    HoteEchantillon(const HoteEchantillon&) = delete;
    HoteEchantillon& operator=(const HoteEchantillon&) = delete;

    bool pret() const { return pret_; }
    Hote& hote() { return hote_; }

private:
    Hote hote_;
    bool pret_ = false;
};
