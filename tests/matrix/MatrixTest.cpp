// mtxkit::Matrix<double>: storage rules, error reporting, arithmetic, shape editing and the
// analysis members (reached through CMatrix, which republishes them).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "BaseCommon/matrix/CMatrix.h"
#include "matrix/MatrixTestUtil.h"

using matrix_test::ExpectMisMatch;
using matrix_test::ExpectOutOfRange;
using matrix_test::M;
using matrix_test::SameBits;

namespace {

// The template members that CMatrix does not republish under their own name and result.
struct Exposed : mtxkit::Matrix<double> {
    using Matrix::Diag;
    using Matrix::Matrix;
    using Matrix::Rank;
    using Matrix::Unit;
};

// The cofactor expansion along row 0 and the adjugate, written out recursively.
double NaiveDet(CMatrix m) {
    const int n = m.GetRow();
    if (n == 0)
        return 0.0;
    if (n == 1)
        return m(0, 0);
    if (n == 2)
        return m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0);
    double sum = 0.0;
    double sign = 1.0;
    for (int j = 0; j < n; ++j) {
        sum += sign * m(0, j) * NaiveDet(m.GetAij(0, j));
        sign *= -1.0;
    }
    return sum;
}

CMatrix NaiveInverse(CMatrix m) {
    const int n = m.GetRow();
    const double d = NaiveDet(m);
    CMatrix adj(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            adj(j, i) = ((i + j) % 2 ? -1.0 : 1.0) * NaiveDet(m.GetAij(i, j));
    return adj * (1.0 / d);
}

}  // namespace

TEST(MatrixCore, ResizeLimitsAndFailedResizeKeepsContents) {
    EXPECT_EQ(CMatrix(4096, 1).GetRow(), 4096);
    EXPECT_EQ(CMatrix(0, 4096).GetCol(), 4096);
    ExpectOutOfRange([] { CMatrix(4097, 1); }, 4097, -1, "at Resize");
    ExpectOutOfRange([] { CMatrix(1, 4097); }, -1, 4097, "at Resize");
    ExpectOutOfRange([] { CMatrix(1, -1); }, -1, -1, "at Resize");
    ExpectOutOfRange([] { CMatrix(-2, -1); }, -2, -1, "at Resize");

    CMatrix m = M(2, 2, {1, 2, 3, 4});
    const CMatrix before = m;
    ExpectOutOfRange([&] { m.Resize(2, 5000, 0.0); }, -1, 5000, "at Resize");
    EXPECT_TRUE(SameBits(m, before));
    m.Resize(2, 2, 7.0);  // same shape: a re-initialisation all the same
    EXPECT_TRUE(SameBits(m, CMatrix(2, 2, 7.0)));
    m.Realloc(1, 3);
    EXPECT_TRUE(SameBits(m, CMatrix(1, 3)));
}

