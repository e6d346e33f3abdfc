// The peak table mode end to end: small tables written by the test, the
// built program run on them, its report and warnings compared byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assignment_fits.h"
#include "kova.h"
#include "line_reader.h"
#include "peak_table.h"
#include "run_kova.h"
#include "sound_fit.h"

namespace {

// The 36 fields of a 3D peak line as the peak picker writes them (33 table
// columns), followed by the three intensities.
struct Line {
    std::vector<std::string> f;

    Line(int index, const std::string &assignment, const std::string &height, const std::string &i0,
         const std::string &i1, const std::string &i2)
    {
        char idx[16];
        std::snprintf(idx, sizeof idx, "%5d", index);
        f = {idx,       "100.500", "50.250",   "30.125",   "0.010",    "0.020", "0.030",    "8.100",
             "120.200", "55.300",  "4850.100", "9800.200", "8300.300", "5.500", "4.400",    "3.300",
             "12.100",  "15.200",  "18.300",   "98",       "103",      "48",    "53",       "28",
             "33",      height,    "+1.0e+02", "+5.0e+06", "0.00000",  "1",     assignment, "7",
             "1",       i0,        i1,         i2};
    }
    Line &set(int field, const std::string &text)
    {
        f[field - 1] = text;
        return *this;
    }
    std::string text() const
    {
        std::string s;
        for (size_t k = 0; k < f.size(); ++k)
            s += (k ? " " : "") + f[k];
        return s + "\n";
    }
};

// A peak whose intensities follow A sin(PI J tau) at the default delays.
Line peak(int index, int assignment, double A = 1.0, double J = 300.0,
          const std::string &height = "+1.200000e+05")
{
    const double tau[3] = {0.00193, 0.00373, 0.00722};
    std::string i[3];
    for (int k = 0; k < 3; ++k) {
        char s[32];
        std::snprintf(s, sizeof s, "%+e", A * std::sin(PI * J * tau[k]));
        i[k] = s;
    }
    return Line(index, std::to_string(assignment), height, i[0], i[1], i[2]);
}

// The report line the program must print for this line's peak, from a fit
// of the same numbers in this process.
std::string reportFor(const Line &line, float noise)
{
    tau0 = 0.00193f;
    tau1 = 0.00373f;
    tau2 = 0.00722f;
    float data[3];
    for (int k = 0; k < 3; ++k)
        data[k] = std::strtof(line.f[33 + k].c_str(), nullptr);
    const PeakFit fit = soundFit(data);
    const float snr = std::strtof(line.f[25].c_str(), nullptr) / noise;
    char s[200];
    std::snprintf(s, sizeof s, "Assignment: %4d  RMS: %8.3f  S/N: %7.2f A: % 9.3f J: % 9.3f\n",
                  std::atoi(line.f[30].c_str()), static_cast<double>(fit.rms),
                  static_cast<double>(snr), static_cast<double>(fit.A), static_cast<double>(fit.J));
    return s;
}

const std::string header =
    "REMARK test table\n"
    "VARS   INDEX X_AXIS Y_AXIS Z_AXIS DX DY DZ X_PPM Y_PPM Z_PPM X_HZ Y_HZ Z_HZ XW YW ZW "
    "XW_HZ YW_HZ ZW_HZ X1 X3 Y1 Y3 Z1 Z3 HEIGHT DHEIGHT VOL PCHI2 TYPE ASS CLUSTID MEMCNT\n"
    "FORMAT %5d %9.3f %9.3f %9.3f %6.3f %6.3f %6.3f %8.3f %8.3f %8.3f %9.3f %9.3f %9.3f "
    "%7.3f %7.3f %7.3f %8.3f %8.3f %8.3f %4d %4d %4d %4d %4d %4d %+e %+e %+e %.5f %d %s "
    "%4d %4d\n"
    "\n";

RunResult runTable(const std::string &content, const std::string &noise = "35")
{
    TempDir dir;
    const std::string path = dir.write("peaks.tab", content);
    return runKova({"kova", "-tab", path, "-noise", noise});
}

TEST(PeakTable, ReportComesInAscendingOrderAfterTheWholeTable)
{
    const Line p7 = peak(1, 7, 1.0, 300.0), p3 = peak(2, 3, 0.8, 280.0),
               p5 = peak(3, 5, 1.4, 320.0);
    const RunResult r = runTable(header + p7.text() + p3.text() + p5.text());
    EXPECT_EQ(r.out, reportFor(p3, 35) + reportFor(p5, 35) + reportFor(p7, 35));
    EXPECT_EQ(r.status, 0);
}

TEST(PeakTable, RepeatedNumberKeepsTheLaterLine)
{
    const Line first = peak(1, 4, 1.0, 300.0), later = peak(2, 4, 2.0, 250.0);
    const RunResult r = runTable(header + first.text() + later.text());
    EXPECT_EQ(r.out, "Warning: line 6: assignment 4 was already fitted from line 5; this line's "
                     "fit replaces it\n" +
                         reportFor(later, 35));
}

TEST(PeakTable, GapsAndZero)
{
    const Line p9 = peak(1, 9), p0 = peak(2, 0, 0.5), p2 = peak(3, 2, 1.5);
    EXPECT_EQ(runTable(header + p9.text() + p0.text() + p2.text()).out,
              reportFor(p2, 35) + reportFor(p9, 35));

    const RunResult onlyZero = runTable(header + p0.text());
    EXPECT_EQ(onlyZero.out, "");
    EXPECT_EQ(onlyZero.status, 0);
}

TEST(PeakTable, SameNumbersGiveSameFitWhateverLiesBetween)
{
    const Line a = peak(1, 1, 1.3, 290.0), other = peak(2, 2, 0.4, 200.0);
    Line b = a;
    b.set(1, "    3").set(31, "3");
    const std::string out = runTable(header + a.text() + other.text() + b.text()).out;
    const std::string first = out.substr(0, out.find('\n'));
    const std::string last = out.substr(out.rfind('\n', out.size() - 2) + 1);
    EXPECT_EQ(first.substr(16), last.substr(16, last.size() - 17)) << out;
}

TEST(PeakTable, EmptyAndHeaderOnlyTablesPrintNothing)
{
    for (const std::string &content : {std::string(), header, std::string("\n\n  \n")}) {
        const RunResult r = runTable(content);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.status, 0);
    }
}

