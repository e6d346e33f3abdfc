// Fits per second and F evaluations per fit, for the program's simplex (F
// once per new point) and for the literal rendering (F at every vertex read),
// on the same data sets.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "kova.h"
#include "literal_simplex.h"
#include "sound_fit.h"

namespace {

struct DataSet {
    float a[3];
    float start[2];
};

const float delays[3] = {0.00193f, 0.00373f, 0.00722f};

// The error simulation's data: the reference peak plus noise at S/N 20.
std::vector<DataSet> noisyReference()
{
    std::vector<DataSet> sets;
    srandom(12345);
    for (int i = 0; i < 256; ++i) {
        DataSet s{};
        for (int k = 0; k < 3; ++k)
            s.a[k] = static_cast<float>(std::sin(PI * 300.0 * delays[k]) + grand(20.0f));
        s.start[0] = 1.0f;
        s.start[1] = 300.0f;
        sets.push_back(s);
    }
    return sets;
}

// Peaks as a table holds them, scaled so that A is of order 1 (the scale
// the starting point 1.1 is made for): A from 0.3 to 3, J between 240 and
// 340 Hz, a few per cent of noise, each fitted from (1.1, 260).
std::vector<DataSet> tableLike()
{
    std::vector<DataSet> sets;
    srandom(54321);
    auto uniform = [] { return static_cast<double>(random()) / 2147483647.0; };
    for (int i = 0; i < 256; ++i) {
        DataSet s{};
        const double A = 0.3 + 2.7 * uniform();
        const double J = 240.0 + 100.0 * uniform();
        for (int k = 0; k < 3; ++k)
            s.a[k] =
                static_cast<float>(A * (std::sin(PI * J * delays[k]) + 0.03 * (uniform() - 0.5)));
        s.start[0] = 1.1f;
        s.start[1] = 260.0f;
        sets.push_back(s);
    }
    return sets;
}

// Peaks in the raw units of a spectrum, where the absolute stopping rule
// often lets the literal fit run to its cap of 500000 iterations: A from 1e5
// to 1e6 (even in the logarithm), J from 150 to 450 Hz, 0.1 per cent noise.
std::vector<DataSet> rawUnits()
{
    std::vector<DataSet> sets;
    srandom(777);
    auto uniform = [] { return static_cast<double>(random()) / 2147483647.0; };
    for (int i = 0; i < 64; ++i) {
        DataSet s{};
        const double A = std::pow(10.0, 5.0 + uniform());
        const double J = 150.0 + 300.0 * uniform();
        for (int k = 0; k < 3; ++k)
            s.a[k] =
                static_cast<float>(A * (std::sin(PI * J * delays[k]) + 0.001 * (uniform() - 0.5)));
        s.start[0] = 1.1f;
        s.start[1] = 260.0f;
        sets.push_back(s);
    }
    return sets;
}

template <typename Fit> void run(benchmark::State &state, const std::vector<DataSet> &sets, Fit fit)
{
    tau0 = delays[0];
    tau1 = delays[1];
    tau2 = delays[2];
    size_t i = 0;
    long evaluations = 0;
    long fits = 0;
    double slowest = 0.0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        const DataSet &s = sets[i++ % sets.size()];
        a0 = s.a[0];
        a1 = s.a[1];
        a2 = s.a[2];
        float P[3] = {0.0f, s.start[0], s.start[1]};
        float rms = 0.0f;
        evaluations += fit(P, &rms);
        benchmark::DoNotOptimize(P);
        ++fits;
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - begin;
        slowest = std::max(slowest, took.count());
    }
    state.SetItemsProcessed(fits);
    state.counters["evals/fit"] = static_cast<double>(evaluations) / static_cast<double>(fits);
    state.counters["slowest_ms"] = slowest;
}

long cached(float *P, float *rms)
{
    SimplexStats stats;
    simplex(P, rms, &stats);
    return stats.evaluations;
}

long literal(float *P, float *rms)
{
    LiteralStats stats;
    literalSimplex(P, rms, &stats);
    return stats.evaluations;
}

// The table mode's fit: the literal run, and two normalised runs where the
// literal one stopped short. Evaluations are not counted here.
long sound(float *P, float *rms)
{
    const float data[3] = {a0, a1, a2};
    const PeakFit fit = soundFit(data);
    P[1] = fit.A;
    P[2] = fit.J;
    *rms = fit.rms;
    return 0;
}

void BM_NoisyReference_Simplex(benchmark::State &s)
{
    run(s, noisyReference(), cached);
}
void BM_NoisyReference_Literal(benchmark::State &s)
{
    run(s, noisyReference(), literal);
}
void BM_TableLike_Simplex(benchmark::State &s)
{
    run(s, tableLike(), cached);
}
void BM_TableLike_Literal(benchmark::State &s)
{
    run(s, tableLike(), literal);
}

void BM_RawUnits_Simplex(benchmark::State &s)
{
    run(s, rawUnits(), cached);
}
void BM_TableLike_SoundFit(benchmark::State &s)
{
    run(s, tableLike(), sound);
}
void BM_RawUnits_SoundFit(benchmark::State &s)
{
    run(s, rawUnits(), sound);
}

BENCHMARK(BM_NoisyReference_Simplex);
BENCHMARK(BM_NoisyReference_Literal);
BENCHMARK(BM_TableLike_Simplex);
BENCHMARK(BM_TableLike_Literal);
BENCHMARK(BM_RawUnits_Simplex);
BENCHMARK(BM_TableLike_SoundFit);
BENCHMARK(BM_RawUnits_SoundFit);

}  // namespace

BENCHMARK_MAIN();
