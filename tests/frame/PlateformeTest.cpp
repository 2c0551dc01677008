// The platform layer on the system it was built for: file names of the siblings,
// directory of a module, loading by path, usable block size, system error texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "components/dlnw32/dlnw32.h"
#include "frame/Plateforme.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace fs = std::filesystem;

TEST(Plateforme, SiblingFileNamesAndDirectoryCut) {
#if defined(_WIN32)
    EXPECT_EQ(Plateforme::separateur, '\\');
    EXPECT_EQ(Plateforme::nomBibliotheque("bfhw32"), "bfhw32.dll");
    const std::vector<std::pair<std::string, std::string>> cas = {
        {"C:\\Programmes\\KPX\\KPXW32.dll", "C:\\Programmes\\KPX"},
        {"C:\\KPXW32.dll", "C:"},
        {"KPXW32.dll", ""},
        // A forward slash is no separator for the library: the full path it gets never has one.
        {"C:\\a/b\\KPXW32.dll", "C:\\a/b"},
    };
#else
    EXPECT_EQ(Plateforme::separateur, '/');
    EXPECT_EQ(Plateforme::nomBibliotheque("bfhw32"), "libbfhw32.so");
    const std::vector<std::pair<std::string, std::string>> cas = {
        {"/opt/kpx/lib/libKPXW32.so", "/opt/kpx/lib"},
        {"/libKPXW32.so", ""},
        {"libKPXW32.so", ""},
        {"/a\\b/libKPXW32.so", "/a\\b"},
    };
#endif
    for (auto& [chemin, repertoire] : cas) EXPECT_EQ(Plateforme::repertoireDe(chemin), repertoire) << chemin;
}

TEST(Plateforme, SiblingLoadedByPathNamesItsOwnFile) {
    const std::string chemin = std::string(KPX_LIB_DIR) + Plateforme::separateur + Plateforme::nomBibliotheque("dlnw32");
    void* bibliotheque = Plateforme::chargerBibliotheque(chemin);
    ASSERT_NE(bibliotheque, nullptr) << chemin;
    void* entree = Plateforme::symbole(bibliotheque, "LN_usSetFichierKoral");
    ASSERT_NE(entree, nullptr);
    EXPECT_EQ(Plateforme::symbole(bibliotheque, "LN_usEntreeAbsente"), nullptr);
    // Any address inside the module gives the module's file, not the executable's.
    const std::string module = Plateforme::cheminModule(entree);
    ASSERT_FALSE(module.empty());
    EXPECT_TRUE(fs::equivalent(module, chemin)) << module;
    EXPECT_TRUE(fs::equivalent(Plateforme::repertoireDe(module), KPX_LIB_DIR)) << module;
    // The entry found is the component's own: an empty file name is refused.
    EXPECT_EQ(reinterpret_cast<LN_usSetFichierKoral_t>(entree)(""), DLN_CR_ARGUMENT);
    Plateforme::libererBibliotheque(bibliotheque);
    Plateforme::libererBibliotheque(nullptr);

    EXPECT_EQ(Plateforme::chargerBibliotheque(std::string(KPX_LIB_DIR) + Plateforme::separateur +
                                              Plateforme::nomBibliotheque("absent")),
              nullptr);
}

TEST(Plateforme, UsableSizeCoversTheRequest) {
    for (std::size_t taille : {1u, 13u, 300u, 70000u}) {
        void* bloc = std::malloc(taille);
        ASSERT_NE(bloc, nullptr);
        EXPECT_GE(Plateforme::tailleUtilisable(bloc), taille);
        // The same block gives the same amount at allocation and at release.
        EXPECT_EQ(Plateforme::tailleUtilisable(bloc), Plateforme::tailleUtilisable(bloc));
        std::free(bloc);
    }
}

TEST(Plateforme, ErrorTextOfAFailedOpenIsTheSystemOne) {
    const fs::path absent = fs::temp_directory_path() / "kpx-plateforme-absent" / "table_v2.kpx";
    FILE* fichier = std::fopen(absent.string().c_str(), "rb");
    ASSERT_EQ(fichier, nullptr);
#if defined(_WIN32)
    const DWORD code = GetLastError();
#endif
    const std::string texte = Plateforme::texteErreurSysteme();
#if defined(_WIN32)
    // The system's message for a missing path, as the host's users read it elsewhere,
    // not the C runtime's "No such file or directory".
    EXPECT_TRUE(code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND) << code;
    char attendu[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), attendu, sizeof attendu, nullptr);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::string(attendu, n).rfind(texte, 0), 0u) << texte;
    EXPECT_NE(texte, std::strerror(ENOENT));
    // It ends a trace line: no line break of its own.
    ASSERT_FALSE(texte.empty());
    EXPECT_EQ(texte.find_first_of("\r\n"), std::string::npos) << texte;
#else
    EXPECT_EQ(texte, std::strerror(ENOENT));
#endif
}
