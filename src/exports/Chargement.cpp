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

// The module's base address lies in its own image, so it names the library file.
// Binding at process attach runs under the loader lock; that is safe here because the
// siblings are plain DLLs whose own start-up loads nothing further.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD raison, LPVOID) {
    if (raison == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        attacher(reinterpret_cast<const void*>(instance));
    }
    if (raison == DLL_PROCESS_DETACH) detacher();
    return TRUE;
}
#else

__attribute__((constructor)) static void chargementProcessus() {
    attacher(reinterpret_cast<const void*>(&chargementProcessus));
}

__attribute__((destructor)) static void dechargementProcessus() { detacher(); }

#endif
