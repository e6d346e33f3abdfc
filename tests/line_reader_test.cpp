// The line reader: lines across its buffer's edges, NUL bytes, no final
// line feed, and a line too long to keep.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "line_reader.h"
#include "run_kova.h"

namespace {

TEST(LineReader, ReturnsEveryLineWholeWithItsLineFeed)
{
    std::vector<std::string> lines = {"a\n",
                                      std::string(65535, 'b') + "\n",
                                      std::string(70000, 'c') + "\n",
                                      std::string("d\0e\n", 4),
                                      "\n",
                                      "last"};
    std::string all;
    for (const std::string &l : lines)
        all += l;
    TempDir dir;
    std::FILE *fp = std::fopen(dir.write("lines", all).c_str(), "r");
    ASSERT_NE(fp, nullptr);
    LineReader reader(fp);
    std::string got;
    for (const std::string &want : lines) {
        ASSERT_EQ(reader.next(got), LineReader::Result::Line);
        EXPECT_EQ(got, want);
    }
    EXPECT_EQ(reader.next(got), LineReader::Result::End);
    std::fclose(fp);
}

TEST(LineReader, TooLongLineIsReportedAndTheNextOneRead)
{
    TempDir dir;
    const std::string content = std::string(LineReader::maxLineLength + 1, 'z') + "\nok\n";
    std::FILE *fp = std::fopen(dir.write("long", content).c_str(), "r");
    ASSERT_NE(fp, nullptr);
    LineReader reader(fp);
    std::string got;
    EXPECT_EQ(reader.next(got), LineReader::Result::TooLong);
    EXPECT_LE(got.capacity(), LineReader::maxLineLength);
    EXPECT_EQ(reader.next(got), LineReader::Result::Line);
    EXPECT_EQ(got, "ok\n");
    std::fclose(fp);
}

}  // namespace