TEST(PeakTable, LinesThatAreNoPeakLinesArePassedOver)
{
    const Line p = peak(1, 1);
    const std::string body = p.text().substr(1);  // without its leading blank
    const std::string content = header + "\t" + body + "x" + body + "NULLVALUE -666\n" +
                                "NULLSTRING *\n" + "DATA X_AXIS 1H 1 512 ppm\n";
    EXPECT_EQ(runTable(content).out, "");
}

TEST(PeakTable, LineStartingWithADigitIsAPeak)
{
    // From index 10000 on the index fills its five columns.
    Line p = peak(10000, 12, 1.2, 310.0);
    ASSERT_EQ(p.text()[0], '1');
    EXPECT_EQ(runTable(header + p.text()).out, reportFor(p, 35));
}

TEST(PeakTable, UnassignedLinesArePassedOverSilently)
{
    Line none = peak(1, 1);
    none.set(31, "None");
    Line shortNone = none;
    shortNone.f.resize(31);  // a None line need not carry intensities
    const Line p = peak(2, 2);
    EXPECT_EQ(runTable(header + none.text() + shortNone.text() + p.text()).out, reportFor(p, 35));
}

struct MalformedCase {
    const char *name;
    int field;  // the field to replace, or 0 to cut the line after `keep` fields
    std::string text;
    size_t keep;
    const char *warning;  // what follows "Warning: line 6: "
};

std::ostream &operator<<(std::ostream &os, const MalformedCase &c)
{
    return os << c.name;
}

