#include "peak_mc.h"

#include <cstdint>
#include <cstdlib>

#include "sound_fit.h"

namespace {

constexpr int trials = 1000;

// A sin(PI J tau) + noise scaled by A, as the error simulation forms its
// reference peak (there A = 1, J = 300): the noise is relative to the peak.
void simulatedPeak(const FitRecord &r, float data[3])
{
    const float tau[3] = {tau0, tau1, tau2};
    for (int k = 0; k < 3; ++k) {
        const double phase = (static_cast<double>(r.J) * PI) * static_cast<double>(tau[k]);
        const float g = grand(r.snr);
        data[k] = static_cast<float>((std::sin(phase) + static_cast<double>(g)) *
                                     static_cast<double>(r.A));
    }
}

}  // namespace

Precision peakPrecision(const FitRecord &r, ClockFn clock)
{
    Precision p;
    if (r.snr == 0.0f || !std::isfinite(r.snr))
        return p;
    double sumA = 0.0;
    double sumJ = 0.0;
    for (int k = 1; k <= trials; ++k) {
        srandom(static_cast<std::uint32_t>(clock(nullptr)) + static_cast<std::uint32_t>(k));
        float data[3];
        simulatedPeak(r, data);
        PeakFit fit = soundFit(data);
        // (-A, -J) is the same model as (A, J): compare on the peak's branch.
        if ((fit.J < 0.0f && r.J > 0.0f) || (fit.J > 0.0f && r.J < 0.0f)) {
            fit.A = -fit.A;
            fit.J = -fit.J;
        }
        const double dA = static_cast<double>(fit.A) - static_cast<double>(r.A);
        const double dJ = static_cast<double>(fit.J) - static_cast<double>(r.J);
        sumA += dA * dA;
        sumJ += dJ * dJ;
    }
    p.errA = static_cast<float>(std::sqrt(sumA / trials));
    p.errJ = static_cast<float>(std::sqrt(sumJ / trials));
    return p;
}
