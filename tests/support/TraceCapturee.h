// For core tests: binds the siblings from the build tree and sends the trace
// to a fresh file for the lifetime of the object.
#pragma once

#include <string>
#include <vector>

#include "support/LectureTrace.h"

class TraceCapturee {
public:
    explicit TraceCapturee(const std::string& nom);
    ~TraceCapturee();
    TraceCapturee(const TraceCapturee&) = delete;
    TraceCapturee& operator=(const TraceCapturee&) = delete;

    std::vector<LigneTrace> lignes() const { return lireTrace(fichier_); }
    std::vector<std::string> textes() const { return textesTrace(lignes()); }

private:
    std::string fichier_;
};
