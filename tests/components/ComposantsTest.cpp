// Our two sibling components, called directly through their C entries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bfhw32/bfhw32.h"
#include "dlnw32/dlnw32.h"

namespace fs = std::filesystem;

namespace {
std::string repertoire(const std::string& nom) {
    fs::path p = fs::path(KPX_TEST_TMP) / "components" / nom;
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string();
}

std::string lire(const char* section, const char* cle, uint32_t taille = 512) {
    char tampon[512] = {};
    uint32_t n = LN_ulLireChaineKoral(section, cle, tampon, taille);
    return n == 0 ? std::string("<absent>") : std::string(tampon);
}

std::string contenu(const std::string& fichier) {
    std::ifstream f(fichier);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

int liberations = 0;
void BFH_CALLBACK compterLiberation(unsigned char* zone) {
    ++liberations;
    delete[] zone;
}
}  // namespace

TEST(Dlnw32, IniSectionsKeysCommentsAndBlanks) {
    std::string r = repertoire("ini");
    std::string ini = r + "/kpx.ini";
    std::ofstream(ini) << "; comment\n# other\n[COMMUN]\n  repertoiretravail =  " << r
                       << "  \nActivationTracesLog4c=1 ; trailing\n[KPX]\nrepertoiretable=/a/b\nvide=\n";
    EXPECT_NE(LN_usSetFichierKoral((r + "/absent.ini").c_str()), 0);
    EXPECT_NE(LN_usSetFichierKoral(nullptr), 0);
    ASSERT_EQ(LN_usSetFichierKoral(ini.c_str()), 0);
    EXPECT_EQ(lire("COMMUN", "repertoiretravail"), r);
    EXPECT_EQ(lire("COMMUN", "ActivationTracesLog4c"), "1");
    EXPECT_EQ(lire("KPX", "repertoiretable"), "/a/b");
    EXPECT_EQ(lire("KPX", "vide"), "");
    EXPECT_EQ(lire("kpx", "repertoiretable"), "<absent>");  // case-sensitive
    EXPECT_EQ(lire("KPX", "RepertoireTable"), "<absent>");
    EXPECT_EQ(lire("KPX", "repertoiretable", 3), "/a");      // truncated to the buffer
    EXPECT_EQ(LN_ulLireChaineKoral("KPX", "repertoiretable", nullptr, 10), 0u);

    // Versions: the same again is nothing new (0); a change rewrites it and says so (0xF6F2).
    EXPECT_EQ(LN_usEcrireVersionComposant(21, "A1000", 5), 0);
    EXPECT_EQ(LN_usEcrireVersionComposant(21, "A1000", 5), 0);
    EXPECT_EQ(LN_usEcrireVersionComposant(20, "0302", 4), 0);
    EXPECT_EQ(LN_usEcrireVersionComposant(21, "B1001", 5), DLN_CR_VERSION_DEJA_ECRITE);
    EXPECT_EQ(contenu(r + "/versions.txt"), "20=0302\n21=B1001\n");

    std::ofstream(ini) << "[KPX]\nrepertoiretable=/a\n";
    ASSERT_EQ(LN_usSetFichierKoral(ini.c_str()), 0);
    EXPECT_EQ(LN_usEcrireVersionComposant(20, "0302", 4), DLN_CR_REPERTOIRE_TRAVAIL);
}

TEST(Dlnw32, TraceLinesAreFilteredByLevelAndStop) {
    std::string r = repertoire("trace");
    std::string fichier = r + "/t.log";
    ASSERT_EQ(LN_usActiverTrace("KPX", ("fichier=" + fichier + ";niveau=2").c_str()), 0);
    LN_TraceEcrire("KPX", 7, 1, "un %d", 1);
    LN_TraceEcrire("KPX", 9, 5, "cache");
    LN_TraceEcrire("KPX", 0, 2, "deux %s", "x");
    LN_ArretTraces();
    LN_TraceEcrire("KPX", 0, 1, "apres arret");
    std::string texte = contenu(fichier);
    std::istringstream lignes(texte);
    std::string l1, l2, l3;
    std::getline(lignes, l1);
    std::getline(lignes, l2);
    EXPECT_FALSE(std::getline(lignes, l3));
    ASSERT_GT(l1.size(), 24u);
    EXPECT_EQ(l1.substr(24), "KPX 7 1 un 1");  // after "YYYY-MM-DD HH:MM:SS.mmm "
    EXPECT_EQ(l2.substr(24), "KPX 0 2 deux x");
    EXPECT_NE(LN_usActiverTrace("KPX", ("fichier=" + r + "/no/such/dir/t.log").c_str()), 0);
}

TEST(Bfhw32, SessionZonesDepositTakeAndRelease) {
    BFH_Reinitialiser();
    unsigned char* buffer = nullptr;
    uint32_t taille = 0;
    EXPECT_EQ(BFH_LireZoneIn(3, &buffer, &taille), BFH_CR_SESSION_INCONNUE);
    const unsigned char octets[] = {0x0B, 0xB8, 0x00};
    ASSERT_EQ(BFH_DeposerZoneIn(3, octets, 3), 0);
    ASSERT_EQ(BFH_LireZoneIn(3, &buffer, &taille), 0);
    ASSERT_EQ(taille, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), std::string("\x0B\xB8\x00", 3));
    EXPECT_NE(buffer, octets);  // a copy

    liberations = 0;
    ASSERT_EQ(BFH_EcrireZoneOut(3, new unsigned char[4], 4, compterLiberation), 0);
    ASSERT_EQ(BFH_EcrireZoneOut(3, new unsigned char[8], 8, compterLiberation), 0);
    EXPECT_EQ(liberations, 1);  // the earlier output went back through the release function
    ASSERT_EQ(BFH_PrendreZoneOut(3, &buffer, &taille), 0);
    EXPECT_EQ(taille, 8u);
    EXPECT_EQ(BFH_LibererSession(3), 0);
    EXPECT_EQ(liberations, 2);
    EXPECT_EQ(BFH_LibererSession(3), BFH_CR_SESSION_INCONNUE);
    // A null output of size 0 is accepted (a call that produced no zone).
    EXPECT_EQ(BFH_EcrireZoneOut(4, nullptr, 0, compterLiberation), 0);
    EXPECT_EQ(BFH_LireZoneIn(4, nullptr, &taille), BFH_CR_ARGUMENT);
    // A session closed to outputs refuses them, leaving the zone with its writer, until released.
    ASSERT_EQ(BFH_FermerSortie(5), 0);
    unsigned char refusee[2] = {};
    EXPECT_EQ(BFH_EcrireZoneOut(5, refusee, 2, compterLiberation), BFH_CR_SORTIE_FERMEE);
    ASSERT_EQ(BFH_PrendreZoneOut(5, &buffer, &taille), 0);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(BFH_LibererSession(5), 0);
    EXPECT_EQ(BFH_EcrireZoneOut(5, nullptr, 0, compterLiberation), 0);
    BFH_Reinitialiser();
    EXPECT_EQ(liberations, 2);
}
