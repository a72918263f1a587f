#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineKernel.h"
#include "sparse/SkylineReference.h"

using namespace skytest;

namespace {

const char kNoBufAccess[] =
    "The element buffer of SparseMatrix has not been allocated, while doing operator()";

CSparseMatrix Assembled(std::vector<int> D, std::vector<double> values) {
    CSparseMatrix m(static_cast<int>(D.size()), D.data());
    m = 0.0;
    std::copy(values.begin(), values.end(), m.m_pdElement);
    return m;
}

}  // namespace

TEST(CSparseMatrixAccess, MirrorsShareStorageAndOutsideTheProfileIsASilentZero) {
    Messages msgs;
    CSparseMatrix m = Assembled({0, 2, 5}, {1, 2, 3, 4, 5, 6});
    m(0, 1) = 7.0;
    m(1, 0) = 8.0;  // the value written last stays
    EXPECT_EQ(m.m_pdElement[1], 8.0);
    EXPECT_EQ(m(0, 1), 8.0);
    CSparseMatrix r = Assembled({0, 1, 3}, {1, 2, 3, 4});  // row 2 starts at column 1
    EXPECT_EQ(r(2, 1), 3.0);
    r(2, 0) = 99.0;  // outside the profile: lands in the shared zero element
    EXPECT_EQ(r(0, 2), 0.0);
    EXPECT_EQ(r(2, 0), 0.0);
    EXPECT_TRUE(msgs.texts.empty());
}

TEST(CSparseMatrixAccess, RefusalsShowTheirMessageRowBeforeColumn) {
    struct Case {
        int i, j;
        bool allocated;
        const char* text;
    } cases[] = {
        {0, 0, false, kNoBufAccess},
        {3, 0, true, "The row is out of range, while doing operator()"},
        {-1, 0, true, "The row is out of range, while doing operator()"},
        {3, 3, true, "The row is out of range, while doing operator()"},
        {0, 3, true, "The col is out of range, while operator()"},
        {1, -1, true, "The col is out of range, while operator()"},
    };
    for (const Case& c : cases) {
        const int D[] = {0, 2, 5};
        CSparseMatrix m(3, D);
        if (c.allocated)
            m = 1.0;
        Messages msgs;
        double& r = m(c.i, c.j);
        EXPECT_EQ(msgs.Only(), c.text) << c.i << "," << c.j;
        EXPECT_EQ(r, 0.0);
    }
}

TEST(CSparseMatrixProfile, InvalidProfilesAreRefusedAndChangeNothing) {
    const std::vector<std::vector<int>> bad = {{},        {1},       {0, 0},     {0, 3},
                                               {0, 2, 2}, {0, 1, 5}, {0, -5, -4}};
    for (const auto& D : bad) {
        Messages msgs;
        CSparseMatrix fresh(static_cast<int>(D.size()), D.empty() ? nullptr : D.data());
        EXPECT_EQ(fresh.m_nRow, 1);
        EXPECT_EQ(fresh.m_bBufEmpty, 1);
        CSparseMatrix m = Assembled({0, 2}, {1, 2, 3});
        m.m_bDecomposed = 1;
        m.Realloc(static_cast<int>(D.size()), D.empty() ? nullptr : D.data());
        EXPECT_EQ(m.m_nRow, 2);
        EXPECT_EQ(Elements(m), (std::vector<double>{1, 2, 3}));
        EXPECT_EQ(m.m_bDecomposed, 1);
        ASSERT_EQ(msgs.texts.size(), 2u);
        EXPECT_EQ(msgs.texts[1], "The profile of SparseMatrix is not valid, while reallocating");
    }
    Messages msgs;
    CSparseMatrix none(2, nullptr);
    EXPECT_EQ(msgs.texts.size(), 1u);
}

