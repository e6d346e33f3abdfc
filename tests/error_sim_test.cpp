// The noise generator's distribution and the Monte Carlo run, with the
// generator seeded and the clock fixed by the test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "assignment_fits.h"
#include "kova.h"
#include "propagation.h"
#include "run_kova.h"

namespace {

const double rawSd = std::sqrt(1.0 / 3.0 - 2.0 / (M_PI * M_PI));  // of b on [-1, 1]

std::vector<float> draws(float ratio, unsigned seed, int n)
{
    srandom(seed);
    std::vector<float> v(n);
    for (float &x : v)
        x = grand(ratio);
    return v;
}

TEST(Grand, RaisedCosineScaledByTheRatio)
{
    const float R = 20.0f;
    const int n = 400000;
    const std::vector<float> v = draws(R, 42, n);
    double sum = 0, sumSq = 0, largest = 0;
    for (float x : v) {
        sum += x;
        sumSq += static_cast<double>(x) * x;
        largest = std::max(largest, std::fabs(static_cast<double>(x)));
    }
    const double mean = sum / n;
    const double sd = std::sqrt(sumSq / n - mean * mean);
    const double expectedSd = rawSd / (0.36 * R);
    EXPECT_NEAR(mean, 0.0, 4.0 * expectedSd / std::sqrt(n));
    EXPECT_NEAR(sd / expectedSd, 1.0, 0.005) << "observed " << sd << ", expected " << expectedSd;
    EXPECT_NEAR(sd * R, 1.0, 0.01) << "close to 1 / R";
    EXPECT_LE(largest, 1.0 / (0.36 * R) * (1 + 1e-6));
    EXPECT_GT(largest, 0.9 / (0.36 * R)) << "the tails are reached";
}

TEST(Grand, NegativeRatioMirrorsThePositiveOne)
{
    const std::vector<float> pos = draws(7.5f, 99, 1000), neg = draws(-7.5f, 99, 1000);
    for (size_t i = 0; i < pos.size(); ++i)
        ASSERT_EQ(neg[i], -pos[i]) << "draw " << i;
}

std::time_t fixedClock(std::time_t *t)
{
    const std::time_t now = 1765400000;
    if (t != nullptr)
        *t = now;
    return now;
}

std::string runSE(float ratio, float t0 = 0.00193f, float t1 = 0.00373f, float t2 = 0.00722f)
{
    SN = ratio;
    tau0 = t0;
    tau1 = t1;
    tau2 = t2;
    testing::internal::CaptureStdout();
    SE(fixedClock);
    return testing::internal::GetCapturedStdout();
}

struct Errors {
    double A, J;
};

Errors parse(const std::string &line)
{
    Errors e{};
    float sn;
    EXPECT_EQ(std::sscanf(line.c_str(), "S/N: %f ERR_A: %lf ERR_J: %lf", &sn, &e.A, &e.J), 3)
        << line;
    return e;
}

// A summary line is exactly what the format makes of the numbers it shows.
bool isSummaryLine(const std::string &line)
{
    double sn, errA, errJ;
    if (std::sscanf(line.c_str(), "S/N: %lf ERR_A: %lf ERR_J: %lf", &sn, &errA, &errJ) != 3)
        return false;
    char again[200];
    std::snprintf(again, sizeof again, "S/N: %7.2f    ERR_A: %8.3f    ERR_J: %8.3f\n", sn, errA,
                  errJ);
    return line == again;
}

TEST(ErrorSimulation, SameClockGivesTheSameLine)
{
    const std::string first = runSE(20.0f), second = runSE(20.0f);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(isSummaryLine(first)) << first;
    EXPECT_EQ(first.substr(0, 12), "S/N:   20.00");
}

TEST(ErrorSimulation, AgreesWithLinearErrorPropagation)
{
    const double SNR = 100.0;
    const Propagated want = propagatedErrors(1.0, 300.0, SNR);
    const double wantA = want.errA, wantJ = want.errJ;

    const Errors got = parse(runSE(static_cast<float>(SNR)));
    // 1000 trials estimate an RMS to about 1 / sqrt(2000), some 2 per cent;
    // 8 per cent leaves room for that and for the fit's own stopping error.
    EXPECT_NEAR(got.A / wantA, 1.0, 0.08) << "ERR_A observed " << got.A << ", expected " << wantA;
    EXPECT_NEAR(got.J / wantJ, 1.0, 0.08) << "ERR_J observed " << got.J << ", expected " << wantJ;
}

TEST(ErrorSimulation, DelaysChangeTheResult)
{
    EXPECT_NE(parse(runSE(20.0f)).J, parse(runSE(20.0f, 0.001f, 0.002f, 0.004f)).J);
}

TEST(ErrorSimulation, NegativeRatioPrintedWithItsSign)
{
    EXPECT_EQ(runSE(-20.0f).substr(0, 20), "S/N:  -20.00    ERR_");
}

TEST(ErrorSimulation, LeavesTheResultTableAlone)
{
    M[5] = FitRecord{1, 0.5f, 2.0f, 3.0f, 4.0f};
    runSE(50.0f);
    EXPECT_EQ(M[5].fitted, 1);
    EXPECT_EQ(M[5].J, 4.0f);
}

TEST(ErrorSimulation, CommandLineRunPrintsOneSummaryLine)
{
    const RunResult r = runKova({"kova", "-err", "20", "-tab", "/nonexistent/never-opened.tab"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(isSummaryLine(r.out)) << r.out;
}

}  // namespace
