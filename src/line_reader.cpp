#include "line_reader.h"

#include <cstring>

LineReader::LineReader(std::FILE *fp) : fp_(fp)
{
}

// Lines are cut out of a fixed buffer, so a table of any size is read with
// memory for one line of at most maxLineLength characters.
LineReader::Result LineReader::next(std::string &line)
{
    line.clear();
    bool tooLong = false;
    bool any = false;
    for (;;) {
        if (pos_ == len_) {
            len_ = std::fread(buf_, 1, sizeof buf_, fp_);
            pos_ = 0;
            if (len_ == 0) {
                if (std::ferror(fp_))
                    return Result::Error;
                if (!any)
                    return Result::End;
                break;
            }
        }
        any = true;
        const char *start = buf_ + pos_;
        const void *nl = std::memchr(start, '\n', len_ - pos_);
        const std::size_t take = nl ? static_cast<const char *>(nl) - start + 1 : len_ - pos_;
        if (!tooLong && line.size() + take > maxLineLength) {
            tooLong = true;
            std::string().swap(line);  // give the memory back at once
        }
        if (!tooLong)
            line.append(start, take);
        pos_ += take;
        if (nl)
            break;
    }
    return tooLong ? Result::TooLong : Result::Line;
}