TEST(MatrixCore, EqualityNeedsSameShapeAndExactElements) {
    EXPECT_TRUE(CMatrix() == CMatrix(0, 0));
    EXPECT_TRUE(CMatrix(0, 3) != CMatrix(3, 0));
    EXPECT_TRUE(CMatrix(0, 3) != CMatrix(0, 2));
    EXPECT_TRUE(M(1, 2, {0.0, 1.0}) == M(1, 2, {-0.0, 1.0}));
    EXPECT_TRUE(M(1, 2, {0.0, 1.0}) != M(1, 2, {0.0, std::nextafter(1.0, 2.0)}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(M(1, 1, {nan}) == M(1, 1, {nan}), 0);
}

// Every index fault with its message and index pair, and the matrix unchanged after it.
TEST(MatrixCore, IndexFaultsCarryMessageAndIndexPair) {
    struct Case {
        std::function<void(CMatrix&)> call;
        int row, col;
        const char* msg;
    };
    const std::vector<double> three(3, 1.0);
    const Case cases[] = {
        {[](CMatrix& m) { m.SetValue(2, 0, 1.0); }, 2, -1, "at SetValue"},
        {[](CMatrix& m) { m.SetValue(0, 3, 1.0); }, -1, 3, "at SetValue"},
        {[](CMatrix& m) { m.SetValue(-1, 9, 1.0); }, -1, -1, "at SetValue"},
        {[](CMatrix& m) { m[2]; }, 2, -1, "at []"},
        {[](CMatrix& m) { m.GetRowVector(-1); }, -1, -1, "at GetRowVector"},
        {[](CMatrix& m) { m.GetColVector(3); }, -1, 3, "at GetColVector"},
        {[](CMatrix& m) { m.GetRow(2); }, 2, -1, "at GetRow"},
        {[](CMatrix& m) { m.GetCol(3); }, -1, 3, "at GetCol"},
        {[](CMatrix& m) { m.DeleteRow(2); }, 2, -1, "at DeleteRow"},
        {[](CMatrix& m) { m.DeleteCol(3); }, -1, 3, "at DeleteCol"},
        {[](CMatrix& m) { m.InsrtRow(2, 0.0); }, 2, -1, "at InsertRow"},
        {[](CMatrix& m) { m.InsrtCol(3, 0.0); }, -1, 3, "at InsertCol"},
        {[&](CMatrix& m) { m.SetRowVector(2, three); }, 2, -1, "at SetRowVector"},
        {[&](CMatrix& m) { m.SetColVector(3, three); }, -1, 3, "at SetColVector"},
        {[](CMatrix& m) { m.SwapRows(0, 5); }, 5, -1, "at SwapRows"},
        {[](CMatrix& m) { m.SwapRows(4, 5); }, 4, -1, "at SwapRows"},
        {[](CMatrix& m) { m.SwapColom(0, 3); }, -1, 3, "at SwapColom"},
        {[](CMatrix& m) { m.SwapColom(-1, 7); }, -1, -1, "at SwapColom"},
        {[](CMatrix& m) { m.GetAij(2, 0); }, 2, -1, "at GetAij"},
        {[](CMatrix& m) { m.GetAij(0, 3); }, -1, 3, "at GetAij"},
        {[](CMatrix& m) { m.Unit(0); }, 0, -1, "at Unit"},
        {[](CMatrix& m) { m.Unit(4097); }, 4097, -1, "at Unit"},
    };
    for (const Case& c : cases) {
        CMatrix m = M(2, 3, {1, 2, 3, 4, 5, 6});
        const CMatrix before = m;
        ExpectOutOfRange([&] { c.call(m); }, c.row, c.col, c.msg);
        EXPECT_TRUE(SameBits(m, before)) << c.msg;
    }
}

// Every shape fault with its exact text (the spelling is what callers match on).
TEST(MatrixCore, ShapeFaultsCarryExactMessages) {
    struct Case {
        std::function<void(CMatrix&)> call;
        const char* msg;
    };
    const CMatrix b32(3, 2, 1.0);
    const CMatrix b23(2, 3, 1.0);
    const Case cases[] = {
        {[&](CMatrix& m) { m + b32; }, "Error at + : The tow matrixs are not match for '+' ."},
        {[&](CMatrix& m) { m - b32; }, "Error at - : The tow matrixs are not match for '-' ."},
        {[&](CMatrix& m) { m* b23; }, "Error ar * : The two matrix are not match for '*'."},
        {[&](CMatrix& m) { m += b32; }, "Error at +=: The two matrixs are not match for '+'."},
        {[&](CMatrix& m) { m -= b32; }, "Error at -= : The two matrix are not match for '-' ."},
        {[&](CMatrix& m) { m *= b23; }, "Error at *= : The two matrix are not match for '*'."},
        {[](CMatrix& m) { m ^ -1; }, "Error at ^ : In a^t where t<0."},  // before the shape
        {[](CMatrix& m) { m ^ 2; }, "Error at ^ : The matrix is not square"},
        {[](CMatrix& m) { m ^= -1; }, "Error at ^= : In a^t where t<0"},
        {[](CMatrix& m) { m ^= 0; }, "Error at ^= : The matrix is not square"},
        {[](CMatrix& m) { m.Diag(); }, "Error in Diag(): Row not equal to Col"},
        {[](CMatrix& m) { m.Det(); }, "Error in Det(): The matrix is not square"},
        {[](CMatrix& m) { m.Inverse(); }, "Error in Det(): The matrix is not square"},
        {[](CMatrix& m) { m.CondNumber(); }, "Error in Det(): The matrix is not square"},
        {[](CMatrix& m) { m.Trace(); }, "Error in Trace(): The matrix is not square"},
        {[](CMatrix& m) { m.Radius(); }, "Error in Radius() : RowSize not equal to Colszie"},
    };
    for (const Case& c : cases) {
        CMatrix m = M(2, 3, {1, 2, 3, 4, 5, 6});
        const CMatrix before = m;
        ExpectMisMatch([&] { c.call(m); }, c.msg);
        EXPECT_TRUE(SameBits(m, before)) << c.msg;
    }
    ExpectMisMatch([] { CMatrix(1, 1, 2.0).GetAij(0, 0); },
                   "Error in GetAij(): It should be a matrix");
}

TEST(MatrixArithmetic, ProductSumsAndPowers) {
    const CMatrix a = M(2, 3, {1, 2, 3, 4, 5, 6});
    const CMatrix b = M(3, 2, {7, 8, 9, 10, 11, 12});
    EXPECT_TRUE(SameBits(a * b, M(2, 2, {58, 64, 139, 154})));
    EXPECT_TRUE(SameBits(a + a, a * 2.0));
    EXPECT_TRUE(SameBits(a - a, CMatrix(2, 3)));
    EXPECT_TRUE(SameBits(CMatrix(2, 0) * CMatrix(0, 3), CMatrix(2, 3)));

    std::mt19937 gen(7);
    const CMatrix s = matrix_test::Random(4, 4, gen);
    EXPECT_TRUE(SameBits(s ^ 0, M(4, 4, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})));
    EXPECT_TRUE(SameBits(CMatrix() ^ 0, CMatrix()));
    EXPECT_TRUE(SameBits(s ^ 1, s));
    EXPECT_TRUE(SameBits(s ^ 3, (s * s) * s));  // the running product times s, not s * (s * s)
    CMatrix p = s;
    p ^= 3;
    EXPECT_TRUE(SameBits(p, s ^ 3));
    p = s;
    p *= s;
    EXPECT_TRUE(SameBits(p, s * s));

    // The product sums each element from 0.0 in index order, so this cancels to exactly 0.
    const CMatrix row = M(1, 3, {1e16, 1.0, -1e16});
    const CMatrix col = M(3, 1, {1.0, 1.0, 1.0});
    EXPECT_EQ((row * col)(0, 0), 0.0);
}

TEST(MatrixShape, RowsAndColumnsFollowTheirRules) {
    CMatrix m(0, 3);
    m.AddRow(2.0);  // no first row to copy the length from: the column count is used
    EXPECT_TRUE(SameBits(m, CMatrix(1, 3, 2.0)));
    CMatrix e(2, 0);
    e.AddCol(5.0);
    EXPECT_TRUE(SameBits(e, CMatrix(2, 1, 5.0)));
    CMatrix none;
    none.AddCol(1.0);
    EXPECT_EQ(none.GetCol(), 1);
    EXPECT_EQ(none.GetRow(), 0);

    CMatrix a = M(2, 3, {1, 2, 3, 4, 5, 6});
    a.SetRowVector(0, {9, 9});  // one short: the row is cleared, no exception
    EXPECT_TRUE(SameBits(a, M(2, 3, {0, 0, 0, 4, 5, 6})));
    a.SetColVector(2, {7, 8, 9});
    EXPECT_TRUE(SameBits(a, M(2, 3, {0, 0, 0, 4, 5, 0})));
    a.SetColVector(0, {7, 8});
    a.SetRowVector(0, {1, 2, 3});
    EXPECT_TRUE(SameBits(a, M(2, 3, {1, 2, 3, 8, 5, 0})));
    a.SwapColom(0, 2);
    a.SwapRows(1, 1);
    EXPECT_TRUE(SameBits(a, M(2, 3, {3, 2, 1, 0, 5, 8})));
    a.InsrtRow(1, -1.0);
    a.InsrtCol(0, 4.0);
    EXPECT_TRUE(SameBits(a, M(3, 4, {4, 3, 2, 1, 4, -1, -1, -1, 4, 0, 5, 8})));
    EXPECT_EQ(a.GetColVector(1), (std::vector<double>{3, -1, 0}));
    EXPECT_TRUE(SameBits(a.GetRow(2), M(1, 4, {4, 0, 5, 8})));
    EXPECT_TRUE(SameBits(a.GetCol(3), M(3, 1, {1, -1, 8})));

    CMatrix one = M(2, 1, {1, 2});
    one.DeleteCol(0);
    EXPECT_EQ(one.GetRow(), 2);
    EXPECT_EQ(one.GetCol(), 0);
    EXPECT_TRUE(one[1].empty());

    EXPECT_TRUE(SameBits(M(2, 3, {1, 2, 3, 4, 5, 6}).Turn(), M(3, 2, {1, 4, 2, 5, 3, 6})));
    EXPECT_EQ(Exposed().Unit(4096).GetRowSize(), 4096);
    EXPECT_TRUE(SameBits(Exposed(2, 2, 3.0).Diag(), M(2, 2, {3, 0, 0, 3})));
}

TEST(MatrixShape, ToCDoubleHasZeroImaginaryParts) {
    const mtxkit::PMatrix<std::complex<double>> c = M(2, 3, {1, 2, 3, 4, 5, 6}).ToCDouble();
    ASSERT_EQ(c.GetRowSize(), 2);
    ASSERT_EQ(c.GetColSize(), 3);
    EXPECT_EQ(c.GetValue(1, 2), std::complex<double>(6, 0));
    EXPECT_EQ(c.GetValue(0, 1).imag(), 0.0);
}

TEST(MatrixAnalysis, DetAndInverseOfSmallCases) {
    EXPECT_EQ(M(2, 2, {1, 2, 3, 4}).Det(), -2.0);
    EXPECT_EQ(M(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1}).Det(), 1.0);
    EXPECT_EQ(CMatrix().Det(), 0.0);
    EXPECT_EQ(CMatrix(1, 1, -4.0).Det(), -4.0);
    EXPECT_TRUE(SameBits(M(2, 2, {1, 2, 3, 4}).Inverse(), M(2, 2, {-2, 1, 1.5, -0.5})));
    const char* zero = "Error in Inverse(): The det of the matrix is zero .";
    ExpectMisMatch([] { M(2, 2, {1, 2, 2, 4}).Inverse(); }, zero);
    ExpectMisMatch([] { CMatrix().Inverse(); }, zero);
    ExpectMisMatch([] { CMatrix(1, 1, 0.0).Inverse(); }, zero);
    ExpectMisMatch([] { CMatrix(1, 1, 2.0).Inverse(); },
                   "Error in GetAij(): It should be a matrix");
    ExpectMisMatch([] { M(2, 2, {1, 2, 2, 4}).CondNumber(); }, zero);
    EXPECT_DOUBLE_EQ(M(2, 2, {2, 0, 0, 4}).CondNumber(), std::sqrt(20.0) * std::sqrt(0.3125));
}

