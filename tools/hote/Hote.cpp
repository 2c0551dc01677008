// Run-time loading of the library, as any host program does it.
#include "hote/Hote.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {
#if defined(_WIN32)
const char* const kFichier = "\\KPXW32.dll";
void* ouvrir(const std::string& chemin) { return reinterpret_cast<void*>(LoadLibraryA(chemin.c_str())); }
void* entree(void* b, const char* nom) { return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(b), nom)); }
void fermer(void* b) { FreeLibrary(static_cast<HMODULE>(b)); }
std::string derniereErreur() { return "LoadLibrary error " + std::to_string(GetLastError()); }
#else
const char* const kFichier = "/libKPXW32.so";
void* ouvrir(const std::string& chemin) { return dlopen(chemin.c_str(), RTLD_NOW | RTLD_LOCAL); }
void* entree(void* b, const char* nom) { return dlsym(b, nom); }
void fermer(void* b) { dlclose(b); }
std::string derniereErreur() {
    const char* e = dlerror();
    return e != nullptr ? e : "unknown error";
}
#endif
}  // namespace

Hote::~Hote() { decharger(); }

bool Hote::charger(const std::string& repertoire) {
    decharger();
    bibliotheque = ouvrir(repertoire + kFichier);
    if (bibliotheque == nullptr) {
        erreur = derniereErreur();
        return false;
    }
#define KPX_ENTREE(nom)                                                     \
    nom = reinterpret_cast<decltype(nom)>(entree(bibliotheque, #nom));      \
    if (nom == nullptr) {                                                   \
        erreur = "entry " #nom " missing";                                  \
        decharger();                                                        \
        return false;                                                       \
    }
#include "hote/EntreesKPX.inc"
#undef KPX_ENTREE
    return true;
}

void Hote::decharger() {
    if (bibliotheque != nullptr) fermer(bibliotheque);
    bibliotheque = nullptr;
#define KPX_ENTREE(nom) nom = nullptr;
#include "hote/EntreesKPX.inc"
#undef KPX_ENTREE
}
