// Run control: the joined command line, the option parser and its help text.
//
// Options are not parsed word by word: each option word is searched for in
// the joined line, and its values are scanned from the place where it was
// found, by the rules of formatted input. Scripts written for kova rely on
// that (options in any order, stray words ignored, -table for -tab). An
// option word counts only where it begins a word, or where it ends the
// program's name (a kova installed as kova-err runs the error simulation):
// inside a file name such as ubq-tau-series.tab it would silently replace
// the options given after it.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kova.h"

std::string nmrDrawTab;
float tau0, tau1, tau2;
float NOISE;
float SN = 0.0f;
int SIM_ERR = 0;
std::FILE *messages = stdout;

std::string joinCommandLine(const std::vector<std::string> &words)
{
    std::string line;
    for (const std::string &word : words) {
        line += word;
        line += ' ';
    }
    return line;
}

std::string joinCommandLine(int argc, char **argv)
{
    return joinCommandLine(std::vector<std::string>(argv, argv + argc));
}

namespace {

const char *const helpText[] = {
    "**********************  KOVA  **********************************************\n",
    "KOVA is a simple program used for fitting three intensity values extracted\n"
    "from CBCACONH-J experiment with Asin(PI*J*tau) to determine A and J. It uses\n"
    "the SIMPLEX optimization routine. \n",
    "USAGE: KOVA -<OPTION>\n",
    "-tab  <filename>    nmrDraw assigned peak table of the 3D CBCACONH-J spectrum\n",
    "                                           --required input\n",
    "-tau  <time point 0> <time point 1> <time point 2> in unit of sec \n",
    "      Default  0.00193  0.00373  0.00722   --required input\n",
    "-noise  <noise estimated in nmrDraw>       --required input\n",
    "-err  <Signal:Noise ratio>   if used, the program will do error simulation for \n",
    "                             ref. spectrum peak with input S/N \n",
    "                                        --optional\n",
    "\n \n ",
};

bool isWhite(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// "%s": passes over white space, then takes one word. Returns the place after
// the word, or nullptr (and leaves *word alone) when the line has ended.
const char *scanWord(const char *p, std::string *word)
{
    while (*p != '\0' && isWhite(*p))
        ++p;
    if (*p == '\0')
        return nullptr;
    const char *end = p;
    while (*end != '\0' && !isWhite(*end))
        ++end;
    if (word != nullptr)
        word->assign(p, end);
    return end;
}

// "%f": strtof is the conversion formatted input uses, white space skipping
// included, and it rounds the decimal straight to single precision.
const char *scanFloat(const char *p, float *value)
{
    char *end = nullptr;
    const float v = std::strtof(p, &end);
    if (end == p)
        return nullptr;
    *value = v;
    return end;
}

// Scans "%s %f %f ..." from the place an option word was found: the first
// word (the option and whatever is attached to it) is discarded, then the
// numbers go to the targets in turn until one fails to scan.
void scanNumbers(const char *found, float *const *targets, int count)
{
    const char *p = scanWord(found, nullptr);
    for (int i = 0; i < count && p != nullptr; ++i)
        p = scanFloat(p, targets[i]);
}

void printHelp()
{
    for (const char *piece : helpText)
        std::fputs(piece, messages);
}

// Where an option word counts: at the start of a word (after extra dashes
// too, so that --tau still works as -tau), or at the end of the first word.
bool counts(const char *line, const char *at, std::size_t length)
{
    const char *start = at;
    while (start > line && start[-1] == '-')
        --start;
    if (start == line || isWhite(start[-1]))
        return true;
    const char *first = line;
    while (*first != '\0' && isWhite(*first))
        ++first;
    const char *firstEnd = first;
    while (*firstEnd != '\0' && !isWhite(*firstEnd))
        ++firstEnd;
    return at > first && at + length == firstEnd;
}

}  // namespace

const char *findOption(const char *line, const char *word)
{
    const std::size_t length = std::strlen(word);
    for (const char *at = std::strstr(line, word); at != nullptr; at = std::strstr(at + 1, word))
        if (counts(line, at, length))
            return at;
    return nullptr;
}

InputStop readOptions(const char *line)
{
    if (const char *found = findOption(line, "-tab")) {
        const char *p = scanWord(found, nullptr);
        scanWord(p, &nmrDrawTab);
    }
    if (const char *found = findOption(line, "-tau")) {
        float *const delays[] = {&tau0, &tau1, &tau2};
        scanNumbers(found, delays, 3);
    }
    if (const char *found = findOption(line, "-noise")) {
        float *const noise[] = {&NOISE};
        scanNumbers(found, noise, 1);
    }
    if (const char *found = findOption(line, "-err")) {
        float *const ratio[] = {&SN};
        scanNumbers(found, ratio, 1);
        // A ratio that was never read is still 0 and is refused with it;
        // one that is not a number gives no noise to simulate either.
        if (static_cast<double>(SN) == 0.0 || std::isnan(SN))
            return InputStop::NoRatio;
        SIM_ERR = 1;
    }
    if (findOption(line, "-help") != nullptr)
        return InputStop::Help;
    return InputStop::None;
}

void stop(const std::string &message)
{
    std::fprintf(messages, "%s\n", message.c_str());
    std::exit(1);
}

int input(const char *line)
{
    switch (readOptions(line)) {
    case InputStop::NoRatio:
        stop("Must input S/N ratio!");
    case InputStop::Help:
        printHelp();
        std::exit(1);
    case InputStop::None:
        break;
    }
    return 0;
}

// Buffered output only fails when it is flushed, so a full disk or a closed
// pipe would otherwise go unnoticed and the run would still end with status 0.
void close_stdout()
{
    bool failed = std::ferror(stdout) != 0;
    int error = 0;
    if (std::fclose(stdout) != 0) {
        failed = true;
        error = errno;
    }
    if (!failed)
        return;
    if (error != 0)
        std::fprintf(stderr, "kova: write error: %s\n", std::strerror(error));
    else
        std::fprintf(stderr, "kova: write error\n");
    std::_Exit(1);
}
