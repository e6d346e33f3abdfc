// Linear error propagation for the three-point model, the yardstick of the
// Monte Carlo tests.
#ifndef KOVA_TESTS_PROPAGATION_H
#define KOVA_TESTS_PROPAGATION_H

#include <cmath>

struct Propagated {
    double errA, errJ;
};

// The standard deviations sigma sqrt(diag((J^T J)^-1)) of A and J for a peak
// (A, J) at the default delays, with sigma the error simulation's noise at
// the given S/N relative to A: sqrt(1/3 - 2/pi^2) / (0.36 S/N) times A.
inline Propagated propagatedErrors(double A, double J, double snr)
{
    const double taus[3] = {0.00193, 0.00373, 0.00722};
    double aa = 0, aj = 0, jj = 0;
    for (double t : taus) {
        const double dA = std::sin(M_PI * J * t);
        const double dJ = A * M_PI * t * std::cos(M_PI * J * t);
        aa += dA * dA;
        aj += dA * dJ;
        jj += dJ * dJ;
    }
    const double det = aa * jj - aj * aj;
    const double sigma = std::fabs(A) * std::sqrt(1.0 / 3.0 - 2.0 / (M_PI * M_PI)) / (0.36 * snr);
    return {sigma * std::sqrt(jj / det), sigma * std::sqrt(aa / det)};
}

#endif
