// The simplex written step for step as the algorithm states it, evaluating F
// at a vertex every time the algorithm needs the vertex's value. Test-only:
// it is the reference the program's simplex must match bit for bit.
#ifndef KOVA_TESTS_LITERAL_SIMPLEX_H
#define KOVA_TESTS_LITERAL_SIMPLEX_H

struct LiteralStats {
    long iterations = 0;
    long evaluations = 0;
};

int literalSimplex(float *P, float *rms, LiteralStats *stats = nullptr);

#endif
