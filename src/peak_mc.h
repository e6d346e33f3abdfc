// The precision of every peak's A and J, by Monte Carlo from the spectrum's
// noise: the error simulation's trials, made at the peak's own A, J and S/N.
#ifndef KOVA_PEAK_MC_H
#define KOVA_PEAK_MC_H

#include <cmath>
#include <functional>
#include <vector>

#include "assignment_fits.h"
#include "kova.h"

struct Precision {
    float errA = NAN;  // RMS deviation of the trials' A from the peak's
    float errJ = NAN;  // the same for J, Hz
};

// 1000 trials of the peak in `r`, each reseeded with the clock plus its
// number and fitted as the table mode fits. NaN for a peak whose S/N is zero
// or not finite: there is no noise level to draw from. The noise comes from
// a generator of the call's own, so calls may run side by side.
Precision peakPrecision(const FitRecord &r, ClockFn clock);

// peakPrecision of every peak, on up to `threads` threads; the results are
// those of one thread, in the peaks' order. `done` (if set) is called on the
// calling thread with the number of peaks finished so far.
std::vector<Precision> peaksPrecision(const std::vector<Reported> &peaks, ClockFn clock,
                                      unsigned threads,
                                      const std::function<void(size_t)> &done = nullptr);

#endif