TEST(CSparseMatrixState, FlagsAfterEachOperationOnAFactorisedMatrix) {
    const std::vector<int> D = {0, 2, 4};
    struct Case {
        const char* name;
        std::function<void(CSparseMatrix&)> op;
        int decomposed, bufEmpty;
    } cases[] = {
        {"scalar", [](CSparseMatrix& m) { m = 2.0; }, 1, 0},
        {"scale", [](CSparseMatrix& m) { m *= 2.0; }, 1, 0},
        {"bufRealloc", [](CSparseMatrix& m) { m.ElementBufRealloc(); }, 1, 0},
        {"bufEmpty", [](CSparseMatrix& m) { m.ElementBufEmpty(); }, 0, 1},
        {"realloc", [&](CSparseMatrix& m) { m.Realloc(3, D.data()); }, 0, 1},
        {"add", [](CSparseMatrix& m) { m += CSparseMatrix(m); }, 0, 0},
        {"deleteLast", [](CSparseMatrix& m) { m.DeleteLastLine(); }, 0, 0},
        {"copy", [](CSparseMatrix& m) { m = CSparseMatrix(m); }, 1, 0},
    };
    for (const Case& c : cases) {
        CSparseMatrix m = Assembled(D, {4, 2, 5, 1, 3});
        ASSERT_EQ(m.Decomposition(3), 1);
        c.op(m);
        EXPECT_EQ(m.m_bDecomposed, c.decomposed) << c.name;
        EXPECT_EQ(m.m_bBufEmpty, c.bufEmpty) << c.name;
    }
}

