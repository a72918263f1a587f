#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineKernel.h"
#include "TestConstants.h"
#include "sparse/SkylineReference.h"

using namespace skytest;

namespace {

CSparseMatrix Assembled(std::vector<int> D, const std::vector<double>& values) {
    CSparseMatrix m(static_cast<int>(D.size()), D.data());
    Assign(m, values);
    return m;
}

}  // namespace

// Every refusal shows its one message, answers 0 (a zero element, a failure code, an empty
// product) and leaves the matrix, its flags and the right-hand sides as they were.
TEST(CSparseMatrixRefusals, ShowTheirMessageAndChangeNothing) {
    struct Ctx {
        CSparseMatrix m{2, std::vector<int>{0, 2}.data()};
        double b[2] = {1, 2};
        CMatrix B{1, 2, 1.0};
    };
    const std::string kNoBuf = "The element buffer of SparseMatrix has not been allocated, while ";
    const std::string kEqs = "The number of equations is out of range, while ";
    const std::string kRow = "The row is out of range, while doing operator()";
    const std::string kCol = "The col is out of range, while operator()";
    const std::string kRows = "The row of Matrix does not match the order of SparseMatrix, while ";
    const struct {
        bool allocated;
        std::function<double(Ctx&)> op;
        std::string text;
    } cases[] = {
        {false, [](Ctx& t) { return t.m(0, 0); }, kNoBuf + "doing operator()"},
        {true, [](Ctx& t) { return t.m(-1, 0); }, kRow},
        {true, [](Ctx& t) { return t.m(2, 2); }, kRow},  // the row is tested first
        {true, [](Ctx& t) { return t.m(0, 2); }, kCol},
        {true, [](Ctx& t) { return t.m(1, -1); }, kCol},
        {false, [](Ctx& t) { return (t.m *= 2.0).m_bBufEmpty - 1.0; }, kNoBuf + "multiplying"},
        {false, [](Ctx& t) { return (t.m += t.m).m_bBufEmpty - 1.0; }, kNoBuf + "adding"},
        {true, [](Ctx& t) { return (t.m += CSparseMatrix()).m_bBufEmpty; }, kNoBuf + "adding"},
        {false, [](Ctx& t) { return t.m.DeleteLastLine(), 0; }, kNoBuf + "deleting the last line"},
        {false, [](Ctx& t) { return t.m.Decomposition(2); }, kNoBuf + "decomposing"},
        {true, [](Ctx& t) { return t.m.Decomposition(0); }, kEqs + "decomposing"},
        {true, [](Ctx& t) { return t.m.Decomposition(3); }, kEqs + "decomposing"},
        {false, [](Ctx& t) { return t.m.LdltSolve(2, t.b); }, kNoBuf + "ldlt solving"},
        {true, [](Ctx& t) { return t.m.LdltSolve(3, t.b); }, kEqs + "ldlt solving"},
        {true, [](Ctx& t) { return t.m.LdltSolve(2, nullptr); },
         "The right-hand side of SparseMatrix is null, while ldlt solving"},
        {false, [](Ctx& t) { return t.m.LdltSolve(1, t.B); }, kNoBuf + "ldlt solving"},
        {true, [](Ctx& t) { return t.m.LdltSolve(0, t.B); }, kEqs + "ldlt solving"},
        {true, [](Ctx& t) { return t.m.LdltSolve(2, t.B); },  // before factorising
         "The row of Matrix is not enough, while ldlt solving"},
        {false, [](Ctx& t) { return (t.m * CMatrix(2, 1)).GetRow(); }, kNoBuf + "multiplying"},
        {true, [](Ctx& t) { return (t.m * t.B).GetRow(); }, kRows + "multiplying"},
        {true, [](Ctx& t) { return (t.m * CMatrix(3, 1)).GetRow(); }, kRows + "multiplying"},
    };
    for (const auto& c : cases) {
        Ctx t;
        if (c.allocated)
            Assign(t.m, {4, 2, 5});
        Messages msgs;
        EXPECT_EQ(c.op(t), 0.0) << c.text;
        EXPECT_EQ(msgs.texts, std::vector<std::string>{c.text});
        EXPECT_EQ(std::make_tuple(t.m.m_nRow, t.m.m_bDecomposed, t.m.m_bBufEmpty),
                  std::make_tuple(2, 0, c.allocated ? 0 : 1));
        if (c.allocated) {
            EXPECT_EQ(Elements(t.m), (std::vector<double>{4, 2, 5})) << c.text;
        }
        EXPECT_TRUE(t.B == CMatrix(1, 2, 1.0) && t.b[0] == 1 && t.b[1] == 2) << c.text;
    }
}

