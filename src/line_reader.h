// Reads a text file line by line, lines of any length up to a bound.
#ifndef KOVA_LINE_READER_H
#define KOVA_LINE_READER_H

#include <cstddef>
#include <cstdio>
#include <string>

class LineReader {
public:
    // Far beyond any real table's lines (about 300 characters), small enough
    // that a file with no line feeds cannot exhaust memory.
    static constexpr std::size_t maxLineLength = 1 << 20;
    enum class Result { Line, TooLong, End, Error };

    explicit LineReader(std::FILE *fp);
    // Line: `line` holds the next line with its line feed, if it had one.
    // TooLong: the line was read to its end but not kept.
    Result next(std::string &line);

private:
    std::FILE *fp_;
    char buf_[65536] = {};
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

#endif
