// mtxkit::Matrix<double>: storage rules, error reporting, arithmetic, shape editing and the
// analysis members (reached through CMatrix, which republishes them).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <complex>
#include <functional>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "BaseCommon/matrix/CMatrix.h"
#include "matrix/MatrixTestUtil.h"

using matrix_test::ExpectFault;
using matrix_test::M;
using matrix_test::SameBits;

namespace {

// The cofactor expansion along row 0 and the adjugate, written out recursively.
double NaiveDet(CMatrix m) {
    const int n = m.GetRow();
    if (n < 3)
        return n == 0 ? 0.0 : n == 1 ? m(0, 0) : m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0);
    double sum = 0.0, sign = 1.0;
    for (int j = 0; j < n; ++j, sign = -sign)
        sum += sign * m(0, j) * NaiveDet(m.GetAij(0, j));
    return sum;
}

CMatrix NaiveInverse(CMatrix m) {
    const int n = m.GetRow();
    CMatrix adj(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            adj(j, i) = ((i + j) % 2 ? -1.0 : 1.0) * NaiveDet(m.GetAij(i, j));
    return adj * (1.0 / NaiveDet(m));
}

}  // namespace

TEST(MatrixCore, ResizeLimitsReinitialisationAndEquality) {
    EXPECT_EQ(CMatrix(4096, 1).GetRow(), 4096);
    EXPECT_EQ(CMatrix(0, 4096).GetCol(), 4096);
    ExpectFault([] { CMatrix(4097, 1); }, "at Resize", 4097, -1);
    ExpectFault([] { CMatrix(1, 4097); }, "at Resize", -1, 4097);
    ExpectFault([] { CMatrix(-2, -1); }, "at Resize", -2, -1);  // the row first
    CMatrix m = M(2, 2, {1, 2, 3, 4});
    ExpectFault([&] { m.Resize(2, 5000, 0.0); }, "at Resize", -1, 5000);
    EXPECT_TRUE(SameBits(m, M(2, 2, {1, 2, 3, 4})));
    m.Resize(2, 2, 7.0);  // same shape: a re-initialisation all the same
    EXPECT_TRUE(SameBits(m, CMatrix(2, 2, 7.0)));
    EXPECT_TRUE(SameBits(m.Realloc(1, 3), CMatrix(1, 3)));
    // Equality needs the same shape and exactly equal elements.
    EXPECT_TRUE(CMatrix(0, 3) != CMatrix(3, 0));
    EXPECT_TRUE(M(1, 2, {0.0, 1.0}) == M(1, 2, {-0.0, 1.0}));
    EXPECT_TRUE(M(1, 2, {0.0, 1.0}) != M(1, 2, {0.0, std::nextafter(1.0, 2.0)}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(M(1, 1, {nan}) == M(1, 1, {nan}), 0);
}

// Every fault, the template's and CMatrix's own, with its exact text (the spelling is what
// callers match on) and index pair, and the matrix unchanged after it. Sizes beyond int are
// reported clamped (r1 - r0 of two ints).
TEST(MatrixCore, FaultsCarryExactMessageAndIndexPairAndChangeNothing) {
    const std::vector<double> three(3, 1.0);
    const CMatrix b32(3, 2, 1.0), b23(2, 3, 1.0);
    int r02[] = {0, 2}, r0[] = {0}, c3[] = {3};
    const struct {
        std::function<void(CMatrix&)> call;
        const char* msg;
        int row = matrix_test::kMisMatch, col = matrix_test::kMisMatch;
    } cases[] = {
        {[](CMatrix& m) { m.SetValue(2, 0, 1.0); }, "at SetValue", 2, -1},
        {[](CMatrix& m) { m.SetValue(0, 3, 1.0); }, "at SetValue", -1, 3},
        {[](CMatrix& m) { m.SetValue(-1, 9, 1.0); }, "at SetValue", -1, -1},
        {[](CMatrix& m) { m[2]; }, "at []", 2, -1},
        {[](CMatrix& m) { m.GetRowVector(-1); }, "at GetRowVector", -1, -1},
        {[](CMatrix& m) { m.GetColVector(3); }, "at GetColVector", -1, 3},
        {[](CMatrix& m) { m.GetRow(2); }, "at GetRow", 2, -1},
        {[](CMatrix& m) { m.GetCol(3); }, "at GetCol", -1, 3},
        {[](CMatrix& m) { m.DeleteRow(2); }, "at DeleteRow", 2, -1},
        {[](CMatrix& m) { m.DeleteCol(3); }, "at DeleteCol", -1, 3},
        {[](CMatrix& m) { m.InsrtRow(2, 0.0); }, "at InsertRow", 2, -1},
        {[](CMatrix& m) { m.InsrtCol(3, 0.0); }, "at InsertCol", -1, 3},
        {[&](CMatrix& m) { m.SetRowVector(2, three); }, "at SetRowVector", 2, -1},
        {[&](CMatrix& m) { m.SetColVector(3, three); }, "at SetColVector", -1, 3},
        {[](CMatrix& m) { m.SwapRows(0, 5); }, "at SwapRows", 5, -1},
        {[](CMatrix& m) { m.SwapRows(4, 5); }, "at SwapRows", 4, -1},
        {[](CMatrix& m) { m.SwapColom(0, 3); }, "at SwapColom", -1, 3},
        {[](CMatrix& m) { m.SwapColom(-1, 7); }, "at SwapColom", -1, -1},
        {[](CMatrix& m) { m.GetAij(2, 0); }, "at GetAij", 2, -1},
        {[](CMatrix& m) { m.GetAij(0, 3); }, "at GetAij", -1, 3},
        {[](CMatrix& m) { m.Unit(0); }, "at Unit", 0, -1},
        {[](CMatrix& m) { m.Unit(4097); }, "at Unit", 4097, -1},
        {[](CMatrix& m) { m.DelRow(1, 5); }, "at DeleteRow", 5, -1},
        {[](CMatrix& m) { m.DelRow(-1, 1); }, "at DeleteRow", -1, -1},  // none deleted first
        {[](CMatrix& m) { m.DelCol(0, 3); }, "at DeleteCol", -1, 3},
        {[](CMatrix& m) { m.DelCol(-1, 2); }, "at DeleteCol", -1, -1},
        {[](CMatrix& m) { m.InsertRow(-1, 1); }, "at InsertRow", -1, -1},
        {[](CMatrix& m) { m.InsertCol(-2, 1); }, "at InsertCol", -1, -2},
        {[](CMatrix& m) { m.InsertRow(INT_MAX, 6); }, "at InsertRow", INT_MAX, -1},
        {[](CMatrix& m) { m.InsertCol(0, INT_MAX); }, "at InsertCol", -1, 0},
        {[](CMatrix& m) { m.GetPart(2, 1, 0, 2); }, "at Resize", -1, -1},  // sizes first
        {[](CMatrix& m) { m.GetPart(INT_MIN, 11, 0, 1); }, "at Resize", INT_MAX, -1},
        {[](CMatrix& m) { m.GetPart(1, INT_MIN, 0, 1); }, "at Resize", INT_MIN, -1},
        {[](CMatrix& m) { m.GetPart(0, 1, INT_MAX, -2); }, "at Resize", -1, INT_MIN},
        {[](CMatrix& m) { m.GetPart(-5000, 1, 0, 1); }, "at Resize", 5001, -1},
        {[](CMatrix& m) { m.GetPart(-1, 1, 0, 1); }, "at GetPart", -1, -1},
        {[](CMatrix& m) { m.GetPart(1, 3, 0, 2); }, "at GetPart", 3, -1},
        {[](CMatrix& m) { m.GetPart(0, 1, -1, 2); }, "at GetPart", -1, -1},
        {[](CMatrix& m) { m.GetPart(0, 1, 0, 4); }, "at GetPart", -1, 4},
        {[&](CMatrix& m) { m.GetBlock(m, 2, 1, r02, r0); }, "at GetBlock", 2, -1},
        {[&](CMatrix& m) { m.GetBlock(m, 1, 1, r0, c3); }, "at GetBlock", -1, 3},
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
    for (const auto& c : cases) {
        CMatrix m = M(2, 3, {1, 2, 3, 4, 5, 6});
        ExpectFault([&] { c.call(m); }, c.msg, c.row, c.col);
        EXPECT_TRUE(SameBits(m, M(2, 3, {1, 2, 3, 4, 5, 6}))) << c.msg;
    }
    ExpectFault([] { CMatrix(1, 1, 2.0).GetAij(0, 0); },
                "Error in GetAij(): It should be a matrix");
}

TEST(MatrixArithmetic, ProductSumsAndPowers) {
    const CMatrix a = M(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(SameBits(a * M(3, 2, {7, 8, 9, 10, 11, 12}), M(2, 2, {58, 64, 139, 154})));
    EXPECT_TRUE(SameBits(a + a - CMatrix(2, 3, 1.0), M(2, 3, {1, 3, 5, 7, 9, 11})));
    EXPECT_TRUE(SameBits(CMatrix(2, 0) * CMatrix(0, 3), CMatrix(2, 3)));
    // Each element is summed from 0.0 in index order, so this cancels to exactly 0.
    EXPECT_EQ((M(1, 3, {1e16, 1.0, -1e16}) * CMatrix(3, 1, 1.0))(0, 0), 0.0);

    EXPECT_TRUE(SameBits(M(2, 2, {5, 6, 7, 8}) ^ 0, M(2, 2, {1, 0, 0, 1})));
    EXPECT_TRUE(SameBits(CMatrix() ^ 0, CMatrix()));
    std::mt19937 gen(7);
    const CMatrix s = matrix_test::Random(4, gen);
    EXPECT_TRUE(SameBits(s ^ 3, (s * s) * s));  // the running product times s
    CMatrix p = s;
    p ^= 3;
    p *= s;
    EXPECT_TRUE(SameBits(p, ((s * s) * s) * s));
    p = M(2, 2, {1, -2, 3, 4});
    p *= -0.5;
    EXPECT_TRUE(SameBits(p * 2.0, M(2, 2, {-1, 2, -3, -4})));
    p = 2.5;
    EXPECT_TRUE(SameBits(p, CMatrix(2, 2, 2.5)));
}

TEST(MatrixShape, RowsAndColumnsFollowTheirRules) {
    CMatrix m(0, 3);
    m.AddRow(2.0);  // no first row to copy the length from: the column count is used
    EXPECT_TRUE(SameBits(m, CMatrix(1, 3, 2.0)));
    CMatrix e(2, 0);
    e.AddCol(5.0);
    EXPECT_TRUE(SameBits(e, CMatrix(2, 1, 5.0)));

    CMatrix a = M(2, 3, {1, 2, 3, 4, 5, 6});
    a.SetRowVector(0, {9, 9});  // a wrong length clears the row or column, no exception
    a.SetColVector(2, {7, 8, 9});
    EXPECT_TRUE(SameBits(a, M(2, 3, {0, 0, 0, 4, 5, 0})));
    a.SetColVector(0, {7, 8});
    a.SetRowVector(0, {1, 2, 3});
    a.SwapColom(0, 2);
    a.SwapRows(1, 1);
    EXPECT_TRUE(SameBits(a, M(2, 3, {3, 2, 1, 0, 5, 8})));
    a.InsrtRow(1, -1.0);
    a.InsrtCol(0, 4.0);
    EXPECT_TRUE(SameBits(a, M(3, 4, {4, 3, 2, 1, 4, -1, -1, -1, 4, 0, 5, 8})));
    EXPECT_EQ(a.GetColVector(1), (std::vector<double>{3, -1, 0}));
    EXPECT_TRUE(SameBits(a.GetRow(2), M(1, 4, {4, 0, 5, 8})));
    EXPECT_TRUE(SameBits(a.GetCol(3), M(3, 1, {1, -1, 8})));

    const auto c = M(1, 2, {1, 6}).ToCDouble();
    EXPECT_EQ(std::make_pair(c.GetRowSize(), c.GetColSize()), std::make_pair(1, 2));
    EXPECT_EQ(c.GetValue(0, 1), std::complex<double>(6, 0));
}

// The memoised expansion gives the recursive expansion's numbers to the bit.
TEST(MatrixAnalysis, DetAndInverseEqualRecursiveExpansionBitwise) {
    std::mt19937 gen(2024);
    for (int n = 2; n <= 8; ++n)
        for (int rep = 0; rep < 4; ++rep) {
            const CMatrix a = matrix_test::Random(n, gen, rep % 2 == 1);
            const double d = NaiveDet(a);
            EXPECT_TRUE(SameBits(a.Det(), d)) << "order " << n << ": " << a.Det() << " " << d;
            if (d != 0.0) {
                EXPECT_TRUE(SameBits(a.Inverse(), NaiveInverse(a))) << "order " << n;
            }
        }
}

TEST(MatrixAnalysis, DetAndInverseSmallCasesRefusalsAndLargeOrders) {
    EXPECT_EQ(CMatrix().Det(), 0.0);
    EXPECT_EQ(CMatrix(1, 1, -4.0).Det(), -4.0);
    const char* zero = "Error in Inverse(): The det of the matrix is zero .";
    ExpectFault([] { M(2, 2, {1, 2, 2, 4}).Inverse(); }, zero);
    ExpectFault([] { CMatrix().Inverse(); }, zero);
    ExpectFault([] { CMatrix(1, 1, 0.0).Inverse(); }, zero);
    ExpectFault([] { CMatrix(1, 1, 2.0).Inverse(); }, "Error in GetAij(): It should be a matrix");
    ExpectFault([] { M(2, 2, {1, 2, 2, 4}).CondNumber(); }, zero);
    EXPECT_DOUBLE_EQ(M(2, 2, {2, 0, 0, 4}).CondNumber(), std::sqrt(20.0) * std::sqrt(0.3125));
    // Beyond the exact-expansion order: LU and Gauss-Jordan, same values up to rounding.
    const int n = mtxkit::kExactCofactorMaxOrder + 3;
    std::mt19937 gen(5);
    CMatrix a = matrix_test::Random(n, gen);
    const CMatrix inv = a.Inverse();
    const CMatrix prod = a * inv;
    for (int k = 0; k < n * n; ++k)
        EXPECT_NEAR(prod(k / n, k % n), k % (n + 1) == 0 ? 1.0 : 0.0, 1e-9);
    // det(A) * det(A^-1) = 1 checks the LU determinant's magnitude and its pivoting sign.
    EXPECT_NEAR(a.Det() * inv.Det(), 1.0, 1e-9);
    CMatrix swapped = a;
    swapped.SwapRow(0, n - 1);
    EXPECT_EQ(swapped.Det(), -a.Det());
    for (int i = 0; i < n; ++i)
        a(i, 4) = 0.0;
    EXPECT_EQ(a.Det(), 0.0);
    ExpectFault([&] { a.Inverse(); }, "Error in Inverse(): The det of the matrix is zero .");
}

TEST(MatrixAnalysis, NormTraceRadiusRank) {
    const CMatrix d = M(2, 2, {3, 0, 0, 4});
    EXPECT_EQ(d.Norm(1), 5.0);
    EXPECT_EQ(d.Trace(), 7.0);
    EXPECT_NEAR(M(2, 2, {2, 0, 0, 1}).Radius(), 2.0, 1e-6);
    EXPECT_EQ(CMatrix(3, 3).Radius(), 0.0);  // zero product: no direction to follow
    // Eigenvalues +-2: the estimate alternates between two values for ever; the capped
    // iteration returns the last one (an even round: |A z| for z along (4, 1)).
    EXPECT_NEAR(M(2, 2, {0, 4, 1, 0}).Radius(), 4.0 * std::sqrt(2.0) / std::sqrt(17.0), 1e-12);

    // Exact zero tests: 0.1 * 3 - 0.3 leaves a rounding residue that counts as rank.
    const std::pair<CMatrix, double> ranks[] = {
        {CMatrix(3, 3), 0},         {CMatrix(0, 2), 0},
        {M(2, 2, {1, 2, 2, 4}), 1}, {M(3, 2, {1, 0, 0, 1, 1, 1}), 2},
        {M(2, 2, {0, 1, 0, 0}), 1}, {M(3, 3, {0, 0, 1, 0, 2, 0, 3, 0, 0}), 3},
        {CMatrix(3, 4, 1.0), 1},    {M(2, 2, {1, 0.1, 3, 0.3}), 2}};
    for (const auto& [m, rank] : ranks)
        EXPECT_EQ(m.Rank(), rank) << m.GetRow() << "x" << m.GetCol();
}