TEST(CSparseMatrixProfile, InvalidProfileIsRefusedAndChangesNothing) {
    const std::pair<int, std::vector<int>> bad[] = {{0, {0}},       {2, {}},         {1, {1}},
                                                    {2, {0, 0}},    {2, {0, 3}},     {3, {0, 2, 2}},
                                                    {3, {0, 1, 5}}, {3, {0, -5, -4}}};
    const char kBad[] = "The profile of SparseMatrix is not valid, while reallocating";
    for (const auto& [n, D] : bad) {
        Messages msgs;
        const int* p = D.empty() ? nullptr : D.data();
        CSparseMatrix fresh(n, p);
        CSparseMatrix m = Assembled({0, 2}, {1, 2, 3});
        m.m_bDecomposed = 1;
        m.Realloc(n, p);
        EXPECT_EQ(std::make_pair(fresh.m_nRow, fresh.m_bBufEmpty), std::make_pair(1, 1));
        EXPECT_EQ(std::make_pair(m.m_nRow, m.m_bDecomposed), std::make_pair(2, 1));
        EXPECT_EQ(Elements(m), (std::vector<double>{1, 2, 3}));
        EXPECT_EQ(msgs.texts, std::vector<std::string>(2, kBad));
    }
}

TEST(CSparseMatrixState, FlagsAfterEachOperationOnAFactorisedMatrix) {
    const std::vector<int> D = {0, 2, 4};
    const struct {
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
    for (const auto& c : cases) {
        CSparseMatrix m = Assembled(D, {4, 2, 5, 1, 3});
        ASSERT_EQ(m.Decomposition(3), 1);
        c.op(m);
        EXPECT_EQ(m.m_bDecomposed, c.decomposed) << c.name;
        EXPECT_EQ(m.m_bBufEmpty, c.bufEmpty) << c.name;
    }
}

TEST(CSparseMatrixStorage, MirrorsShareStorageAddKeepsTheLeftProfileDeleteKeepsTheLeadingBlock) {
    Messages msgs;
    CSparseMatrix m = Assembled({0, 1, 3}, {1, 2, 3, 4});  // row 2 starts at column 1
    m(1, 2) = 7.0;
    EXPECT_EQ(m(2, 1), 7.0);
    EXPECT_EQ(m.m_pdElement[2], 7.0);
    m(2, 0) = 99.0;  // outside the profile: lands in the shared zero, which is reset
    EXPECT_EQ(m(0, 2), 0.0);
    // A taller order-4 profile into a shorter order-3 one: overlapping positions only.
    m += Assembled({0, 2, 5, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(Elements(m), (std::vector<double>{2, 5, 12, 10}));
    // Order 4 left, order 3 right, same leading profile: row 3 is not touched.
    CSparseMatrix t = Assembled({0, 2, 5, 9}, std::vector<double>(10, 1.0));
    t += Assembled({0, 2, 5}, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Elements(t), (std::vector<double>{2, 3, 4, 5, 6, 7, 1, 1, 1, 1}));
    CSparseMatrix c(t);
    c(0, 0) = 9.0;
    t.DeleteLastLine();
    t *= 2.0;
    EXPECT_EQ(std::vector<int>(t.m_pnDiag, t.m_pnDiag + t.m_nRow), (std::vector<int>{0, 2, 5}));
    EXPECT_EQ(Elements(t), (std::vector<double>{4, 6, 8, 10, 12, 14}));  // and not c's 9
    EXPECT_TRUE(msgs.texts.empty());
    CSparseMatrix one = Assembled({0}, {5});
    one.DeleteLastLine();
    EXPECT_EQ(msgs.texts, std::vector<std::string>{
                              "The order of SparseMatrix is 1, while deleting the last line"});
    EXPECT_EQ(std::make_pair(one.m_nRow, one.m_pdElement[0]), std::make_pair(1, 5.0));
}

// ---------------------------------------------------------------------------------------------
// Factorisation and solution, for every kernel.

class SkylineKernels : public ForcedKernel {};

// Random positive definite matrices: the factors equal the literal recurrence's (to the bit
// under the literal kernel) and the solutions of three right-hand sides satisfy the system.
// Exact ones: the factors give back L and D to the bit, and a zero pivot at row z leaves what
// the literal leaves (the rows before the failing one factorised, part of the failing row
// overwritten, the rest untouched). Tridiagonal: the first row that reaches the zero pivot
// starts exactly at it. The profiles: each shape at several orders, and each band around the
// blocked kernels' tiles and blocks at three orders.
TEST_P(SkylineKernels, FactorsEqualTheLiteralRecurrenceOnRandomProfiles) {
    std::mt19937 rng(7);
    const double tol = GetParam() == rvn::SkylineKernel::Literal ? 0.0 : 1e-13;
    std::vector<std::vector<int>> profiles;
    for (Shape shape : {kFull, kBand, kVariable, kDiagonal, kTridiagonal, kTallLast})
        for (int n : {1, 2, 5, 13, 50, 97, 260})
            profiles.push_back(MakeProfile(shape, n, rng));
    for (int band : kBands)
        for (int n : {band + 1, 2 * band + 3, band + 61})
            profiles.push_back(BandProfile(n, band));
    for (size_t p = 0; p < profiles.size(); ++p) {
        const std::vector<int>& D = profiles[p];
        const int n = static_cast<int>(D.size());
        CSparseMatrix m(n, D.data());
        FillLdlt(m, D, rng, false);
        const CSparseMatrix k(m);
        std::vector<double> ref = Elements(m);
        ASSERT_EQ(LiteralFactor(ref, D, n), 1);
        CMatrix B(n, 3);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c)
                B(i, c) = std::sin(1.0 + i + 7 * c);
        const CMatrix B0(B);
        ASSERT_EQ(m.LdltSolve(n, B), 1);
        const std::vector<double> got = Elements(m);
        for (size_t e = 0; e < ref.size(); ++e)
            ASSERT_LE(std::fabs(got[e] - ref[e]), tol * std::max(std::fabs(ref[e]), 1.0))
                << "profile " << p << " n " << n << " element " << e;
        const CMatrix KX = k * B;
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(KX(i, c), B0(i, c), 1e-12) << "profile " << p << " row " << i;
        m.ElementBufEmpty();
        const std::vector<double> G = FillLdlt(m, D, rng, true);
        ASSERT_EQ(m.Decomposition(n), 1);
        EXPECT_EQ(Elements(m), G) << "L D L^T, profile " << p;
        const int z = n / 2 - (n > 2 ? 1 : 0);
        m.ElementBufEmpty();
        FillLdlt(m, D, rng, true, z);
        ref = Elements(m);
        const int refOk = LiteralFactor(ref, D, n);
        EXPECT_EQ(m.Decomposition(n), refOk);
        EXPECT_EQ(m.m_bDecomposed, refOk);
        EXPECT_EQ(Elements(m), ref) << "zero pivot at " << z << ", profile " << p;
    }
}

TEST_P(SkylineKernels, LeadingRowsOnlyAndZeroPivotsSilentButErrorInGkInTheMatrixSolve) {
    CSparseMatrix lead = Assembled({0, 2, 5}, {4, 2, 5, 1, 1, 9});
    ASSERT_EQ(lead.Decomposition(2), 1);
    EXPECT_EQ(Elements(lead), (std::vector<double>{4, 2, 4, 1, 1, 9}));
    Messages msgs;
    double c = 2.0, f[] = {1, 1};
    CSparseMatrix zero = Assembled({0}, {0});  // d_0 = 0: factorised, but no solution
    EXPECT_EQ(zero.Decomposition(1), 1);
    EXPECT_EQ(zero.LdltSolve(1, &c), 0);
    CMatrix C(2, 1, 1.0);
    EXPECT_EQ(Assembled({0, 1}, {0, 5}).LdltSolve(2, C), 0);
    // K(1,1) = K(1,0)^2 / K(0,0): the second pivot is 0, found by the solve.
    CSparseMatrix sing = Assembled({0, 2}, {2, 4, 8});
    EXPECT_EQ(sing.LdltSolve(2, f), 0);
    EXPECT_EQ(sing.m_bDecomposed, 1);
    EXPECT_TRUE(msgs.texts.empty());
    CMatrix B(2, 3, 1.0);
    EXPECT_EQ(sing.LdltSolve(2, B), 0);
    EXPECT_EQ(msgs.texts, std::vector<std::string>{"Error in GK"});
    EXPECT_EQ(std::make_pair(B(0, 0), B(1, 0)), std::make_pair(0.5, -1.0));  // column 0 only
    EXPECT_EQ(B(0, 1) + B(1, 2), 2.0);
}

// Unsupported structures are refused by every kernel at every size: the literal recurrence
// meets an exact zero with integer stiffness, and the rounding of real stiffness (or of the
// blocked kernels' arithmetic) leaves a pivot within the rounding error of its computation,
// which counts as zero. The first vanishing pivot closes the first leading block that still
// moves: the chain whole, the plate with its last node held (it turns about that node), the
// grillage with the slopes of its last node held (it still translates). A chain's last pivot
// is reached by no later row, so the factorisation succeeds and the solve refuses.
TEST_P(SkylineKernels, MechanismsAreRefusedWithIntegerAndRealStiffness) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(1.0, 2.0);
    const std::function<double()> stiffness[] = {[] { return 49.0; }, [] { return 0.1; },
                                                 [&] { return 3.0e7 * u(rng); }};
    struct Case {
        const char* name;
        std::function<Assembly(std::function<double()>)> make;
        int zeroFromEnd;
    };
    const Case cases[] = {
        {"chain 60", [](auto k) { return FreeChain(60, k); }, 1},
        {"chain 20000", [](auto k) { return FreeChain(20000, k); }, 1},
        {"plate 4x3", [](auto k) { return FreePlate(4, 3, k); }, 3},
        {"plate 25x20", [](auto k) { return FreePlate(25, 20, k); }, 3},
        {"grillage 3x3", [](auto k) { return FreeGrillage(3, 3, k); }, 3},
        {"grillage 20x20", [](auto k) { return FreeGrillage(20, 20, k); }, 3},
    };
    for (const Case& c : cases) {
        for (size_t s = 0; s < 3; ++s) {
            const Assembly a = c.make(stiffness[s]);
            CSparseMatrix m(1, std::vector<int>{0}.data());
            a.Into(m);
            std::vector<double> b(a.n, 1.0);
            Messages msgs;
            EXPECT_EQ(m.LdltSolve(a.n, b.data()), 0) << c.name << " stiffness " << s;
            const CSparseMatrix::PivotInfo& info = m.GetPivotInfo();
            EXPECT_EQ(info.m_nZeroRow, a.n - c.zeroFromEnd) << c.name << " stiffness " << s;
            EXPECT_EQ(info.m_bFailed, c.zeroFromEnd > 1 ? 1 : 0) << c.name;
            EXPECT_TRUE(msgs.texts.empty());
            if (c.zeroFromEnd == 1 && a.n <= 4096) {  // a CMatrix has at most 4096 rows
                CMatrix B(a.n, 3, 1.0);
                EXPECT_EQ(m.LdltSolve(a.n, B), 0);
                EXPECT_EQ(msgs.texts, std::vector<std::string>{"Error in GK"});
            }
        }
    }
}

// Positive definite matrices Q diag(lambda) Q^T with condition numbers up to 1e10 keep every
// pivot (each carries information: d_i / a_ii stays far above 1e-12).
TEST_P(SkylineKernels, PositiveDefiniteMatricesUpToCondition1e10AreAccepted) {
    std::mt19937 rng(5);
    std::normal_distribution<double> g;
    for (int n : {12, 40, 120}) {
        // Q from modified Gram-Schmidt on a random matrix (columns q[c]).
        std::vector<std::vector<double>> q(n, std::vector<double>(n));
        for (auto& col : q)
            for (double& v : col)
                v = g(rng);
        for (int c = 0; c < n; ++c) {
            for (int p = 0; p < c; ++p) {
                const double dot = std::inner_product(q[p].begin(), q[p].end(), q[c].begin(), 0.0);
                for (int r = 0; r < n; ++r)
                    q[c][r] -= dot * q[p][r];
            }
            const double norm = std::inner_product(q[c].begin(), q[c].end(), q[c].begin(), 0.0);
            for (double& v : q[c])
                v /= std::sqrt(norm);
        }
        for (double cond : {1e2, 1e6, 1e10}) {
            std::vector<int> D = MakeProfile(kFull, n, rng);
            std::vector<double> E(D[n - 1] + 1, 0.0);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j <= i; ++j)
                    for (int c = 0; c < n; ++c)
                        At(E, D, i, j) += q[c][i] * q[c][j] * std::pow(cond, -double(c) / (n - 1));
            CSparseMatrix m(n, D.data());
            Assign(m, E);
            ASSERT_EQ(m.Decomposition(n), 1) << "n " << n << " cond " << cond;
            const CSparseMatrix::PivotInfo& info = m.GetPivotInfo();
            EXPECT_EQ(std::make_pair(info.m_nZeroRow, info.m_nNegative), std::make_pair(-1, 0));
            EXPECT_GT(info.m_dMinRatio, 1e-12);
        }
    }
}

