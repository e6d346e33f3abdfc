// The command line as a user meets it: the built program run with an argument
// vector, its standard output compared byte for byte, and its exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_kova.h"

namespace {

const std::string hint = "......\nType <kova -help> for usage instruction\n";
const std::string noRatio = "Must input S/N ratio!\n";
const std::string help =
    "**********************  KOVA  **********************************************\n"
    "KOVA is a simple program used for fitting three intensity values extracted\n"
    "from CBCACONH-J experiment with Asin(PI*J*tau) to determine A and J. It uses\n"
    "the SIMPLEX optimization routine. \n"
    "USAGE: KOVA -<OPTION>\n"
    "-tab  <filename>    nmrDraw assigned peak table of the 3D CBCACONH-J spectrum\n"
    "                                           --required input\n"
    "-tau  <time point 0> <time point 1> <time point 2> in unit of sec \n"
    "      Default  0.00193  0.00373  0.00722   --required input\n"
    "-noise  <noise estimated in nmrDraw>       --required input\n"
    "-err  <Signal:Noise ratio>   if used, the program will do error simulation for \n"
    "                             ref. spectrum peak with input S/N \n"
    "                                        --optional\n"
    "\n \n ";

std::string openError(const std::string &name)
{
    return "Error opening input file " + name + " ...\n";
}

struct CliCase {
    const char *name;
    std::vector<std::string> argv;
    std::string out;
    int status;
};

std::ostream &operator<<(std::ostream &os, const CliCase &c)
{
    return os << c.name;
}

const std::string missing = "/nonexistent/peaks.tab";
const std::string longName = "/nonexistent/" + std::string(250, 'p') + ".tab";

const CliCase cliCases[] = {
    {"NameAlonePrintsHint", {"kova"}, hint, 1},
    {"HintUsesNoPathOfItsOwn", {"/usr/local/bin/kova"}, hint, 1},
    {"HelpAlone", {"kova", "-help"}, help, 1},
    {"HelpInsideLongerWord", {"kova", "-helpme"}, help, 1},
    {"HelpWinsOverValidOptions", {"kova", "-tab", missing, "-noise", "5", "-help"}, help, 1},
    {"ErrAsLastWord", {"kova", "-err"}, noRatio, 1},
    {"ErrZero", {"kova", "-err", "0"}, noRatio, 1},
    {"ErrZeroPointZero", {"kova", "-err", "0.0"}, noRatio, 1},
    {"ErrNegativeZero", {"kova", "-err", "-0"}, noRatio, 1},
    {"ErrFollowedByHelp", {"kova", "-err", "-help"}, noRatio, 1},
    {"ErrThenLaterHelp", {"kova", "-err", "20", "-help"}, help, 1},
    {"ErrValueJoinedByEquals", {"kova", "-err=20"}, noRatio, 1},
    {"ProgramNameEndingInErr", {"/opt/bin/kova-err", "-tab", missing}, noRatio, 1},
    {"NoTableGiven", {"kova", "-noise", "5"}, openError(""), 1},
    {"TableMissing", {"kova", "-tab", missing, "-noise", "5"}, openError(missing), 1},
    {"TableAsLastWord", {"kova", "-tab"}, openError(""), 1},
    {"TablePrefixOfLongerWord", {"kova", "-table", missing}, openError(missing), 1},
    {"UpperCaseNotAnOption", {"kova", "-TAB", missing}, openError(""), 1},
    {"TableNamedLikeAnOption", {"kova", "-tab", "-noise", "5"}, openError("-noise"), 1},
    {"FirstTableWins", {"kova", "-tab", missing, "-tab", "other.tab"}, openError(missing), 1},
    {"TableNameContainingTau",
     {"kova", "-tab", "/nonexistent/peaks-tau.tab", "-tau", "1", "2", "3"},
     openError("/nonexistent/peaks-tau.tab"),
     1},
    {"TableNameContainingErr",
     {"kova", "-tab", "/nonexistent/hsqc-err.tab"},
     openError("/nonexistent/hsqc-err.tab"),
     1},
    {"TableNameContainingHelp",
     {"kova", "-tab", "/nonexistent/gb1-helper.tab"},
     openError("/nonexistent/gb1-helper.tab"),
     1},
    {"DirectoryOfProgramContainingHelp",
     {"/opt/nmr-help/kova", "-tab", missing},
     openError(missing),
     1},
    {"ErrNotANumber", {"kova", "-err", "nan"}, noRatio, 1},
    {"ErrNegativeNotANumber", {"kova", "-err", "-nan"}, noRatio, 1},
    {"CommandLineOver199Characters",
     {"kova", "-noise", "5", "-tab", longName},
     openError(longName),
     1},
    {"OptionWordWithLongAttachment",
     {"kova", "-tab" + std::string(300, 'x'), missing},
     openError(missing),
     1},
};

class Cli : public testing::TestWithParam<CliCase> {};

TEST_P(Cli, PrintsExactlyAndExitsWithStatus)
{
    const CliCase &c = GetParam();
    const RunResult r = runKova(c.argv);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, "") << "all messages belong on standard output";
}

INSTANTIATE_TEST_SUITE_P(Cases, Cli, testing::ValuesIn(cliCases),
                         [](const testing::TestParamInfo<CliCase> &i) { return i.param.name; });

TEST(CliOutput, FileNameLongerThan39CharactersIsOpened)
{
    TempDir dir;
    const std::string name = std::string(60, 'n') + ".tab";
    const std::string path = dir.write(name, "REMARK nothing to fit\n");
    ASSERT_GT(path.size(), 39u);
    const RunResult r = runKova({"kova", "-tab", path, "-noise", "5"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
}

TEST(CliOutput, WriteErrorOnStandardOutputGivesStatus1)
{
    TempDir dir;
    const std::string table = dir.write(
        "t.tab", "    1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 +1.0e+05 1 1 1 1 1 "
                 "1 1 0.5 0.8 0.9\n");
    const std::vector<std::string> argv = {"kova", "-tab", table, "-noise", "10"};
    ASSERT_EQ(runKova(argv).status, 0) << "the run itself succeeds";

    const RunResult full = runKova(argv, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("write error"), std::string::npos) << full.err;
}

TEST(CliOutput, WriteErrorKeepsStatus1OfAStop)
{
    const RunResult r = runKova({"kova", "-help"}, "/dev/full");
    EXPECT_EQ(r.status, 1);
}

}  // namespace
