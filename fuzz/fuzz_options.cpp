// The option parser over arbitrary command lines.
#include <cstddef>
#include <cstdint>
#include <string>

#include "kova.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A command line is a C string: it ends at the first zero byte.
    const std::string line(reinterpret_cast<const char *>(data), size);
    nmrDrawTab.clear();
    tau0 = 0.00193f;
    tau1 = 0.00373f;
    tau2 = 0.00722f;
    NOISE = 0.0f;
    SN = 0.0f;
    SIM_ERR = 0;
    const InputStop stop = readOptions(line.c_str());
    if (SIM_ERR != 0 && (stop == InputStop::NoRatio || SN == 0.0f))
        __builtin_trap();  // a zero ratio must never reach the simulation
    return 0;
}
