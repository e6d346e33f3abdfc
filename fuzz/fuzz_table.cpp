// The peak table reader over arbitrary file content: every line is read and
// classified as the peak table mode does it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "peak_table.h"
#include "table_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    forEachLine(data, size, [](const std::string &line) {
        Peak peak;
        const PeakLine kind = classifyLine(line, &peak);
        if (kind == PeakLine::Peak && peak.assignment < 0)
            __builtin_trap();  // negative numbers must be refused
        if (kind == PeakLine::Malformed && peak.problem.empty())
            __builtin_trap();  // every refusal says why
        return true;
    });
    return 0;
}
