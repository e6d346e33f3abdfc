// The long options of this release (--mc, --seed N, --tsv, --plot FILE,
// --version). They are whole argument words, taken out of the argument
// vector before the classic command line is joined, so they never meet its
// substring search and a command line without them behaves as it always has.
#ifndef KOVA_EXTENSION_OPTIONS_H
#define KOVA_EXTENSION_OPTIONS_H

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct Extensions {
    bool mc = false;         // --mc: the precision of every peak
    bool tsv = false;        // --tsv: tab-separated report, messages to stderr
    bool version = false;    // --version
    bool seedGiven = false;  // --seed N: the Monte Carlo clock reads N
    std::uint32_t seed = 0;
    std::string plotFile;  // --plot FILE: an SVG of the fits; empty if not asked
};
extern Extensions extensions;

// Sets `ext` from the extension options of argv and leaves every other word,
// in order, in `rest` (argv[0] first). On a bad or missing value returns
// false with the message in `error`.
bool takeExtensions(int argc, char **argv, Extensions *ext, std::vector<std::string> *rest,
                    std::string *error);

// The clock of the Monte Carlo runs: --seed's N if given, else the time.
std::time_t monteCarloClock(std::time_t *t);

#endif