// Pivot report: the Sturm count of K - sigma I for the tridiagonal (-1, 2, -1) of order n is
// the number of eigenvalues 2 - 2 cos(k pi / (n + 1)) below sigma; sigma is kept half an
// eigenvalue gap away from them so that rounding cannot move the count.
TEST_P(SkylineKernels, PivotReportCountsNegativePivotsAndFindsTheSmallestRatio) {
    std::mt19937 unused;
    for (int n : {3, 40, 300}) {
        const std::vector<int> D = MakeProfile(kTridiagonal, n, unused);
        for (int below : {0, 1, n / 3, n - 1, n}) {
            auto eig = [&](int k) { return 2.0 - 2.0 * std::cos(k * kPi / (n + 1)); };
            const double sigma = below == 0   ? eig(1) / 2
                                 : below == n ? eig(n) + 1.0
                                              : (eig(below) + eig(below + 1)) / 2;
            CSparseMatrix m(n, D.data());
            m = 0.0;
            for (int i = 0; i < n; ++i) {
                m(i, i) = 2.0 - sigma;
                if (i > 0)
                    m(i, i - 1) = -1.0;
            }
            const std::vector<double> K = Elements(m);
            ASSERT_EQ(m.Decomposition(n), 1);
            const CSparseMatrix::PivotInfo& info = m.GetPivotInfo();
            EXPECT_EQ(info.m_nNegative, below) << "n " << n << " sigma " << sigma;
            EXPECT_EQ(std::make_tuple(info.m_nRows, info.m_bFailed, info.m_nZeroRow,
                                      info.m_nNegative, info.m_dMinRatio, info.m_nMinRatioRow),
                      std::tuple_cat(std::make_tuple(n, 0, -1), PivotRecord(m, K)));
        }
    }
    // 3 x 3 of the factor-format example: pivots 4, 4, 2.75 over diagonals 4, 5, 3.
    CSparseMatrix ex = Assembled({0, 2, 4}, {4, 2, 5, 1, 3});
    ASSERT_EQ(ex.Decomposition(3), 1);
    EXPECT_EQ(std::make_pair(ex.GetPivotInfo().m_dMinRatio, ex.GetPivotInfo().m_nMinRatioRow),
              std::make_pair(0.8, 1));
}

