// Peak table fitting: every assigned peak line is fitted as it is read and
// its fit stored under its assignment number; the later line wins.
#include "assignment_fits.h"

#include <cerrno>
#include <map>

#include "kova.h"
#include "line_reader.h"
#include "peak_table.h"
#include "sound_fit.h"

FitRecord M[recordCount];

namespace {

// Assignment numbers beyond the static table, kept only for the numbers met.
std::map<int, FitRecord> highAssignments;

FitRecord *recordFor(int n)
{
    if (n < recordCount)
        return &M[n];
    return &highAssignments[n];
}

void fitPeak(const Peak &peak, long lineNumber, TableRun *run, std::FILE *messages)
{
    const PeakFit fit = soundFit(peak.intensity);
    FitRecord *r = recordFor(peak.assignment);
    if (r->fitted != 0)
        std::fprintf(messages,
                     "Warning: line %ld: assignment %d was already fitted from line %ld; this "
                     "line's fit replaces it\n",
                     lineNumber, peak.assignment, r->line);
    r->fitted = 1;
    r->rms = fit.rms;
    r->snr = peak.height / NOISE;
    r->A = fit.A;
    r->J = fit.J;
    r->line = lineNumber;
    r->index = peak.index;
    r->height = peak.height;
    for (int k = 0; k < 3; ++k)
        r->data[k] = peak.intensity[k];
    r->refit = fit.refit ? 1 : 0;

    ++run->fits;
    if (fit.refit)
        ++run->refits;
    if (peak.assignment > run->largest)
        run->largest = peak.assignment;
}

}  // namespace

void clearRecords()
{
    for (FitRecord &r : M)
        r = FitRecord{};
    highAssignments.clear();
}

TableRun fitTable(std::FILE *table, std::FILE *messages)
{
    TableRun run;
    LineReader reader(table);
    std::string line;
    long lineNumber = 0;
    for (;;) {
        const LineReader::Result got = reader.next(line);
        if (got == LineReader::Result::End)
            break;
        if (got == LineReader::Result::Error) {
            run.outcome = TableRun::Outcome::ReadError;
            run.readErrno = errno;
            return run;
        }
        ++lineNumber;
        if (got == LineReader::Result::TooLong) {
            std::fprintf(messages, "Warning: line %ld: longer than %zu characters, skipped\n",
                         lineNumber, LineReader::maxLineLength);
            continue;
        }
        run.dimension = notThreeDimensional(line);
        if (!run.dimension.empty()) {
            run.outcome = TableRun::Outcome::NotThreeD;
            return run;
        }
        Peak peak;
        switch (classifyLine(line, &peak)) {
        case PeakLine::NotPeak:
        case PeakLine::Unassigned:
            break;
        case PeakLine::Malformed:
            std::fprintf(messages, "Warning: line %ld: %s, line not fitted\n", lineNumber,
                         peak.problem.c_str());
            break;
        case PeakLine::Peak:
            fitPeak(peak, lineNumber, &run, messages);
            break;
        }
        // ENDLOOP
    }
    return run;
}

std::vector<Reported> reportedPeaks(int largest)
{
    std::vector<Reported> peaks;
    for (int i = 1; i <= largest && i < recordCount; ++i)
        if (M[i].fitted != 0)
            peaks.push_back({i, &M[i]});
    // Every record here was made by a fit.
    for (const auto &entry : highAssignments)
        peaks.push_back({entry.first, &entry.second});
    return peaks;
}
