// The peak table reader's parts, exposed for its tests.
#ifndef KOVA_PEAK_TABLE_H
#define KOVA_PEAK_TABLE_H

#include <cstddef>
#include <cstdio>
#include <string>

// One fit per assignment number.
struct FitRecord {
    int fitted = 0;  // 1 once a fit has been stored
    float rms = 0.0f;
    float snr = 0.0f;  // peak height / NOISE
    float A = 0.0f;
    float J = 0.0f;
};

// Records of the assignment numbers 0..499, indexed by the number; larger
// numbers are kept aside, one record per number met.
constexpr int recordCount = 500;
extern FitRecord M[recordCount];

constexpr int peakFields = 36;

// Reads a table line by line, a line of any length up to maxLineLength.
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

// What one table line holds.
struct Peak {
    float height = 0.0f;
    int assignment = 0;
    float intensity[3] = {0.0f, 0.0f, 0.0f};
    // For a malformed line: what is wrong with it, for the warning.
    std::string problem;
};

enum class PeakLine {
    NotPeak,     // a header, a blank line, anything not starting with blank or digit
    Unassigned,  // field 31 is "None"
    Malformed,   // a peak line that does not have the 3D layout
    Peak,        // an assigned peak, ready to fit
};

// Sorts a line and, for a peak, fills *peak with the fields the fit uses.
PeakLine classifyLine(const std::string &line, Peak *peak);

#endif
