#include "extension_options.h"

#include <cstring>

Extensions extensions;

namespace {

// A whole number from 0 to 4294967295, digits only.
bool parseSeed(const std::string &text, std::uint32_t *seed)
{
    if (text.empty() || text.size() > 10)
        return false;
    unsigned long long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > 4294967295ULL)
        return false;
    *seed = static_cast<std::uint32_t>(v);
    return true;
}

// "--name VALUE" or "--name=VALUE": the value, and how many words it took.
bool valueOf(const char *name, int argc, char **argv, int *k, std::string *value)
{
    const std::size_t n = std::strlen(name);
    const char *word = argv[*k];
    if (std::strncmp(word, name, n) != 0)
        return false;
    if (word[n] == '=') {
        *value = word + n + 1;
        return true;
    }
    if (word[n] != '\0')
        return false;
    *value = *k + 1 < argc ? argv[*k + 1] : "";
    if (*k + 1 < argc)
        ++*k;
    return true;
}

}  // namespace

bool takeExtensions(int argc, char **argv, Extensions *ext, std::vector<std::string> *rest,
                    std::string *error)
{
    rest->clear();
    for (int k = 0; k < argc; ++k) {
        const std::string word = argv[k];
        std::string value;
        if (k == 0) {
            rest->push_back(word);  // the program's name is never an option
        } else if (word == "--mc") {
            ext->mc = true;
        } else if (word == "--tsv") {
            ext->tsv = true;
        } else if (word == "--version") {
            ext->version = true;
        } else if (valueOf("--seed", argc, argv, &k, &value)) {
            if (!parseSeed(value, &ext->seed)) {
                *error = "--seed takes a whole number from 0 to 4294967295, not \"" + value + "\"";
                return false;
            }
            ext->seedGiven = true;
        } else if (valueOf("--plot", argc, argv, &k, &value)) {
            if (value.empty()) {
                *error = "--plot takes the name of the SVG file to write";
                return false;
            }
            ext->plotFile = value;
        } else {
            rest->push_back(word);
        }
    }
    return true;
}

std::time_t monteCarloClock(std::time_t *t)
{
    if (!extensions.seedGiven)
        return std::time(t);
    const std::time_t reading = static_cast<std::time_t>(extensions.seed);
    if (t != nullptr)
        *t = reading;
    return reading;
}
