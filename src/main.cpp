// kova: fits A * sin(PI * J * tau) to the three intensities of every assigned
// peak of an nmrDraw CBCACONH-J peak table, or estimates the fit's precision.
#include <cstdio>
#include <cstdlib>

#include "extension_options.h"
#include "kova.h"

int main(int argc, char **argv)
{
    std::atexit(close_stdout);

    std::vector<std::string> words;
    std::string error;
    const bool understood = takeExtensions(argc, argv, &extensions, &words, &error);
    if (extensions.tsv)
        messages = stderr;
    if (!understood)
        stop("kova: " + error);
    if (extensions.version) {
        std::printf("kova %s\n", KOVA_VERSION);
        return 0;
    }

    const std::string line = joinCommandLine(words);
    if (argc == 1) {
        std::printf("......\n");
        std::printf("Type <kova -help> for usage instruction\n");
        std::exit(1);
    }

    tau0 = 0.00193f;
    tau1 = 0.00373f;
    tau2 = 0.00722f;
    input(line.c_str());

    if (SIM_ERR != 0)
        errorSimulationStage();  // SE
    else
        peakTableStage();

    // ENDMAIN
    return 0;
}
