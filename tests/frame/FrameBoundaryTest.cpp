// The library seen from a host: loaded at run time from the build tree, with
// its siblings beside it, through the exported functions only.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "components/dlnw32/dlnw32.h"
#include "frame/Plateforme.h"
#include "hote/Hote.h"
#include "support/ConstructeurReferentiel.h"
#include "support/LectureTrace.h"

namespace fs = std::filesystem;

namespace {

std::string ecrireConfiguration(const std::string& repertoire, const std::string& contenu) {
    std::string fichier = repertoire + "/kpx.ini";
    std::ofstream(fichier) << contenu;
    return fichier;
}

Hote& hote() {
    static Hote instance;
    static bool charge = instance.charger(KPX_LIB_DIR);
    EXPECT_TRUE(charge) << instance.erreur;
    return instance;
}

#if defined(_WIN32)
std::string fichierBibliotheque(const char* nom) { return std::string(nom) + ".dll"; }

// A copy of the library loaded from another directory is another module with its
// own state: no child process is needed to start afresh.
template <typename F>
int dansUnEtatNeuf(F corps) {
    return corps();
}

// The names of the export directory of the module as it was loaded.
std::set<std::string> nomsExportes(void* bibliotheque) {
    std::set<std::string> noms;
    auto base = static_cast<const unsigned char*>(bibliotheque);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entree = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entree.VirtualAddress == 0) return noms;
    auto repertoire = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entree.VirtualAddress);
    auto adressesNoms = reinterpret_cast<const DWORD*>(base + repertoire->AddressOfNames);
    for (DWORD i = 0; i < repertoire->NumberOfNames; ++i)
        noms.insert(reinterpret_cast<const char*>(base + adressesNoms[i]));
    // Every function is reachable by a name: no export by ordinal only.
    EXPECT_EQ(repertoire->NumberOfFunctions, repertoire->NumberOfNames);
    return noms;
}
#else
std::string fichierBibliotheque(const char* nom) { return std::string("lib") + nom + ".so"; }

// Runs `corps` in a child process (its own copy of the library state) and gives its exit status.
template <typename F>
int dansUnEtatNeuf(F corps) {
    pid_t fils = fork();
    if (fils == 0) _exit(corps());
    int statut = 0;
    waitpid(fils, &statut, 0);
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

std::set<std::string> nomsExportes(void*) {
    std::string commande = std::string("nm -D --defined-only ") + KPX_LIB_DIR + "/libKPXW32.so";
    std::set<std::string> exportes;
    FILE* sortie = popen(commande.c_str(), "r");
    EXPECT_NE(sortie, nullptr);
    if (sortie == nullptr) return exportes;
    char ligne[512];
    while (std::fgets(ligne, sizeof ligne, sortie) != nullptr) {
        std::istringstream champs(ligne);
        std::string adresse, type, nom;
        champs >> adresse >> type >> nom;
        if (nom.empty()) continue;  // version nodes
        if (type == "A") continue;
        exportes.insert(nom);
    }
    pclose(sortie);
    return exportes;
}
#endif

}  // namespace

TEST(FrameBoundary, ExportsExactlyTheTwentyFourEntries) {
    const std::set<std::string> exportes = nomsExportes(hote().bibliotheque);
    const std::set<std::string> attendus = {
        "KPX_InitLIB2", "KPX_TermLIB", "KPX_InitTrace", "KPX_LireVersion", "KPX_AllouerZoneMem",
        "KPX_LibererZoneMem", "KPX_ConsulterDonnee", "KPX_RechercherParMotCle", "KPX_RechercherParFiltre",
        "KPX_ModifierDonnee", "KPX_AnnulerModification", "KPX_SauvegarderReferentiel", "KPX_AppliquerRegle",
        "KPX_ControlerDonnees", "KPX_ControleComplet", "KPX_ConsulterDonnee_S", "KPX_RechercherParMotCle_S",
        "KPX_RechercherParFiltre_S", "KPX_ModifierDonnee_S", "KPX_AnnulerModification_S", "KPX_AppliquerRegle_S",
        "KPX_ControlerDonnees_S", "KPX_ControleComplet_S", "KPX_LireVersion_S"};
    EXPECT_EQ(exportes, attendus);
}

