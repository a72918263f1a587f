// CMatrix: its own operations (blocks, insertion and deletion ranges, MatInv) and the vector
// products.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "BaseCommon/matrix/CMatrix.h"
#include "matrix/MatrixTestUtil.h"

using matrix_test::ExpectOutOfRange;
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

std::vector<double> Column0(const CMatrix& m) {
    std::vector<double> v;
    for (int r = 0; r < m.GetRow(); ++r)
        v.push_back(m(r, 0));
    return v;
}

}  // namespace

TEST(CMatrixEdit, DelRowRangesAndRefusals) {
    struct Case {
        int first, last;
        std::vector<double> left;
    };
    const Case cases[] = {
        {2, 0, {0, 1, 3, 4}},  // last = 0: only row first
        {0, 0, {1, 2, 3, 4}},
        {1, 3, {0, 4}},           // inclusive range
        {3, 1, {0, 1, 2, 3, 4}},  // reversed: nothing
        {0, 4, {}},
    };
    for (const Case& c : cases) {
        CMatrix m = Numbered(5);
        m.DelRow(c.first, c.last);
        EXPECT_EQ(Column0(m), c.left) << c.first << ", " << c.last;
    }
    CMatrix m = Numbered(5);
    ExpectOutOfRange([&] { m.DelRow(3, 5); }, 5, -1, "at DeleteRow");
    ExpectOutOfRange([&] { m.DelRow(-1, 2); }, -1, -1, "at DeleteRow");  // not half-done
    ExpectOutOfRange([&] { m.DelRow(7); }, 7, -1, "at DeleteRow");
    ExpectOutOfRange([&] { m.DelCol(0, 2); }, -1, 2, "at DeleteCol");
    ExpectOutOfRange([&] { m.DelCol(-1, 1); }, -1, -1, "at DeleteCol");
    EXPECT_TRUE(SameBits(m, Numbered(5)));
    m.DelCol(0, 1);
    EXPECT_EQ(m.GetCol(), 0);
}

TEST(CMatrixEdit, InsertRowAndColumnInsideOrAppend) {
    CMatrix m = Numbered(3);
    m.InsertRow(1, 2);
    EXPECT_EQ(Column0(m), (std::vector<double>{0, 0, 0, 1, 2}));
    EXPECT_EQ(m(2, 1), 0.0);
    EXPECT_EQ(m(3, 1), 11.0);

    m = Numbered(3);
    m.InsertRow(5, 2);  // beyond the end: zero rows until there are pos + count
    EXPECT_EQ(Column0(m), (std::vector<double>{0, 1, 2, 0, 0, 0, 0}));
    m.InsertRow(3, 1);  // already enough rows in that case: inserts inside
    EXPECT_EQ(m.GetRow(), 8);
    m.InsertRow(8, 0);
    EXPECT_EQ(m.GetRow(), 8);
    ExpectOutOfRange([&] { m.InsertRow(-1, 1); }, -1, -1, "at InsertRow");

    m = Numbered(2);
    m.InsertCol(0, 1);
    m.InsertCol(4, 1);
    EXPECT_TRUE(SameBits(m, M(2, 5, {0, 0, 10, 0, 0, 0, 1, 11, 0, 0})));
    ExpectOutOfRange([&] { m.InsertCol(-2, 1); }, -1, -2, "at InsertCol");

    CMatrix empty(0, 3);
    empty.InsertRow(0, 2);
    EXPECT_TRUE(SameBits(empty, CMatrix(2, 3)));
}

// Growth is refused only where the count would pass INT_MAX (pos + count once overflowed
// int: fuzz corpus matrix/insertcol_sum_overflows); a right-hand side of many equations grows
// past the constructor's 4096 rows.
TEST(CMatrixEdit, InsertRefusesOnlyCountsBeyondInt) {
    const CMatrix start = Numbered(3);
    CMatrix m = start;
    ExpectOutOfRange([&] { m.InsertRow(INT_MAX, 6); }, INT_MAX, -1, "at InsertRow");
    ExpectOutOfRange([&] { m.InsertCol(0, INT_MAX); }, -1, 0, "at InsertCol");
    EXPECT_TRUE(SameBits(m, start));

    m.InsertRow(5000, 6);
    EXPECT_EQ(m.GetRow(), 5006);
    EXPECT_EQ(m(5005, 1), 0.0);
    m.InsertRow(5000, -904);  // a target not above the current count appends nothing
    EXPECT_EQ(m.GetRow(), 5006);
}

