#include "support/HoteEchantillon.h"

#include <fstream>

#include "support/Echantillon.h"

HoteEchantillon::HoteEchantillon() { demarrer(repertoireEchantillon()); }

HoteEchantillon::HoteEchantillon(const std::string& repertoire) { demarrer(repertoire); }

void HoteEchantillon::demarrer(const std::string& r) {
    if (!hote_.charger(KPX_LIB_DIR) || r.empty()) return;
    configuration_ = r + "/kpx.ini";
    std::ofstream(configuration_) << "[COMMUN]\nrepertoiretravail=" << r << "\n[KPX]\nrepertoiretable=" << r << "\n";
    pret_ = initialiser() == KPX_OK;
}

HoteEchantillon::~HoteEchantillon() {
    if (pret_) hote_.KPX_TermLIB();
}
