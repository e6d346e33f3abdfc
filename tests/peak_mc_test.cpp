// The per-peak Monte Carlo against the error simulation of the reference
// peak and against linear error propagation, with a fixed clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kova.h"
#include "peak_mc.h"
#include "propagation.h"

namespace {

std::time_t fixedClock(std::time_t *t)
{
    const std::time_t now = 1765400000;
    if (t != nullptr)
        *t = now;
    return now;
}

void useDefaultDelays()
{
    tau0 = 0.00193f;
    tau1 = 0.00373f;
    tau2 = 0.00722f;
}

FitRecord peakAt(float A, float J, float snr)
{
    FitRecord r;
    r.fitted = 1;
    r.A = A;
    r.J = J;
    r.snr = snr;
    return r;
}

// 1000 trials estimate an RMS to about 1 / sqrt(2000), some 2 per cent; 8
// per cent leaves room for that and for the fit's own stopping error.
constexpr double tolerance = 0.08;

TEST(PeakPrecision, ReferencePeakAgreesWithTheErrorSimulation)
{
    useDefaultDelays();
    SN = 100.0f;
    const SimulationErrors reference = simulateErrors(fixedClock);
    const Precision p = peakPrecision(peakAt(1.0f, 300.0f, 100.0f), fixedClock);
    EXPECT_NEAR(p.errA / reference.errA, 1.0, tolerance);
    EXPECT_NEAR(p.errJ / reference.errJ, 1.0, tolerance);
    const Propagated want = propagatedErrors(1.0, 300.0, 100.0);
    EXPECT_NEAR(p.errA / want.errA, 1.0, tolerance);
    EXPECT_NEAR(p.errJ / want.errJ, 1.0, tolerance);
}

// Far from 300 Hz the three delays sample the sine elsewhere and J is known
// differently well; the same trials must follow propagation there too, and
// at any scale of A (the noise scales with the peak).
TEST(PeakPrecision, FollowsPropagationAwayFromTheReference)
{
    useDefaultDelays();
    struct Case {
        float A, J, snr;
    } cases[] = {{1.0f, 200.0f, 100.0f}, {2.5e6f, 420.0f, 100.0f}, {-3.0e4f, 250.0f, 200.0f}};
    const Propagated atReference = propagatedErrors(1.0, 300.0, 100.0);
    for (const Case &c : cases) {
        const Precision p = peakPrecision(peakAt(c.A, c.J, c.snr), fixedClock);
        const Propagated want = propagatedErrors(c.A, c.J, c.snr);
        EXPECT_NEAR(p.errA / want.errA, 1.0, tolerance) << c.J;
        EXPECT_NEAR(p.errJ / want.errJ, 1.0, tolerance) << c.J;
        if (c.J == 200.0f) {
            // Propagation puts J's error at 200 Hz twice that at 300 Hz.
            EXPECT_GT(p.errJ / atReference.errJ, 1.8) << "differs from the reference peak's";
        }
    }
}

TEST(PeakPrecision, NoNoiseLevelGivesNotANumber)
{
    useDefaultDelays();
    for (const float snr : {0.0f, INFINITY, -INFINITY, NAN}) {
        const Precision p = peakPrecision(peakAt(1.0f, 300.0f, snr), fixedClock);
        EXPECT_TRUE(std::isnan(p.errA) && std::isnan(p.errJ)) << snr;
    }
}

}  // namespace

namespace {

// glibc's random_r on a 128-byte state, reseeded by srandom_r, gives the
// sequence random() gives after srandom: the per-thread generators of the
// Monte Carlo draw exactly the noise a single-threaded run would.
TEST(PeakPrecision, PerThreadGeneratorDrawsRandomsSequence)
{
    char buffer[128] = {};
    random_data state{};
    initstate_r(1, buffer, sizeof buffer, &state);
    for (const unsigned seed : {0u, 1u, 1765400001u, 4294967295u}) {
        srandom(seed);
        srandom_r(seed, &state);
        for (int i = 0; i < 2000; ++i) {
            const float fromRandom = grand(20.0f);
            const float fromState = grand(20.0f, &state);
            ASSERT_EQ(std::memcmp(&fromRandom, &fromState, sizeof(float)), 0)
                << "seed " << seed << " draw " << i;
        }
    }
}

TEST(PeakPrecision, ThreadsGiveTheResultsOfOneThread)
{
    useDefaultDelays();
    std::vector<FitRecord> records;
    for (int i = 0; i < 9; ++i)
        records.push_back(peakAt((i % 2 ? -1.0f : 1.0f) * std::pow(10.0f, i - 2.0f),
                                 160.0f + 35.0f * i, 10.0f + 7.0f * i));
    std::vector<Reported> peaks;
    for (size_t i = 0; i < records.size(); ++i)
        peaks.push_back({static_cast<int>(i + 1), &records[i]});
    const std::vector<Precision> one = peaksPrecision(peaks, fixedClock, 1);
    size_t lastDone = 0;
    const std::vector<Precision> four =
        peaksPrecision(peaks, fixedClock, 4, [&](size_t done) { lastDone = done; });
    ASSERT_EQ(four.size(), one.size());
    for (size_t i = 0; i < one.size(); ++i) {
        EXPECT_EQ(std::memcmp(&one[i], &four[i], sizeof one[i]), 0) << "peak " << i;
        EXPECT_EQ(one[i].errJ, peakPrecision(records[i], fixedClock).errJ);
    }
    EXPECT_EQ(lastDone, peaks.size());
}

}  // namespace
