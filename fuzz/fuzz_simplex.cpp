// Differential: the program's simplex (cached values, cycle skipping) against
// the literal uncached rendering, on data points, delays and a start taken
// from the input as raw floats; and the sound fit against its definition.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kova.h"
#include "literal_simplex.h"
#include "sound_fit.h"

namespace {

bool sameBits(float x, float y)
{
    return std::memcmp(&x, &y, sizeof x) == 0;
}

void checkSimplex(const float start[2])
{
    float P[3] = {0.0f, start[0], start[1]}, Q[3] = {0.0f, start[0], start[1]};
    float rmsP = 0.0f, rmsQ = 0.0f;
    SimplexStats cached;
    LiteralStats literal;
    simplex(P, &rmsP, &cached);
    literalSimplex(Q, &rmsQ, &literal);
    if (!sameBits(P[1], Q[1]) || !sameBits(P[2], Q[2]) || !sameBits(rmsP, rmsQ) ||
        cached.iterations != literal.iterations)
        __builtin_trap();
}

// A normalised fit is the plain simplex on a_k / (sigma 2^(e-7)) from
// (1.1, 260), its A multiplied back, its RMS F on the peak's own data.
void checkNormalisedFit(const float data[3])
{
    const float m =
        std::fmax(std::fabs(data[0]), std::fmax(std::fabs(data[1]), std::fabs(data[2])));
    if (m == 0.0f || !std::isfinite(m))
        return;
    int e = 0;
    std::frexp(m, &e);
    for (const int sigma : {1, -1}) {
        const PeakFit got = normalisedFit(data, e, sigma);
        a0 = std::ldexp(data[0], 7 - e) * static_cast<float>(sigma);
        a1 = std::ldexp(data[1], 7 - e) * static_cast<float>(sigma);
        a2 = std::ldexp(data[2], 7 - e) * static_cast<float>(sigma);
        float P[3] = {0.0f, 1.1f, 260.0f}, rms = 0.0f;
        simplex(P, &rms);
        const float A = std::ldexp(P[1], e - 7) * static_cast<float>(sigma);
        a0 = data[0], a1 = data[1], a2 = data[2];
        const float at[3] = {0.0f, A, P[2]};
        if (!sameBits(got.A, A) || !sameBits(got.J, P[2]) || !sameBits(got.rms, F(at)))
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *input, std::size_t size)
{
    float v[8];
    if (size < sizeof v)
        return 0;
    std::memcpy(v, input, sizeof v);
    a0 = v[0], a1 = v[1], a2 = v[2];
    tau0 = v[3], tau1 = v[4], tau2 = v[5];
    checkSimplex(v + 6);
    checkNormalisedFit(v);
    return 0;
}
