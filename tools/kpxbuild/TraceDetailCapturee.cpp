// The detail trace hook pointed at a process-wide list, emptied per capture.
#include "kpxbuild/TraceDetailCapturee.h"

#include <algorithm>

#include "frame/Trace.h"

namespace {

std::vector<std::string>& capturees() {
    static std::vector<std::string> lignes;
    return lignes;
}

void recevoir(uint16_t, uint16_t, const char* ligne) { capturees().emplace_back(ligne); }

constexpr uint16_t kCategories = 10;

}  // namespace

TraceDetailCapturee::TraceDetailCapturee() {
    capturees().clear();
    for (uint16_t c = 0; c < kCategories; ++c) TraceDetail::definirNiveau(c, NIV_ERREUR);
    TraceDetail::definirDestination(recevoir);
}

TraceDetailCapturee::~TraceDetailCapturee() {
    TraceDetail::definirDestination(nullptr);
    for (uint16_t c = 0; c < kCategories; ++c) TraceDetail::definirNiveau(c, 0);
    capturees().clear();
}

const std::vector<std::string>& TraceDetailCapturee::lignes() const { return capturees(); }

bool TraceDetailCapturee::contient(const std::string& ligne) const {
    return std::find(capturees().begin(), capturees().end(), ligne) != capturees().end();
}

std::string TraceDetailCapturee::texte() const {
    std::string texte;
    for (const std::string& ligne : capturees()) texte += ligne + "\n";
    return texte;
}

void TraceDetailCapturee::effacer() { capturees().clear(); }
