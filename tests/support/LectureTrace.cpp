// Parsing of trace files and temporary directories for tests.
#include "support/LectureTrace.h"

#include <filesystem>
#include <fstream>
#include <regex>

std::vector<LigneTrace> lireTrace(const std::string& fichier) {
    std::vector<LigneTrace> lignes;
    std::ifstream entree(fichier);
    std::string ligne;
    const std::regex forme(R"(^\S+ \S+ KPX (\d+) (\d+) (.*)$)");
    std::smatch m;
    while (std::getline(entree, ligne))
        if (std::regex_match(ligne, m, forme)) lignes.push_back({std::stoi(m[1]), std::stoi(m[2]), m[3]});
    return lignes;
}

std::vector<std::string> textesTrace(const std::vector<LigneTrace>& lignes) {
    std::vector<std::string> t;
    for (auto& l : lignes) t.push_back(l.texte);
    return t;
}

std::string repertoireTemporaire(const std::string& nom) {
    namespace fs = std::filesystem;
    fs::path chemin = fs::path(KPX_TEST_TMP) / nom;
    fs::remove_all(chemin);
    fs::create_directories(chemin);
    return chemin.string();
}
