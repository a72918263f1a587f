// mtxkit::Matrix<double>: storage rules, error reporting, arithmetic, shape editing and the
// analysis members (reached through CMatrix, which republishes them).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

#include "BaseCommon/matrix/CMatrix.h"
#include "matrix/MatrixTestUtil.h"

using matrix_test::ExpectFault;
using matrix_test::M;
using matrix_test::SameBits;

namespace {

// Row-major copy, so that the reference evaluation below indexes one buffer.
struct Flat {
    explicit Flat(const CMatrix& m) : n(m.GetRow()) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                v.push_back(m(i, j));
    }
    double operator()(int i, int j) const { return v[size_t(i * n + j)]; }
    int n;
    std::vector<double> v;
};

// The cofactor expansion, memoised: each minor keyed by its sets of rows and columns,
// expanded along its top row with the sign flipped after each column, order 2 by its formula.
// Written apart from the library's evaluation; the memo changes no number, only the cost.
class TopDownMinors {
public:
    explicit TopDownMinors(const CMatrix& m) : m_a(m) {}
    double Det(uint32_t rows, uint32_t cols) {
        const uint64_t key = (uint64_t(rows) << 32) | cols;
        const auto hit = m_memo.find(key);
        if (hit != m_memo.end())
            return hit->second;
        const int top = Low(rows), r1 = Low(rows & (rows - 1));
        const int c0 = Low(cols), c1 = Low(cols & (cols - 1));
        double d;
        if (__builtin_popcount(cols) == 1) {
            d = m_a(top, c0);
        } else if (__builtin_popcount(cols) == 2) {
            d = m_a(top, c0) * m_a(r1, c1) - m_a(top, c1) * m_a(r1, c0);
        } else {
            d = 0.0;
            double sign = 1.0;
            for (uint32_t rest = cols; rest != 0; rest &= rest - 1, sign = -sign) {
                const int c = Low(rest);
                d += sign * m_a(top, c) * Det(rows & (rows - 1), cols & ~(uint32_t(1) << c));
            }
        }
        m_memo.emplace(key, d);
        return d;
    }

private:
    static int Low(uint32_t s) { return s == 0 ? -1 : __builtin_ctz(s); }
    Flat m_a;
    std::unordered_map<uint64_t, double> m_memo;
};

// Det and the adjugate inverse ((-1)^(i+j) minor(i, j) times 1 / det, at (j, i)) against the
// expansion to the bit, on a real and a small-integer matrix per order.
void ExpectExpansionBits(int n, std::mt19937& gen) {
    for (const bool integers : {false, true}) {
        const CMatrix m = matrix_test::Random(n, gen, integers);
        TopDownMinors ref(m);
        const uint32_t all = (uint32_t(1) << n) - 1;
        const double det = ref.Det(all, all);
        ASSERT_TRUE(SameBits(m.Det(), det)) << "order " << n << ": " << m.Det() << " " << det;
        if (det == 0.0)
            continue;
        CMatrix expect(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                expect(j, i) = ((i + j) % 2 ? -1.0 : 1.0) *
                               ref.Det(all & ~(uint32_t(1) << i), all & ~(uint32_t(1) << j)) *
                               (1.0 / det);
        EXPECT_TRUE(SameBits(m.Inverse(), expect)) << "order " << n;
    }
}

}  // namespace

TEST(MatrixCore, ResizeLimitsReinitialisationAndEquality) {
    EXPECT_EQ(std::make_pair(CMatrix(4096, 1).GetRow(), CMatrix(0, 4096).GetCol()),
              std::make_pair(4096, 4096));  // beyond 4096: the fault table
    CMatrix m = M(2, 2, {1, 2, 3, 4});
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
        {[](CMatrix&) { CMatrix(4097, 1); }, "at Resize", 4097, -1},
        {[](CMatrix&) { CMatrix(1, 4097); }, "at Resize", -1, 4097},
        {[](CMatrix&) { CMatrix(-2, -1); }, "at Resize", -2, -1},  // the row first
        {[](CMatrix& m) { m.Resize(2, 5000, 0.0); }, "at Resize", -1, 5000},
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
        {[](CMatrix&) { CMatrix(1, 1, 2.0).GetAij(0, 0); },
         "Error in GetAij(): It should be a matrix"},
    };
    for (const auto& c : cases) {
        CMatrix m = M(2, 3, {1, 2, 3, 4, 5, 6});
        ExpectFault([&] { c.call(m); }, c.msg, c.row, c.col);
        EXPECT_TRUE(SameBits(m, M(2, 3, {1, 2, 3, 4, 5, 6}))) << c.msg;
    }
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

TEST(MatrixAnalysis, DetAndInverseEqualTheCofactorExpansionBitwise) {
    std::mt19937 gen(2024);
    for (int n = 2; n <= 11; ++n)
        ExpectExpansionBits(n, gen);
}

// Orders 12 to 16 take seconds (2^n minors each, n^2 of them for the inverse), too long under
// the sanitizers and valgrind: a ctest entry of its own runs these in the uninstrumented build.
TEST(MatrixExpansionReference, DISABLED_OrdersTwelveToSixteenEqualTheCofactorExpansionBitwise) {
    std::mt19937 gen(1216);
    for (int n = 12; n <= mtxkit::kExactCofactorMaxOrder; ++n)
        ExpectExpansionBits(n, gen);
}

