#include "support/RepertoireExecutable.h"

#include <string>

#if defined(_WIN32)
#include <windows.h>

const char* repertoireExecutable() {
    static const std::string repertoire = [] {
        char chemin[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, chemin, sizeof chemin);
        std::string s(chemin, n < sizeof chemin ? n : 0);
        auto position = s.find_last_of('\\');
        return position == std::string::npos ? std::string(".") : s.substr(0, position);
    }();
    return repertoire.c_str();
}
#endif
