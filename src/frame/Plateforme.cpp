// Linux and Windows implementations of the platform layer.
#include "frame/Plateforme.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <malloc.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <malloc.h>
#endif

namespace Plateforme {

#if defined(_WIN32)
const char separateur = '\\';
#else
const char separateur = '/';
#endif

std::string repertoireDe(const std::string& chemin) {
    auto position = chemin.find_last_of(separateur);
    return position == std::string::npos ? std::string() : chemin.substr(0, position);
}

#if defined(_WIN32)

std::string cheminModule(const void* adresseDansModule) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(adresseDansModule), &module))
        return std::string();
    char chemin[260];
    DWORD n = GetModuleFileNameA(module, chemin, sizeof chemin);
    if (n == 0 || n >= sizeof chemin) return std::string();
    return std::string(chemin, n);
}

std::string nomBibliotheque(const char* nom) { return std::string(nom) + ".dll"; }

void* chargerBibliotheque(const std::string& chemin) {
    return reinterpret_cast<void*>(LoadLibraryA(chemin.c_str()));
}

void* symbole(void* bibliotheque, const char* nom) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(bibliotheque), nom));
}

void libererBibliotheque(void* bibliotheque) {
    if (bibliotheque != nullptr) FreeLibrary(static_cast<HMODULE>(bibliotheque));
}

std::size_t tailleUtilisable(void* bloc) { return _msize(bloc); }

// The C runtime maps the system's code onto errno and keeps it as the thread's last
// error: its text is the one the host's users know. Read right after the failed call;
// errno is the fallback when the runtime failed on its own (a bad argument, say).
std::string texteErreurSysteme() {
    const int erreurC = errno;
    const DWORD code = GetLastError();
    if (code != 0) {
        char texte[512];
        DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), texte, sizeof texte, nullptr);
        while (n > 0 && (texte[n - 1] == '\r' || texte[n - 1] == '\n' || texte[n - 1] == ' ')) --n;
        if (n > 0) return std::string(texte, n);
    }
    return std::strerror(erreurC);
}

#else

std::string cheminModule(const void* adresseDansModule) {
    Dl_info info;
    if (dladdr(adresseDansModule, &info) == 0 || info.dli_fname == nullptr) return std::string();
    return std::string(info.dli_fname);
}

std::string nomBibliotheque(const char* nom) { return std::string("lib") + nom + ".so"; }

void* chargerBibliotheque(const std::string& chemin) { return dlopen(chemin.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* symbole(void* bibliotheque, const char* nom) { return dlsym(bibliotheque, nom); }

void libererBibliotheque(void* bibliotheque) {
    if (bibliotheque != nullptr) dlclose(bibliotheque);
}

std::size_t tailleUtilisable(void* bloc) { return malloc_usable_size(bloc); }

std::string texteErreurSysteme() { return std::strerror(errno); }

#endif

}  // namespace Plateforme
