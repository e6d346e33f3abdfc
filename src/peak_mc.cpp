#include "peak_mc.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "sound_fit.h"

namespace {

constexpr int trials = 1000;

// A generator with random()'s sequence: the same type and size of state as
// random() has by default (128 bytes), reseeded like srandom.
class Generator {
public:
    Generator() { initstate_r(1, state_, sizeof state_, &data_); }
    void seed(std::uint32_t s) { srandom_r(s, &data_); }
    random_data *get() { return &data_; }

private:
    char state_[128] = {};
    random_data data_{};
};

// A sin(PI J tau) + noise scaled by A, as the error simulation forms its
// reference peak (there A = 1, J = 300): the noise is relative to the peak.
void simulatedPeak(const FitRecord &r, Generator &g, float data[3])
{
    const float tau[3] = {tau0, tau1, tau2};
    for (int k = 0; k < 3; ++k) {
        const double phase = (static_cast<double>(r.J) * PI) * static_cast<double>(tau[k]);
        const float noise = grand(r.snr, g.get());
        data[k] = static_cast<float>((std::sin(phase) + static_cast<double>(noise)) *
                                     static_cast<double>(r.A));
    }
}

}  // namespace

Precision peakPrecision(const FitRecord &r, ClockFn clock)
{
    Precision p;
    if (r.snr == 0.0f || !std::isfinite(r.snr))
        return p;
    Generator g;
    double sumA = 0.0;
    double sumJ = 0.0;
    for (int k = 1; k <= trials; ++k) {
        g.seed(static_cast<std::uint32_t>(clock(nullptr)) + static_cast<std::uint32_t>(k));
        float data[3];
        simulatedPeak(r, g, data);
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

// Peaks are handed out one at a time; each result goes to its peak's place,
// so the order of the report does not depend on which thread was faster.
std::vector<Precision> peaksPrecision(const std::vector<Reported> &peaks, ClockFn clock,
                                      unsigned threads, const std::function<void(size_t)> &done)
{
    std::vector<Precision> precision(peaks.size());
    std::atomic<size_t> next{0};
    std::atomic<size_t> finished{0};
    auto work = [&](bool reports) {
        for (size_t i = next++; i < peaks.size(); i = next++) {
            precision[i] = peakPrecision(*peaks[i].record, clock);
            const size_t count = ++finished;
            if (reports && done)
                done(count);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads && t < peaks.size(); ++t)
        helpers.emplace_back(work, false);
    work(true);
    for (std::thread &h : helpers)
        h.join();
    if (done)
        done(finished);
    return precision;
}
