// Peak table fitting: reads the nmrDraw table, fits every assigned peak line
// and reports one line per assignment number.
//
// A 3D peak line has the table's 33 columns and then the intensities at the
// three delays, 36 fields in all. Only fields 26 (height), 31 (assignment
// number) and 34-36 (intensities) are used, but every field must have the form
// its column has: a line that is cut short or shifted by a stray word would
// otherwise hand the wrong numbers to the fit, and nobody would notice.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "kova.h"
#include "peak_table.h"

FitRecord M[recordCount];

namespace {

// Assignment numbers beyond the static table, kept only for the numbers met.
std::map<int, FitRecord> highAssignments;

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

// `field 31 "G23CA" is not an assignment number`; long fields are cut to 40
// characters so that a warning stays one readable line.
std::string notOfForm(int field, std::string_view text, const char *expected)
{
    const std::string_view shown = text.substr(0, 40);
    return "field " + std::to_string(field) + " \"" + std::string(shown) + "\" is not " + expected;
}

FitRecord *recordFor(int n)
{
    if (n < recordCount)
        return &M[n];
    return &highAssignments[n];
}

void printRecord(int i, const FitRecord &r)
{
    std::printf("Assignment: %4d  RMS: %8.3f  S/N: %7.2f A: % 9.3f J: % 9.3f\n", i,
                static_cast<double>(r.rms), static_cast<double>(r.snr), static_cast<double>(r.A),
                static_cast<double>(r.J));
}

}  // namespace

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
        const size_t take = nl ? static_cast<const char *>(nl) - start + 1 : len_ - pos_;
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
        if (k == heightField)
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

namespace {

void fitPeak(const Peak &peak)
{
    a0 = peak.intensity[0];
    a1 = peak.intensity[1];
    a2 = peak.intensity[2];
    float P[3] = {0.0f, 1.1f, 260.0f};
    float rms = 0.0f;
    simplex(P, &rms);

    FitRecord *r = recordFor(peak.assignment);
    r->fitted = 1;
    r->rms = rms;
    r->snr = peak.height / NOISE;
    r->A = P[1];
    r->J = P[2];
}

void clearRecords()
{
    for (FitRecord &r : M)
        r = FitRecord{};
    highAssignments.clear();
}

void printReport(int largest)
{
    for (int i = 1; i <= largest && i < recordCount; ++i)
        if (M[i].fitted != 0)
            printRecord(i, M[i]);
    // Every record here was made by a fit.
    for (const auto &entry : highAssignments)
        printRecord(entry.first, entry.second);
}

}  // namespace

void peakTableStage()
{
    clearRecords();
    std::FILE *table = std::fopen(nmrDrawTab.c_str(), "r");
    if (table == nullptr) {
        std::printf("Error opening input file %s ...\n", nmrDrawTab.c_str());
        std::exit(1);
    }

    int largest = 0;
    LineReader reader(table);
    std::string line;
    long lineNumber = 0;
    for (;;) {
        const LineReader::Result got = reader.next(line);
        if (got == LineReader::Result::End)
            break;
        if (got == LineReader::Result::Error) {
            std::printf("Error reading input file %s: %s\n", nmrDrawTab.c_str(),
                        std::strerror(errno));
            std::exit(1);
        }
        ++lineNumber;
        if (got == LineReader::Result::TooLong) {
            std::printf("Warning: line %ld: longer than %zu characters, skipped\n", lineNumber,
                        LineReader::maxLineLength);
            continue;
        }
        Peak peak;
        switch (classifyLine(line, &peak)) {
        case PeakLine::NotPeak:
        case PeakLine::Unassigned:
            break;
        case PeakLine::Malformed:
            std::printf("Warning: line %ld: %s, line not fitted\n", lineNumber,
                        peak.problem.c_str());
            break;
        case PeakLine::Peak:
            fitPeak(peak);
            if (peak.assignment > largest)
                largest = peak.assignment;
            break;
        }
        // ENDLOOP
    }
    printReport(largest);
    // The table stays open until the program ends.
}
