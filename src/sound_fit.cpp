// Why the literal fit can be wrong, and how it is mended without changing a
// bit of the arithmetic.
//
// The simplex starts at A = 1.1, J = 260 and stops when the RMS values at its
// corners agree to within 1e-5, an absolute figure. Both suit intensities of
// order 1 to 1e5 with a positive sign. For raw spectrum units (1e6 and up)
// the first triangle's values can be equal in single precision and the run
// stops at once; for small intensities 1e-5 is a large part of the RMS and
// the run stops early; for a negative peak it often ends in a local minimum
// of the other sign.
//
// Dividing the intensities by a power of two divides every residual, square,
// sum and square root of F by exactly that power (no rounding changes away
// from underflow and overflow), so a fit on intensities scaled to 64..128 is
// the same arithmetic run where the start and the 1e-5 rule are the right
// size. It replaces the literal fit only when it is clearly better, so tables
// the literal fit got right print exactly what they always printed. Both
// signs are tried, as a fit started at positive A can end in a minimum of
// the other sign.
#include "sound_fit.h"

#include <cmath>

#include "kova.h"

namespace {

void setDataPoints(const float data[3])
{
    a0 = data[0];
    a1 = data[1];
    a2 = data[2];
}

float rmsAt(float A, float J)
{
    const float P[3] = {0.0f, A, J};
    return F(P);
}

}  // namespace

PeakFit literalFit(const float data[3])
{
    setDataPoints(data);
    float P[3] = {0.0f, 1.1f, 260.0f};
    PeakFit fit;
    simplex(P, &fit.rms);
    fit.A = P[1];
    fit.J = P[2];
    return fit;
}

// a_k / (sigma s) with s = 2^(e - 7), and back: ldexp is that division
// exactly (and stays exact where s itself is too small to be a float).
PeakFit normalisedFit(const float data[3], int e, int sigma)
{
    float scaled[3];
    for (int k = 0; k < 3; ++k)
        scaled[k] = std::ldexp(data[k], 7 - e) * static_cast<float>(sigma);
    PeakFit fit = literalFit(scaled);
    fit.A = std::ldexp(fit.A, e - 7) * static_cast<float>(sigma);
    setDataPoints(data);
    fit.rms = rmsAt(fit.A, fit.J);
    return fit;
}

PeakFit soundFit(const float data[3])
{
    const PeakFit literal = literalFit(data);
    const float m =
        std::fmax(std::fabs(data[0]), std::fmax(std::fabs(data[1]), std::fabs(data[2])));
    if (m == 0.0f || !std::isfinite(m))
        return literal;
    // A normalised fit must beat the literal RMS by more than 1e-3 m. As
    // no RMS is negative, none can when the literal one is that small (or
    // not a number), and the two extra fits are not needed.
    const double bar = static_cast<double>(literal.rms) - 1e-3 * static_cast<double>(m);
    if (!(bar > 0.0))
        return literal;

    int e = 0;
    std::frexp(m, &e);  // m = f 2^e, f in [0.5, 1): m / 2^(e-7) in [64, 128)
    PeakFit best = normalisedFit(data, e, +1);
    const PeakFit negative = normalisedFit(data, e, -1);
    if (negative.rms < best.rms)
        best = negative;
    setDataPoints(data);
    if (!(static_cast<double>(best.rms) < bar))
        return literal;
    // (-A, -J) is the same curve with the same F to the bit (sin is odd and
    // negation is exact); the two runs find either, so report the one with
    // J >= 0, as J is reported everywhere else.
    if (best.J < 0.0f) {
        best.A = -best.A;
        best.J = -best.J;
    }
    best.refit = true;
    return best;
}
