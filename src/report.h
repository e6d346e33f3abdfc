// The table mode's report, as text for people or as TSV for other programs,
// and the error simulation's TSV row.
#ifndef KOVA_REPORT_H
#define KOVA_REPORT_H

#include <cstdio>
#include <vector>

#include "assignment_fits.h"
#include "peak_mc.h"

// One line per peak; `precision` is empty, or holds one entry per peak.
void writeReport(std::FILE *out, const std::vector<Reported> &peaks,
                 const std::vector<Precision> &precision);
void writeReportTsv(std::FILE *out, const std::vector<Reported> &peaks,
                    const std::vector<Precision> &precision);

void writeSimulationTsv(std::FILE *out, float snr, float errA, float errJ);

#endif
