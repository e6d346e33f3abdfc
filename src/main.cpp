// kova: fits A * sin(PI * J * tau) to the three intensities of every assigned
// peak of an nmrDraw CBCACONH-J peak table, or estimates the fit's precision.
#include <cstdio>
#include <cstdlib>

#include "kova.h"

int main(int argc, char **argv)
{
    std::atexit(close_stdout);

    const std::string line = joinCommandLine(argc, argv);
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
        SE();
    else
        peakTableStage();

    // ENDMAIN
    return 0;
}
