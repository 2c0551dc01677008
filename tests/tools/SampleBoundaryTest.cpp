// The compiled sample loads through the exported initialisation, as a host loads it.
#include <gtest/gtest.h>

#include <fstream>

#include "KPXW32.h"
#include "hote/Hote.h"
#include "kpxbuild/Compilateur.h"
#include "support/LectureTrace.h"

TEST(SampleBoundary, InitLib2LoadsTheCompiledSample) {
    static Hote hote;
    ASSERT_TRUE(hote.charger(KPX_LIB_DIR)) << hote.erreur;
    const std::string repertoire = repertoireTemporaire("boundary/sample");
    std::vector<std::string> erreurs;
    ASSERT_TRUE(compiler(std::string(KPX_SOURCE_DIR) + "/data/sample", repertoire, erreurs));
    const std::string configuration = repertoire + "/kpx.ini";
    std::ofstream(configuration) << "[COMMUN]\nrepertoiretravail=" << repertoire << "\n[KPX]\nrepertoiretable="
                                 << repertoire << "\n";
    EXPECT_EQ(hote.KPX_InitLIB2(configuration.c_str()), KPX_OK);
    // The library state is shared with the other boundary tests of the process.
    EXPECT_EQ(hote.KPX_TermLIB(), KPX_OK);
}
