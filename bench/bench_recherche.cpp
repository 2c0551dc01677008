// Loading the full-scale synthetic référentiel and searching it: the first keyword
// search pays for reading the deferred keyword tables, later ones do not.
#include <benchmark/benchmark.h>

#include <memory>

#include "consultation/LectureDonnees.h"
#include "consultation/RechercheActes.h"
#include "referentiel/Referentiel.h"

namespace {

std::unique_ptr<Referentiel> charger() {
    std::unique_ptr<Referentiel> referentiel(new Referentiel);
    if (referentiel->chargerReferentiel(KPX_SYNTHETIC_DIR, KPX_SYNTHETIC_DIR, "0302", "1000") != 0) return nullptr;
    return referentiel;
}

uint16_t chercher(Referentiel& referentiel, const char* motCle) {
    LectureDonnees lecture(&referentiel);
    uint16_t cr = lecture.ouvrir();
    RechercheActes recherche(lecture);
    ZoneSortie sortie;
    if (cr == 0) cr = recherche.parMotCle(motCle, 0, sortie);
    return cr;
}

void BM_ChargementReferentiel(benchmark::State& state) {
    for (auto _ : state) {
        auto referentiel = charger();
        if (!referentiel) state.SkipWithError("synthetic référentiel not loadable");
        benchmark::DoNotOptimize(referentiel.get());
    }
}
BENCHMARK(BM_ChargementReferentiel)->Unit(benchmark::kMillisecond);

void BM_PremiereRechercheMotCle(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto referentiel = charger();
        state.ResumeTiming();
        if (!referentiel || chercher(*referentiel, "genouhanche0") != 0) state.SkipWithError("search failed");
    }
}
BENCHMARK(BM_PremiereRechercheMotCle)->Unit(benchmark::kMillisecond);

void BM_RechercheMotCle(benchmark::State& state) {
    auto referentiel = charger();
    if (!referentiel || chercher(*referentiel, "genouhanche0") != 0) {
        state.SkipWithError("search failed");
        return;
    }
    const char* const mots[] = {"ablationbiopsie0", "cranecrane0", "thoraxrein0", "veineabdomen0"};
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(chercher(*referentiel, mots[i++ % 4]));
}
BENCHMARK(BM_RechercheMotCle)->Unit(benchmark::kMicrosecond);

void BM_RechercheFiltre(benchmark::State& state) {
    auto referentiel = charger();
    const char* filtre = state.range(0) == 0 ? "" : "AB";
    for (auto _ : state) {
        LectureDonnees lecture(referentiel.get());
        lecture.ouvrir();
        RechercheActes recherche(lecture);
        ZoneSortie sortie;
        benchmark::DoNotOptimize(recherche.parFiltre(filtre, sortie));
    }
}
BENCHMARK(BM_RechercheFiltre)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