// A vanished pivot reached by a later row: the report names both rows and counts only the rows
// before the failing one. Unreached (the last row), it is reported by a factorisation that
// succeeds. Clearing operations forget the report, a copy keeps it.
TEST_P(SkylineKernels, PivotReportNamesTheVanishedPivotAndTheRowThatReachedIt) {
    CSparseMatrix m = Assembled({0, 2, 4}, {-1, 1, -1, 1, 1});  // d = -1, 0, then row 2 fails
    EXPECT_EQ(m.Decomposition(3), 0);
    CSparseMatrix::PivotInfo info = m.GetPivotInfo();
    EXPECT_EQ(std::make_tuple(info.m_nRows, info.m_bFailed, info.m_nZeroRow, info.m_nFailRow,
                              info.m_nNegative, info.m_dMinRatio, info.m_nMinRatioRow),
              std::make_tuple(3, 1, 1, 2, 1, 0.0, 1));
    CSparseMatrix last = Assembled({0, 2, 4}, {2, -2, 3, -1, 1});  // d = 2, 1, 0
    EXPECT_EQ(last.Decomposition(3), 1);
    info = last.GetPivotInfo();
    EXPECT_EQ(std::make_tuple(info.m_bFailed, info.m_nZeroRow, info.m_nFailRow, info.m_nNegative,
                              info.m_nMinRatioRow),
              std::make_tuple(0, 2, -1, 0, 2));
    CSparseMatrix copy(last);
    EXPECT_EQ(copy.GetPivotInfo().m_nZeroRow, 2);
    last.ElementBufEmpty();
    EXPECT_EQ(std::make_pair(last.GetPivotInfo().m_nRows, last.GetPivotInfo().m_nZeroRow),
              std::make_pair(0, -1));
}

