// For boundary tests of the session variants: the host's side of the session-zone
// component, the same module as the library's, loaded from the library's directory.
#pragma once

#include <string>

#include "components/bfhw32/bfhw32.h"
#include "frame/Plateforme.h"

class SessionsHote {
public:
    SessionsHote()
        : module_(Plateforme::chargerBibliotheque(std::string(KPX_LIB_DIR) + Plateforme::separateur +
                                                  Plateforme::nomBibliotheque("bfhw32"))) {
        if (module_ == nullptr) return;
        deposer = reinterpret_cast<decltype(&BFH_DeposerZoneIn)>(Plateforme::symbole(module_, "BFH_DeposerZoneIn"));
        prendre = reinterpret_cast<decltype(&BFH_PrendreZoneOut)>(Plateforme::symbole(module_, "BFH_PrendreZoneOut"));
        liberer = reinterpret_cast<decltype(&BFH_LibererSession)>(Plateforme::symbole(module_, "BFH_LibererSession"));
    }
    ~SessionsHote() {
        if (module_ != nullptr) Plateforme::libererBibliotheque(module_);
    }
    SessionsHote(const SessionsHote&) = delete;
    SessionsHote& operator=(const SessionsHote&) = delete;

    bool pret() const { return deposer && prendre && liberer; }

    decltype(&BFH_DeposerZoneIn) deposer = nullptr;
    decltype(&BFH_PrendreZoneOut) prendre = nullptr;
    decltype(&BFH_LibererSession) liberer = nullptr;

private:
    void* module_;
};
