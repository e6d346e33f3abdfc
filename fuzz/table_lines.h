// The table lines of a fuzz input, as the peak table mode reads them.
#ifndef KOVA_FUZZ_TABLE_LINES_H
#define KOVA_FUZZ_TABLE_LINES_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "line_reader.h"

// Calls visit(line) for every line the reader keeps, in order, until the
// input ends or visit returns false.
template <typename Visit> void forEachLine(const std::uint8_t *data, std::size_t size, Visit visit)
{
    if (size == 0)
        return;
    std::FILE *fp = fmemopen(const_cast<std::uint8_t *>(data), size, "r");
    if (fp == nullptr)
        return;
    LineReader reader(fp);
    std::string line;
    for (;;) {
        const LineReader::Result got = reader.next(line);
        if (got == LineReader::Result::End || got == LineReader::Result::Error)
            break;
        if (got == LineReader::Result::Line && !visit(line))
            break;
    }
    std::fclose(fp);
}

#endif
