// The table mode's fit: the literal simplex run from (1.1, 260), repeated in
// normalised units when that run stopped short of the minimum.
#ifndef KOVA_SOUND_FIT_H
#define KOVA_SOUND_FIT_H

struct PeakFit {
    float A = 0.0f;
    float J = 0.0f;
    float rms = 0.0f;    // F at (A, J) on the peak's own intensities
    bool refit = false;  // the normalised fit replaced the literal one
};

// The fit from the table mode's start, exactly as the simplex makes it.
PeakFit literalFit(const float data[3]);

// The literal fit on the data divided by sigma 2^(e - 7), rescaled: the same
// arithmetic, run where the data are 64 to 128 in size.
PeakFit normalisedFit(const float data[3], int e, int sigma);

// The literal fit, unless a normalised one (of either sign) has an RMS lower
// by more than 1e-3 of the largest intensity; a normalised fit is reported
// with J >= 0 (as (-A, -J), the same curve, if it came out negative).
// Leaves a0, a1, a2 = data.
PeakFit soundFit(const float data[3]);

#endif
