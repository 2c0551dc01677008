// Binding of the sibling components when the library enters a process, and
// their release when it leaves.
#include "frame/Composants.h"
#include "frame/Plateforme.h"

namespace {

void attacher(const void* adresseDansModule) {
    Composants::definirRepertoire(Plateforme::repertoireDe(Plateforme::cheminModule(adresseDansModule)));
    Composants::lier();
}

void detacher() { Composants::delier(); }

}  // namespace

#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD raison, LPVOID) {
    if (raison == DLL_PROCESS_ATTACH) attacher(reinterpret_cast<const void*>(&detacher));
    if (raison == DLL_PROCESS_DETACH) detacher();
    return TRUE;
}
#else

__attribute__((constructor)) static void chargementProcessus() {
    attacher(reinterpret_cast<const void*>(&chargementProcessus));
}

__attribute__((destructor)) static void dechargementProcessus() { detacher(); }

#endif
