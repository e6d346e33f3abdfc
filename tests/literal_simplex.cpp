#include "literal_simplex.h"

#include <cmath>

#include "kova.h"

namespace {

long evaluations;

// F at vertex or point p (coordinates 1 and 2), through a scratch point.
float Fat(const float *p)
{
    ++evaluations;
    float scratch[3] = {0.0f, p[1], p[2]};
    return F(scratch);
}

}  // namespace

int literalSimplex(float *P, float *rms, LiteralStats *stats)
{
    evaluations = 0;
    const float alpha = 1.0f, beta = 0.5f, gamma = 2.0f;
    float V[4][3];
    float C[3], R[3], E[3], K[3];
    int h = 1, l = 1, flag = 0;
    float y, yLo, yHi, yC, yR, yE, yK, s, m;
    long n;

    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 2; ++j)
            V[i][j] = P[j];
    V[2][1] = static_cast<float>(static_cast<double>(V[2][1]) + static_cast<double>(V[2][1]) * 0.5);
    V[3][2] = static_cast<float>(static_cast<double>(V[3][2]) + static_cast<double>(V[3][2]) * 0.5);
    n = 0;

CHC1:
    y = Fat(V[1]);
    yHi = yLo = y;
    h = l = 1;
    for (int i = 2; i <= 3; ++i) {
        y = Fat(V[i]);
        if (y < yLo) {
            yLo = y;
            l = i;
        }
        if (y > yHi) {
            yHi = y;
            h = i;
        }
    }
    for (int j = 1; j <= 2; ++j) {
        s = 0.0f;
        for (int i = 1; i <= 3; ++i)
            if (i != h)
                s = s + V[i][j];
        C[j] = s / 2.0f;
    }
    yC = Fat(C);
    for (int j = 1; j <= 2; ++j)
        R[j] = ((1.0f + alpha) * C[j]) - (alpha * V[h][j]);
    yR = Fat(R);
    if (yR < yLo)
        goto EXPANSION;
    flag = 1;
    for (int i = 1; i <= 3 && flag == 1; ++i) {
        if (i != h) {
            y = Fat(V[i]);
            if (yR <= y)
                flag = 0;
        }
    }

CHC2:
    if (flag == 0) {
        for (int j = 1; j <= 2; ++j)
            V[h][j] = R[j];
        goto CONVERGE;
    }
    if (yR <= yHi)
        for (int j = 1; j <= 2; ++j)
            V[h][j] = R[j];
    for (int j = 1; j <= 2; ++j)
        K[j] = V[h][j] + (beta * (C[j] - V[h][j]));
    yK = Fat(K);
    yHi = Fat(V[h]);
    if (yK > yHi) {
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 2; ++j)
                V[i][j] = V[i][j] + (beta * (V[l][j] - V[i][j]));
    } else {
        for (int j = 1; j <= 2; ++j)
            V[h][j] = K[j];
    }
    goto CONVERGE;

EXPANSION:
    for (int j = 1; j <= 2; ++j)
        E[j] = (gamma * R[j]) + ((1.0f - gamma) * C[j]);
    yE = Fat(E);
    if (yE < yLo) {
        for (int j = 1; j <= 2; ++j)
            V[h][j] = E[j];
        goto CONVERGE;
    }
    flag = 0;
    goto CHC2;

CONVERGE:
    s = 0.0f;
    for (int i = 1; i <= 3; ++i) {
        y = Fat(V[i]);
        s = s + ((y - yC) * (y - yC));
    }
    m = static_cast<float>(std::sqrt(static_cast<double>(s / 3.0f)));
    n = n + 1;
    if (static_cast<double>(m) > 1e-5 && n < 500000)
        goto CHC1;

    P[1] = C[1];
    P[2] = C[2];
    *rms = F(P);
    ++evaluations;
    if (stats != nullptr) {
        stats->iterations = n;
        stats->evaluations = evaluations;
    }
    return 0;
}