// The progress hook: rising rows, at most 100 calls, the last one (n, n) after a success; no
// call when the matrix is already factorised, none past a failing row, none through a copy.
TEST_P(SkylineKernels, ProgressHookRisesToTheLastRowInAtMostAHundredCalls) {
    using Calls = std::vector<std::pair<int, int>>;
    const auto record = [](void* user, int done, int total) {
        static_cast<Calls*>(user)->push_back({done, total});
    };
    // Rows 0 .. n/2-1 diagonal only, the rest up to 40 high and coupled to their neighbour;
    // rows n/2 .. chainEnd-1 form a free chain (a mechanism).
    const auto make = [](int n, int chainEnd) {
        std::vector<int> D(n);
        for (int i = 1; i < n; ++i)
            D[i] = D[i - 1] + (i < n / 2 ? 1 : std::min(40, i - n / 2 + 1));
        CSparseMatrix m(n, D.data());
        m = 0.0;
        for (int i = 0; i < n; ++i) {
            const bool chain = i >= n / 2 && i < chainEnd;
            m(i, i) = chain ? (i == n / 2 || i == chainEnd - 1 ? 1.0 : 2.0) : 4.0;
            if (i >= n / 2 && i > 0 && D[i] - D[i - 1] > 1)
                m(i, i - 1) = -1.0;
        }
        return m;
    };
    for (int n : {1, 5, 3000}) {
        Calls calls;
        CSparseMatrix m = make(n, n / 2);
        m.SetProgressHook(record, &calls);
        CSparseMatrix copy(m);
        ASSERT_EQ(m.Decomposition(n), 1);
        ASSERT_FALSE(calls.empty()) << n;
        EXPECT_LE(calls.size(), 100u);
        EXPECT_EQ(calls.back(), std::make_pair(n, n));
        for (size_t c = 1; c < calls.size(); ++c)
            EXPECT_LT(calls[c - 1].first, calls[c].first) << n;
        const size_t before = calls.size();
        std::vector<double> b(n, 1.0);
        ASSERT_EQ(m.LdltSolve(n, b.data()), 1);
        ASSERT_EQ(copy.Decomposition(n), 1);
        EXPECT_EQ(calls.size(), before) << n;
        copy = make(n, n / 2);
        copy.SetProgressHook(record, &calls);
        copy.SetProgressHook(nullptr, &calls);
        ASSERT_EQ(copy.Decomposition(n), 1);
        EXPECT_EQ(calls.size(), before) << n;
    }
    // The chain 1500 .. 1999 ends in a vanishing pivot; row 2000 reaches it and fails.
    Calls calls;
    CSparseMatrix m = make(3000, 2000);
    m.SetProgressHook(record, &calls);
    ASSERT_EQ(m.Decomposition(3000), 0);
    ASSERT_EQ(m.GetPivotInfo().m_nFailRow, 2000);
    ASSERT_FALSE(calls.empty());
    EXPECT_LE(calls.back().first, 2000);
}

