// The objective F and the simplex against answers known exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "kova.h"

namespace {

const float nan_ = std::numeric_limits<float>::quiet_NaN();
const float inf = std::numeric_limits<float>::infinity();

// Every test starts from the default delays and its own data points.
class Fit : public testing::Test {
protected:
    void SetUp() override
    {
        tau0 = 0.00193f;
        tau1 = 0.00373f;
        tau2 = 0.00722f;
    }
    static void data(float x0, float x1, float x2)
    {
        a0 = x0;
        a1 = x1;
        a2 = x2;
    }
};

bool sameBits(float x, float y)
{
    return std::memcmp(&x, &y, sizeof x) == 0;
}

TEST_F(Fit, ObjectiveIsRmsOfDataWhenModelVanishes)
{
    struct Case {
        float A, J, x0, x1, x2;
        double meanSquare;
    } cases[] = {
        {0.0f, 260.0f, 1, 2, 2, 3.0},
        {0.0f, -17.5f, 3, 4, 0, 25.0 / 3.0},
        {5.0f, 0.0f, 1, 2, 2, 3.0},
        {-2.0f, 0.0f, 3, 4, 0, 25.0 / 3.0},
    };
    for (const Case &c : cases) {
        data(c.x0, c.x1, c.x2);
        const float P[3] = {0.0f, c.A, c.J};
        const float want = static_cast<float>(std::sqrt(c.meanSquare));
        EXPECT_TRUE(sameBits(F(P), want))
            << "A=" << c.A << " J=" << c.J << ": observed " << F(P) << ", expected " << want;
    }
}

TEST_F(Fit, ObjectiveAtTheModelsOwnValuesIsRoundingNotZero)
{
    const double w = PI * 300.0;
    data(static_cast<float>(std::sin(w * tau0)), static_cast<float>(std::sin(w * tau1)),
         static_cast<float>(std::sin(w * tau2)));
    const float P[3] = {0.0f, 1.0f, 300.0f};
    const float y = F(P);
    // Each residual is the double model value minus its float rounding:
    // a few 1e-8, far below any noise, but not zero.
    EXPECT_GT(y, 5e-9f);
    EXPECT_LT(y, 3e-8f);
}

TEST_F(Fit, ObjectiveIgnoresElementZero)
{
    data(0.3f, 0.7f, -0.2f);
    const float P[3] = {0.0f, 1.3f, 280.0f};
    const float Q[3] = {nan_, 1.3f, 280.0f};
    EXPECT_TRUE(sameBits(F(P), F(Q)));
}

TEST_F(Fit, ObjectiveOverflowsToInfinityAndPropagatesNaN)
{
    data(0, 0, 0);
    const float huge[3] = {0.0f, 1e20f, 300.0f};
    EXPECT_EQ(F(huge), inf);
    const float notANumber[3] = {0.0f, nan_, 300.0f};
    EXPECT_TRUE(std::isnan(F(notANumber)));
    data(1, nan_, 1);
    const float P[3] = {0.0f, 1.0f, 300.0f};
    EXPECT_TRUE(std::isnan(F(P)));
}

TEST_F(Fit, ZeroAmplitudeStartStopsAfterOneIteration)
{
    data(1, 2, 2);
    float P[3] = {7.0f, 0.0f, 260.0f};
    float rms = -1.0f;
    SimplexStats stats;
    simplex(P, &rms, &stats);
    EXPECT_EQ(P[1], 0.0f);
    EXPECT_EQ(P[2], 325.0f);
    EXPECT_EQ(stats.iterations, 1);
    const float at[3] = {0.0f, 0.0f, 325.0f};
    EXPECT_TRUE(sameBits(rms, F(at)));
    EXPECT_EQ(P[0], 7.0f) << "element 0 is never touched";
}

TEST_F(Fit, ZeroJStartReturnsFiveQuartersOfTheAmplitude)
{
    data(0.4f, 0.9f, 0.1f);
    for (float A0 : {1.1f, -3.7f, 1e-20f, 12345.678f}) {
        float P[3] = {nan_, A0, 0.0f};
        float rms = 0.0f;
        simplex(P, &rms);
        const float scaled = static_cast<float>(static_cast<double>(A0) + A0 * 0.5);
        const float want = (scaled + A0) / 2.0f;
        EXPECT_TRUE(sameBits(P[1], want))
            << "A0=" << A0 << ": observed " << P[1] << ", expected " << want;
        EXPECT_EQ(P[2], 0.0f);
        EXPECT_NEAR(P[1], 1.25f * A0, std::fabs(A0) * 1e-6f);
        EXPECT_TRUE(std::isnan(P[0]));
    }
}

TEST_F(Fit, RecoversExactPeaks)
{
    // Peaks made from known A and J; the fit must find them to well within
    // the convergence tolerance's reach (F values agree to 1e-5).
    struct Case {
        float A, J;
    } cases[] = {{1.0f, 300.0f}, {2.5f, 280.0f}, {0.8f, 240.0f}, {1.7f, 330.0f}};
    for (const Case &c : cases) {
        const double w = PI * c.J;
        data(static_cast<float>(c.A * std::sin(w * tau0)),
             static_cast<float>(c.A * std::sin(w * tau1)),
             static_cast<float>(c.A * std::sin(w * tau2)));
        float P[3] = {0.0f, 1.1f, 260.0f};
        float rms = 0.0f;
        simplex(P, &rms);
        EXPECT_NEAR(P[1], c.A, 1e-3f * c.A) << "J=" << c.J;
        EXPECT_NEAR(P[2], c.J, 0.5f) << "A=" << c.A;
        EXPECT_LT(rms, 1e-4f);
    }
}

TEST(SimplexStop, MeasureAtTheFloatNearest1e5Stops)
{
    const float tol = 1e-5f;  // just below 1e-5
    ASSERT_LT(static_cast<double>(tol), 1e-5);
    const float above = std::nextafter(tol, 1.0f);
    EXPECT_FALSE(simplexGoesOn(tol, 1));
    EXPECT_TRUE(simplexGoesOn(above, 1));
    EXPECT_TRUE(simplexGoesOn(above, 499999));
    EXPECT_FALSE(simplexGoesOn(above, 500000)) << "the cap ends the run";
    EXPECT_FALSE(simplexGoesOn(nan_, 1)) << "a measure that is not a number ends the run";
    EXPECT_TRUE(simplexGoesOn(inf, 1));
}

}  // namespace
