#include "support/Echantillon.h"

#include <unistd.h>

#include <vector>

#include "kpxbuild/Compilateur.h"
#include "support/LectureTrace.h"

const std::string& repertoireEchantillon(std::string* erreur) {
    static std::string message;
    static const std::string repertoire = [] {
        // Test programs run side by side: one directory each.
        std::string r = repertoireTemporaire("echantillon-" + std::to_string(getpid()));
        std::vector<std::string> erreurs;
        if (compiler(std::string(KPX_SOURCE_DIR) + "/data/sample", r, erreurs)) return r;
        for (const auto& e : erreurs) message += e + "\n";
        return std::string();
    }();
    if (erreur != nullptr) *erreur = message;
    return repertoire;
}
