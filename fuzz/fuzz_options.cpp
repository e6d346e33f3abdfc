// The command line over arbitrary argument vectors (words split at line
// feeds): the long options are taken out, and what is left must reach the
// classic parser exactly as given when no long option was there.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "extension_options.h"
#include "kova.h"

namespace {

bool isLongOption(const std::string &w)
{
    return w == "--mc" || w == "--tsv" || w == "--version" || w.rfind("--seed", 0) == 0 ||
           w.rfind("--plot", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A word is a C string: it ends at its first zero byte.
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());

    Extensions ext;
    std::vector<std::string> rest;
    std::string error;
    const bool ok = takeExtensions(static_cast<int>(argv.size()), argv.data(), &ext, &rest, &error);
    bool anyLong = false;
    for (std::size_t k = 1; k < words.size(); ++k)
        anyLong = anyLong || isLongOption(argv[k]);
    if (!ok && error.empty())
        __builtin_trap();  // every refusal says why
    if (!anyLong && (!ok || rest.size() != words.size()))
        __builtin_trap();  // a classic command line passes through whole
    if (!ok)
        return 0;
    for (std::size_t k = 0; k < rest.size(); ++k)
        if (!anyLong && rest[k] != argv[k])
            __builtin_trap();

    nmrDrawTab.clear();
    tau0 = 0.00193f;
    tau1 = 0.00373f;
    tau2 = 0.00722f;
    NOISE = 0.0f;
    SN = 0.0f;
    SIM_ERR = 0;
    const std::string line = joinCommandLine(rest);
    const InputStop stop = readOptions(line.c_str());
    if (SIM_ERR != 0 && (stop == InputStop::NoRatio || SN == 0.0f || SN != SN))
        __builtin_trap();  // no zero or NaN ratio reaches the simulation
    return 0;
}