// Many right-hand sides at once (vector chunks and leftovers: 1 to 40 columns, equal and
// different) satisfy the system (K X computed by the product gives the right-hand sides back),
// and every column has the bits of the same right-hand side solved alone, which reuses the
// factors of the first solve; the many-column solve factorises to the same factors.
TEST_P(SkylineKernels, EveryColumnHasTheBitsOfItsOneVectorSolveAndTheFactorsAreReused) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-5, 5);
    for (int n : {1, 7, 40, 60, 211}) {
        const std::vector<int> D = MakeProfile(kVariable, n, rng);
        CSparseMatrix k(n, D.data());
        FillLdlt(k, D, rng, false);
        CSparseMatrix many(k), one(k);
        std::vector<double> same(n);
        for (double& v : same)
            v = u(rng);
        for (int cols = 1; cols <= 40; ++cols) {
            for (bool equal : {true, false}) {
                CMatrix B(n, cols);
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < cols; ++c)
                        B(i, c) = equal ? same[i] : u(rng);
                const CMatrix B0(B);
                ASSERT_EQ(many.LdltSolve(n, B), 1);
                const CMatrix KX = k * B;
                for (int c = 0; c < cols; ++c) {
                    std::vector<double> x(n);
                    for (int i = 0; i < n; ++i)
                        x[i] = B0(i, c);
                    ASSERT_EQ(one.LdltSolve(n, x.data()), 1);
                    for (int i = 0; i < n; ++i) {
                        ASSERT_NEAR(KX(i, c), B0(i, c), 1e-12 * k.m_pdElement[D[i]]) << "n " << n;
                        ASSERT_EQ(std::memcmp(&x[i], &B(i, c), sizeof(double)), 0)
                            << "n " << n << ", " << cols << " columns, column " << c << ", row "
                            << i;
                    }
                }
            }
        }
        EXPECT_EQ(Elements(one), Elements(many));  // each factorised once, to the same factors
    }
}

