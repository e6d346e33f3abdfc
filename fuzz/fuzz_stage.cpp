// The whole peak table stage in process, fits and report included: the
// input's first 16 bytes are NOISE and the three delays as raw floats (so NaN,
// infinities and absurd delays are reached), the rest is the table.
// Afterwards the report must hold exactly the assignment numbers of the lines
// the classifier accepted, in ascending order, one line each, every line in
// the report's format.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "assignment_fits.h"
#include "kova.h"
#include "peak_table.h"
#include "report.h"
#include "table_lines.h"

namespace {

// The assignment numbers the classifier accepts, read independently of the
// stage; false if the stage would stop at a VARS line that is not 3D.
bool acceptedNumbers(const std::uint8_t *data, std::size_t size, std::set<int> *numbers)
{
    bool threeD = true;
    forEachLine(data, size, [&](const std::string &line) {
        if (!notThreeDimensional(line).empty()) {
            threeD = false;
            return false;
        }
        Peak peak;
        if (classifyLine(line, &peak) == PeakLine::Peak && peak.assignment != 0)
            numbers->insert(peak.assignment);
        return true;
    });
    return threeD;
}

// A report line is what its format makes of the numbers it shows.
void checkLine(const std::string &line, int expected)
{
    int n = 0, used = 0;
    double rms, snr, A, J;
    if (std::sscanf(line.c_str(), "Assignment: %d  RMS: %lf  S/N: %lf A: %lf J: %lf%n", &n, &rms,
                    &snr, &A, &J, &used) != 5 ||
        static_cast<std::size_t>(used) != line.size() || n != expected)
        __builtin_trap();
    char again[512];
    std::snprintf(again, sizeof again,
                  "Assignment: %4d  RMS: %8.3f  S/N: %7.2f A: % 9.3f J: % 9.3f", n, rms, snr, A, J);
    if (line != again)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 17)
        return 0;
    float settings[4];
    std::memcpy(settings, data, sizeof settings);
    NOISE = settings[0];
    tau0 = settings[1];
    tau1 = settings[2];
    tau2 = settings[3];
    const std::uint8_t *table = data + 16;
    const std::size_t tableSize = size - 16;

    std::set<int> expected;
    const bool threeD = acceptedNumbers(table, tableSize, &expected);

    clearRecords();
    std::FILE *fp = fmemopen(const_cast<std::uint8_t *>(table), tableSize, "r");
    char *messageText = nullptr, *reportText = nullptr;
    std::size_t messageSize = 0, reportSize = 0;
    std::FILE *messagesOut = open_memstream(&messageText, &messageSize);
    std::FILE *reportOut = open_memstream(&reportText, &reportSize);
    const TableRun run = fitTable(fp, messagesOut);
    const std::vector<Reported> peaks = reportedPeaks(run.largest);
    writeReport(reportOut, peaks, {});
    std::fclose(fp);
    std::fclose(messagesOut);
    std::fclose(reportOut);

    if ((run.outcome == TableRun::Outcome::NotThreeD) == threeD)
        __builtin_trap();
    if (threeD) {
        const std::string report(reportText, reportSize);
        std::size_t at = 0;
        for (const int n : expected) {  // ascending, one each
            const std::size_t end = report.find('\n', at);
            if (end == std::string::npos)
                __builtin_trap();
            checkLine(report.substr(at, end - at), n);
            at = end + 1;
        }
        if (at != report.size())
            __builtin_trap();
        if (run.refits > run.fits)
            __builtin_trap();
    }
    std::free(messageText);
    std::free(reportText);
    return 0;
}