// The memoised expansion gives the recursive expansion's numbers to the bit.
TEST(MatrixAnalysis, DetAndInverseEqualRecursiveExpansionBitwise) {
    std::mt19937 gen(2024);
    for (int n = 2; n <= 8; ++n)
        for (int rep = 0; rep < 6; ++rep) {
            const CMatrix a = matrix_test::Random(n, n, gen, rep % 2 == 1);
            const double d = NaiveDet(a);
            EXPECT_TRUE(SameBits(a.Det(), d)) << "order " << n << ": " << a.Det() << " " << d;
            if (d != 0.0) {
                EXPECT_TRUE(SameBits(a.Inverse(), NaiveInverse(a))) << "order " << n;
            }
        }
}

// Beyond the exact-expansion order: LU and Gauss-Jordan, same values up to rounding.
TEST(MatrixAnalysis, LargeOrdersUseEliminationWithTheSameRefusal) {
    const int n = mtxkit::kExactCofactorMaxOrder + 3;
    std::mt19937 gen(5);
    CMatrix a = matrix_test::Random(n, n, gen);
    const CMatrix inv = a.Inverse();
    const CMatrix prod = a * inv;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            EXPECT_NEAR(prod(i, j), i == j ? 1.0 : 0.0, 1e-9);

    // det(A) * det(A^-1) = 1 checks the LU determinant's magnitude and its pivoting sign.
    EXPECT_NEAR(a.Det() * inv.Det(), 1.0, 1e-9);
    CMatrix swapped = a;
    swapped.SwapRow(0, n - 1);
    EXPECT_EQ(swapped.Det(), -a.Det());

    for (int i = 0; i < n; ++i)
        a(i, 4) = 0.0;
    EXPECT_EQ(a.Det(), 0.0);
    ExpectMisMatch([&] { a.Inverse(); }, "Error in Inverse(): The det of the matrix is zero .");
}

