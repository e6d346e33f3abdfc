// The long options: taken out of the argument vector whole, before the
// classic line is joined, and run end to end with fixed seeds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "extension_options.h"
#include "run_kova.h"

namespace {

struct Expected {
    bool mc, tsv, version, seedGiven;
    std::uint32_t seed;
    const char *plotFile;
};

struct TakeCase {
    const char *name;
    std::vector<std::string> argv;
    std::vector<std::string> rest;  // the words left for the classic line
    Expected expected;
    const char *error;  // empty when the words are understood
};

std::ostream &operator<<(std::ostream &os, const TakeCase &c)
{
    return os << c.name;
}

constexpr Expected none = {false, false, false, false, 0, ""};

const TakeCase takeCases[] = {
    {"ClassicLineUntouched",
     {"kova", "-tab", "p.tab", "-noise", "35"},
     {"kova", "-tab", "p.tab", "-noise", "35"},
     none,
     ""},
    {"FlagsTakenOut",
     {"kova", "--mc", "-tab", "p.tab", "--tsv", "--version"},
     {"kova", "-tab", "p.tab"},
     {true, true, true, false, 0, ""},
     ""},
    {"SeedAndItsValue",
     {"kova", "-err", "20", "--seed", "4294967295"},
     {"kova", "-err", "20"},
     {false, false, false, true, 4294967295u, ""},
     ""},
    {"SeedWithEquals",
     {"kova", "--seed=0", "-err", "5"},
     {"kova", "-err", "5"},
     {false, false, false, true, 0, ""},
     ""},
    {"PlotTakesAnyWord",
     {"kova", "--plot", "-fits-tau.svg", "-tab", "t"},
     {"kova", "-tab", "t"},
     {false, false, false, false, 0, "-fits-tau.svg"},
     ""},
    {"ProgramNameIsNeverAnOption", {"--mc"}, {"--mc"}, none, ""},
    {"UnknownLongWordsStayClassic",
     {"kova", "--tau", "1", "--mcx"},
     {"kova", "--tau", "1", "--mcx"},
     none,
     ""},
    {"SeedNotANumber",
     {"kova", "--seed", "x"},
     {},
     none,
     "--seed takes a whole number from 0 to 4294967295, not \"x\""},
    {"SeedTooLarge",
     {"kova", "--seed", "4294967296"},
     {},
     none,
     "--seed takes a whole number from 0 to 4294967295, not \"4294967296\""},
    {"SeedNegative",
     {"kova", "--seed", "-1"},
     {},
     none,
     "--seed takes a whole number from 0 to 4294967295, not \"-1\""},
    {"SeedMissing",
     {"kova", "-err", "5", "--seed"},
     {},
     none,
     "--seed takes a whole number from 0 to 4294967295, not \"\""},
    {"PlotMissing", {"kova", "--plot"}, {}, none, "--plot takes the name of the SVG file to write"},
};

class TakeExtensions : public testing::TestWithParam<TakeCase> {};

TEST_P(TakeExtensions, SplitsTheArgumentVector)
{
    const TakeCase &c = GetParam();
    std::vector<char *> argv;
    for (const std::string &w : c.argv)
        argv.push_back(const_cast<char *>(w.c_str()));
    Extensions got;
    std::vector<std::string> rest;
    std::string error;
    const bool ok = takeExtensions(static_cast<int>(argv.size()), argv.data(), &got, &rest, &error);
    EXPECT_EQ(ok, *c.error == '\0');
    EXPECT_EQ(error, c.error);
    if (!ok)
        return;
    EXPECT_EQ(rest, c.rest);
    EXPECT_EQ(got.mc, c.expected.mc);
    EXPECT_EQ(got.tsv, c.expected.tsv);
    EXPECT_EQ(got.version, c.expected.version);
    EXPECT_EQ(got.seedGiven, c.expected.seedGiven);
    EXPECT_EQ(got.seed, c.expected.seed);
    EXPECT_EQ(got.plotFile, c.expected.plotFile);
}

INSTANTIATE_TEST_SUITE_P(Cases, TakeExtensions, testing::ValuesIn(takeCases),
                         [](const testing::TestParamInfo<TakeCase> &i) { return i.param.name; });

const std::string example = KOVA_SOURCE_DIR "/examples/cbcaconh-j.tab";

TEST(ExtensionsEndToEnd, VersionAndBadValues)
{
    const RunResult v = runKova({"kova", "--version"});
    EXPECT_EQ(v.out, "kova 1.1.0\n");
    EXPECT_EQ(v.status, 0);

    const RunResult bad = runKova({"kova", "-err", "20", "--seed", "x"});
    EXPECT_EQ(bad.out, "kova: --seed takes a whole number from 0 to 4294967295, not \"x\"\n");
    EXPECT_EQ(bad.status, 1);

    // With --tsv standard output is the table alone: messages go to stderr.
    const RunResult tsvBad = runKova({"kova", "--tsv", "--plot"});
    EXPECT_EQ(tsvBad.out, "");
    EXPECT_EQ(tsvBad.err, "kova: --plot takes the name of the SVG file to write\n");
    EXPECT_EQ(tsvBad.status, 1);
}

TEST(ExtensionsEndToEnd, SeedMakesTheErrorSimulationReproducible)
{
    const RunResult a = runKova({"kova", "-err", "20", "--seed", "12345"});
    const RunResult b = runKova({"kova", "--seed", "12345", "-err", "20"});
    // Seeds N + 1 ... N + 1000: a neighbouring N shares 999 trials.
    const RunResult c = runKova({"kova", "-err", "20", "--seed", "99999"});
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out, c.out);
    EXPECT_EQ(a.out.substr(0, 12), "S/N:   20.00");