const MalformedCase malformedCases[] = {
    {"CutShort", 0, "", 33, "has only 33 of 36 fields, line not fitted"},
    {"CutBeforeAssignment", 0, "", 25, "has only 25 of 36 fields, line not fitted"},
    {"TextualAssignment", 31, "G23CA", 0,
     "field 31 \"G23CA\" is not an assignment number, line not fitted"},
    {"LowerCaseNone", 31, "none", 0,
     "field 31 \"none\" is not an assignment number, line not fitted"},
    {"LongAssignmentWord", 31, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0,
     "field 31 \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\" is not an assignment number, line not fitted"},
    {"AssignmentBeyond32Bits", 31, "4294967297", 0,
     "field 31 \"4294967297\" is not an assignment number, line not fitted"},
    {"NegativeAssignment", 31, "-3", 0, "has the negative assignment number -3, line not fitted"},
    {"WordInNumericColumn", 5, "abc", 0, "field 5 \"abc\" is not a number, line not fitted"},
    {"NumberWithTrailingJunk", 35, "0.5x", 0, "field 35 \"0.5x\" is not a number, line not fitted"},
    {"FractionInIntegerColumn", 20, "1.5", 0,
     "field 20 \"1.5\" is not an integer, line not fitted"},
    {"HeightMissingItsExponent", 26, "+1.2e", 0,
     "field 26 \"+1.2e\" is not a number, line not fitted"},
    {"IntensityNotANumber", 35, "nan", 0,
     "field 35 \"nan\" is not a finite intensity, line not fitted"},
    {"IntensityInfinite", 34, "-inf", 0,
     "field 34 \"-inf\" is not a finite intensity, line not fitted"},
    {"IntensityBeyondFloat", 36, "1e39", 0,
     "field 36 \"1e39\" is not a finite intensity, line not fitted"},
    {"EscapeSequenceShownNotSent", 5, "\x1b[2J\x1b[H", 0,
     "field 5 \"\\x1b[2J\\x1b[H\" is not a number, line not fitted"},
    {"NulByteDoesNotCutTheWarning", 5, std::string("0.0\0abc", 7), 0,
     "field 5 \"0.0\\x00abc\" is not a number, line not fitted"},
};

class PeakTableMalformed : public testing::TestWithParam<MalformedCase> {};