TEST(MatrixAnalysis, NormTraceRadiusRank) {
    const CMatrix d = M(2, 2, {3, 0, 0, 4});
    for (int p : {0, 1, 2})
        EXPECT_EQ(d.Norm(p), 5.0);
    EXPECT_EQ(CMatrix(0, 3).Norm(1), 0.0);
    EXPECT_EQ(d.Trace(), 7.0);

    EXPECT_NEAR(M(2, 2, {2, 0, 0, 1}).Radius(), 2.0, 1e-6);
    EXPECT_EQ(CMatrix(3, 3).Radius(), 0.0);  // zero product: no direction to follow
    EXPECT_EQ(CMatrix().Radius(), 0.0);
    // Eigenvalues +-2: the estimate alternates between two values for ever; the capped
    // iteration returns the last one (an even round: |A z| for z along (4, 1)).
    EXPECT_NEAR(M(2, 2, {0, 4, 1, 0}).Radius(), 4.0 * std::sqrt(2.0) / std::sqrt(17.0), 1e-12);

    EXPECT_EQ(CMatrix(3, 3).Rank(), 0.0);
    EXPECT_EQ(CMatrix(0, 2).Rank(), 0.0);
    EXPECT_EQ(M(2, 2, {1, 2, 2, 4}).Rank(), 1.0);
    EXPECT_EQ(M(3, 2, {1, 0, 0, 1, 1, 1}).Rank(), 2.0);
    EXPECT_EQ(M(2, 2, {0, 1, 0, 0}).Rank(), 1.0);  // column 0 is dropped
    EXPECT_EQ(M(2, 2, {1, 0, 0, 1}).Rank(), 2.0);
    EXPECT_EQ(M(3, 3, {0, 0, 1, 0, 2, 0, 3, 0, 0}).Rank(), 3.0);  // pivots found by swapping
    EXPECT_EQ(Exposed(3, 4, 1.0).Rank(), 1);
    // Exact zero tests: 0.1 * 3 - 0.3 leaves a rounding residue that counts as rank.
    EXPECT_EQ(M(2, 2, {1, 0.1, 3, 0.3}).Rank(), 2.0);
}
