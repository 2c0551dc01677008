// Reading back the trace file that the common-services component writes:
// "<date> <time> KPX <category> <level> <text>" per line.
#pragma once

#include <string>
#include <vector>

struct LigneTrace {
    int categorie;
    int niveau;
    std::string texte;
};

std::vector<LigneTrace> lireTrace(const std::string& fichier);
std::vector<std::string> textesTrace(const std::vector<LigneTrace>& lignes);

// A fresh, empty directory under the build tree's test area.
std::string repertoireTemporaire(const std::string& nom);
