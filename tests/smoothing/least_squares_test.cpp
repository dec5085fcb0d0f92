#include "smoothing/least_squares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

double Evaluate(const std::vector<double>& c, double x) {
    double v = c.back();
    for (std::size_t k = c.size() - 1; k-- > 0;) {
        v = v * x + c[k];
    }
    return v;
}

TEST(FitPolynomial, ReproducesALineThroughThreePoints) {
    const double x[] = {40, 90, 150};
    const double y[] = {3.8, 4.8, 6.0};  // y = 3 + 0.02 x
    std::vector<double> c(2);
    ASSERT_EQ(FitPolynomial(x, y, 3, 1, c.data()), FitResult::Success);
    EXPECT_NEAR(c[0], 3.0, 1e-9);
    EXPECT_NEAR(c[1], 0.02, 1e-11);
}

TEST(FitPolynomial, ReproducesExactPolynomialsOverTheAngleRange) {
    // A quadratic, a cubic and a quintic sampled at angles between 0 and 180 degrees.
    const std::vector<std::vector<double>> polynomials = {
        {1.5, 0.08, -0.0003},
        {2.0, 0.1, -0.0009, 2.0e-6},
        {0.5, 0.2, -0.004, 3.0e-5, -1.0e-7, 1.2e-10}};
    for (const auto& truth : polynomials) {
        std::vector<double> x;
        std::vector<double> y;
        for (double a = 20; a <= 180; a += 15) {
            x.push_back(a);
            y.push_back(Evaluate(truth, a));
        }
        const int nDegree = static_cast<int>(truth.size()) - 1;
        std::vector<double> c(truth.size());
        ASSERT_EQ(FitPolynomial(x.data(), y.data(), static_cast<int>(x.size()), nDegree, c.data()),
                  FitResult::Success);
        for (double a = 20; a <= 180; a += 5) {
            EXPECT_NEAR(Evaluate(c, a), Evaluate(truth, a), 1e-6)
                << "degree " << nDegree << " at " << a;
        }
    }
}

TEST(FitPolynomial, FailsWithoutMorePointsThanCoefficients) {
    const double x[] = {40, 90, 150};
    const double y[] = {4, 6, 5};
    std::vector<double> c(3, 7.0);
    EXPECT_EQ(FitPolynomial(x, y, 3, 2, c.data()), FitResult::Failed);
    EXPECT_EQ(c, std::vector<double>(3, 7.0));  // untouched
    EXPECT_EQ(FitPolynomial(x, y, 2, 1, c.data()), FitResult::Failed);
}

TEST(FitPolynomial, FailsOnSingularOrNearlySingularOrNaNData) {
    std::vector<double> c(3);
    const double zeros[] = {0, 0, 0, 0};
    const double y[] = {1, 2, 3, 4};
    EXPECT_EQ(FitPolynomial(zeros, y, 4, 2, c.data()), FitResult::Failed);
    const double same[] = {90, 90, 90, 90};
    EXPECT_EQ(FitPolynomial(same, y, 4, 1, c.data()), FitResult::Failed);
    // Solvable, but the determinant (6e-10) is below the threshold.
    const double tiny[] = {0, 1e-5, 2e-5};
    EXPECT_EQ(FitPolynomial(tiny, y, 3, 1, c.data()), FitResult::Failed);
    const double withNaN[] = {40, std::numeric_limits<double>::quiet_NaN(), 90, 120};
    EXPECT_EQ(FitPolynomial(withNaN, y, 4, 1, c.data()), FitResult::Failed);
}

TEST(SolveGaussJordan, TiesGoToTheFirstElementInRowMajorOrder) {
    const std::vector<double> a = {1, 2, 2, 1};
    std::vector<double> b = {3, 3};
    std::vector<double> inverse;
    const GaussJordanResult r = SolveGaussJordan(a, b, 2, &inverse);
    ASSERT_EQ(r.aPivots.size(), 2u);
    EXPECT_EQ(r.aPivots[0], std::make_pair(0, 1));
    EXPECT_EQ(r.aPivots[1], std::make_pair(0, 0));
    EXPECT_DOUBLE_EQ(r.dDeterminant, -3.0);
    EXPECT_DOUBLE_EQ(b[0], 1.0);
    EXPECT_DOUBLE_EQ(b[1], 1.0);
    // inverse of [[1,2],[2,1]] is [[-1,2],[2,-1]] / 3
    EXPECT_NEAR(inverse[0], -1.0 / 3, 1e-15);
    EXPECT_NEAR(inverse[1], 2.0 / 3, 1e-15);
    EXPECT_NEAR(inverse[2], 2.0 / 3, 1e-15);
    EXPECT_NEAR(inverse[3], -1.0 / 3, 1e-15);
}

TEST(SolveGaussJordan, CapsTheDeterminantAndLeavesTheMatrixAlone) {
    const std::vector<double> a = {1e80, 0, 0, 0, 1e80, 0, 0, 0, 0.5};
    std::vector<double> b = {1e80, 2e80, 1};
    const std::vector<double> copy = a;
    const GaussJordanResult r = SolveGaussJordan(a, b, 3);
    EXPECT_EQ(r.dDeterminant, 5e99);  // 1e160 capped to 1e100, then times the last pivot
    EXPECT_EQ(a, copy);
    EXPECT_DOUBLE_EQ(b[0], 1.0);
    EXPECT_DOUBLE_EQ(b[1], 2.0);
    EXPECT_DOUBLE_EQ(b[2], 2.0);
}

TEST(SolveGaussJordan, ReportsASingularMatrix) {
    std::vector<double> b = {1, 1};
    const GaussJordanResult r = SolveGaussJordan({1, 2, 2, 4}, b, 2);
    EXPECT_TRUE(r.bSingular);
    EXPECT_EQ(r.dDeterminant, 0.0);
}

}  // namespace
