// The peak table's line format.
//
// A 3D peak line has the table's 33 columns and then the intensities at the
// three delays, 36 fields in all. Only fields 26 (height), 31 (assignment
// number) and 34-36 (intensities) are used, but every field must have the form
// its column has: a line that is cut short or shifted by a stray word would
// otherwise hand the wrong numbers to the fit, and nobody would notice.
#include "peak_table.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The column types of fields 1..36: 'd' an integer, 'f' a number (the
// layout's %f and %e read the same forms).
constexpr char fieldKinds[] = " dffffffffffffffffffddddddffffddddfff";
static_assert(sizeof(fieldKinds) == peakFields + 2, "one kind per field");

constexpr int heightField = 26;
constexpr int assignmentField = 31;
constexpr int firstIntensityField = 34;

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// An optionally signed decimal integer that fits in 32 bits, the whole field.
bool parseInt(std::string_view field, int *value)
{
    size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    if (i == field.size())
        return false;
    long long v = 0;
    for (; i < field.size(); ++i) {
        if (!isDigit(field[i]))
            return false;
        v = v * 10 + (field[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    *value = static_cast<int>(v);
    return true;
}

// A number as strtof reads it, rounded once to single precision, that takes
// the whole field. The field lies in a zero-terminated line and ends at white
// space or the end of the line, where strtof stops anyway.
bool parseFloat(std::string_view field, float *value)
{
    char *end = nullptr;
    const float v = std::strtof(field.data(), &end);
    if (end != field.data() + field.size())
        return false;
    *value = v;
    return true;
}

// Splits off up to the first `max` fields; returns how many the line has,
// counting at most max + 1.
int splitFields(const std::string &line, std::string_view *fields, int max)
{
    int count = 0;
    size_t i = 0;
    while (count <= max) {
        while (i < line.size() && isWhite(line[i]))
            ++i;
        if (i == line.size())
            break;
        const size_t start = i;
        while (i < line.size() && !isWhite(line[i]))
            ++i;
        if (count < max)
            fields[count] = std::string_view(line).substr(start, i - start);
        ++count;
    }
    return count;
}

// `field 31 "G23CA" is not an assignment number`
std::string notOfForm(int field, std::string_view text, const char *expected)
{
    return "field " + std::to_string(field) + " \"" + quoteField(text) + "\" is not " + expected;
}

bool isPrintable(unsigned char c)
{
    return c >= 0x20 && c < 0x7f;
}

}  // namespace

PeakLine classifyLine(const std::string &line, Peak *peak)
{
    // The peak picker writes the index right-aligned in 4 or 5 columns, so
    // a peak line begins with a blank, or with a digit once the index fills
    // the column. Headers begin with a letter.
    if (line.empty() || !(line[0] == ' ' || isDigit(line[0])))
        return PeakLine::NotPeak;

    std::string_view fields[peakFields];
    const int count = splitFields(line, fields, peakFields);
    if (count == 0)
        return PeakLine::NotPeak;
    if (count >= assignmentField && fields[assignmentField - 1] == "None")
        return PeakLine::Unassigned;

    for (int k = 1; k <= peakFields; ++k) {
        if (k > count) {
            peak->problem = "has only " + std::to_string(count) + " of " +
                            std::to_string(peakFields) + " fields";
            return PeakLine::Malformed;
        }
        const std::string_view f = fields[k - 1];
        int i = 0;
        float x = 0.0f;
        const bool ok = fieldKinds[k] == 'd' ? parseInt(f, &i) : parseFloat(f, &x);
        if (!ok) {
            const char *expected = k == assignmentField   ? "an assignment number"
                                   : fieldKinds[k] == 'd' ? "an integer"
                                                          : "a number";
            peak->problem = notOfForm(k, f, expected);
            return PeakLine::Malformed;
        }
        if (k >= firstIntensityField && !std::isfinite(x)) {
            peak->problem = notOfForm(k, f, "a finite intensity");
            return PeakLine::Malformed;
        }
        if (k == 1)
            peak->index = i;
        else if (k == heightField)
            peak->height = x;
        else if (k == assignmentField)
            peak->assignment = i;
        else if (k >= firstIntensityField)
            peak->intensity[k - firstIntensityField] = x;
    }
    if (peak->assignment < 0) {
        peak->problem = "has the negative assignment number " + std::to_string(peak->assignment);
        return PeakLine::Malformed;
    }
    return PeakLine::Peak;
}

std::string quoteField(std::string_view text)
{
    std::string quoted;
    for (const char c : text.substr(0, 40)) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (isPrintable(byte)) {
            quoted += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            quoted += hex;
        }
    }
    return quoted;
}

namespace {

// The whole words of a line.
std::vector<std::string_view> wordsOf(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isWhite(line[i]))
            ++i;
        const size_t start = i;
        while (i < line.size() && !isWhite(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

}  // namespace

// nmrDraw names its axes X, Y, Z and A in the VARS line: a 3D table has the
// first three, a 2D table no Z_AXIS and a 4D table an A_AXIS as well. Other
// columns only start with these letters (Z_A0 in a seriesTab table).
std::string notThreeDimensional(const std::string &line)
{
    if (line.compare(0, 4, "VARS") != 0)
        return "";
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty() || words[0] != "VARS")
        return "";
    bool has[4] = {false, false, false, false};
    const char *const axes[4] = {"X_AXIS", "Y_AXIS", "Z_AXIS", "A_AXIS"};
    for (const std::string_view w : words)
        for (int a = 0; a < 4; ++a)
            if (w == axes[a])
                has[a] = true;
    if (has[3])
        return "a 4D peak table (its VARS line has an A_AXIS)";
    if (!has[1])
        return "a 1D peak table (its VARS line has no Y_AXIS)";
    if (!has[2])
        return "a 2D peak table (its VARS line has no Z_AXIS)";
    return "";
}
