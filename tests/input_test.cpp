// The settings that the option parser leaves, for the lines it returns on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kova.h"

namespace {

float f(const char *text)
{
    return std::strtof(text, nullptr);
}

struct Settings {
    std::string tab;
    float t0, t1, t2;
    float noise;
    float sn;
    int simErr;
};

struct InputCase {
    const char *name;
    const char *line;
    Settings expected;
};

std::ostream &operator<<(std::ostream &os, const InputCase &c)
{
    return os << c.name << ": \"" << c.line << '"';
}

const float d0 = f("0.00193"), d1 = f("0.00373"), d2 = f("0.00722");

const InputCase inputCases[] = {
    {"NothingGiven", "kova ", {"", d0, d1, d2, 0.0f, 0.0f, 0}},
    {"AllOptions",
     "kova -tab p.tab -tau 0.002 0.004 0.008 -noise 35 ",
     {"p.tab", f("0.002"), f("0.004"), f("0.008"), 35.0f, 0.0f, 0}},
    {"OptionsInAnyOrderAmongStrayWords",
     "kova x -noise 2.5e1 y -tab q.tab z ",
     {"q.tab", d0, d1, d2, 25.0f, 0.0f, 0}},
    {"OneDelayOnly", "kova -tau 0.01 ", {"", f("0.01"), d1, d2, 0.0f, 0.0f, 0}},
    {"DelaysStopAtAWord",
     "kova -tau 0.01 0.02 -noise 3 ",
     {"", f("0.01"), f("0.02"), d2, 3.0f, 0.0f, 0}},
    {"FirstTauWins",
     "kova -tau 0.01 0.02 0.03 -tau 1 2 3 ",
     {"", f("0.01"), f("0.02"), f("0.03"), 0.0f, 0.0f, 0}},
    {"TauInsideTableName",
     "kova -tab peaks-tau.tab -tau 1 2 3 ",
     {"peaks-tau.tab", 1.0f, 2.0f, 3.0f, 0.0f, 0.0f, 0}},
    {"TablePrefix", "kova -table t.tab ", {"t.tab", d0, d1, d2, 0.0f, 0.0f, 0}},
    {"UpperCaseIgnored", "kova -TAB t.tab ", {"", d0, d1, d2, 0.0f, 0.0f, 0}},
    {"TableNamedNoise", "kova -tab -noise 5 ", {"-noise", d0, d1, d2, 5.0f, 0.0f, 0}},
    {"ValueJoinedToOptionIsDiscarded", "kova -noise=5 7 ", {"", d0, d1, d2, 7.0f, 0.0f, 0}},
    {"NoiseWithoutValue", "kova -noise ", {"", d0, d1, d2, 0.0f, 0.0f, 0}},
    {"NoiseWordNotANumber", "kova -noise abc ", {"", d0, d1, d2, 0.0f, 0.0f, 0}},
    {"NumberPrefixIsRead", "kova -noise 12abc ", {"", d0, d1, d2, 12.0f, 0.0f, 0}},
    {"PlusSignAndExponent", "kova -noise +1.5E+2 ", {"", d0, d1, d2, 150.0f, 0.0f, 0}},
    {"ErrSetsRatioAndMode", "kova -err 20 ", {"", d0, d1, d2, 0.0f, 20.0f, 1}},
    {"NegativeRatioAccepted", "kova -err -5 ", {"", d0, d1, d2, 0.0f, -5.0f, 1}},
    {"ErrWithTable", "kova -tab t.tab -err 5 ", {"t.tab", d0, d1, d2, 0.0f, 5.0f, 1}},
    {"TabsAreWhiteSpace", "kova -noise\t4 ", {"", d0, d1, d2, 4.0f, 0.0f, 0}},
    // An option word inside a word no longer counts: the options given
    // after such a file name are the ones used.
    {"TauSeriesTableKeepsGivenDelays",
     "kova -tab ubq-tau-series.tab -noise 35 -tau 0.002 0.004 0.0075 ",
     {"ubq-tau-series.tab", f("0.002"), f("0.004"), f("0.0075"), 35.0f, 0.0f, 0}},
    {"NoiseInsideTableName",
     "kova -tab ubq-noise.tab -noise 35 ",
     {"ubq-noise.tab", d0, d1, d2, 35.0f, 0.0f, 0}},
    {"ErrInsideTableName", "kova -tab hsqc-err.tab ", {"hsqc-err.tab", d0, d1, d2, 0.0f, 0.0f, 0}},
    {"TauInsideProgramDirectory",
     "/opt/nmr-tau/bin/kova -tau 0.01 ",
     {"", f("0.01"), d1, d2, 0.0f, 0.0f, 0}},
    {"ProgramNameEndingInErr", "kova-err 20 ", {"", d0, d1, d2, 0.0f, 20.0f, 1}},
    {"ProgramPathEndingInErr", "/usr/bin/kova-err 7 ", {"", d0, d1, d2, 0.0f, 7.0f, 1}},
    {"ExtraDashesStillCount", "kova --noise 3 --tau 0.01 ", {"", f("0.01"), d1, d2, 3.0f, 0.0f, 0}},
    {"DashesInsideAWordDoNot", "kova a--noise 3 ", {"", d0, d1, d2, 0.0f, 0.0f, 0}},
};

class Input : public testing::TestWithParam<InputCase> {
protected:
    void SetUp() override
    {
        nmrDrawTab.clear();
        tau0 = d0;
        tau1 = d1;
        tau2 = d2;
        NOISE = 0.0f;
        SN = 0.0f;
        SIM_ERR = 0;
    }
};

// Floats compared bit for bit: the parser must round each number once.
void expectSameFloat(float got, float want, const char *what)
{
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0)
        << what << ": got " << got << ", want " << want;
}

