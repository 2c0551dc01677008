// Damaged référentiel files and failing allocations, as the library loaded by a host
// meets them: whatever happens, each export answers a code, holds no more memory than
// a normal load, and the library can be terminated and loaded again afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "hote/Hote.h"
#include "referentiel/Referentiel.h"
#include "robustesse/PlafondMemoire.h"
#include "support/ConstructeurReferentiel.h"
#include "support/Echantillon.h"
#include "support/SectionsTables.h"

namespace {

constexpr size_t kMio = 1024 * 1024;

Hote& hote() {
    static Hote h;
    static const bool charge = h.charger(KPX_LIB_DIR);
    EXPECT_TRUE(charge) << h.erreur;
    return h;
}

// A directory with the sample's table file (or the one given) and a configuration.
struct RepertoireReferentiel {
    RepertoireTemporaire repertoire;
    std::string configuration;

    explicit RepertoireReferentiel(const std::string& nom, const std::vector<uint8_t>* tables = nullptr,
                          const std::vector<uint8_t>* modifications = nullptr)
        : repertoire(nom), configuration(repertoire.fichier("kpx.ini")) {
        const std::string& echantillon = repertoireEchantillon();
        ecrireOctets(repertoire.fichier("table_v2.kpx"),
                     tables != nullptr ? *tables : lireOctets(echantillon + "/table_v2.kpx"));
        if (modifications != nullptr) ecrireOctets(repertoire.fichier("modrefv2.kpx"), *modifications);
        std::ofstream(configuration) << "[COMMUN]\nrepertoiretravail=" << repertoire.chemin()
                                     << "\n[KPX]\nrepertoiretable=" << repertoire.chemin() << "\n";
    }
};

// Keyword search, which reads the deferred tables 030 and 058 on first use.
uint16_t rechercher(Hote& h, std::vector<uint8_t>* resultat = nullptr) {
    unsigned char* zone = nullptr;
    uint32_t taille = 0;
    const uint16_t cr = h.KPX_RechercherParMotCle("genou", 0, &zone, &taille);
    if (resultat != nullptr && zone != nullptr) resultat->assign(zone, zone + taille);
    h.KPX_LibererZoneMem(zone);
    return cr;
}

// An empty modification file for the sample, written by the project's writer.
std::vector<uint8_t> modificationsEchantillon() {
    const std::vector<uint8_t> tables = lireOctets(repertoireEchantillon() + "/table_v2.kpx");
    RepertoireTemporaire repertoire("pieges-modifications");
    ConstructeurReferentiel constructeur;
    constructeur.versionModifications.assign(tables.begin() + 18, tables.begin() + 22);
    EXPECT_TRUE(constructeur.ecrireModifications(repertoire.chemin()));
    return lireOctets(repertoire.fichier("modrefv2.kpx"));
}

// Peak heap bytes above those in use before, for one load of dir and a search when it loads.
size_t picChargement(Hote& h, const RepertoireReferentiel& r, uint16_t& crChargement, uint16_t& crRecherche) {
    const size_t depart = PlafondMemoire::enCours();
    PlafondMemoire::reprendrePic();
    crChargement = h.KPX_InitLIB2(r.configuration.c_str());
    crRecherche = crChargement == 0 ? rechercher(h) : crChargement;
    if (crChargement == 0) {
        EXPECT_EQ(h.KPX_TermLIB(), KPX_OK);
    }
    return PlafondMemoire::pic() - depart;
}

}  // namespace

