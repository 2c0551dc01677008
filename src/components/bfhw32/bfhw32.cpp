// Session-zone component: per session, a copy of the host's input zone and
// the output zone the library handed over with its release function.
#include "bfhw32/bfhw32.h"

#include <cstring>
#include <map>
#include <vector>

#include "ExceptionComposant.h"

namespace {

struct Session {
    std::vector<unsigned char> entree;
    bool entreePresente = false;
    unsigned char* sortie = nullptr;
    uint32_t tailleSortie = 0;
    BFH_FonctionLiberation liberation = nullptr;
    bool sortieFermee = false;
};

std::map<uint16_t, Session>& sessions() {
    static std::map<uint16_t, Session> instance;
    return instance;
}

void libererSortie(Session& s) {
    if (s.sortie != nullptr && s.liberation != nullptr) s.liberation(s.sortie);
    s.sortie = nullptr;
    s.tailleSortie = 0;
    s.liberation = nullptr;
}

}  // namespace

extern "C" {

BFH_API uint16_t BFH_LireZoneIn(uint16_t session, unsigned char** buffer, uint32_t* taille) try {
    if (buffer == nullptr || taille == nullptr) return BFH_CR_ARGUMENT;
    auto i = sessions().find(session);
    if (i == sessions().end() || !i->second.entreePresente) return BFH_CR_SESSION_INCONNUE;
    *buffer = i->second.entree.empty() ? nullptr : i->second.entree.data();
    *taille = static_cast<uint32_t>(i->second.entree.size());
    return BFH_OK;
} catch (...) {
    return codeExceptionComposant();
}

BFH_API uint16_t BFH_EcrireZoneOut(uint16_t session, unsigned char* buffer, uint32_t taille,
                                   BFH_FonctionLiberation liberation) try {
    if (buffer != nullptr && liberation == nullptr) return BFH_CR_ARGUMENT;
    Session& s = sessions()[session];
    if (s.sortieFermee) return BFH_CR_SORTIE_FERMEE;
    libererSortie(s);
    s.sortie = buffer;
    s.tailleSortie = taille;
    s.liberation = liberation;
    return BFH_OK;
} catch (...) {
    return codeExceptionComposant();
}

BFH_API uint16_t BFH_DeposerZoneIn(uint16_t session, const unsigned char* buffer, uint32_t taille) try {
    if (buffer == nullptr && taille != 0) return BFH_CR_ARGUMENT;
    Session& s = sessions()[session];
    s.entree.assign(buffer, buffer + taille);
    s.entreePresente = true;
    return BFH_OK;
} catch (...) {
    return codeExceptionComposant();
}

BFH_API uint16_t BFH_PrendreZoneOut(uint16_t session, unsigned char** buffer, uint32_t* taille) try {
    if (buffer == nullptr || taille == nullptr) return BFH_CR_ARGUMENT;
    auto i = sessions().find(session);
    if (i == sessions().end()) return BFH_CR_SESSION_INCONNUE;
    *buffer = i->second.sortie;
    *taille = i->second.tailleSortie;
    return BFH_OK;
} catch (...) {
    return codeExceptionComposant();
}

BFH_API uint16_t BFH_FermerSortie(uint16_t session) try {
    sessions()[session].sortieFermee = true;
    return BFH_OK;
} catch (...) {
    return codeExceptionComposant();
}

BFH_API uint16_t BFH_LibererSession(uint16_t session) try {
    auto i = sessions().find(session);
    if (i == sessions().end()) return BFH_CR_SESSION_INCONNUE;
    libererSortie(i->second);
    sessions().erase(i);
    return BFH_OK;
} catch (...) {
    return codeExceptionComposant();
}

BFH_API uint16_t BFH_Reinitialiser(void) try {
    for (auto& [numero, s] : sessions()) libererSortie(s);
    sessions().clear();
    return BFH_OK;
} catch (...) {
    return codeExceptionComposant();
}

}  // extern "C"
