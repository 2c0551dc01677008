#include "support/Echantillon.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "kpxbuild/Compilateur.h"
#include "support/LectureTrace.h"

namespace {

// Test programs run side by side: one directory each, removed when the program ends
// so that runs do not pile them up.
struct RepertoireDuProgramme {
    std::string chemin = repertoireTemporaire("echantillon-" + std::to_string(getpid()));
    ~RepertoireDuProgramme() {
        std::error_code ignoree;
        std::filesystem::remove_all(chemin, ignoree);
    }
};

}  // namespace

const std::string& repertoireEchantillon(std::string* erreur) {
    static std::string message;
    static const RepertoireDuProgramme programme;
    static const std::string repertoire = [] {
        std::vector<std::string> erreurs;
        if (compiler(std::string(KPX_SOURCE_DIR) + "/data/sample", programme.chemin, erreurs)) return programme.chemin;
        for (const auto& e : erreurs) message += e + "\n";
        return std::string();
    }();
    if (erreur != nullptr) *erreur = message;
    return repertoire;
}