    const RunResult tsv = runKova({"kova", "-err", "20", "--seed", "12345", "--tsv"});
    EXPECT_EQ(tsv.out.substr(0, tsv.out.find('\n') + 1), "snr\terr_A\terr_J\n");
    EXPECT_EQ(tsv.out.substr(tsv.out.find('\n') + 1, 3), "20\t");
}

TEST(ExtensionsEndToEnd, PerPeakPrecisionIsReproducibleWithASeed)
{
    const std::vector<std::string> argv = {"kova",  "-tab", example,  "-noise",
                                           "45000", "--mc", "--seed", "2026"};
    const RunResult a = runKova(argv), b = runKova(argv);
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(a.err, "") << "no progress when stderr is not a terminal";
    // The classic report, each line extended by the two errors.
    const std::string classic = runKova({"kova", "-tab", example, "-noise", "45000"}).out;
    size_t at = 0, classicAt = 0;
    int lines = 0;
    while (classicAt < classic.size()) {
        const std::string want =
            classic.substr(classicAt, classic.find('\n', classicAt) - classicAt);
        const std::string got = a.out.substr(at, a.out.find('\n', at) - at);
        if (want.rfind("Assignment:", 0) == 0) {
            EXPECT_EQ(got.substr(0, want.size()), want);
            EXPECT_EQ(got.substr(want.size(), 9), "  ERR_A: ") << got;
            EXPECT_EQ(got.size(), want.size() + 34) << got;
            ++lines;
        } else {
            EXPECT_EQ(got, want);
        }
        classicAt = classic.find('\n', classicAt) + 1;
        at = a.out.find('\n', at) + 1;
    }
    EXPECT_EQ(lines, 7);
}

TEST(ExtensionsEndToEnd, MonteCarloNeedsTheNoise)
{
    const RunResult r = runKova({"kova", "-tab", example, "--mc"});
    EXPECT_EQ(r.out, "kova: --mc needs the noise level (-noise): each peak's trials draw noise at "
                     "its height / noise\n");
    EXPECT_EQ(r.status, 1);
}

TEST(ExtensionsEndToEnd, TsvReportHasAHeaderAndARowPerAssignment)
{
    const RunResult r = runKova({"kova", "-tab", example, "-noise", "45000", "--tsv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1),
              "assignment\tline\tindex\theight\tsnr\trms\tA\tJ\trefit\n");
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1, 29), "1\t18\t9\t944933.688\t20.9985256\t");
    EXPECT_EQ(r.err,
              "Warning: line 15: assignment 3 was already fitted from line 11; this line's fit "
              "replaces it\n");
    const RunResult mc =
        runKova({"kova", "-tab", example, "-noise", "45000", "--tsv", "--mc", "--seed", "1"});
    EXPECT_EQ(mc.out.substr(0, mc.out.find('\n') + 1),
              "assignment\tline\tindex\theight\tsnr\trms\tA\tJ\trefit\terr_A\terr_J\n");
}

}  // namespace
