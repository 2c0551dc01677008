// Binding of the components for core tests, once per process.
#include "support/TraceCapturee.h"

#include <gtest/gtest.h>

#include "frame/Composants.h"

TraceCapturee::TraceCapturee(const std::string& nom) {
    if (!Composants::sontCharges()) {
        Composants::definirRepertoire(KPX_LIB_DIR);
        EXPECT_EQ(Composants::lier(), 0);
    }
    fichier_ = repertoireTemporaire("trace/" + nom) + "/kpx.log";
    if (Composants::sontCharges()) Composants::activerTrace()("KPX", ("fichier=" + fichier_ + ";niveau=5").c_str());
}

TraceCapturee::~TraceCapturee() {
    if (Composants::sontCharges()) Composants::arretTraces()();
}
