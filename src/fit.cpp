// Fitting engine: the sine model's objective F and the two-parameter downhill
// simplex (Nelder-Mead) that minimises it.
//
// The fits must reproduce the published numbers to the last printed digit, so
// every rounding below is deliberate: floats are stored, doubles are formed by
// explicit widening, and the build forbids fused multiply-add.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "kova.h"

static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must round to float at every step");

// F(A, J) = sqrt((r0^2 + r1^2 + r2^2) / 3) with r_k = A sin(PI J tau_k) - a_k.
// Each residual is a double difference rounded to float; the squares and their
// sum are float operations, left to right.
float F(const float *P)
{
    const double A = P[1];
    const double J = P[2];
    const float tau[3] = {tau0, tau1, tau2};
    const float data[3] = {a0, a1, a2};
    float r[3];
    for (int k = 0; k < 3; ++k) {
        const double phase = (J * PI) * static_cast<double>(tau[k]);
        r[k] = static_cast<float>(A * std::sin(phase) - static_cast<double>(data[k]));
    }
    float sum = r[0] * r[0] + r[1] * r[1];
    sum = sum + r[2] * r[2];
    return static_cast<float>(std::sqrt(static_cast<double>(sum) / 3.0));
}

namespace {

constexpr long maxIterations = 500000;
constexpr float alpha = 1.0f;   // reflection
constexpr float beta = 0.5f;    // contraction, and the shrink factor
constexpr float gamma_ = 2.0f;  // expansion

// A point of the (A, J) plane laid out like the parameter vector: x[1] = A,
// x[2] = J, x[0] unused, so F can be called on it directly.
struct Point {
    float x[3];
};

bool samePoint(const Point &p, const Point &q)
{
    return std::memcmp(&p.x[1], &q.x[1], 2 * sizeof(float)) == 0;
}

// The simplex with each vertex's objective value kept beside it. The classic
// formulation evaluates F at a vertex every time it needs the value; F is a
// pure function of the point, so evaluating it once per new point gives the
// same values, the same comparisons and the same path at a third of the cost.
struct Simplex {
    Point V[4];  // vertices 1..3
    float Y[4];  // F at each vertex
    long evaluations = 0;

    float eval(const Point &p)
    {
        ++evaluations;
        return F(p.x);
    }
    void replace(int i, const Point &p, float y)
    {
        V[i] = p;
        Y[i] = y;
    }
};

// An iteration is a function of the simplex it starts from (vertices and
// their cached values) and nothing else. So once the simplex at the start of
// an iteration is bit for bit one met before, the run is periodic from there.
// Brent's method finds the period with one saved simplex: it is saved at
// a first iteration and again 1, 2, 4, 8, ... iterations later, and every
// simplex in between is compared with it.
// Bits are compared, not values, so a NaN value repeats like any other.
class CycleFinder {
public:
    // Call once per iteration, with the number of iterations made and the
    // simplex the next one starts from. Returns the period once the simplex
    // repeats, else 0. Runs that converge end within a few dozen
    // iterations, so the watch starts late enough to cost them nothing.
    long period(const Simplex &S, long n)
    {
        if (found_ || n < firstLook)
            return 0;
        if (n == firstLook) {
            save(S);
            return 0;
        }
        ++steps_;
        if (!sameState(S)) {
            if (steps_ == power_) {
                save(S);
                power_ *= 2;
                steps_ = 0;
            }
            return 0;
        }
        found_ = true;
        return steps_;
    }

private:
    struct State {
        float v[3][2];
        float y[3];
    };
    static constexpr long firstLook = 64;
    State saved_{};
    long power_ = 1;
    long steps_ = 0;
    bool found_ = false;

