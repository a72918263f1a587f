// CMatrix: its own operations (blocks, insertion and deletion ranges, MatInv) and the vector
// products.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "BaseCommon/matrix/CMatrix.h"
#include "matrix/MatrixTestUtil.h"

using matrix_test::ExpectFault;
using matrix_test::M;
using matrix_test::SameBits;

namespace {

// 5 x 2 whose row r holds (r, 10 + r): rows are recognisable after deletions.
CMatrix Numbered(int rows) {
    CMatrix m(rows, 2);
    for (int r = 0; r < rows; ++r) {
        m(r, 0) = r;
        m(r, 1) = 10 + r;
    }
    return m;
}

}  // namespace

TEST(CMatrixEdit, DelRowRangesInsertInsideOrAppendPast4096) {
    const struct {
        int first, last;
        std::vector<double> left;
    } cases[] = {
        {2, 0, {0, 1, 3, 4}},     // last = 0: only row first
        {1, 3, {0, 4}},           // inclusive range
        {3, 1, {0, 1, 2, 3, 4}},  // reversed: nothing
        {0, 4, {}},
    };
    for (const auto& c : cases) {
        CMatrix m = Numbered(5);
        m.DelRow(c.first, c.last);
        EXPECT_EQ(m.GetColVector(0), c.left) << c.first << ", " << c.last;
    }
    CMatrix m = Numbered(5);
    m.DelCol(0, 1);  // every column: rows x 0
    EXPECT_TRUE(m.GetRow() == 5 && m.GetCol() == 0 && m[4].empty());

    m = Numbered(3);
    m.InsertRow(1, 2);
    EXPECT_EQ(m.GetColVector(0), (std::vector<double>{0, 0, 0, 1, 2}));
    m = Numbered(3);
    m.InsertRow(5, 2);  // beyond the end: zero rows until there are pos + count
    EXPECT_EQ(m.GetColVector(0), (std::vector<double>{0, 1, 2, 0, 0, 0, 0}));
    m = Numbered(2);
    m.InsertCol(0, 1);
    m.InsertCol(4, 1);
    EXPECT_TRUE(SameBits(m, M(2, 5, {0, 0, 10, 0, 0, 0, 1, 11, 0, 0})));
    CMatrix empty(0, 3);
    empty.InsertRow(0, 2);
    EXPECT_TRUE(SameBits(empty, CMatrix(2, 3)));
    // Growth is refused only where the count would pass INT_MAX (see the fault table): a
    // right-hand side of many equations grows past the constructor's 4096 rows.
    m = Numbered(3);
    m.InsertRow(5000, 6);
    EXPECT_EQ(m.GetRow(), 5006);
    EXPECT_EQ(m(5005, 1), 0.0);
    m.InsertRow(5000, -904);  // a target not above the current count appends nothing
    EXPECT_EQ(m.GetRow(), 5006);
}