// No overflow that the written steps do not have: 7 x = -DBL_MAX gives -DBL_MAX / 7 in every
// kernel, alone and at order 600 under Auto, and results near the overflow and underflow
// limits agree with the written steps.
TEST_P(SkylineKernels, SolvesStayWithinTheRangeOfTheWrittenSteps) {
    const double big = std::numeric_limits<double>::max();
    std::mt19937 unused;
    CSparseMatrix seven = Assembled({0}, {7.0});
    double x = -big;
    EXPECT_EQ(seven.LdltSolve(1, &x), 1);
    EXPECT_EQ(x, -big / 7);
    // Tridiagonal, entries of size scale (the literal factorisation squares them), right-hand
    // sides near the overflow limit, solutions near it, or solutions in the subnormal range.
    const struct {
        double scale, rhs;
    } cases[] = {{1.0, 0.5 * big}, {1e150, 0.5 * big}, {1e-150, 0.5e-150 * big}, {1e10, 1e-300}};
    for (int n : {1, 40, 600}) {
        for (const auto& c : cases) {
            const std::vector<int> D = MakeProfile(kTridiagonal, n, unused);
            std::vector<double> E(D[n - 1] + 1);
            for (int i = 0; i < n; ++i) {
                E[D[i]] = 7.0 * c.scale;
                if (i > 0)
                    E[D[i] - 1] = (i % 3 - 1) * c.scale;
            }
            CSparseMatrix m(n, D.data()), lit(m);
            Assign(m, E);
            Assign(lit, E);
            std::vector<double> b(n);
            for (int i = 0; i < n; ++i)
                b[i] = (i % 2 ? -c.rhs : c.rhs);
            std::vector<double> ref = b;
            rvn::SetSkylineKernel(rvn::SkylineKernel::Literal);
            ASSERT_EQ(lit.LdltSolve(n, ref.data()), 1);
            rvn::SetSkylineKernel(GetParam());
            ASSERT_EQ(m.LdltSolve(n, b.data()), 1) << n << " " << c.scale;
            for (int i = 0; i < n; ++i) {
                ASSERT_TRUE(std::isfinite(ref[i])) << i;
                ASSERT_NEAR(b[i], ref[i], 1e-13 * std::fabs(ref[i]) + 1e-318)
                    << "n " << n << " scale " << c.scale << " row " << i;
            }
        }
    }
    rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);
    CSparseMatrix big600(600, MakeProfile(kDiagonal, 600, unused).data());
    big600 = 7.0;
    std::vector<double> b(600, -big);
    ASSERT_EQ(big600.LdltSolve(600, b.data()), 1);
    EXPECT_EQ(b[599], -big / 7);
}

