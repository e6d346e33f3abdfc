// The per-peak Monte Carlo against the error simulation of the reference
// peak and against linear error propagation, with a fixed clock.
#include <gtest/gtest.h>

#include <cmath>

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
