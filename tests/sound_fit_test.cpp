// The table mode's fit against exact known answers at every scale and sign,
// and against its definition: the literal simplex on intensities scaled by a
// power of two, rescaled, to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "kova.h"
#include "sound_fit.h"

namespace {

const float delays[3] = {0.00193f, 0.00373f, 0.00722f};

void useDefaultDelays()
{
    tau0 = delays[0];
    tau1 = delays[1];
    tau2 = delays[2];
}

// The model's intensities at the delays, rounded once to float.
void modelPeak(double A, double J, float data[3], double noise = 0.0, std::mt19937 *rng = nullptr)
{
    for (int k = 0; k < 3; ++k) {
        double e = 0.0;
        if (rng != nullptr)
            e = std::uniform_real_distribution<double>(-noise, noise)(*rng);
        data[k] = static_cast<float>(A * (std::sin(PI * J * delays[k]) + e));
    }
}

bool sameBits(float x, float y)
{
    return std::memcmp(&x, &y, sizeof x) == 0;
}

// How close a fit of exact data must come. A normalised fit lands within a
// few 1e-7 of the truth, but the rule keeps the literal fit wherever its RMS
// is within 1e-3 m of the normalised one's (m the largest intensity), so an
// RMS of up to 1e-3 m is right by the rule. With the residuals' Jacobian
// (sin(PI J tau_k), A PI tau_k cos(PI J tau_k)) at the default delays, an
// RMS of 1e-3 m moves A by at most 1.73e-3 of itself and J by at most
// 0.231 Hz over J = 150-450 Hz (the largest of sqrt(3) 1e-3 m sqrt(C_AA)
// and sqrt(3) 1e-3 m sqrt(C_JJ), C the inverse of J^T J).
constexpr double relativeATolerance = 2e-3;
constexpr double jTolerance = 0.25;

// (-A, -J) is the same curve; a literal fit kept by the rule may be either.
void expectSameCurve(PeakFit fit, double A, double J)
{
    if ((fit.J < 0.0f) != (J < 0.0)) {
        fit.A = -fit.A;
        fit.J = -fit.J;
    }
    EXPECT_NEAR(fit.A / A, 1.0, relativeATolerance) << "A " << A << " J " << J;
    EXPECT_NEAR(fit.J, J, jTolerance) << "A " << A << " J " << J;
}

struct Known {
    double A, J;
};

class SoundFitKnownAnswer : public testing::TestWithParam<Known> {};

TEST_P(SoundFitKnownAnswer, GivesBackTheTrueAAndJ)
{
    useDefaultDelays();
    const Known k = GetParam();
    float data[3];
    modelPeak(k.A, k.J, data);
    const PeakFit fit = soundFit(data);
    expectSameCurve(fit, k.A, k.J);
    const float m = std::max({std::fabs(data[0]), std::fabs(data[1]), std::fabs(data[2])});
    EXPECT_LE(fit.rms, 1e-3 * m);
    if (fit.refit) {
        // A normalised fit is reported with J >= 0 and far closer.
        EXPECT_NEAR(fit.A / k.A, 1.0, 1e-5);
        EXPECT_NEAR(fit.J, k.J, 1e-3);
    }
}

INSTANTIATE_TEST_SUITE_P(ScalesAndSigns, SoundFitKnownAnswer,
                         testing::Values(Known{1e-3, 300.0}, Known{-1e-3, 300.0}, Known{1.0, 300.0},
                                         Known{-1.0, 300.0}, Known{1e4, 300.0}, Known{-1e4, 300.0},
                                         Known{1e8, 300.0}, Known{-1e8, 300.0}, Known{0.7, 300.0},
                                         Known{-83.7, 245.7}, Known{3e6, 180.0}, Known{-5e7, 420.0},
                                         Known{0.05, 160.0}, Known{2.5e-3, 440.0}));

TEST(SoundFit, FirstIterationStopAtHugeIntensitiesGivesWay)
{
    // At 1e8 the first triangle's RMS values are equal in single precision,
    // so the literal fit ends at once at the centroid (1.375, 325).
    useDefaultDelays();
    float data[3];
    modelPeak(1e8, 300.0, data);
    const PeakFit literal = literalFit(data);
    EXPECT_EQ(literal.A, 1.375f);
    EXPECT_EQ(literal.J, 325.0f);

    const PeakFit fit = soundFit(data);
    EXPECT_TRUE(fit.refit);
    EXPECT_NEAR(fit.A / 1e8, 1.0, 1e-5);
    EXPECT_NEAR(fit.J, 300.0, 1e-3);
}

TEST(SoundFit, ZeroAndNonFiniteDataKeepTheLiteralFit)
{
    useDefaultDelays();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[][3] = {
        {0.0f, 0.0f, 0.0f}, {-0.0f, 0.0f, 0.0f}, {1.0f, inf, 0.5f}, {NAN, 1.0f, 1.0f}};
    for (const auto &data : cases) {
        const PeakFit literal = literalFit(data);
        const PeakFit fit = soundFit(data);
        EXPECT_FALSE(fit.refit);
        EXPECT_TRUE(sameBits(fit.A, literal.A) && sameBits(fit.J, literal.J) &&
                    sameBits(fit.rms, literal.rms));
    }
}

// Dividing data and A by 2^k divides every residual, square, sum and square
// root of F by exactly 2^k, and every simplex step is a sum or a halving, so
// the simplex on scaled data takes the same path in scaled coordinates; only
// the absolute stopping rule sees the scale, which is the point of scaling.
// This checks the claim where it rests, on F, over points near and far from
// the minimum.
TEST(SoundFit, ObjectiveIsExactlyScaleInvariantInPowersOfTwo)
{
    useDefaultDelays();
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> logA(-3.0, 8.0), J(150.0, 450.0), off(-0.2, 0.2);
    for (int i = 0; i < 20000; ++i) {
        float data[3];
        const double A = std::pow(10.0, logA(rng)), j = J(rng);
        modelPeak(A, j, data, 1e-3, &rng);
        const int k = static_cast<int>(rng() % 41) - 20;
        const float P[3] = {0.0f, static_cast<float>(A * (1.0 + off(rng))),
                            static_cast<float>(j * (1.0 + off(rng)))};
        a0 = data[0], a1 = data[1], a2 = data[2];
        const float y = F(P);
        a0 = std::ldexp(data[0], k), a1 = std::ldexp(data[1], k), a2 = std::ldexp(data[2], k);
        const float Q[3] = {0.0f, std::ldexp(P[1], k), P[2]};
        ASSERT_TRUE(sameBits(F(Q), std::ldexp(y, k))) << i << " k " << k;
    }
}

// The sound fit as its rule defines it, written out with the plain simplex.
PeakFit byDefinition(const float data[3])
{
    auto run = [&](const float d[3]) {
        a0 = d[0], a1 = d[1], a2 = d[2];
        float P[3] = {0.0f, 1.1f, 260.0f};
        PeakFit f;
        simplex(P, &f.rms);
        f.A = P[1];
        f.J = P[2];
        return f;
    };
    const PeakFit literal = run(data);
    const float m = std::max({std::fabs(data[0]), std::fabs(data[1]), std::fabs(data[2])});
    int e;
    std::frexp(m, &e);
    const float s = std::ldexp(1.0f, e - 7);
    PeakFit best;
    for (const float sigma : {1.0f, -1.0f}) {
        const float scaled[3] = {data[0] / (sigma * s), data[1] / (sigma * s),
                                 data[2] / (sigma * s)};
        PeakFit f = run(scaled);
        f.A = f.A * sigma * s;
        a0 = data[0], a1 = data[1], a2 = data[2];
        const float P[3] = {0.0f, f.A, f.J};
        f.rms = F(P);
        if (sigma > 0.0f || f.rms < best.rms)
            best = f;
    }
    if (static_cast<double>(best.rms) <
        static_cast<double>(literal.rms) - 1e-3 * static_cast<double>(m)) {
        if (best.J < 0.0f) {
            best.A = -best.A;
            best.J = -best.J;
        }
        best.refit = true;
        return best;
    }
    return literal;
}

TEST(SoundFit, MatchesItsDefinitionBitForBit)
{
    useDefaultDelays();
    std::mt19937 rng(911);
    std::uniform_real_distribution<double> logA(-3.0, 8.0), J(150.0, 450.0), noise(0.0, 0.05);
    int refits = 0, kept = 0;
    for (int i = 0; i < 2000; ++i) {
        float data[3];
        const double sign = rng() % 2 ? 1.0 : -1.0;
        modelPeak(sign * std::pow(10.0, logA(rng)), J(rng), data, noise(rng), &rng);
        const PeakFit want = byDefinition(data);
        const PeakFit got = soundFit(data);
        ASSERT_EQ(got.refit, want.refit) << i;
        ASSERT_TRUE(sameBits(got.A, want.A) && sameBits(got.J, want.J) &&
                    sameBits(got.rms, want.rms))
            << i << ": " << got.A << ' ' << got.J << " vs " << want.A << ' ' << want.J;
        (got.refit ? refits : kept) += 1;
    }
    EXPECT_GT(refits, 100) << "the population should need the normalised fit often";
    EXPECT_GT(kept, 100) << "and keep the literal one often";
}

// Over amplitudes 1e-3 to 1e8 of both signs, exact data: every peak comes
// back, where the literal fit gets a good part of them wrong.
TEST(SoundFit, RightForEveryPeakOfAWidePopulation)
{
    useDefaultDelays();
    std::mt19937 rng(4000);
    std::uniform_real_distribution<double> logA(-3.0, 8.0), J(150.0, 450.0);
    int literalWrong = 0;
    for (int i = 0; i < 2000; ++i) {
        const double A = (rng() % 2 ? 1.0 : -1.0) * std::pow(10.0, logA(rng));
        const double j = J(rng);
        float data[3];
        modelPeak(A, j, data);
        expectSameCurve(soundFit(data), A, j);
        if (testing::Test::HasFailure())
            return;
        PeakFit literal = literalFit(data);
        if ((literal.J < 0.0f) != (j < 0.0)) {
            literal.A = -literal.A;
            literal.J = -literal.J;
        }
        if (std::fabs(literal.J - j) > jTolerance ||
            std::fabs(literal.A / A - 1.0) > relativeATolerance)
            ++literalWrong;
    }
    EXPECT_GT(literalWrong, 400);
}

}  // namespace
