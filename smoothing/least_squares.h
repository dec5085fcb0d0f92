#pragma once

#include <utility>
#include <vector>

enum class FitResult {
    Success,
    Failed,       // too few points, or a singular or nearly singular normal matrix
    OutOfMemory,  // the working arrays could not be allocated
};

// Least-squares polynomial of degree nDegree through nPoints (x, y) pairs, through the normal
// equations in double precision. On success c[0..nDegree] holds the coefficients, c[k] that
// of x^k. There must be more points than coefficients.
FitResult FitPolynomial(const double* x, const double* y, int nPoints, int nDegree, double* c);

struct GaussJordanResult {
    bool bSingular = false;     // no nonzero pivot was left
    double dDeterminant = 0.0;  // the elimination's product of pivots, capped at 1e100
    // (row, column) of each pivot in elimination order; the rounding of the result depends
    // on this order.
    std::vector<std::pair<int, int>> aPivots;
};

// Solves A x = b by Gauss-Jordan elimination with full pivoting. A is n by n, row-major, and
// left unchanged; b is overwritten with the solution. When pInverse is given it receives the
// inverse of A.
GaussJordanResult SolveGaussJordan(const std::vector<double>& a, std::vector<double>& b, int n,
                                   std::vector<double>* pInverse = nullptr);
