// make_table N [SCALE]: writes an nmrPipe-style 3D CBCACONH-J peak table of
// N peak lines to standard output, for timing kova on large tables.
// Assignment numbers cycle through 1..400 and every tenth line is
// unassigned. The intensities are of order 1, as the fit's starting point
// expects, times SCALE (1e6 gives the raw units of a spectrum).
#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const long n = argc > 1 ? std::atol(argv[1]) : 1000;
    const double scale = argc > 2 ? std::atof(argv[2]) : 1.0;
    std::printf("VARS   INDEX X_AXIS Y_AXIS Z_AXIS DX DY DZ X_PPM Y_PPM Z_PPM X_HZ Y_HZ Z_HZ "
                "XW YW ZW XW_HZ YW_HZ ZW_HZ X1 X3 Y1 Y3 Z1 Z3 HEIGHT DHEIGHT VOL PCHI2 TYPE ASS "
                "CLUSTID MEMCNT\n");
    std::printf("FORMAT %%5d %%9.3f %%9.3f %%9.3f %%6.3f %%6.3f %%6.3f %%8.3f %%8.3f %%8.3f "
                "%%9.3f %%9.3f %%9.3f %%7.3f %%7.3f %%7.3f %%8.3f %%8.3f %%8.3f %%4d %%4d %%4d "
                "%%4d %%4d %%4d %%+e %%+e %%+e %%.5f %%d %%s %%4d %%4d\n\n");
    const double pi = 3.14159265;
    const double tau[3] = {0.00193, 0.00373, 0.00722};
    for (long i = 1; i <= n; ++i) {
        const double A = 0.5 + (i % 97) / 40.0;
        const double J = 250.0 + (i % 83);
        char ass[16];
        if (i % 10 == 0)
            std::snprintf(ass, sizeof ass, "None");
        else
            std::snprintf(ass, sizeof ass, "%ld", 1 + i % 400);
        std::printf("%5ld %9.3f %9.3f %9.3f %6.3f %6.3f %6.3f %8.3f %8.3f %8.3f %9.3f %9.3f "
                    "%9.3f %7.3f %7.3f %7.3f %8.3f %8.3f %8.3f %4d %4d %4d %4d %4d %4d %+e %+e "
                    "%+e %.5f %d %s %4d %4d %+e %+e %+e\n",
                    i, 100.5, 50.25, 30.125, 0.01, 0.02, 0.03, 8.1, 120.2, 55.3, 4850.1, 9800.2,
                    8300.3, 5.5, 4.4, 3.3, 12.1, 15.2, 18.3, 98, 103, 48, 53, 28, 33, A * 1.2e5,
                    A * 1e2, A * 5e6, 0.0, 1, ass, static_cast<int>(i % 1000), 1,
                    scale * A * std::sin(pi * J * tau[0]), scale * A * std::sin(pi * J * tau[1]),
                    scale * A * std::sin(pi * J * tau[2]));
    }
    return 0;
}
