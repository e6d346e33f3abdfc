// The default mode from end to end: open the table, fit it, say what the
// reader and the fit had to say, and write the report (and, if asked, the
// precision of every peak).
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "assignment_fits.h"
#include "extension_options.h"
#include "kova.h"
#include "peak_mc.h"
#include "report.h"
#include "svg_plot.h"

namespace {

std::vector<Precision> precisionOf(const std::vector<Reported> &peaks)
{
    // Progress only for a person watching: a script's stderr stays clean.
    const bool showProgress = isatty(STDERR_FILENO) != 0;
    auto progress = [&](size_t done) {
        std::fprintf(stderr, "\rkova: --mc: %zu of %zu peaks", done, peaks.size());
        if (done == peaks.size())
            std::fprintf(stderr, "\r%*s\r", 40, "");
    };
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    return peaksPrecision(peaks, monteCarloClock, threads,
                          showProgress ? std::function<void(size_t)>(progress) : nullptr);
}

}  // namespace

void peakTableStage()
{
    if (extensions.mc && NOISE == 0.0f)
        stop("kova: --mc needs the noise level (-noise): each peak's trials draw noise at its "
             "height / noise");
    clearRecords();
    std::FILE *table = std::fopen(nmrDrawTab.c_str(), "r");
    if (table == nullptr)
        stop("Error opening input file " + nmrDrawTab + " ...");

    const TableRun run = fitTable(table, messages);
    if (run.outcome == TableRun::Outcome::ReadError)
        stop("Error reading input file " + nmrDrawTab + ": " + std::strerror(run.readErrno));
    if (run.outcome == TableRun::Outcome::NotThreeD)
        stop("Error: " + nmrDrawTab + " is " + run.dimension + "; kova fits 3D CBCACONH-J tables");
    if (run.refits > 0)
        std::fprintf(messages,
                     "Note: %ld of %ld fits were repeated in normalised units (the fit from "
                     "A = 1.1, J = 260 stopped short of the minimum)\n",
                     run.refits, run.fits);

    const std::vector<Reported> peaks = reportedPeaks(run.largest);
    const std::vector<Precision> precision =
        extensions.mc ? precisionOf(peaks) : std::vector<Precision>();
    if (extensions.tsv)
        writeReportTsv(stdout, peaks, precision);
    else
        writeReport(stdout, peaks, precision);
    std::string error;
    if (!extensions.plotFile.empty() &&
        !writeSvgFile(extensions.plotFile, fitsSvg(peaks, precision), &error))
        stop("kova: " + error);
    // The table stays open until the program ends.
}
