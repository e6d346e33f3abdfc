#include "report.h"

namespace {

double wide(float x)
{
    return static_cast<double>(x);
}

}  // namespace

void writeReport(std::FILE *out, const std::vector<Reported> &peaks,
                 const std::vector<Precision> &precision)
{
    for (size_t i = 0; i < peaks.size(); ++i) {
        const FitRecord &r = *peaks[i].record;
        std::fprintf(out, "Assignment: %4d  RMS: %8.3f  S/N: %7.2f A: % 9.3f J: % 9.3f",
                     peaks[i].assignment, wide(r.rms), wide(r.snr), wide(r.A), wide(r.J));
        if (!precision.empty())
            std::fprintf(out, "  ERR_A: %8.3f  ERR_J: %8.3f", wide(precision[i].errA),
                         wide(precision[i].errJ));
        std::fputc('\n', out);
    }
}

// %.9g gives every float back exactly when it is read again.
void writeReportTsv(std::FILE *out, const std::vector<Reported> &peaks,
                    const std::vector<Precision> &precision)
{
    std::fputs("assignment\tline\tindex\theight\tsnr\trms\tA\tJ\trefit", out);
    if (!precision.empty())
        std::fputs("\terr_A\terr_J", out);
    std::fputc('\n', out);
    for (size_t i = 0; i < peaks.size(); ++i) {
        const FitRecord &r = *peaks[i].record;
        std::fprintf(out, "%d\t%ld\t%d\t%.9g\t%.9g\t%.9g\t%.9g\t%.9g\t%d", peaks[i].assignment,
                     r.line, r.index, wide(r.height), wide(r.snr), wide(r.rms), wide(r.A),
                     wide(r.J), r.refit);
        if (!precision.empty())
            std::fprintf(out, "\t%.9g\t%.9g", wide(precision[i].errA), wide(precision[i].errJ));
        std::fputc('\n', out);
    }
}

void writeSimulationTsv(std::FILE *out, float snr, float errA, float errJ)
{
    std::fprintf(out, "snr\terr_A\terr_J\n%.9g\t%.9g\t%.9g\n", wide(snr), wide(errA), wide(errJ));
}
