// The -err mode from end to end, with the long options.
#include <cstdio>

#include "extension_options.h"
#include "kova.h"
#include "report.h"
#include "svg_plot.h"

// SE, with the long options: a TSV row instead of the summary line, and the
// fitted J of every trial kept for the picture.
void errorSimulationStage()
{
    std::vector<float> fittedJ;
    const bool plot = !extensions.plotFile.empty();
    const SimulationErrors e = simulateErrors(monteCarloClock, plot ? &fittedJ : nullptr);
    if (extensions.tsv)
        writeSimulationTsv(stdout, SN, e.errA, e.errJ);
    else
        printSimulationSummary(e);
    std::string error;
    if (plot && !writeSvgFile(extensions.plotFile, histogramSvg(fittedJ, SN), &error))
        stop("kova: " + error);
}