// r1 - r0 of two ints may be no int: the size is reported clamped, and the order of the
// checks (sizes, then ranges) is kept (fuzz corpus matrix/getpart_size_overflows).
TEST(CMatrixBlocks, GetPartSizeBeyondIntIsRefusedAsASize) {
    const CMatrix start = Numbered(3);
    CMatrix m = start;
    ExpectOutOfRange([&] { m.GetPart(INT_MIN, 11, 0, 1); }, INT_MAX, -1, "at Resize");
    ExpectOutOfRange([&] { m.GetPart(1, INT_MIN, 0, 1); }, INT_MIN, -1, "at Resize");
    ExpectOutOfRange([&] { m.GetPart(0, 1, INT_MAX, -2); }, -1, INT_MIN, "at Resize");
    ExpectOutOfRange([&] { m.GetPart(-5000, 1, 0, 1); }, 5001, -1, "at Resize");
    ExpectOutOfRange([&] { m.GetPart(-1, 1, 0, 1); }, -1, -1, "at GetPart");
    EXPECT_TRUE(SameBits(m, start));
}

TEST(CMatrixBlocks, GetPartJoinAndTrans) {
    const CMatrix a = M(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    CMatrix m = a;
    m.GetPart(0, 0, 0, 2);
    EXPECT_TRUE(SameBits(m, a));
    m.GetPart(1, 3, 0, 2);
    EXPECT_TRUE(SameBits(m, M(2, 2, {4, 5, 7, 8})));
    m = a;
    ExpectOutOfRange([&] { m.GetPart(2, 1, 0, 2); }, -1, -1, "at Resize");
    ExpectOutOfRange([&] { m.GetPart(1, 4, 0, 2); }, 4, -1, "at GetPart");
    ExpectOutOfRange([&] { m.GetPart(0, 1, -1, 2); }, -1, -1, "at GetPart");
    EXPECT_TRUE(SameBits(m, a));

    struct Case {
        int ra, ca, rb, cb, rows, cols;
    };
    const Case cases[] = {
        {2, 2, 2, 3, 2, 5},
        {2, 3, 4, 3, 6, 3},
        {2, 2, 2, 2, 2, 4},  // equal rows win
        {2, 2, 3, 3, 1, 1},  // no match: unchanged
    };
    for (const Case& c : cases) {
        CMatrix ja(c.ra, c.ca, 1.0);
        CMatrix jb(c.rb, c.cb, 2.0);
        CMatrix j(1, 1, 9.0);
        j.Join(ja, jb);
        EXPECT_EQ(j.GetRow(), c.rows);
        EXPECT_EQ(j.GetCol(), c.cols);
    }
    CMatrix top = M(1, 2, {1, 2});
    CMatrix bottom = M(2, 2, {3, 4, 5, 6});
    top.Join(top, bottom);  // an operand may be the target
    EXPECT_TRUE(SameBits(top, M(3, 2, {1, 2, 3, 4, 5, 6})));
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
    int bad[] = {0, 3};
    ExpectOutOfRange([&] { a.GetBlock(dst, 2, 1, bad, cols); }, 3, -1, "at GetBlock");

    // Deletions renumber: descending indices remove what they name in the original.
    const CMatrix n5 = Numbered(5);
    int desc[] = {3, 1};
    int asc[] = {1, 3};
    int col[] = {1};
    n5.DelBlock(dst, 2, 1, desc, col);
    EXPECT_TRUE(SameBits(dst, M(3, 1, {0, 2, 4})));
    n5.DelBlock(dst, 2, 0, asc, col);
    EXPECT_EQ(Column0(dst), (std::vector<double>{0, 2, 3}));  // original row 4 went, not 3
    CMatrix four = Numbered(4);
    ExpectOutOfRange([&] { four.DelBlock(four, 2, 0, asc, col); }, 3, -1, "at DeleteRow");
    EXPECT_EQ(Column0(four), (std::vector<double>{0, 2, 3}));  // the first deletion stays

    CMatrix t(3, 3);
    CMatrix src = M(2, 2, {1, 2, 3, 4});
    const int idx[] = {0, 2};
    EXPECT_EQ(t.BlockEqual(src, 2, idx), 1);
    EXPECT_TRUE(SameBits(t, M(3, 3, {1, 0, 2, 0, 0, 0, 3, 0, 4})));
    EXPECT_EQ(t.BlockEqual(src, 3, idx), 0);
    EXPECT_EQ(t.BlockEqual(src, 0, idx), 0);
    CMatrix u(3, 3);
    const int badIdx[] = {0, 5};
    ExpectOutOfRange([&] { u.BlockEqual(src, 2, badIdx); }, -1, 5, "at SetValue");
    EXPECT_TRUE(SameBits(u, M(3, 3, {1, 0, 0, 0, 0, 0, 0, 0, 0})));  // written before the fault
}

TEST(CMatrixInverse, MatInvKnownCasesAndRefusals) {
    CMatrix swap = M(2, 2, {0, 1, 1, 0});
    EXPECT_EQ(swap.MatInv(), 1);
    EXPECT_TRUE(SameBits(swap, M(2, 2, {0, 1, 1, 0})));
    // |1| and |-1| tie: the upper row stays the pivot (the lower one gives 0.6000000000000001).
    CMatrix tie = M(2, 2, {1, 2, -1, 3});
    EXPECT_EQ(tie.MatInv(), 1);
    EXPECT_TRUE(SameBits(tie, M(2, 2, {0.6, -0.4, 0.2, 0.2})));
    CMatrix m = M(2, 2, {4, 7, 2, 6});
    EXPECT_EQ(m.MatInv(), 1);
    const double want[] = {0.6, -0.7, -0.2, 0.4};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(m(k / 2, k % 2), want[k], 1e-15);

    // The zero pivot appears only after the first elimination step.
    CMatrix singular = M(3, 3, {1, 2, 3, 2, 4, 6, 1, 1, 1});
    const CMatrix before = singular;
    EXPECT_EQ(singular.MatInv(), 0);
    EXPECT_TRUE(SameBits(singular, before));
    CMatrix rect(2, 3, 1.0);
    EXPECT_EQ(rect.MatInv(), 0);
    EXPECT_TRUE(SameBits(rect, CMatrix(2, 3, 1.0)));
    CMatrix empty;
    EXPECT_EQ(empty.MatInv(), 1);
}

TEST(CMatrixMisc, ScalarOperationsRankAndChecks) {
    CMatrix m = M(2, 2, {1, -2, 3, 4});
    EXPECT_TRUE(SameBits(m * 0.5, M(2, 2, {0.5, -1, 1.5, 2})));
    m *= -1.0;
    EXPECT_TRUE(SameBits(m, M(2, 2, {-1, 2, -3, -4})));
    m = 2.5;
    EXPECT_TRUE(SameBits(m, CMatrix(2, 2, 2.5)));
    EXPECT_EQ(M(2, 2, {1, 0, 0, 1}).Rank(), 2.0);
    m.Unit(4096);  // only the check: nothing is built
    m.Diag();
    ExpectOutOfRange([&] { m.Unit(0); }, 0, -1, "at Unit");
    matrix_test::ExpectMisMatch([] { CMatrix(2, 1).Diag(); },
                                "Error in Diag(): Row not equal to Col");
    EXPECT_TRUE(SameBits(m, CMatrix(2, 2, 2.5)));
}

TEST(CMatrixVectors, ProductsUseTheTopLeftBlock) {
    // 4 x 4 so that a product reaching past the block would show.
    const CMatrix m = M(4, 4, {1, 2, 3, 100, 4, 5, 6, 100, 7, 8, 10, 100, 100, 100, 100, 100});
    const C3DVec v(1, -1, 2);
    const C3DVec mv = m * v;  // column vector: rows . v
    const C3DVec vm = v * m;  // row vector: v . columns
    EXPECT_EQ(std::vector<double>({mv.x, mv.y, mv.z}), (std::vector<double>{5, 11, 19}));
    EXPECT_EQ(std::vector<double>({vm.x, vm.y, vm.z}), (std::vector<double>{11, 13, 17}));
    const C2DVec w(2, -1);
    const C2DVec mw = m * w;
    const C2DVec wm = w * m;
    EXPECT_EQ(std::vector<double>({mw.x, mw.y, wm.x, wm.y}), (std::vector<double>{0, 3, -2, -1}));

    ExpectOutOfRange([&] { CMatrix(2, 3) * v; }, 2, -1, "at operator*");
    ExpectOutOfRange([&] { v* CMatrix(3, 2); }, -1, 2, "at operator*");
    ExpectOutOfRange([&] { w* CMatrix(1, 2); }, 1, -1, "at operator*");
    ExpectOutOfRange([&] { CMatrix(2, 1) * w; }, -1, 1, "at operator*");
}
