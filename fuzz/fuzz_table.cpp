// The peak table reader over arbitrary file content: every line is read and
// classified as the peak table mode does it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "line_reader.h"
#include "peak_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::FILE *fp = fmemopen(const_cast<std::uint8_t *>(data), size, "r");
    if (fp == nullptr)
        return 0;
    LineReader reader(fp);
    std::string line;
    for (;;) {
        const LineReader::Result got = reader.next(line);
        if (got == LineReader::Result::End || got == LineReader::Result::Error)
            break;
        if (got == LineReader::Result::TooLong)
            continue;
        Peak peak;
        const PeakLine kind = classifyLine(line, &peak);
        if (kind == PeakLine::Peak && peak.assignment < 0)
            __builtin_trap();  // negative numbers must be refused
        if (kind == PeakLine::Malformed && peak.problem.empty())
            __builtin_trap();  // every refusal says why
    }
    std::fclose(fp);
    return 0;
}