TEST(FichiersPieges, AnInflatedRowCountInAnySectionGivesItsCodeBeforeAnyProportionalAllocation) {
    Hote& h = hote();
    ASSERT_FALSE(repertoireEchantillon().empty());
    const std::vector<uint8_t> tables = lireOctets(repertoireEchantillon() + "/table_v2.kpx");
    const std::vector<uint8_t> modifications = modificationsEchantillon();

    uint16_t crChargement = 0;
    uint16_t crRecherche = 0;
    RepertoireReferentiel sain("pieges-sain", &tables, &modifications);
    const size_t normal = picChargement(h, sain, crChargement, crRecherche);
    ASSERT_EQ(crChargement, KPX_OK);
    ASSERT_EQ(crRecherche, KPX_OK);

    struct Fichier {
        bool reference;
        const std::vector<uint8_t>& octets;
    };
    size_t essais = 0;
    for (const Fichier& f : {Fichier{true, tables}, Fichier{false, modifications}}) {
        const std::vector<SectionTable> sections = sectionsTables(f.octets, f.reference);
        ASSERT_EQ(sections.size(), f.reference ? 58u : 9u);
        for (const SectionTable& s : sections) {
            for (size_t octet : {0, 1}) {  // the count's top byte, then its second byte
                SCOPED_TRACE((f.reference ? "table_v2.kpx table " : "modrefv2.kpx table ") +
                             std::to_string(s.identifiant) + " byte " + std::to_string(octet));
                std::vector<uint8_t> piege = f.octets;
                piege[s.entete + 3 + octet] = static_cast<uint8_t>(piege[s.entete + 3 + octet] + 1);
                recalculerCRC(piege);
                RepertoireReferentiel r("pieges", f.reference ? &piege : &tables, f.reference ? &modifications : &piege);

                // A ceiling far below what the inflated counts would take, but far above the need.
                PlafondMemoire::plafonner(PlafondMemoire::enCours() + normal + 64 * kMio);
                const size_t pic = picChargement(h, r, crChargement, crRecherche);
                PlafondMemoire::plafonner(0);
                EXPECT_LE(pic, normal + kMio);

                const bool differee = f.reference && (s.identifiant == 30 || s.identifiant == 31 || s.identifiant == 58);
                if (!differee) {
                    EXPECT_EQ(crChargement, f.reference ? KPX_CR_LECTURE : KPX_CR_LECTURE_MODIFICATIONS);
                    continue;
                }
                // Read on first use: the load succeeds and the calls that read the table answer.
                EXPECT_EQ(crChargement, KPX_OK);
                EXPECT_EQ(crRecherche, s.identifiant == 31 ? KPX_OK : KPX_CR_LECTURE);  // no export reads 031 yet
                Referentiel referentiel;
                ASSERT_EQ(referentiel.chargerReferentiel(r.repertoire.chemin().c_str(), r.repertoire.chemin().c_str(),
                                                         "0302", "1000"),
                          KPX_OK);
                EXPECT_EQ(referentiel.chargerTable(s.identifiant), KPX_CR_LECTURE);
                EXPECT_EQ(referentiel.table(s.identifiant)->etat(), Table::kDifferee);
                ++essais;
            }
        }
    }
    EXPECT_EQ(essais, 6u);
    EXPECT_EQ(h.KPX_InitLIB2(sain.configuration.c_str()), KPX_OK);
    EXPECT_EQ(rechercher(h), KPX_OK);
    EXPECT_EQ(h.KPX_TermLIB(), KPX_OK);
}

// Every allocation of a load, then of the first search (which reads the deferred tables),
// made to throw in turn: a code comes back, and the same calls then succeed as before.
TEST(FichiersPieges, AnAllocationThatThrowsAnywhereGivesACodeAndLeavesTheLibraryUsable) {
    Hote& h = hote();
    RepertoireReferentiel sain("pieges-allocations");
    std::vector<uint8_t> attendu;
    uint64_t avant = PlafondMemoire::allocations();
    ASSERT_EQ(h.KPX_InitLIB2(sain.configuration.c_str()), KPX_OK);
    const uint64_t chargement = PlafondMemoire::allocations() - avant;
    avant = PlafondMemoire::allocations();
    ASSERT_EQ(rechercher(h, &attendu), KPX_OK);
    const uint64_t recherche = PlafondMemoire::allocations() - avant;
    ASSERT_EQ(h.KPX_TermLIB(), KPX_OK);
    ASSERT_GT(chargement, 100u);
    ASSERT_GT(recherche, 10u);

    // Spread over every allocation, the first ones each.
    auto rangs = [](uint64_t n) {
        std::vector<uint64_t> r;
        for (uint64_t k = 1; k <= n; k += k < 40 ? 1 : n / 150 + 1) r.push_back(k);
        return r;
    };
    size_t memoire = 0;
    int fautes = 0;  // the count docs/reliability.md gives
    for (uint64_t rang : rangs(chargement)) {
        ++fautes;
        SCOPED_TRACE("load, allocation " + std::to_string(rang));
        PlafondMemoire::echouerA(rang);
        const uint16_t cr = h.KPX_InitLIB2(sain.configuration.c_str());
        PlafondMemoire::echouerA(0);
        EXPECT_NE(cr, KPX_CR_EXCEPTION);
        memoire += cr == KPX_CR_CONSTRUCTION;
        EXPECT_EQ(h.KPX_TermLIB(), cr == KPX_OK ? KPX_OK : KPX_CR_NON_CHARGE);
        ASSERT_EQ(h.KPX_InitLIB2(sain.configuration.c_str()), KPX_OK);
        ASSERT_EQ(h.KPX_TermLIB(), KPX_OK);
    }
    EXPECT_GT(memoire, 0u);

    memoire = 0;
    for (uint64_t rang : rangs(recherche)) {
        ++fautes;
        SCOPED_TRACE("search, allocation " + std::to_string(rang));
        ASSERT_EQ(h.KPX_InitLIB2(sain.configuration.c_str()), KPX_OK);
        PlafondMemoire::echouerA(rang);
        const uint16_t cr = rechercher(h);
        PlafondMemoire::echouerA(0);
        EXPECT_TRUE(cr == KPX_OK || cr == KPX_CR_CONSTRUCTION) << std::hex << cr;
        memoire += cr == KPX_CR_CONSTRUCTION;
        std::vector<uint8_t> resultat;
        EXPECT_EQ(rechercher(h, &resultat), KPX_OK);
        EXPECT_EQ(resultat, attendu);
        ASSERT_EQ(h.KPX_TermLIB(), KPX_OK);
    }
    EXPECT_GT(memoire, 0u);
    RecordProperty("fautesInjectees", fautes);
}
