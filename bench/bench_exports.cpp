// The exported API as a host drives it, over the full-scale synthetic référentiel,
// each measure beside its floor: what the call cannot go below on this machine.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "KPXW32.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "frame/Systeme.h"
#include "frame/Trace.h"
#include "hote/Hote.h"
#include "referentiel/Referentiel.h"
#include "zone/ControleurZone.h"
#include "zone/SuperGroupe.h"
#include "zone/TypeSimple.h"
#include "zone/ZoneKPX.h"

namespace {

const std::string kRepertoire = KPX_SYNTHETIC_DIR;
const char* const kDate = "20240101";

Hote& hote() {
    static Hote h;
    static bool charge = h.charger(KPX_LIB_DIR);
    if (!charge) std::fprintf(stderr, "%s\n", h.erreur.c_str());
    return h;
}

std::string configuration() {
    static const std::string fichier = [] {
        const std::string f = kRepertoire + "/bench.ini";
        std::ofstream(f) << "[COMMUN]\nrepertoiretravail=" << kRepertoire << "\n[KPX]\nrepertoiretable=" << kRepertoire
                         << "\n";
        return f;
    }();
    return fichier;
}

bool initialiser() { return hote().KPX_InitLIB2(configuration().c_str()) == KPX_OK; }

std::vector<uint8_t> zone(const std::vector<std::pair<uint16_t, std::vector<std::string>>>& groupes) {
    uint32_t taille = 0;
    for (auto& [numero, champs] : groupes) {
        uint32_t contenu = 0;
        for (auto& c : champs) contenu += ZoneKPX::tailleChamp(static_cast<uint32_t>(c.size()));
        taille += ZoneKPX::tailleGroupeContenu(contenu);
    }
    ZoneKPX z(taille);
    for (auto& [numero, champs] : groupes) {
        z.ajouterGroupe(numero);
        for (auto& c : champs) z.ajouterChamp(reinterpret_cast<const uint8_t*>(c.data()), static_cast<uint32_t>(c.size()));
    }
    std::vector<uint8_t> octets(z.buffer, z.buffer + z.tailleDonnees);
    Systeme::liberer(z.buffer);  // a zone never frees its buffer
    return octets;
}

uint16_t consulter(const char* identifiant, const std::vector<uint8_t>& entree) {
    unsigned char* sortie = nullptr;
    uint32_t taille = 0;
    const uint16_t cr = hote().KPX_ConsulterDonnee(identifiant, kDate, entree.data(),
                                                   static_cast<uint32_t>(entree.size()), &sortie, &taille);
    hote().KPX_LibererZoneMem(sortie);
    return cr;
}

std::vector<uint8_t> requetePrix(const std::string& acte) {
    return zone({{3001, {acte}}, {3002, {"1"}}, {3003, {"0"}}, {3004, {"1", "1"}}});
}

// Every act code of the index, and those whose activity 1 has a phase 0 (CCAM_37 answers them).
struct Actes {
    std::vector<std::string> tous;
    std::vector<std::string> tarifes;
};

const Actes& actes() {
    static const Actes a = [] {
        Actes liste;
        if (!initialiser()) return liste;
        unsigned char* sortie = nullptr;
        uint32_t taille = 0;
        if (hote().KPX_RechercherParFiltre("", &sortie, &taille) == KPX_OK) {
            ZoneKPX lue(sortie, taille);
            uint16_t groupe = 0, numero = 0;
            const uint8_t* donnees = nullptr;
            uint32_t longueur = 0;
            lue.lireGroupeSuivant(groupe);
            lue.lireChampSuivant(numero, donnees, longueur);  // the count
            while (lue.lireChampSuivant(numero, donnees, longueur) == 0)
                liste.tous.emplace_back(reinterpret_cast<const char*>(donnees), longueur);
            hote().KPX_LibererZoneMem(sortie);
        }
        for (const std::string& code : liste.tous)
            if (consulter("CCAM_37", requetePrix(code)) == KPX_OK) liste.tarifes.push_back(code);
        hote().KPX_TermLIB();
        return liste;
    }();
    return a;
}

long residentKo() {
    long pages = 0, residentes = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0;
    if (std::fscanf(f, "%ld %ld", &pages, &residentes) != 2) residentes = 0;
    std::fclose(f);
    return residentes * 4;
}

// --- Memory ------------------------------------------------------------------------

// Registered first: it runs in a process that has loaded nothing yet.
void BM_Memoire(benchmark::State& state) {
    for (auto _ : state) {
        const long avant = residentKo();
        if (!initialiser()) state.SkipWithError("KPX_InitLIB2 failed");
        const long charge = residentKo();
        std::vector<std::string> codes;
        unsigned char* sortie = nullptr;
        uint32_t taille = 0;
        if (hote().KPX_RechercherParFiltre("", &sortie, &taille) == KPX_OK) {
            ZoneKPX lue(sortie, taille);
            uint16_t groupe = 0, numero = 0;
            const uint8_t* donnees = nullptr;
            uint32_t longueur = 0;
            lue.lireGroupeSuivant(groupe);
            lue.lireChampSuivant(numero, donnees, longueur);
            while (lue.lireChampSuivant(numero, donnees, longueur) == 0)
                codes.emplace_back(reinterpret_cast<const char*>(donnees), longueur);
            hote().KPX_LibererZoneMem(sortie);
        }
        for (const std::string& code : codes) consulter("CCAM_7", zone({{3001, {code}}}));
        const long actesLus = residentKo();
        hote().KPX_TermLIB();
        state.counters["Ko_apres_chargement"] = static_cast<double>(charge - avant);
        state.counters["Ko_tous_actes_lus"] = static_cast<double>(actesLus - avant);
    }
}
BENCHMARK(BM_Memoire)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- Loading -----------------------------------------------------------------------

void BM_Plancher_LectureEtCRC(benchmark::State& state) {
    for (auto _ : state) {
        FILE* f = std::fopen((kRepertoire + "/table_v2.kpx").c_str(), "rb");
        uint16_t crc = 0;
        if (f == nullptr || !Referentiel::calculerCRC16(f, crc)) state.SkipWithError("file not readable");
        if (f != nullptr) std::fclose(f);
        benchmark::DoNotOptimize(crc);
    }
}
BENCHMARK(BM_Plancher_LectureEtCRC)->Unit(benchmark::kMillisecond);

void BM_InitLIB2_TermLIB(benchmark::State& state) {
    for (auto _ : state) {
        if (!initialiser()) state.SkipWithError("KPX_InitLIB2 failed");
        hote().KPX_TermLIB();
    }
}
BENCHMARK(BM_InitLIB2_TermLIB)->Unit(benchmark::kMillisecond);

// --- Calls -------------------------------------------------------------------------

// The least an export that hands a zone over costs: allocate it and give it back.
void BM_Plancher_AppelAvecZone(benchmark::State& state) {
    for (auto _ : state) {
        unsigned char* z = nullptr;
        hote().KPX_AllouerZoneMem(&z, 16);
        hote().KPX_LibererZoneMem(z);
    }
}
BENCHMARK(BM_Plancher_AppelAvecZone);

void BM_CCAM_37_Chaud(benchmark::State& state) {
    const Actes& a = actes();
    if (a.tarifes.empty() || !initialiser()) {
        state.SkipWithError("no priced act");
        return;
    }
    std::vector<std::vector<uint8_t>> requetes;
    for (size_t i = 0; i < 64 && i < a.tarifes.size(); ++i) requetes.push_back(requetePrix(a.tarifes[i]));
    for (auto& r : requetes) consulter("CCAM_37", r);  // every act read once
    size_t i = 0;
    for (auto _ : state)
        if (consulter("CCAM_37", requetes[i++ % requetes.size()]) != KPX_OK) state.SkipWithError("CCAM_37 failed");
    hote().KPX_TermLIB();
}
BENCHMARK(BM_CCAM_37_Chaud);

// First use of each act: the call reads its record from the file.
void BM_CCAM_37_Froid(benchmark::State& state) {
    const Actes& a = actes();
    if (a.tarifes.empty() || !initialiser()) {
        state.SkipWithError("no priced act");
        return;
    }
    size_t i = 0;
    for (auto _ : state) {
        if (i == a.tarifes.size()) {
            state.PauseTiming();
            hote().KPX_TermLIB();
            initialiser();
            i = 0;
            state.ResumeTiming();
        }
        state.PauseTiming();
        const std::vector<uint8_t> requete = requetePrix(a.tarifes[i++]);
        state.ResumeTiming();
        if (consulter("CCAM_37", requete) != KPX_OK) state.SkipWithError("CCAM_37 failed");
    }
    hote().KPX_TermLIB();
}
BENCHMARK(BM_CCAM_37_Froid);

void BM_CCAM_1(benchmark::State& state) {
    const Actes& a = actes();
    if (a.tous.empty() || !initialiser()) {
        state.SkipWithError("no act");
        return;
    }
    const std::vector<uint8_t> requete = zone({{3001, {a.tous[a.tous.size() / 2]}}});
    for (auto _ : state) consulter("CCAM_1", requete);
    hote().KPX_TermLIB();
}
BENCHMARK(BM_CCAM_1);

void BM_RechercherParMotCle_Chaud(benchmark::State& state) {
    if (!initialiser()) {
        state.SkipWithError("KPX_InitLIB2 failed");
        return;
    }
    const char* const mots[] = {"genouhanche0", "ablationbiopsie0", "cranecrane0", "thoraxrein0"};
    size_t i = 0;
    for (auto _ : state) {
        unsigned char* sortie = nullptr;
        uint32_t taille = 0;
        if (hote().KPX_RechercherParMotCle(mots[i++ % 4], 0, &sortie, &taille) != KPX_OK)
            state.SkipWithError("search failed");
        hote().KPX_LibererZoneMem(sortie);
    }
    hote().KPX_TermLIB();
}
BENCHMARK(BM_RechercherParMotCle_Chaud);

void BM_RechercherParFiltre_A(benchmark::State& state) {
    if (!initialiser()) {
        state.SkipWithError("KPX_InitLIB2 failed");
        return;
    }
    for (auto _ : state) {
        unsigned char* sortie = nullptr;
        uint32_t taille = 0;
        hote().KPX_RechercherParFiltre("A", &sortie, &taille);
        hote().KPX_LibererZoneMem(sortie);
    }
    hote().KPX_TermLIB();
}
BENCHMARK(BM_RechercherParFiltre_A)->Unit(benchmark::kMicrosecond);

// --- Complete control ----------------------------------------------------------------

// An invoice of one day: CCAM lines of the acts given, five by practitioner (so five to
// an association), the practitioners told apart by group 1870. The host sends no base
// (0), so the base checks compare without finding fault; what the random acts break
// (specialities, grouping codes, unplanned associations) is reported as any host's would be.
std::vector<uint8_t> facture(const std::vector<std::string>& codes, size_t lignes, size_t parAssociation = 5) {
    std::vector<std::pair<uint16_t, std::vector<std::string>>> groupes = {
        {1100, {"10000000", "1", "", "", "1", "01", "", "", "", "", "", "", "19700101"}}, {1511, {""}}};
    for (size_t i = 0; i < lignes && !codes.empty(); ++i) {
        const std::string n = std::to_string(i + 1);
        groupes.push_back({1610, {n, kDate, "", "ADC", "", "", "", "", "", "", "0", "0", "70"}});
        groupes.push_back({1870, {n, std::to_string(20000000 + i / parAssociation), "1", "01"}});
        groupes.push_back({2020, {n, "0"}});
        groupes.push_back({2100, {n, codes[(i * 7919) % codes.size()], "", "1", "0", "", "", "", "", "", "", "", ""}});
        groupes.push_back({3470, {n, "1", "1"}});
    }
    groupes.push_back({1900, {"001"}});
    return zone(groupes);
}

uint16_t controleComplet(const std::vector<uint8_t>& entree, uint32_t& taille) {
    unsigned char* sortie = nullptr;
    const uint16_t cr =
        hote().KPX_ControleComplet(entree.data(), static_cast<uint32_t>(entree.size()), &sortie, &taille);
    hote().KPX_LibererZoneMem(sortie);
    return cr == KPX_CR_CONTROLE_NIVEAU_BASE + 1 || cr == KPX_CR_CONTROLE_NIVEAU_BASE + 2 ? KPX_OK : cr;
}

// Priced acts whose every rule can be read at the date: the synthetic histories start
// at random dates, and a query with nothing in force ends a control with its code.
const std::vector<std::string>& actesControlables() {
    static const std::vector<std::string> codes = [] {
        std::vector<std::string> liste;
        const Actes& a = actes();
        if (!initialiser()) return liste;
        for (size_t i = 0; i < a.tarifes.size() && liste.size() < 1000; ++i) {
            uint32_t taille = 0;
            if (controleComplet(facture({a.tarifes[i]}, 1), taille) == KPX_OK) liste.push_back(a.tarifes[i]);
        }
        hote().KPX_TermLIB();
        return liste;
    }();
    return codes;
}

void BM_ControleComplet(benchmark::State& state) {
    const std::vector<uint8_t> entree = facture(actesControlables(), static_cast<size_t>(state.range(0)),
                                                static_cast<size_t>(state.range(1)));
    if (actesControlables().empty() || !initialiser()) {
        state.SkipWithError("no act to control");
        return;
    }
    uint32_t taille = 0;
    for (auto _ : state) {
        const uint16_t cr = controleComplet(entree, taille);
        if (cr != KPX_OK) {
            state.SkipWithError(("KPX_ControleComplet failed: " + std::to_string(cr)).c_str());
            break;
        }
    }
    state.counters["octets_reponse"] = taille;
    hote().KPX_TermLIB();
}
// 249 lines: the largest invoice the control takes (a 250th line and the tail are
// refused with 0xE100); then the same with associations of 25 acts, five times the pairs.
BENCHMARK(BM_ControleComplet)->Args({20, 5})->Args({249, 5})->Args({249, 25})->Unit(benchmark::kMicrosecond);

// The complete control's description, built in this process from the same référentiel.
struct DescriptionControle {
    Referentiel referentiel;
    Interface interface;
    const SuperGroupe* racine = nullptr;
    DescriptionControle() {
        if (referentiel.chargerReferentiel(kRepertoire.c_str(), kRepertoire.c_str(), "0302", "1000") != 0) return;
        LectureDonnees lecture(&referentiel);
        if (lecture.ouvrir() == 0 && interface.initialiser(lecture) == 0)
            interface.lireSuperGroupeControleComplet(racine);
    }
};

// The floor: the invoice's zone walked by the zone controller alone, every field checked
// and turned into its value in place, as the reading does before any rule runs.
void BM_Plancher_ParcoursZone(benchmark::State& state) {
    static DescriptionControle description;
    const std::vector<uint8_t> entree = facture(actesControlables(), static_cast<size_t>(state.range(0)));
    if (description.racine == nullptr || entree.empty()) {
        state.SkipWithError("no description");
        return;
    }
    // As in an exported call: the trace level known, so that lines not written cost a comparison.
    NiveauTrace::relire();
    for (auto _ : state) {
        ZoneKPX zone(entree.data(), static_cast<uint32_t>(entree.size()));
        ControleurZone controleur(zone, *description.racine);
        uint16_t cr = 0;
        while (cr == 0 && !zone.estFinDonnees()) {
            uint16_t groupe = 0, numero = 0;
            ValeurChamp valeur;
            cr = controleur.extraireChamp(groupe, numero, valeur);
        }
        if (cr == 0) cr = controleur.verifierFinZone();
        if (cr != 0) state.SkipWithError("the zone is refused");
    }
}
BENCHMARK(BM_Plancher_ParcoursZone)->Arg(20)->Arg(249)->Unit(benchmark::kMicrosecond);

// Prints each measure against its floor once every benchmark has run.
class RapportRatios : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) temps_[r.benchmark_name()] = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e9;
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto ratio = [&](const char* mesure, const char* plancher) {
            if (!temps_.count(mesure) || !temps_.count(plancher) || temps_[plancher] <= 0) return;
            std::printf("%-32s %10.1f ns / floor %-28s %10.1f ns = %.2f\n", mesure, temps_[mesure], plancher,
                        temps_[plancher], temps_[mesure] / temps_[plancher]);
        };
        std::printf("\nRatios to the floor\n");
        ratio("BM_InitLIB2_TermLIB", "BM_Plancher_LectureEtCRC");
        ratio("BM_CCAM_37_Chaud", "BM_Plancher_AppelAvecZone");
        ratio("BM_CCAM_37_Froid", "BM_Plancher_AppelAvecZone");
        ratio("BM_CCAM_1", "BM_Plancher_AppelAvecZone");
        ratio("BM_RechercherParMotCle_Chaud", "BM_Plancher_AppelAvecZone");
        ratio("BM_ControleComplet/20/5", "BM_Plancher_ParcoursZone/20");
        ratio("BM_ControleComplet/249/5", "BM_Plancher_ParcoursZone/249");
        ratio("BM_ControleComplet/249/5", "BM_ControleComplet/20/5");
        ratio("BM_ControleComplet/249/25", "BM_ControleComplet/249/5");
    }

private:
    std::map<std::string, double> temps_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RapportRatios rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    benchmark::Shutdown();
    return 0;
}