TEST(FrameBoundary, EveryExportButFourAnswersNoReferentielBeforeInit) {
    Hote& h = hote();
    unsigned char* zone = reinterpret_cast<unsigned char*>(1);
    uint32_t taille = 7;
    const unsigned char octets[] = {0x0B, 0xB8, 0x00};
    char resultat = 'X';
    const std::vector<std::pair<const char*, uint16_t>> cas = {
        {"KPX_TermLIB", h.KPX_TermLIB()},
        {"KPX_LireVersion", h.KPX_LireVersion(&zone, &taille)},
        {"KPX_ConsulterDonnee", h.KPX_ConsulterDonnee("CCAM_37", "20240101", octets, 3, &zone, &taille)},
        {"KPX_RechercherParMotCle", h.KPX_RechercherParMotCle("rein", 0, &zone, &taille)},
        {"KPX_RechercherParFiltre", h.KPX_RechercherParFiltre("AB", &zone, &taille)},
        {"KPX_ModifierDonnee", h.KPX_ModifierDonnee("M", "20240101", octets, 3)},
        {"KPX_AnnulerModification", h.KPX_AnnulerModification("A", octets, 3)},
        {"KPX_SauvegarderReferentiel", h.KPX_SauvegarderReferentiel(nullptr)},
        {"KPX_AppliquerRegle", h.KPX_AppliquerRegle("C_Pu", octets, 3, &zone, &taille)},
        {"KPX_ControlerDonnees", h.KPX_ControlerDonnees("C", "20240101", octets, 3, &resultat)},
        {"KPX_ControleComplet", h.KPX_ControleComplet(octets, 3, &zone, &taille)},
    };
    for (auto& [nom, cr] : cas) EXPECT_EQ(cr, KPX_CR_NON_CHARGE) << nom;
    // The referentiel check comes first: the outputs were not touched.
    EXPECT_EQ(zone, reinterpret_cast<unsigned char*>(1));
    EXPECT_EQ(taille, 7u);
    EXPECT_EQ(resultat, 'X');
}

// The library keeps the trace level for the length of a call: a level the host raises
// on the component itself between two calls must be the one the next call writes at.
TEST(FrameBoundary, TraceLevelRaisedBetweenCallsIsFollowed) {
    Hote& h = hote();
    const std::string fichier = repertoireTemporaire("boundary/niveau") + "/kpx.log";
    const auto consulter = [&] {
        unsigned char* sortie = nullptr;
        uint32_t taille = 0;
        EXPECT_EQ(h.KPX_ConsulterDonnee("CCAM_37", "20240101", nullptr, 0, &sortie, &taille), KPX_CR_NON_CHARGE);
    };
    const auto compter = [&](const std::string& texte) {
        auto t = textesTrace(lireTrace(fichier));
        return std::count(t.begin(), t.end(), texte);
    };
    ASSERT_EQ(h.KPX_InitTrace(("fichier=" + fichier + ";niveau=1").c_str(), 0, 0, 0), KPX_OK);
    consulter();
    EXPECT_EQ(compter("KPX_ConsulterDonnee << OUT"), 1);
    EXPECT_EQ(compter("verifierReferentiel >> IN"), 0);

    // The same module the library bound, so the same trace state.
    void* dln = Plateforme::chargerBibliotheque(std::string(KPX_LIB_DIR) + Plateforme::separateur +
                                                Plateforme::nomBibliotheque("dlnw32"));
    ASSERT_NE(dln, nullptr);
    auto activer = reinterpret_cast<LN_usActiverTrace_t>(Plateforme::symbole(dln, "LN_usActiverTrace"));
    ASSERT_NE(activer, nullptr);
    ASSERT_EQ(activer("KPX", ("fichier=" + fichier + ";niveau=5").c_str()), 0);
    consulter();
    EXPECT_EQ(compter("verifierReferentiel >> IN"), 1);
    h.KPX_InitTrace("niveau=0", 0, 0, 0);
    Plateforme::libererBibliotheque(dln);
}

