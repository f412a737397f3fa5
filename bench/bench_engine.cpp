// One engine step as a refresh tick runs it: comparison, Slow, display, port write.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/Ecriture_Sortie.h"
#include "engine/Sorties.h"

namespace {

std::atomic<long> g_allocations{0};

class NullPort : public korvalen::IPort {
public:
    void write(std::uint32_t, std::uint8_t value) override { benchmark::DoNotOptimize(value); }
};

class NullIndicateurs : public korvalen::IIndicateurs {
public:
    void setCaption(int, const std::string& texte) override { benchmark::DoNotOptimize(texte.data()); }
    void setValue(int, int valeur) override { benchmark::DoNotOptimize(valeur); }
};

void BM_EngineStep(benchmark::State& state) {
    korvalen::Variables v;
    v.enMarche = korvalen::VRAI;
    v.slowActif = korvalen::VRAI;
    for (int i = 0; i < 8; ++i) {
        // Names longer than the small-string buffer, so a copy would allocate.
        v.SortieA[i].nom = "Projecteur de scene A" + std::to_string(i);
        v.SortieB[i].nom = "Projecteur de scene B" + std::to_string(i);
        for (int k = 0; k < korvalen::NB_BARRES; ++k) {
            v.SortieA[i].sens[k] = static_cast<korvalen::Entier>(1 + (i + k) % 2);
            v.SortieB[i].sens[k] = static_cast<korvalen::Entier>(1 + (i + k + 1) % 2);
            v.SortieA[i].seuil[k] = v.SortieB[i].seuil[k] = 50;
        }
    }
    NullPort port;
    NullIndicateurs ind;
    float niveau = 0;
    const long avant = g_allocations.load();
    for (auto _ : state) {
        niveau = niveau >= 100 ? 0 : niveau + 7;
        v.niveaux.fill(niveau);
        korvalen::comparerNiveaux(v);
        korvalen::Affichage_sortie(v, ind);
        korvalen::EcrireSorties(v, port);
    }
    state.counters["allocations_per_step"] =
        benchmark::Counter(static_cast<double>(g_allocations.load() - avant) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_EngineStep);

}  // namespace

// Counts every allocation; free() of our own malloc() is the matching call here.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
// Counts every allocation, so the figure above shows that a step allocates nothing.
void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

BENCHMARK_MAIN();
