#include "support/HoteEchantillon.h"

#include <fstream>

#include "support/Echantillon.h"

HoteEchantillon::HoteEchantillon() {
    if (!hote_.charger(KPX_LIB_DIR)) return;
    const std::string& r = repertoireEchantillon();
    if (r.empty()) return;
    const std::string configuration = r + "/kpx.ini";
    std::ofstream(configuration) << "[COMMUN]\nrepertoiretravail=" << r << "\n[KPX]\nrepertoiretable=" << r << "\n";
    pret_ = hote_.KPX_InitLIB2(configuration.c_str()) == KPX_OK;
}

HoteEchantillon::~HoteEchantillon() {
    if (pret_) hote_.KPX_TermLIB();
}