TEST(FrameBoundary, TraceLinesAndMemoryTotalSeenThroughTheTraceFile) {
    Hote& h = hote();
    std::string repertoire = repertoireTemporaire("boundary/trace");
    std::string fichier = repertoire + "/kpx.log";
    ASSERT_EQ(h.KPX_InitTrace(("fichier=" + fichier + ";niveau=5").c_str(), 0, 0, 0), KPX_OK);

    unsigned char* a = nullptr;
    unsigned char* b = nullptr;
    EXPECT_EQ(h.KPX_AllouerZoneMem(nullptr, 10), KPX_CR_POINTEUR_NUL);
    EXPECT_EQ(h.KPX_AllouerZoneMem(&a, 0), KPX_CR_ARGUMENT);
    ASSERT_EQ(h.KPX_AllouerZoneMem(&a, 1), KPX_OK);
    ASSERT_EQ(h.KPX_AllouerZoneMem(&b, 300), KPX_OK);
    std::memset(b, 0xAB, 300);
    h.KPX_LibererZoneMem(b);
    h.KPX_LibererZoneMem(a);
    h.KPX_LibererZoneMem(nullptr);
    unsigned char* sortie = nullptr;
    uint32_t taille = 0;
    EXPECT_EQ(h.KPX_ConsulterDonnee("CCAM_37", "20240101", nullptr, 0, &sortie, &taille), KPX_CR_NON_CHARGE);

    auto lignes = lireTrace(fichier);
    auto t = textesTrace(lignes);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t[0], "cr = 0x 0000");
    EXPECT_EQ(t[1], "KPX_InitTrace << OUT");
    EXPECT_EQ(lignes[1].categorie, 7);
    EXPECT_EQ(lignes[1].niveau, 1);

    // Every "Taille memoire cumulee" line gives the total; it must come back to where it started,
    // and a release of null or a refused allocation writes none.
    std::vector<unsigned long> totaux;
    std::smatch m;
    const std::regex total(R"(^Taille memoire cumulee = (\d+).*)");
    for (auto& l : lignes)
        if (std::regex_match(l.texte, m, total)) totaux.push_back(std::stoul(m[1]));
    ASSERT_EQ(totaux.size(), 4u);
    EXPECT_GE(totaux[1], totaux[0] + 300);  // the usable size may exceed the request
    EXPECT_EQ(totaux[2], totaux[0]);
    EXPECT_GE(totaux[0], totaux[3] + 1);

    // The consultation frame: entry, the referentiel check and its error, the code and the exit.
    auto debut = std::find(t.begin(), t.end(), "KPX_ConsulterDonnee >> IN : identifiant = CCAM_37, dateReference = 20240101");
    ASSERT_NE(debut, t.end());
    std::vector<std::string> suite(debut, std::min(debut + 6, t.end()));
    EXPECT_EQ(suite, (std::vector<std::string>{
                         "KPX_ConsulterDonnee >> IN : identifiant = CCAM_37, dateReference = 20240101",
                         "verifierReferentiel >> IN", "Référentiel non chargé.",
                         "verifierReferentiel << OUT cr = 0xdf00", "cr = 0xDF00", "KPX_ConsulterDonnee << OUT"}));
    auto indice = debut - t.begin();
    EXPECT_EQ(lignes[indice].categorie, 1);
    EXPECT_EQ(lignes[indice].niveau, 1);
    EXPECT_EQ(lignes[indice + 2].categorie, 6);
    EXPECT_EQ(lignes[indice + 2].niveau, 5);
}

TEST(FrameBoundary, InitLib2ReadsTheConfigurationAndFailsCleanly) {
    Hote& h = hote();
    std::string repertoire = repertoireTemporaire("boundary/init");
    EXPECT_NE(h.KPX_InitLIB2((repertoire + "/absent.ini").c_str()), KPX_OK);
    EXPECT_NE(h.KPX_InitLIB2(nullptr), KPX_OK);

    std::string sansTable = ecrireConfiguration(repertoire, "[COMMUN]\nrepertoiretravail=" + repertoire + "\n");
    EXPECT_EQ(h.KPX_InitLIB2(sansTable.c_str()), KPX_CR_REPERTOIRE_TABLE_ABSENT);

    // A tables directory without a table file: the load fails and nothing stays loaded.
    std::string vide = ecrireConfiguration(repertoire, "[KPX]\nrepertoiretable=" + repertoire + "\n");
    EXPECT_EQ(h.KPX_InitLIB2(vide.c_str()), KPX_CR_OUVERTURE_FICHIER);
    EXPECT_EQ(h.KPX_TermLIB(), KPX_CR_NON_CHARGE);

    // A damaged table file: refused by its CRC, and nothing stays loaded.
    std::ofstream(repertoire + "/table_v2.kpx") << "0000 table_v2.kpx";
    EXPECT_EQ(h.KPX_InitLIB2(vide.c_str()), KPX_CR_CRC);
    EXPECT_EQ(h.KPX_TermLIB(), KPX_CR_NON_CHARGE);
}

