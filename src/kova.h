// Program-wide settings, data points and the functions that cross modules.
//
// kova fits I(tau) = A * sin(PI * J * tau) to three intensities per peak.
// Every stored quantity is a float; where the arithmetic is done in double the
// operands are widened by hand, because the printed digits depend on exactly
// where each rounding to single precision happens.
#ifndef KOVA_KOVA_H
#define KOVA_KOVA_H

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

// The truncated decimal the fits have always used, not the full value of pi.
constexpr double PI = 3.14159265;

// ---- Run settings: written by main (default delays) and input, read by both modes.
extern std::string nmrDrawTab;  // peak table file name; empty until -tab sets it
extern float tau0, tau1, tau2;  // the three delays, seconds
extern float NOISE;             // spectrum noise level; divisor of peak heights
extern float SN;                // signal-to-noise ratio for the error simulation
extern int SIM_ERR;             // 1 once -err has been given

// ---- Data points: the intensities at tau0, tau1, tau2, set before each fit.
// One set per thread, so that the per-peak Monte Carlo can fit peaks side by
// side; a run on one thread sees plain program-wide variables. Defined here,
// with their constant initial value in sight, so that every file reaches
// them directly rather than through a thread-local wrapper call.
inline thread_local float a0 = 0.0f, a1 = 0.0f, a2 = 0.0f;

// ---- Run control
// Where warnings and messages go: standard output, as they always have, or
// standard error when standard output carries a TSV report.
extern std::FILE *messages;
// Joins the argument vector into one line, every word followed by one blank.
std::string joinCommandLine(int argc, char **argv);
std::string joinCommandLine(const std::vector<std::string> &words);
// The first place in the line where an option word counts: the start of a
// word, or the end of the first word (the program's name). nullptr if none.
const char *findOption(const char *line, const char *word);
// Fills the run settings from the joined line and tells whether the run
// must stop; prints nothing.
enum class InputStop { None, NoRatio, Help };
InputStop readOptions(const char *line);
// readOptions, then the message of a stop. Ends the program with status 1
// after the help text or the missing-ratio message; otherwise returns 0.
int input(const char *line);
// Writes the message and a line feed to `messages` and ends the program with
// status 1: every stop after a message goes this way.
[[noreturn]] void stop(const std::string &message);
// Registered with atexit: turns a failed write of standard output into status 1.
void close_stdout();

// ---- Fitting engine
// RMS deviation of the model at P[1] = A, P[2] = J from a0, a1, a2. P[0] unused.
float F(const float *P);

// Counters a caller may ask simplex for; the program itself never does.
struct SimplexStats {
    long iterations = 0;
    long evaluations = 0;  // calls of F, the final one included
};
// The stopping rule: another iteration follows one whose convergence measure
// is m and whose number is n while m > 1e-5 and the cap is not reached.
bool simplexGoesOn(float m, long n);
// Downhill simplex from the start in P[1], P[2]; leaves the fit there and F at
// the fit in *rms. Always returns 0.
int simplex(float *P, float *rms, SimplexStats *stats = nullptr);

// ---- Peak table fitting (the default mode)
// Reads nmrDrawTab, fits every assigned peak and prints the report.
// Ends the program with status 1 if the table cannot be opened or read.
void peakTableStage();

// ---- Error simulation (the -err mode)
// One raised-cosine noise value with standard deviation close to 1 / ratio,
// from random(), or from random_r(state) when a state is given (glibc's
// random_r gives random's sequence for the same seed, one state per thread).
float grand(float ratio, struct random_data *state = nullptr);
// The Monte Carlo run; clock is read once per trial (a seam for tests).
// Keeps every trial's fitted J in *fittedJ if asked.
using ClockFn = std::time_t (*)(std::time_t *);
struct SimulationErrors {
    float errA;
    float errJ;
};
SimulationErrors simulateErrors(ClockFn clock, std::vector<float> *fittedJ = nullptr);
// The summary line "S/N: ...    ERR_A: ...    ERR_J: ..." for SN.
void printSimulationSummary(const SimulationErrors &e);
// simulateErrors and its summary line.
void SE(ClockFn clock = std::time);
// The -err mode as main runs it: SE on the Monte Carlo clock (--seed), or a
// TSV row (--tsv), and the histogram of J (--plot).
void errorSimulationStage();

#endif
