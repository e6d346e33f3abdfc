// Reading a peak table and keeping one fit per assignment number.
#ifndef KOVA_ASSIGNMENT_FITS_H
#define KOVA_ASSIGNMENT_FITS_H

#include <cstdio>
#include <string>
#include <vector>

// One fit per assignment number: the first five fields are the report's,
// the rest say where the fit came from, for the TSV report and the plots.
struct FitRecord {
    int fitted = 0;  // 1 once a fit has been stored
    float rms = 0.0f;
    float snr = 0.0f;  // peak height / NOISE
    float A = 0.0f;
    float J = 0.0f;

    long line = 0;  // the table line of the fit
    int index = 0;  // that line's field 1
    float height = 0.0f;
    float data[3] = {0.0f, 0.0f, 0.0f};  // its intensities
    int refit = 0;                       // 1 if the normalised fit was kept
};

// Records of the assignment numbers 0..499, indexed by the number; larger
// numbers are kept aside, one record per number met.
constexpr int recordCount = 500;
extern FitRecord M[recordCount];

struct TableRun {
    enum class Outcome { Read, ReadError, NotThreeD } outcome = Outcome::Read;
    int readErrno = 0;      // for ReadError
    std::string dimension;  // for NotThreeD: "a 2D peak table (...)"
    int largest = 0;        // the largest assignment number stored
    long fits = 0;          // peak lines fitted
    long refits = 0;        // of them, fits the normalised fit replaced
};

// Empties every record.
void clearRecords();

// Reads the table to its end, fits every assigned peak line into its record
// and writes a warning to `messages` for every line it cannot fit. Stops
// early at a read error or at a VARS line that is not 3D.
TableRun fitTable(std::FILE *table, std::FILE *messages);

// A record to report, in the report's order.
struct Reported {
    int assignment;
    const FitRecord *record;
};
// The fitted records from 1 up, after fitTable.
std::vector<Reported> reportedPeaks(int largest);

#endif