TEST(FrameBoundary, InitLib2LoadsAReferentielAndRecordsTheComponentVersions) {
    Hote& h = hote();
    std::string repertoire = repertoireTemporaire("boundary/charge");
    ConstructeurReferentiel constructeur;
    constructeur.version = "1203";
    constructeur.variante = "B001";
    ASSERT_TRUE(constructeur.ecrire(repertoire));
    std::string configuration = ecrireConfiguration(
        repertoire, "[COMMUN]\nrepertoiretravail=" + repertoire + "\n[KPX]\nrepertoiretable=" + repertoire + "\n");
    EXPECT_EQ(h.KPX_InitLIB2(configuration.c_str()), KPX_OK);
    std::ifstream versions(repertoire + "/versions.txt");
    std::string texte((std::istreambuf_iterator<char>(versions)), std::istreambuf_iterator<char>());
    EXPECT_EQ(texte, "20=0302\n21=B1203\n");
    // Loading again (a new process start, say) records the same versions: nothing new, code 0.
    EXPECT_EQ(h.KPX_TermLIB(), KPX_OK);
    EXPECT_EQ(h.KPX_InitLIB2(configuration.c_str()), KPX_OK);
    EXPECT_EQ(h.KPX_TermLIB(), KPX_OK);

    // A référentiel below the minimum version is refused and no version is recorded.
    std::string autre = repertoireTemporaire("boundary/ancien");
    constructeur.version = "0999";
    ASSERT_TRUE(constructeur.ecrire(autre));
    std::string ancienne = ecrireConfiguration(
        autre, "[COMMUN]\nrepertoiretravail=" + autre + "\n[KPX]\nrepertoiretable=" + autre + "\n");
    EXPECT_EQ(h.KPX_InitLIB2(ancienne.c_str()), KPX_CR_VERSION);
    EXPECT_FALSE(fs::exists(autre + "/versions.txt"));

    // Without a working directory the load succeeds but reports that nothing was recorded.
    std::string sansTravail = ecrireConfiguration(repertoire, "[KPX]\nrepertoiretable=" + repertoire + "\n");
    EXPECT_EQ(h.KPX_InitLIB2(sansTravail.c_str()), KPX_CR_REPERTOIRE_TRAVAIL);
    EXPECT_EQ(h.KPX_TermLIB(), KPX_OK);
}

TEST(FrameBoundary, MissingSiblingIsKeptAndAnsweredWithoutTrace) {
    struct Cas {
        const char* nom;
        std::vector<std::string> fichiers;  // copied from the build tree
        bool bfhIncomplet;
        uint16_t attendu;
    };
    const std::string kpx = fichierBibliotheque("KPXW32");
    const std::string dln = fichierBibliotheque("dlnw32");
    const std::string bfh = fichierBibliotheque("bfhw32");
    const std::vector<Cas> cas = {
        {"sans-bfh", {kpx, dln}, false, KPX_CR_COMPOSANT_SESSION},
        {"sans-dln", {kpx, bfh}, false, KPX_CR_COMPOSANT_SERVICES},
        {"bfh-incomplet", {kpx, dln}, true, KPX_CR_COMPOSANT_SESSION},
        {"complet", {kpx, dln, bfh}, false, KPX_CR_REPERTOIRE_TABLE_ABSENT},
    };
    for (auto& c : cas) {
        // Directories no other test empties: under Windows a loaded copy cannot be deleted.
        std::string repertoire = repertoireTemporaire(std::string("boundary/composants-") + c.nom);
        for (auto& f : c.fichiers) fs::copy_file(fs::path(KPX_LIB_DIR) / f, fs::path(repertoire) / f);
        if (c.bfhIncomplet)
            fs::copy_file(fs::path(KPX_TEST_LIB_DIR) / "incomplet" / bfh, fs::path(repertoire) / bfh);
        std::string configuration = ecrireConfiguration(repertoire, "[COMMUN]\nrepertoiretravail=/tmp\n");
        int statut = dansUnEtatNeuf([&] {
            Hote local;
            if (!local.charger(repertoire)) return 100;
            // The kept code answers every later attempt; every session variant too, with or without input.
            char resultat = '-';
            uint16_t codes[] = {local.KPX_InitLIB2(configuration.c_str()),
                                local.KPX_InitLIB2(configuration.c_str()),
                                local.KPX_InitTrace("", 0, 0, 0),
                                local.KPX_ConsulterDonnee_S("CCAM_37", "20240101", 1),
                                local.KPX_RechercherParMotCle_S("genou", 0, 1),
                                local.KPX_RechercherParFiltre_S("A", 1),
                                local.KPX_ModifierDonnee_S("CCAM_37", "20240101", 1),
                                local.KPX_AnnulerModification_S("CCAM_37", 1),
                                local.KPX_AppliquerRegle_S("C_Pu", 1),
                                local.KPX_ControlerDonnees_S("C_Ccam", "20240101", 1, &resultat),
                                local.KPX_ControleComplet_S(1),
                                local.KPX_LireVersion_S(1)};
            for (uint16_t cr : codes) {
                if (c.attendu == KPX_CR_REPERTOIRE_TABLE_ABSENT) {
                    if (cr == KPX_CR_COMPOSANT_SESSION || cr == KPX_CR_COMPOSANT_SERVICES) return 2;
                } else if (cr != c.attendu) {
                    return 1;
                }
            }
            return local.KPX_InitLIB2(configuration.c_str()) == c.attendu ? 0 : 3;
        });
        EXPECT_EQ(statut, 0) << c.nom;
    }
}