// A bad line between two good ones: one warning naming line 6 (after the
// four header lines and the first peak), and the neighbours fitted as if it
// were not there.
TEST_P(PeakTableMalformed, WarnsAndLeavesNeighboursUntouched)
{
    const MalformedCase &c = GetParam();
    const Line before = peak(1, 1, 0.9, 270.0), after = peak(3, 3, 1.1, 330.0);
    Line bad = peak(2, 2, 5.0, 200.0, "+9.900000e+09");
    if (c.field != 0)
        bad.set(c.field, c.text);
    else
        bad.f.resize(c.keep);
    const RunResult r = runTable(header + before.text() + bad.text() + after.text());
    EXPECT_EQ(r.out, "Warning: line 6: " + std::string(c.warning) + "\n" + reportFor(before, 35) +
                         reportFor(after, 35));
    EXPECT_EQ(r.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, PeakTableMalformed, testing::ValuesIn(malformedCases),
                         [](const testing::TestParamInfo<MalformedCase> &i) {
                             return i.param.name;
                         });

TEST(PeakTable, BlankLineAfterAPeakDoesNotRefitIt)
{
    const Line p = peak(1, 1);
    const RunResult r = runTable(header + p.text() + "      \n" + "\n");
    EXPECT_EQ(r.out, reportFor(p, 35));
}

TEST(PeakTable, ShortLineBeforeAnyPeakIsNotFitted)
{
    const RunResult r = runTable(header + "    1 100.5 50.2\n");
    EXPECT_EQ(r.out, "Warning: line 5: has only 3 of 36 fields, line not fitted\n");
}

TEST(PeakTable, LongLinesAreReadWhole)
{
    // Wide columns take the line past 300 characters.
    Line p = peak(1, 8, 1.25, 305.0);
    p.set(2, "100.50000000000000000000000000000000000000000000000000");
    p.set(34, "+" + std::string(40, '0') + p.f[33].substr(1));
    const std::string text = p.text();
    ASSERT_GT(text.size(), 320u);
    EXPECT_EQ(runTable(header + text).out, reportFor(p, 35));
}

TEST(PeakTable, LastLineWithoutLineFeedIsRead)
{
    const Line p = peak(1, 6);
    std::string text = p.text();
    text.pop_back();
    EXPECT_EQ(runTable(header + text).out, reportFor(p, 35));
}

TEST(PeakTable, ExtraFieldsAreIgnored)
{
    Line p = peak(1, 6);
    p.f.push_back("extra");
    p.f.push_back("words");
    EXPECT_EQ(runTable(header + p.text()).out, reportFor(p, 35));
}

TEST(PeakTable, HugeLineIsSkippedWithAWarning)
{
    const Line before = peak(1, 1), after = peak(2, 2, 1.5);
    const std::string huge = " " + std::string(LineReader::maxLineLength + 10, '7') + "\n";
    const RunResult r = runTable(header + before.text() + huge + after.text());
    EXPECT_EQ(r.out, "Warning: line 6: longer than 1048576 characters, skipped\n" +
                         reportFor(before, 35) + reportFor(after, 35));
}

TEST(PeakTable, BinaryContentWithoutLineFeedsDoesNotBreakTheRun)
{
    std::string junk;
    for (long i = 0; i < 3 * (1 << 20); ++i) {
        const char c = static_cast<char>((i * 7919) % 251 + 1);
        junk += c == '\n' ? 'x' : c;
    }
    const RunResult r = runTable(junk);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Warning: line 1: longer than 1048576 characters, skipped\n");
}

TEST(PeakTable, NumbersAbove499AreReportedInOrder)
{
    const Line big = peak(1, 100000, 1.0), mid = peak(2, 500, 1.2), small = peak(3, 499, 0.7),
               top = peak(4, 2147483647, 0.9), one = peak(5, 1, 1.1);
    const RunResult r =
        runTable(header + big.text() + mid.text() + small.text() + top.text() + one.text());
    // From (1.1, 260) the peak of A = 0.7 falls into the minimum at negative
    // A and J = 789 Hz; the normalised fit finds it.
    EXPECT_EQ(r.out, "Note: 1 of 5 fits were repeated in normalised units (the fit from A = "
                     "1.1, J = 260 stopped short of the minimum)\n" +
                         reportFor(one, 35) + reportFor(small, 35) + reportFor(mid, 35) +
                         reportFor(big, 35) + reportFor(top, 35));
    EXPECT_NE(r.out.find("A:     0.700 J:   300.000"), std::string::npos) << r.out;
}

TEST(PeakTable, WithoutNoiseTheRatioIsInfiniteOrNotANumber)
{
    const Line pos = peak(1, 1), neg = peak(2, 2, 1.0, 300.0, "-3.000000e+05"),
               zero = peak(3, 3, 1.0, 300.0, "+0.000000e+00");
    TempDir dir;
    const std::string path = dir.write("t.tab", header + pos.text() + neg.text() + zero.text());
    const RunResult r = runKova({"kova", "-tab", path});
    EXPECT_EQ(r.out, reportFor(pos, 0) + reportFor(neg, 0) + reportFor(zero, 0));
    EXPECT_NE(r.out.find("S/N:     inf A:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("S/N:    -inf A:"), std::string::npos) << r.out;
}

TEST(PeakTable, RecoversKnownPeaks)
{
    // Intensities written with 7 significant digits: the fit must give back
    // A to the third printed decimal and J to within a few tenths of a Hz,
    // since the stop test lets F differ by 1e-5 and J moves F little.
    struct Known {
        double A, J;
    } known[] = {{1.0, 300.0}, {0.6, 260.0}, {2.2, 340.0}};
    std::string content = header;
    for (int i = 0; i < 3; ++i)
        content += peak(i + 1, i + 1, known[i].A, known[i].J).text();
    const std::string out = runTable(content).out;
    size_t at = 0;
    for (const Known &k : known) {
        int n;
        float rms, snr, A, J;
        ASSERT_EQ(std::sscanf(out.c_str() + at, "Assignment: %d RMS: %f S/N: %f A: %f J: %f", &n,
                              &rms, &snr, &A, &J),
                  5)
            << out;
        EXPECT_NEAR(A, k.A, 2e-3) << "J=" << k.J;
        EXPECT_NEAR(J, k.J, 0.5) << "A=" << k.A;
        at = out.find('\n', at) + 1;
    }
}

// Raw spectrum units of both signs: the literal fit stops at once or in the
// wrong minimum for most of these; the report must hold the true values.
TEST(PeakTable, RawUnitPeaksOfBothSignsGiveTheTrueAAndJ)
{
    struct Known {
        double A, J;
    } known[] = {{3.0e6, 180.0},  {-5.0e7, 420.0}, {1.0e8, 300.0},
                 {-2.0e6, 250.0}, {7.5e6, 350.0},  {-1.0e8, 200.0}};
    std::string content = header;
    for (int i = 0; i < 6; ++i)
        content += peak(i + 1, i + 1, known[i].A, known[i].J).text();
    const std::string out = runTable(content).out;
    ASSERT_EQ(out.rfind("Note: ", 0), 0u) << out;
    size_t at = out.find('\n') + 1;
    for (const Known &k : known) {
        int n;
        float rms, snr, A, J;
        ASSERT_EQ(std::sscanf(out.c_str() + at, "Assignment: %d RMS: %f S/N: %f A: %f J: %f", &n,
                              &rms, &snr, &A, &J),
                  5)
            << out;
        // Intensities written with 7 digits: A and J to about 1e-6 of
        // themselves, far inside the printed digits of J.
        EXPECT_NEAR(A / k.A, 1.0, 1e-5) << out;
        EXPECT_NEAR(J, k.J, 0.01) << out;
        at = out.find('\n', at) + 1;
    }
}

TEST(PeakTable, TablesOfOtherDimensionsGetOneMessage)
{
    const std::string vars2d = "VARS   INDEX X_AXIS Y_AXIS DX DY X_PPM Y_PPM HEIGHT ASS\n";
    const std::string vars4d = "VARS   INDEX X_AXIS Y_AXIS Z_AXIS A_AXIS HEIGHT ASS\n";
    const std::string seriesTab = "VARS   INDEX X_AXIS Y_AXIS HEIGHT ASS Z_A0 Z_A1\n";
    const Line p = peak(1, 1);
    struct {
        std::string content, dimension;
    } cases[] = {
        {"REMARK x\n" + vars2d + p.text(), "a 2D peak table (its VARS line has no Z_AXIS)"},
        {vars4d + p.text(), "a 4D peak table (its VARS line has an A_AXIS)"},
        {seriesTab + p.text(), "a 2D peak table (its VARS line has no Z_AXIS)"},
    };
    for (const auto &c : cases) {
        TempDir dir;
        const std::string path = dir.write("peaks.tab", c.content);
        const RunResult r = runKova({"kova", "-tab", path, "-noise", "35"});
        EXPECT_EQ(r.out,
                  "Error: " + path + " is " + c.dimension + "; kova fits 3D CBCACONH-J tables\n");
        EXPECT_EQ(r.status, 1);
    }
    // A 3D VARS line, or none at all, is read as always.
    EXPECT_EQ(runTable(header + p.text()).out, reportFor(p, 35));
    EXPECT_EQ(runTable(p.text()).out, reportFor(p, 35));
}

TEST(PeakTable, RealTablesOfOtherDimensionsAreRefused)
{
    const std::string dir = KOVA_SOURCE_DIR "/../shared/realdata/";
    const char *const tables[] = {
        "datatonic_4d_noesy_assigned.tab",       "datatonic_CS_av900_2d_assigned.tab",
        "datatonic_seriestab_2d_ZA_columns.tab", "nefpipelines_gb3_2d_assigned_dataseq.tab",
        "nmrglue_test_2d_hsqc_pkFindROI.tab",    "snaps_P3a_L273R_2d_hsqc_unassigned.tab"};
    if (readFile(dir + "SOURCES.md").empty())
        GTEST_SKIP() << "no real tables beside the project";
    for (const char *name : tables) {
        const RunResult r = runKova({"kova", "-tab", dir + name, "-noise", "1000"});
        const std::string dimension = std::string(name).find("4d") != std::string::npos
                                          ? "a 4D peak table (its VARS line has an A_AXIS)"
                                          : "a 2D peak table (its VARS line has no Z_AXIS)";
        EXPECT_EQ(r.out, "Error: " + dir + name + " is " + dimension +
                             "; kova fits 3D CBCACONH-J tables\n");
        EXPECT_EQ(r.status, 1) << name;
    }
}

TEST(PeakTable, DirectoryIsAReadError)
{
    TempDir dir;
    const RunResult r = runKova({"kova", "-tab", dir.path(), "-noise", "5"});
    EXPECT_EQ(r.out, "Error reading input file " + dir.path() + ": Is a directory\n");
    EXPECT_EQ(r.status, 1);
}

TEST(PeakTable, ExampleTableGivesItsRecordedReport)
{
    const std::string dir = KOVA_SOURCE_DIR "/examples/";
    const RunResult r = runKova({"kova", "-tab", dir + "cbcaconh-j.tab", "-noise", "45000"});
    EXPECT_EQ(r.out, readFile(dir + "cbcaconh-j.expected"));
    EXPECT_EQ(r.status, 0);
}

}  // namespace