TEST(CMatrixBlocks, GetPartJoinAndTrans) {
    const CMatrix a = M(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    CMatrix m = a;
    m.GetPart(0, 0, 0, 2);
    EXPECT_TRUE(SameBits(m, a));
    m.GetPart(1, 3, 0, 2);
    EXPECT_TRUE(SameBits(m, M(2, 2, {4, 5, 7, 8})));

    // {rows, cols} of a, of b, of the join; equal rows win, no match leaves the target.
    const int joins[][6] = {
        {2, 2, 2, 3, 2, 5}, {2, 3, 4, 3, 6, 3}, {2, 2, 2, 2, 2, 4}, {2, 2, 3, 3, 1, 1}};
    for (const auto& c : joins) {
        CMatrix ja(c[0], c[1], 1.0), jb(c[2], c[3], 2.0), j(1, 1, 9.0);
        j.Join(ja, jb);
        EXPECT_EQ(std::make_pair(j.GetRow(), j.GetCol()), std::make_pair(c[4], c[5]));
    }
    CMatrix top = M(1, 2, {1, 2});
    CMatrix bottom = M(2, 2, {3, 4, 5, 6});
    top.Join(top, bottom);  // an operand may be the target
    top.Join(top, top);
    EXPECT_TRUE(SameBits(top, M(3, 4, {1, 2, 1, 2, 3, 4, 3, 4, 5, 6, 5, 6})));
    m = M(2, 3, {1, 2, 3, 4, 5, 6});
    m.Trans(m);
    EXPECT_TRUE(SameBits(m, M(3, 2, {1, 4, 2, 5, 3, 6})));
}

TEST(CMatrixBlocks, GetBlockDelBlockBlockEqual) {
    const CMatrix a = M(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    int rows[] = {2, 0};
    int cols[] = {1, 1, 0};
    CMatrix dst;
    a.GetBlock(dst, 2, 3, rows, cols);
    EXPECT_TRUE(SameBits(dst, M(2, 3, {8, 8, 7, 2, 2, 1})));
    CMatrix self = a;
    self.GetBlock(self, 2, 3, rows, cols);
    EXPECT_TRUE(SameBits(self, dst));

    // Deletions renumber: descending indices remove what they name in the original.
    const CMatrix n5 = Numbered(5);
    int desc[] = {3, 1};
    int asc[] = {1, 3};
    int col[] = {1};
    n5.DelBlock(dst, 2, 1, desc, col);
    EXPECT_TRUE(SameBits(dst, M(3, 1, {0, 2, 4})));
    n5.DelBlock(dst, 2, 0, asc, col);
    EXPECT_EQ(dst.GetColVector(0), (std::vector<double>{0, 2, 3}));  // original row 4 went, not 3
    CMatrix four = Numbered(4);
    ExpectFault([&] { four.DelBlock(four, 2, 0, asc, col); }, "at DeleteRow", 3, -1);
    EXPECT_EQ(four.GetColVector(0), (std::vector<double>{0, 2, 3}));  // the first deletion stays

    CMatrix t(3, 3);
    CMatrix src = M(2, 2, {1, 2, 3, 4});
    const int idx[] = {0, 2};
    EXPECT_EQ(t.BlockEqual(src, 2, idx), 1);
    EXPECT_TRUE(SameBits(t, M(3, 3, {1, 0, 2, 0, 0, 0, 3, 0, 4})));
    EXPECT_EQ(t.BlockEqual(src, 3, idx), 0);
    EXPECT_EQ(t.BlockEqual(src, 0, idx), 0);
    CMatrix u(3, 3);
    const int badIdx[] = {0, 5};
    ExpectFault([&] { u.BlockEqual(src, 2, badIdx); }, "at SetValue", -1, 5);
    EXPECT_TRUE(SameBits(u, M(3, 3, {1, 0, 0, 0, 0, 0, 0, 0, 0})));  // written before the fault
}

TEST(CMatrixInverse, MatInvPivotsKeepsTiesAndLeavesASingularMatrix) {
    CMatrix swap = M(2, 2, {0, 1, 1, 0});
    EXPECT_EQ(swap.MatInv(), 1);
    EXPECT_TRUE(SameBits(swap, M(2, 2, {0, 1, 1, 0})));
    // |1| and |-1| tie: the upper row stays the pivot (the lower one gives 0.6000000000000001).
    CMatrix tie = M(2, 2, {1, 2, -1, 3});
    EXPECT_EQ(tie.MatInv(), 1);
    EXPECT_TRUE(SameBits(tie, M(2, 2, {0.6, -0.4, 0.2, 0.2})));
    // The zero pivot appears only after the first elimination step.
    CMatrix singular = M(3, 3, {1, 2, 3, 2, 4, 6, 1, 1, 1});
    EXPECT_EQ(singular.MatInv(), 0);
    EXPECT_TRUE(SameBits(singular, M(3, 3, {1, 2, 3, 2, 4, 6, 1, 1, 1})));
    // The order is the column count: a taller matrix has its leading block inverted and its
    // further rows kept; a wider one is refused.
    CMatrix tall = M(3, 2, {4, 7, 2, 6, 9, -9}), block = M(2, 2, {4, 7, 2, 6});
    EXPECT_EQ(tall.MatInv(), 1);
    EXPECT_EQ(block.MatInv(), 1);
    block.AddRow(9);
    block(2, 1) = -9;
    EXPECT_TRUE(SameBits(tall, block));
    CMatrix wide(2, 3, 1.0);
    EXPECT_EQ(wide.MatInv(), 0);
    EXPECT_TRUE(SameBits(wide, CMatrix(2, 3, 1.0)));
}

// A singular matrix whose elimination leaves a rounding residue instead of an exact zero
// pivot is refused like an exact one; matrices whose rows or columns differ greatly in scale,
// and so have pivots small beside other elements, keep their inverse.
TEST(CMatrixInverse, MatInvRefusesRoundingLevelPivotsOfSingularMatrices) {
    // Diagonally dominant with real entries (a fixed pseudo-random sequence), then row t made
    // a copy of row r, or -2 times it: singular, yet no pivot comes out exactly zero.
    unsigned state = 12345u;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) % 2001u) / 1000.0 - 1.0;
    };
    int refused = 0, cases = 0;
    for (int n : {3, 5, 12, 17, 28, 40}) {
        for (int trial = 0; trial < 8; ++trial) {
            CMatrix a(n, n);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    a(i, j) = next() + (i == j ? n : 0.0);
            const int r = trial % n, t = (r + 1 + trial % (n - 1)) % n;
            const double f = trial % 2 ? -2.0 : 1.0;
            for (int j = 0; j < n; ++j)
                a(t, j) = f * a(r, j);
            CMatrix inv(a);
            refused += inv.MatInv() == 0;
            ++cases;
            EXPECT_TRUE(SameBits(inv, a)) << "order " << n << " trial " << trial;
        }
    }
    EXPECT_EQ(refused, cases);

    // Rows 1e-20 apart in scale, columns 1e6 apart (a circle through three points far from
    // the origin), the coordinates of a small triangle at 1e6: all regular.
    const CMatrix graded[] = {
        M(3, 3, {2, 1, 0, 1e-20, 3e-20, 1e-20, 0, 1, 4}),
        M(3, 3, {1e6, 1e6, 1, 1e6 + 1, 1e6, 1, 1e6, 1e6 + 1, 1}),
        M(3, 3, {1e6, 2e6, 1, 1e6 + 0.01, 2e6, 1, 1e6, 2e6 + 0.01, 1}),
    };
    for (const CMatrix& g : graded) {
        CMatrix inv(g);
        ASSERT_EQ(inv.MatInv(), 1);
        // inv * g = I to the rounding of each product's terms.
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                double sum = 0.0, size = 0.0;
                for (int k = 0; k < 3; ++k) {
                    sum += inv(i, k) * g(k, j);
                    size += std::fabs(inv(i, k) * g(k, j));
                }
                EXPECT_LE(std::fabs(sum - (i == j ? 1.0 : 0.0)), 1e-9 * size) << i << j;
            }
    }
}

TEST(CMatrixVectors, ProductsUseTheTopLeftBlock) {
    // 4 x 4 so that a product reaching past the block would show.
    const CMatrix m = M(4, 4, {1, 2, 3, 100, 4, 5, 6, 100, 7, 8, 10, 100, 100, 100, 100, 100});
    // m * v is the column-vector product (rows . v), v * m the row-vector one (v . columns).
    const C3DVec v(1, -1, 2), mv = m * v, vm = v * m;
    const C2DVec w(2, -1), mw = m * w, wm = w * m;
    EXPECT_EQ(std::vector<double>({mv.x, mv.y, mv.z, vm.x, vm.y, vm.z, mw.x, mw.y, wm.x, wm.y}),
              (std::vector<double>{5, 11, 19, 11, 13, 17, 0, 3, -2, -1}));

    ExpectFault([&] { CMatrix(2, 3) * v; }, "at operator*", 2, -1);
    ExpectFault([&] { v* CMatrix(3, 2); }, "at operator*", -1, 2);
    ExpectFault([&] { w* CMatrix(1, 2); }, "at operator*", 1, -1);
    ExpectFault([&] { CMatrix(2, 1) * w; }, "at operator*", -1, 1);
}