TEST(CSparseMatrixArithmetic, AddKeepsTheLeftProfileAndTheLeadingBlock) {
    // Same profile: element by element.
    CSparseMatrix a = Assembled({0, 2, 5}, {1, 1, 1, 1, 1, 1});
    a += Assembled({0, 2, 5}, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Elements(a), (std::vector<double>{2, 3, 4, 5, 6, 7}));
    // A taller order-4 profile into a shorter order-3 one: overlapping positions only.
    CSparseMatrix s = Assembled({0, 1, 3}, {1, 1, 1, 1});
    s += Assembled({0, 2, 5, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(s.m_nRow, 3);
    EXPECT_EQ(Elements(s), (std::vector<double>{2, 4, 6, 7}));
    // Order 4 left, order 3 right: row 3 is not touched.
    CSparseMatrix t = Assembled({0, 2, 5, 9}, std::vector<double>(10, 1.0));
    t += Assembled({0, 2, 5}, {1, 1, 1, 1, 1, 1});
    EXPECT_EQ(Elements(t), (std::vector<double>{2, 2, 2, 2, 2, 2, 1, 1, 1, 1}));
}

TEST(CSparseMatrixArithmetic, RefusalsWithoutABufferShowTheirMessage) {
    const int D[] = {0, 2};
    CSparseMatrix empty(2, D);
    CSparseMatrix full = Assembled({0, 2}, {1, 2, 3});
    Messages msgs;
    empty *= 2.0;
    full += empty;
    empty += full;
    empty.DeleteLastLine();
    CSparseMatrix one = Assembled({0}, {5});
    one.DeleteLastLine();
    EXPECT_EQ(msgs.texts,
              (std::vector<std::string>{
                  "The element buffer of SparseMatrix has not been allocated, while multiplying",
                  "The element buffer of SparseMatrix has not been allocated, while adding",
                  "The element buffer of SparseMatrix has not been allocated, while adding",
                  "The element buffer of SparseMatrix has not been allocated, while deleting the "
                  "last line",
                  "The order of SparseMatrix is 1, while deleting the last line"}));
    EXPECT_EQ(Elements(full), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(empty.m_nRow, 2);
    EXPECT_EQ(one.m_nRow, 1);
    EXPECT_EQ(one.m_pdElement[0], 5.0);
}

TEST(CSparseMatrixArithmetic, CopyIsDeepAndDeleteLastLineKeepsTheLeadingBlock) {
    CSparseMatrix a = Assembled({0, 2, 5}, {1, 2, 3, 4, 5, 6});
    CSparseMatrix b(a);
    b(0, 0) = 9.0;
    EXPECT_EQ(a(0, 0), 1.0);
    b = b;
    EXPECT_EQ(b(0, 0), 9.0);
    a.DeleteLastLine();
    EXPECT_EQ(a.m_nRow, 2);
    EXPECT_EQ(std::vector<int>(a.m_pnDiag, a.m_pnDiag + 2), (std::vector<int>{0, 2}));
    EXPECT_EQ(Elements(a), (std::vector<double>{1, 2, 3}));
    a *= 2.0;
    EXPECT_EQ(Elements(a), (std::vector<double>{2, 4, 6}));
}

// ---------------------------------------------------------------------------------------------
// Factorisation and solution, for every kernel.

class SkylineKernels : public ::testing::TestWithParam<rvn::SkylineKernel> {
protected:
    KernelScope scope{GetParam()};
};

TEST_P(SkylineKernels, FactorsEqualTheLiteralRecurrenceOnRandomProfiles) {
    std::mt19937 rng(7);
    for (Shape shape : {kFull, kBand, kVariable, kDiagonal, kTallLast}) {
        for (int n : {1, 2, 3, 5, 13, 50, 97, 130, 260}) {
            const std::vector<int> D = MakeProfile(shape, n, rng);
            CSparseMatrix m(n, D.data());
            FillSpd(m, D, rng);
            std::vector<double> ref = Elements(m);
            ASSERT_EQ(LiteralFactor(ref, D, n), 1);
            ASSERT_EQ(m.Decomposition(n), 1);
            const double tol = GetParam() == rvn::SkylineKernel::Literal ? 0.0 : 1e-13;
            for (int i = 0; i < n; ++i) {
                for (int j = First(D, i); j <= i; ++j) {
                    const double want = ref[D[i] - (i - j)];
                    const double scale =
                        std::max(std::fabs(want), std::sqrt(ref[D[i]] * ref[D[j]]));
                    ASSERT_LE(std::fabs(m(i, j) - want), tol * scale)
                        << "hmax " << shape.hmax << " n " << n << " (" << i << "," << j << ")";
                }
            }
        }
    }
}

TEST_P(SkylineKernels, ExactFactorsReconstructLdltAndStopAtAZeroPivotLikeTheLiteral) {
    std::mt19937 rng(11);
    // Tridiagonal: the first row that reaches the zero pivot starts exactly at it.
    for (Shape shape : {kFull, kVariable, kTallLast, kTridiagonal}) {
        for (int n : {2, 17, 61, 150}) {
            const std::vector<int> D = MakeProfile(shape, n, rng);
            CSparseMatrix m(n, D.data());
            const std::vector<double> G = FillExact(m, D, rng);
            ASSERT_EQ(m.Decomposition(n), 1);
            EXPECT_EQ(Elements(m), G) << "L D L^T, n " << n;

            // A zero pivot at row z: the literal keeps the rows before the failing one
            // factorised, overwrites part of the failing row and leaves the rest alone.
            const int z = n / 2 - (n > 2 ? 1 : 0);
            m.ElementBufEmpty();
            FillExact(m, D, rng, z);
            std::vector<double> ref = Elements(m);
            const int refOk = LiteralFactor(ref, D, n);
            EXPECT_EQ(m.Decomposition(n), refOk);
            EXPECT_EQ(m.m_bDecomposed, refOk);
            EXPECT_EQ(Elements(m), ref) << "zero pivot at " << z << ", n " << n;
        }
    }
}

TEST_P(SkylineKernels, SolveMatchesTheSystemAndReusesTheFactors) {
    std::mt19937 rng(3);
    for (int n : {1, 4, 40, 211}) {
        const std::vector<int> D = MakeProfile(kVariable, n, rng);
        CSparseMatrix m(n, D.data());
        FillSpd(m, D, rng);
        const CSparseMatrix k(m);
        std::vector<double> b(n), x(n);
        CMatrix X(n, 1);
        for (double& v : b)
            v = std::uniform_real_distribution<double>(-5, 5)(rng);
        x = b;
        ASSERT_EQ(m.LdltSolve(n, x.data()), 1);
        const std::vector<double> factors = Elements(m);
        for (int i = 0; i < n; ++i)
            X(i, 0) = x[i];
        const CMatrix KX = k * X;
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(KX(i, 0), b[i], 1e-12 * k.m_pdElement[D[i]]) << "n " << n << " row " << i;
        std::vector<double> y = b;
        ASSERT_EQ(m.LdltSolve(n, y.data()), 1);
        EXPECT_EQ(y, x);
        EXPECT_EQ(Elements(m), factors);
    }
}

TEST_P(SkylineKernels, SmallSystemsGiveTheirKnownFactorsAndSolutions) {
    // Rows (4, 2, 0), (2, 5, 1), (0, 1, 3), row 2 starting at column 1.
    CSparseMatrix m = Assembled({0, 2, 4}, {4, 2, 5, 1, 3});
    double b[] = {6, 8, 4};
    ASSERT_EQ(m.LdltSolve(3, b), 1);
    EXPECT_EQ(Elements(m), (std::vector<double>{4, 2, 4, 1, 2.75}));
    for (double v : b)
        EXPECT_NEAR(v, 1.0, 1e-15);

    CSparseMatrix one = Assembled({0}, {4});
    double c = 2.0;
    EXPECT_EQ(one.LdltSolve(1, &c), 1);
    EXPECT_EQ(c, 0.5);
    CSparseMatrix zero = Assembled({0}, {0});
    EXPECT_EQ(zero.Decomposition(1), 1);
    EXPECT_EQ(zero.LdltSolve(1, &c), 0);

    // A diagonal matrix is its own factor.
    CSparseMatrix diag = Assembled({0, 1, 2}, {2, 4, 8});
    double e[] = {2, 2, 2};
    ASSERT_EQ(diag.LdltSolve(3, e), 1);
    EXPECT_EQ(std::vector<double>(e, e + 3), (std::vector<double>{1, 0.5, 0.25}));

    // K(1,1) = K(1,0)^2 / K(0,0): the second pivot is 0, found silently by the solve.
    Messages msgs;
    CSparseMatrix sing = Assembled({0, 2}, {2, 4, 8});
    double f[] = {1, 1};
    EXPECT_EQ(sing.LdltSolve(2, f), 0);
    EXPECT_EQ(sing.m_bDecomposed, 1);
    EXPECT_TRUE(msgs.texts.empty());
}

TEST_P(SkylineKernels, ManyRightHandSidesEqualColumnByColumnSolves) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-3, 3);
    for (int n : {1, 7, 60, 150}) {
        const std::vector<int> D = MakeProfile(kVariable, n, rng);
        CSparseMatrix k(n, D.data());
        FillSpd(k, D, rng);
        for (int width : {1, 3, 6, 17, 33}) {
            CMatrix B(n + 1, width);  // one row more than the system: left alone
            for (int i = 0; i <= n; ++i)
                for (int c = 0; c < width; ++c)
                    B(i, c) = u(rng);
            const CMatrix B0(B);
            CSparseMatrix m(k);
            ASSERT_EQ(m.LdltSolve(n, B), 1);
            for (int c = 0; c < width; ++c) {
                std::vector<double> x(n);
                for (int i = 0; i < n; ++i)
                    x[i] = B0(i, c);
                ASSERT_EQ(m.LdltSolve(n, x.data()), 1);
                double scale = 0.0;
                for (double v : x)
                    scale = std::max(scale, std::fabs(v));
                for (int i = 0; i < n; ++i)
                    ASSERT_NEAR(B(i, c), x[i], 1e-13 * scale) << "n " << n << " width " << width;
                EXPECT_EQ(B(n, c), B0(n, c));
            }
        }
    }
}

TEST_P(SkylineKernels, ZeroPivotInTheMatrixSolveShowsErrorInGkAfterColumnZeroOnly) {
    CSparseMatrix sing = Assembled({0, 2}, {2, 4, 8});
    CMatrix B(2, 3, 1.0);
    Messages msgs;
    EXPECT_EQ(sing.LdltSolve(2, B), 0);
    EXPECT_EQ(msgs.Only(), "Error in GK");
    EXPECT_EQ(B(0, 0), 0.5);   // divided by d_0
    EXPECT_EQ(B(1, 0), -1.0);  // reduced, then the zero pivot stops it
    EXPECT_EQ(B(0, 1), 1.0);
    EXPECT_EQ(B(1, 2), 1.0);
}

INSTANTIATE_TEST_SUITE_P(, SkylineKernels, ::testing::ValuesIn(Kernels()), [](const auto& info) {
    std::string s = rvn::SkylineKernelName(info.param);
    std::replace(s.begin(), s.end(), '-', '_');
    return s;
});

TEST(CSparseMatrixSolve, RefusalsShowTheirMessageAndChangeNothing) {
    CSparseMatrix m = Assembled({0, 2}, {4, 2, 5});
    CSparseMatrix zero = Assembled({0, 2}, {0, 2, 5});
    const int D[] = {0, 2};
    CSparseMatrix empty(2, D);
    double b[] = {1, 2};
    CMatrix small(1, 2, 1.0), B(2, 2, 1.0);
    Messages msgs;
    EXPECT_EQ(empty.Decomposition(2), 0);
    EXPECT_EQ(empty.LdltSolve(2, b), 0);
    EXPECT_EQ(m.Decomposition(0), 0);
    EXPECT_EQ(m.Decomposition(3), 0);
    EXPECT_EQ(m.LdltSolve(3, b), 0);
    EXPECT_EQ(m.LdltSolve(2, nullptr), 0);
    EXPECT_EQ(m.LdltSolve(2, small), 0);  // tested before factorising
    EXPECT_EQ(m.LdltSolve(0, B), 0);
    EXPECT_EQ(zero.LdltSolve(2, B), 0);  // d_0 = 0: silent
    EXPECT_EQ(msgs.texts,
              (std::vector<std::string>{
                  "The element buffer of SparseMatrix has not been allocated, while decomposing",
                  "The element buffer of SparseMatrix has not been allocated, while ldlt solving",
                  "The number of equations is out of range, while decomposing",
                  "The number of equations is out of range, while decomposing",
                  "The number of equations is out of range, while ldlt solving",
                  "The right-hand side of SparseMatrix is null, while ldlt solving",
                  "The row of Matrix is not enough, while ldlt solving",
                  "The number of equations is out of range, while ldlt solving"}));
    EXPECT_EQ(m.m_bDecomposed, 0);
    EXPECT_EQ(Elements(m), (std::vector<double>{4, 2, 5}));
    EXPECT_EQ(std::vector<double>(b, b + 2), (std::vector<double>{1, 2}));
    EXPECT_EQ(B(1, 1), 1.0);
}

TEST(CSparseMatrixSolve, LeadingRowsOnlyAreFactorised) {
    CSparseMatrix m = Assembled({0, 2, 5}, {4, 2, 5, 1, 1, 9});
    ASSERT_EQ(m.Decomposition(2), 1);
    EXPECT_EQ(Elements(m), (std::vector<double>{4, 2, 4, 1, 1, 9}));
}

TEST(SkylineKernelChoice, AutoRunsSmallProblemsBitForBitThroughTheLiteralRecurrence) {
    std::mt19937 rng(9);
    const std::vector<int> D = MakeProfile(kFull, 30, rng);  // 465 stored elements
    CSparseMatrix m(30, D.data());
    FillSpd(m, D, rng);
    std::vector<double> ref = Elements(m);
    ASSERT_EQ(LiteralFactor(ref, D, 30), 1);
    KernelScope scope(rvn::SkylineKernel::Auto);
    ASSERT_EQ(m.Decomposition(30), 1);
    EXPECT_EQ(Elements(m), ref);
    EXPECT_FALSE(rvn::SetSkylineKernel(static_cast<rvn::SkylineKernel>(7)));
    EXPECT_EQ(rvn::GetSkylineKernel(), rvn::SkylineKernel::Auto);
}

TEST(CSparseMatrixProduct, IsTheFullSymmetricProductAndRefusesABadOperand) {
    // Rows (4, 2, 0), (2, 5, 1), (0, 1, 3).
    CSparseMatrix k = Assembled({0, 2, 4}, {4, 2, 5, 1, 3});
    const double full[3][3] = {{4, 2, 0}, {2, 5, 1}, {0, 1, 3}};
    CMatrix I(3, 3);
    for (int i = 0; i < 3; ++i)
        I(i, i) = 1.0;
    const CMatrix R = k * I;
    ASSERT_EQ(R.GetRow(), 3);
    ASSERT_EQ(R.GetCol(), 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(R(i, j), full[i][j]) << i << "," << j;
    CMatrix B(3, 2);
    B(0, 0) = 1, B(1, 0) = -2, B(2, 0) = 3, B(0, 1) = 0.5, B(1, 1) = 4, B(2, 1) = -1;
    const CMatrix P = k * B;
    for (int i = 0; i < 3; ++i)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(P(i, c), full[i][0] * B(0, c) + full[i][1] * B(1, c) + full[i][2] * B(2, c));

    const int D[] = {0, 2, 4};
    CSparseMatrix empty(3, D);
    Messages msgs;
    EXPECT_EQ((empty * I).GetRow(), 0);
    EXPECT_EQ((k * CMatrix(2, 3)).GetRow(), 0);
    EXPECT_EQ(
        msgs.texts,
        (std::vector<std::string>{
            "The element buffer of SparseMatrix has not been allocated, while multiplying",
            "The row of Matrix does not match the order of SparseMatrix, while multiplying"}));
}