    static State stateOf(const Simplex &S)
    {
        State t{};
        for (int i = 1; i <= 3; ++i) {
            t.v[i - 1][0] = S.V[i].x[1];
            t.v[i - 1][1] = S.V[i].x[2];
            t.y[i - 1] = S.Y[i];
        }
        return t;
    }
    void save(const Simplex &S) { saved_ = stateOf(S); }
    bool sameState(const Simplex &S) const
    {
        const State now = stateOf(S);
        return std::memcmp(&now, &saved_, sizeof now) == 0;
    }
};

// C = mean of the two vertices other than the highest, h.
Point centroid(const Simplex &S, int h)
{
    Point C{};
    for (int j = 1; j <= 2; ++j) {
        float s = 0.0f;
        for (int i = 1; i <= 3; ++i)
            if (i != h)
                s = s + S.V[i].x[j];
        C.x[j] = s / 2.0f;
    }
    return C;
}

// R = (1 + alpha) C - alpha Vh
Point reflect(const Point &C, const Point &Vh)
{
    Point R{};
    for (int j = 1; j <= 2; ++j)
        R.x[j] = ((1.0f + alpha) * C.x[j]) - (alpha * Vh.x[j]);
    return R;
}

// E = gamma R + (1 - gamma) C
Point expand(const Point &R, const Point &C)
{
    Point E{};
    for (int j = 1; j <= 2; ++j)
        E.x[j] = (gamma_ * R.x[j]) + ((1.0f - gamma_) * C.x[j]);
    return E;
}

// K = Vh + beta (C - Vh)
Point contract(const Point &Vh, const Point &C)
{
    Point K{};
    for (int j = 1; j <= 2; ++j)
        K.x[j] = Vh.x[j] + (beta * (C.x[j] - Vh.x[j]));
    return K;
}

// Vi = Vi + beta (Vl - Vi) for every vertex in turn, in place, so vertices
// after l see l as the formula left it. Only vertices that moved are
// evaluated again; the lowest one normally stays where it is.
void shrink(Simplex &S, int l)
{
    for (int i = 1; i <= 3; ++i) {
        const Point before = S.V[i];
        for (int j = 1; j <= 2; ++j)
            S.V[i].x[j] = S.V[i].x[j] + (beta * (S.V[l].x[j] - S.V[i].x[j]));
        if (!samePoint(before, S.V[i]))
            S.Y[i] = S.eval(S.V[i]);
    }
}

// One iteration up to its convergence test: ranks the vertices, leaves the
// centroid in C and replaces the highest vertex by E, R or K, or shrinks the
// simplex. Returns F at the centroid, which the convergence test needs.
float iterate(Simplex &S, Point &C)
{
    // CHC1: rank the vertices; strict tests keep ties at the lower index,
    // and a value that is not a number never takes a rank.
    int h = 1;
    int l = 1;
    float yLo = S.Y[1];
    float yHi = S.Y[1];
    for (int i = 2; i <= 3; ++i) {
        if (S.Y[i] < yLo) {
            yLo = S.Y[i];
            l = i;
        }
        if (S.Y[i] > yHi) {
            yHi = S.Y[i];
            h = i;
        }
    }
    C = centroid(S, h);
    const float yC = S.eval(C);
    const Point R = reflect(C, S.V[h]);
    const float yR = S.eval(R);

    bool worseThanAll = true;  // the check flag
    if (yR < yLo) {
        // EXPANSION: a failed expansion still takes R, through CHC2.
        const Point E = expand(R, C);
        const float yE = S.eval(E);
        if (yE < yLo) {
            S.replace(h, E, yE);
            return yC;
        }
        worseThanAll = false;
    } else {
        // R is worse than every other vertex unless one is no better; the
        // check stops at the first such vertex.
        for (int i = 1; i <= 3 && worseThanAll; ++i)
            if (i != h && yR <= S.Y[i])
                worseThanAll = false;
    }

    // CHC2: accept R, or contract towards the centroid, or shrink.
    if (!worseThanAll) {
        S.replace(h, R, yR);
        return yC;
    }
    if (yR <= yHi)
        S.replace(h, R, yR);
    const Point K = contract(S.V[h], C);
    const float yK = S.eval(K);
    yHi = S.Y[h];
    if (yK > yHi)
        shrink(S, l);
    else
        S.replace(h, K, yK);
    return yC;
}

}  // namespace

bool simplexGoesOn(float m, long n)
{
    return static_cast<double>(m) > 1e-5 && n < maxIterations;
}

int simplex(float *P, float *rms, SimplexStats *stats)
{
    Simplex S;
    for (int i = 1; i <= 3; ++i) {
        S.V[i].x[0] = 0.0f;
        S.V[i].x[1] = P[1];
        S.V[i].x[2] = P[2];
    }
    // The first step: vertex 2 half as large again in A, vertex 3 in J.
    const double A0 = S.V[2].x[1];
    const double J0 = S.V[3].x[2];
    S.V[2].x[1] = static_cast<float>(A0 + A0 * 0.5);
    S.V[3].x[2] = static_cast<float>(J0 + J0 * 0.5);
    for (int i = 1; i <= 3; ++i)
        S.Y[i] = S.eval(S.V[i]);

    Point C{};
    long n = 0;
    CycleFinder cycles;
    for (;;) {
        const float yC = iterate(S, C);

        // CONVERGE: m = RMS difference of the vertex values from the value
        // at the centroid taken before this iteration moved anything.
        float s = 0.0f;
        for (int i = 1; i <= 3; ++i)
            s = s + ((S.Y[i] - yC) * (S.Y[i] - yC));
        const float m = static_cast<float>(std::sqrt(static_cast<double>(s / 3.0f)));
        ++n;
        if (!simplexGoesOn(m, n))
            break;
        // In a cycle every later iteration repeats one already made, so
        // only the cap can end the run: jump over whole periods. Iteration
        // n + k p leaves the same simplex and centroid as iteration n.
        if (const long p = cycles.period(S, n)) {
            n += (maxIterations - n) / p * p;
            if (!simplexGoesOn(m, n))
                break;
        }
    }

    // The result is the last centroid, not the best vertex.
    P[1] = C.x[1];
    P[2] = C.x[2];
    *rms = F(P);
    if (stats != nullptr) {
        stats->iterations = n;
        stats->evaluations = S.evaluations + 1;
    }
    return 0;
}