TEST_P(Input, LeavesSettings)
{
    const InputCase &c = GetParam();
    EXPECT_EQ(input(c.line), 0);
    EXPECT_EQ(nmrDrawTab, c.expected.tab);
    expectSameFloat(tau0, c.expected.t0, "tau0");
    expectSameFloat(tau1, c.expected.t1, "tau1");
    expectSameFloat(tau2, c.expected.t2, "tau2");
    expectSameFloat(NOISE, c.expected.noise, "NOISE");
    expectSameFloat(SN, c.expected.sn, "SN");
    EXPECT_EQ(SIM_ERR, c.expected.simErr);
}

INSTANTIATE_TEST_SUITE_P(Cases, Input, testing::ValuesIn(inputCases),
                         [](const testing::TestParamInfo<InputCase> &i) { return i.param.name; });

TEST(InputNumbers, RoundStraightToSinglePrecision)
{
    // The decimal lies just above 1 + 2^-24, the midpoint between 1.0f and
    // the next float. Read into a double it becomes the midpoint itself,
    // which then rounds to the even 1.0f; read straight to float it rounds
    // up, as it must.
    NOISE = 0.0f;
    input("kova -noise 1.000000059604644775390625001 ");
    EXPECT_EQ(NOISE, std::nextafter(1.0f, 2.0f));
}

TEST(JoinCommandLine, EveryWordFollowedByOneBlank)
{
    char w0[] = "kova", w1[] = "-noise", w2[] = "35";
    char *argv[] = {w0, w1, w2, nullptr};
    EXPECT_EQ(joinCommandLine(3, argv), "kova -noise 35 ");
    EXPECT_EQ(joinCommandLine(0, argv), "");
}

TEST(JoinCommandLine, LongLinesAreKeptWhole)
{
    std::string longWord(5000, 'w');
    char w0[] = "kova";
    char *argv[] = {w0, longWord.data(), nullptr};
    EXPECT_EQ(joinCommandLine(2, argv), "kova " + longWord + " ");
}

}  // namespace
