// The nmrDraw 3D peak table's line format: which lines are peaks, the fields
// a peak line must have, and the VARS line that tells the table's dimension.
#ifndef KOVA_PEAK_TABLE_H
#define KOVA_PEAK_TABLE_H

#include <string>
#include <string_view>

constexpr int peakFields = 36;

// What one table line holds.
struct Peak {
    int index = 0;  // field 1
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

// For a VARS line that shows a table other than 3D, what it is, e.g. "a 2D
// peak table (its VARS line has no Z_AXIS)"; empty for any other line.
std::string notThreeDimensional(const std::string &line);

// A table's text as a warning may show it: at most 40 bytes, every byte that
// is not printable ASCII written as \xHH, so that no escape sequence reaches
// the terminal and no NUL byte cuts the warning short.
std::string quoteField(std::string_view text);

#endif