// Singular matrices: a row the sum of two others (of the other row at order 2), a zero
// column, a repeated row, at random positions. Through order 16 the entries are small
// integers, so that every minor is an exact integer and the expansion gives exactly 0; above
// it real entries too, whose sum row carries rounding.
CMatrix Singular(int n, int kind, int bound, std::mt19937& gen) {
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    CMatrix m(n, n);
    for (int k = 0; k < n * n; ++k)
        m(k / n, k % n) = bound > 0 ? double(int(gen() % unsigned(2 * bound + 1)) - bound) : u(gen);
    const int at = int(gen() % unsigned(n)), a = (at + 1) % n, b = (at + 2) % n;
    for (int c = 0; c < n; ++c) {
        if (kind == 0)
            m(at, c) = n == 2 ? m(a, c) : m(a, c) + m(b, c);
        else if (kind == 1)
            m(c, at) = 0.0;
        else
            m(at, c) = m(a, c);
    }
    return m;
}

TEST(MatrixAnalysis, SingularRefusedAndRegularAcceptedAtEveryOrder) {
    const char* zero = "Error in Inverse(): The det of the matrix is zero .";
    std::mt19937 gen(99);
    const struct {
        int n, bound;  // bound 0: reals in [-10, 10)
    } orders[] = {{2, 3},  {11, 3}, {12, 3}, {16, 1}, {17, 3},  {17, 0},
                  {20, 3}, {20, 0}, {40, 3}, {40, 0}, {100, 3}, {100, 0}};
    for (const auto& o : orders) {
        for (int k = 0; k < 12; ++k) {
            const int kind = k % 3;
            const CMatrix s = Singular(o.n, kind, o.bound, gen);
            EXPECT_EQ(s.Det(), 0.0) << "order " << o.n << " kind " << kind;
            ExpectFault([&] { s.Inverse(); }, zero);
            ExpectFault([&] { s.CondNumber(); }, zero);
        }
        // Well conditioned: random entries and a dominant diagonal.
        CMatrix a = matrix_test::Random(o.n, gen, o.bound > 0);
        for (int i = 0; i < o.n; ++i)
            a(i, i) += o.n;
        EXPECT_NE(a.Det(), 0.0) << "order " << o.n;
        const CMatrix prod = a.Inverse() * a;
        for (int k = 0; k < o.n * o.n && o.n > mtxkit::kExactCofactorMaxOrder; ++k) {
            ASSERT_NEAR(prod(k / o.n, k % o.n), k % (o.n + 1) == 0 ? 1.0 : 0.0, 1e-10)
                << "order " << o.n;
        }
    }
}

TEST(MatrixAnalysis, DetAndInverseSmallCasesAndPivotBoundAboveTheExpansion) {
    EXPECT_EQ(CMatrix().Det(), 0.0);
    EXPECT_EQ(CMatrix(1, 1, -4.0).Det(), -4.0);
    const char* zero = "Error in Inverse(): The det of the matrix is zero .";
    ExpectFault([] { M(2, 2, {1, 2, 2, 4}).Inverse(); }, zero);
    ExpectFault([] { CMatrix().Inverse(); }, zero);
    ExpectFault([] { CMatrix(1, 1, 0.0).Inverse(); }, zero);
    ExpectFault([] { CMatrix(1, 1, 2.0).Inverse(); }, "Error in GetAij(): It should be a matrix");
    EXPECT_DOUBLE_EQ(M(2, 2, {2, 0, 0, 4}).CondNumber(), std::sqrt(20.0) * std::sqrt(0.3125));

    // Above the expansion a pivot counts as zero up to n * eps * (largest absolute row sum),
    // inclusive, whatever the scale of the matrix.
    const int n = mtxkit::kExactCofactorMaxOrder + 1;
    for (const double scale : {1.0, 0x1p-30, 0x1p30}) {
        const double bound = n * std::numeric_limits<double>::epsilon() * scale;
        CMatrix d(n, n);
        for (int i = 0; i < n; ++i)
            d(i, i) = 0.5 * scale;
        d(0, 1) = 0.5 * scale;  // row sum scale
        d(n - 1, n - 1) = bound;
        EXPECT_EQ(d.Det(), 0.0) << scale;
        ExpectFault([&] { d.Inverse(); }, zero);
        d(n - 1, n - 1) = std::nextafter(bound, 2 * bound);
        EXPECT_NE(d.Det(), 0.0) << scale;
        EXPECT_EQ(d.Inverse()(n - 1, n - 1), 1.0 / d(n - 1, n - 1)) << scale;
    }
    // A determinant that underflows is 0.0 all the same, and Inverse refuses what Det gives.
    CMatrix tiny(n, n);
    for (int i = 0; i < n; ++i)
        tiny(i, i) = 1e-20;
    EXPECT_EQ(tiny.Det(), 0.0);
    ExpectFault([&] { tiny.Inverse(); }, zero);

    // Det's sign follows the row exchanges; det(A) * det(A^-1) = 1 checks its magnitude.
    std::mt19937 gen(5);
    CMatrix a = matrix_test::Random(n + 2, gen);
    EXPECT_NEAR(a.Det() * a.Inverse().Det(), 1.0, 1e-9);
    CMatrix swapped = a;
    swapped.SwapRow(0, n + 1);
    EXPECT_EQ(swapped.Det(), -a.Det());
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
