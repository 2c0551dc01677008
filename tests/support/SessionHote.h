// The host's side of the session-zone component: the same module the library binds,
// loaded through the platform layer (as Windows needs), for the session variants' tests.
#pragma once

#include <string>

#include "components/bfhw32/bfhw32.h"
#include "frame/Plateforme.h"

class SessionHote {
public:
    SessionHote()
        : module_(Plateforme::chargerBibliotheque(std::string(KPX_LIB_DIR) + Plateforme::separateur +
                                                  Plateforme::nomBibliotheque("bfhw32"))) {
        if (module_ == nullptr) return;
        deposer = reinterpret_cast<decltype(&BFH_DeposerZoneIn)>(Plateforme::symbole(module_, "BFH_DeposerZoneIn"));
        prendre = reinterpret_cast<decltype(&BFH_PrendreZoneOut)>(Plateforme::symbole(module_, "BFH_PrendreZoneOut"));
        liberer = reinterpret_cast<decltype(&BFH_LibererSession)>(Plateforme::symbole(module_, "BFH_LibererSession"));
        fermer = reinterpret_cast<decltype(&BFH_FermerSortie)>(Plateforme::symbole(module_, "BFH_FermerSortie"));
    }
    ~SessionHote() {
        if (module_ != nullptr) Plateforme::libererBibliotheque(module_);
    }
    SessionHote(const SessionHote&) = delete;
    SessionHote& operator=(const SessionHote&) = delete;

    bool pret() const { return deposer != nullptr && prendre != nullptr && liberer != nullptr && fermer != nullptr; }

    decltype(&BFH_DeposerZoneIn) deposer = nullptr;
    decltype(&BFH_PrendreZoneOut) prendre = nullptr;
    decltype(&BFH_LibererSession) liberer = nullptr;
    decltype(&BFH_FermerSortie) fermer = nullptr;

private:
    void* module_;
};