INSTANTIATE_TEST_SUITE_P(, SkylineKernels,
                         ::testing::Values(rvn::SkylineKernel::Literal,
                                           rvn::SkylineKernel::Baseline,
                                           rvn::SkylineKernel::Avx2Fma, rvn::SkylineKernel::Avx512,
                                           rvn::SkylineKernel::Vec8Fma),
                         KernelParamName);

// Auto: the literal recurrence up to 512 stored elements, the best blocked kernel beyond.
TEST(SkylineKernelChoice, AutoTakesTheLiteralUpTo512ElementsAndTheBestKernelBeyond) {
    std::mt19937 rng(9);
    for (int last : {16, 17}) {
        std::vector<int> D = MakeProfile(kFull, 31, rng);  // 496 elements, then 512 or 513
        D.push_back(D.back() + last);
        CSparseMatrix m(32, D.data());
        FillLdlt(m, D, rng, false);
        CSparseMatrix best(m);
        std::vector<double> ref = Elements(m);
        ASSERT_EQ(LiteralFactor(ref, D, 32), 1);
        rvn::SetSkylineKernel(rvn::BestSkylineKernel());
        best.Decomposition(32);
        rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);
        ASSERT_NE(Elements(best), ref);  // the kernels differ in rounding, so the choice shows
        m.Decomposition(32);
        EXPECT_EQ(Elements(m), last == 16 ? ref : Elements(best)) << D.back() + 1;
    }
}
