// Error simulation: how precisely the fit determines A and J at a given
// signal-to-noise ratio, by fitting 1000 noisy copies of a reference peak
// (A = 1, J = 300 Hz) at the three delays.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "kova.h"

namespace {

long draw(random_data *state)
{
    if (state == nullptr)
        return random();
    std::int32_t r = 0;
    random_r(state, &r);
    return r;
}

}  // namespace

// Raised-cosine noise by rejection: a candidate b, uniform on [-1, 1], is
// kept with probability cos^2(PI b / 2), so b has that density, mean 0 and
// variance 1/3 - 2/pi^2 (a standard deviation just above 0.36). Scaling by
// 1 / (0.36 ratio) makes the noise's standard deviation close to 1 / ratio.
// Each attempt takes two numbers from random(): first the acceptance number,
// then the candidate.
float grand(float ratio, random_data *state)
{
    float b;
    for (;;) {
        // LABEL1
        const float u = static_cast<float>(static_cast<double>(draw(state)) / 2147483647.0);
        const float v = static_cast<float>(static_cast<double>(draw(state)) / 2147483647.0);
        b = v * 2.0f - 1.0f;
        const double c = std::pow(std::cos(PI / 2.0 * static_cast<double>(b)), 2.0);
        if (!(static_cast<double>(u) > c))
            break;
    }
    return static_cast<float>(static_cast<double>(b) * (1.0 / (static_cast<double>(ratio) * 0.36)));
}

// SE: every trial reseeds the generator with the clock plus the trial
// number, so its noise depends on that seed alone.
SimulationErrors simulateErrors(ClockFn clock, std::vector<float> *fittedJ)
{
    constexpr int trials = 1000;
    const float *const delays[] = {&tau0, &tau1, &tau2};
    float *const points[] = {&a0, &a1, &a2};

    float sumA = 0.0f;
    float sumJ = 0.0f;
    for (int k = 1; k <= trials; ++k) {
        const std::uint32_t seed =
            static_cast<std::uint32_t>(clock(nullptr)) + static_cast<std::uint32_t>(k);
        srandom(seed);
        for (int i = 0; i < 3; ++i) {
            const double s = std::sin(PI * 300.0 * static_cast<double>(*delays[i]));
            const float g = grand(SN);
            *points[i] = static_cast<float>((s + static_cast<double>(g)) * 1.0);
        }
        float P[3] = {0.0f, 1.0f, 300.0f};
        float rms = 0.0f;
        simplex(P, &rms);
        if (fittedJ != nullptr)
            fittedJ->push_back(P[2]);
        sumA = static_cast<float>(static_cast<double>(sumA) +
                                  std::pow(static_cast<double>(P[1]) - 1.0, 2.0));
        sumJ = static_cast<float>(static_cast<double>(sumJ) +
                                  std::pow(static_cast<double>(P[2]) - 300.0, 2.0));
    }
    SimulationErrors e;
    e.errA = static_cast<float>(std::sqrt(static_cast<double>(sumA / 1000.0f)));
    e.errJ = static_cast<float>(std::sqrt(static_cast<double>(sumJ / 1000.0f)));
    return e;
}

void printSimulationSummary(const SimulationErrors &e)
{
    std::printf("S/N: %7.2f    ERR_A: %8.3f    ERR_J: %8.3f\n", static_cast<double>(SN),
                static_cast<double>(e.errA), static_cast<double>(e.errJ));
}

void SE(ClockFn clock)
{
    printSimulationSummary(simulateErrors(clock));
}
