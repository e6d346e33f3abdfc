// Pictures of the fits: plain SVG 1.1, written by the program itself.
#ifndef KOVA_SVG_PLOT_H
#define KOVA_SVG_PLOT_H

#include <string>
#include <vector>

#include "assignment_fits.h"
#include "peak_mc.h"

// One panel per reported peak, in the report's order: the three intensities,
// the fitted curve, a zero line, and a title with the numbers. `precision`
// is empty or holds one entry per peak.
std::string fitsSvg(const std::vector<Reported> &peaks, const std::vector<Precision> &precision);

// The error simulation's fitted J over its trials, as a histogram, with the
// reference J marked.
std::string histogramSvg(const std::vector<float> &fittedJ, float snr);

// Writes `svg` to a temporary file beside `file` and renames it into place,
// so that a failed run never leaves half a picture. On failure returns false
// with the reason in `error`.
bool writeSvgFile(const std::string &file, const std::string &svg, std::string *error);

#endif
