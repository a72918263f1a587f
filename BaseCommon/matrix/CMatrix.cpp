#include "BaseCommon/matrix/CMatrix.h"

#include <climits>
#include <utility>
#include <vector>

#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "BaseCommon/matrix/detail/DenseKernels.h"

namespace {

size_t Idx(int i) {
    return static_cast<size_t>(i);
}

// MatInv works on two n x n row-major buffers; up to this order they live on the stack, so
// the small inversions of the geometry code allocate nothing.
constexpr int kMatInvStackOrder = 16;

// Whether the leading n x n block of rows counts as singular to complete pivoting (its
// pivots within n * DBL_EPSILON * ||A||inf of zero), an underflowing determinant aside.
bool RankDeficient(const std::vector<std::vector<double>>& rows, int n) {
    std::vector<double> lu(Idx(n) * Idx(n));
    for (size_t i = 0; i < Idx(n); ++i)
        for (size_t j = 0; j < Idx(n); ++j)
            lu[i * Idx(n) + j] = rows[i][j];
    std::vector<int> rowSwaps(Idx(n)), colSwaps(Idx(n));
    bool singular = false;
    mtxkit::detail::FactorFullPivotLU(lu.data(), n, rowSwaps.data(), colSwaps.data(), &singular);
    return singular;
}

}  // namespace

CMatrix::CMatrix() = default;

CMatrix::CMatrix(int nRow, int nCol) : Base(nRow, nCol, 0.0) {}

CMatrix::CMatrix(int nRow, int nCol, double fill) : Base(nRow, nCol, fill) {}

CMatrix::CMatrix(const CMatrix& m) = default;

CMatrix::CMatrix(const Base& m) : Base(m) {}

CMatrix::CMatrix(CMatrix&& m) noexcept = default;

CMatrix::CMatrix(Base&& m) noexcept : Base(std::move(m)) {}

CMatrix& CMatrix::operator=(const CMatrix& m) {
    Base::operator=(m);
    return *this;
}

CMatrix& CMatrix::operator=(const Base& m) {
    Base::operator=(m);
    return *this;
}

CMatrix& CMatrix::operator=(CMatrix&& m) noexcept {
    Base::operator=(std::move(m));
    return *this;
}

CMatrix& CMatrix::operator=(double v) {
    for (std::vector<double>& row : m_vecData)
        for (double& x : row)
            x = v;
    return *this;
}

CMatrix& CMatrix::Realloc(int nRow, int nCol) {
    Resize(nRow, nCol, 0.0);
    return *this;
}

// ---- arithmetic --------------------------------------------------------------------------------

CMatrix CMatrix::operator+(const CMatrix& m) const {
    return CMatrix(Base::operator+(m));
}

CMatrix CMatrix::operator-(const CMatrix& m) const {
    return CMatrix(Base::operator-(m));
}

CMatrix CMatrix::operator*(const CMatrix& m) const {
    return CMatrix(Base::operator*(m));
}

CMatrix CMatrix::operator^(const int& t) const {
    return CMatrix(Base::operator^(t));
}

CMatrix& CMatrix::operator+=(const CMatrix& m) {
    Base::operator+=(m);
    return *this;
}

CMatrix& CMatrix::operator-=(const CMatrix& m) {
    Base::operator-=(m);
    return *this;
}

CMatrix& CMatrix::operator*=(const CMatrix& m) {
    Base::operator*=(m);
    return *this;
}

CMatrix& CMatrix::operator^=(const int& t) {
    Base::operator^=(t);
    return *this;
}

int CMatrix::operator==(const CMatrix& m) const {
    return Base::operator==(m);
}

int CMatrix::operator!=(const CMatrix& m) const {
    return Base::operator!=(m);
}

CMatrix CMatrix::operator*(double s) const {
    CMatrix r(*this);
    r *= s;
    return r;
}

CMatrix& CMatrix::operator*=(double s) {
    for (std::vector<double>& row : m_vecData)
        for (double& x : row)
            x *= s;
    return *this;
}

C2DVec CMatrix::operator*(const C2DVec& v) const {
    if (m_nRowSize < 2)
        throw mtxkit::OutOfRange(m_nRowSize, -1, "at operator*");
    if (m_nColSize < 2)
        throw mtxkit::OutOfRange(-1, m_nColSize, "at operator*");
    const CMatrix& m = *this;
    return C2DVec(m(0, 0) * v.x + m(0, 1) * v.y, m(1, 0) * v.x + m(1, 1) * v.y);
}

C3DVec CMatrix::operator*(const C3DVec& v) const {
    if (m_nRowSize < 3)
        throw mtxkit::OutOfRange(m_nRowSize, -1, "at operator*");
    if (m_nColSize < 3)
        throw mtxkit::OutOfRange(-1, m_nColSize, "at operator*");
    const CMatrix& m = *this;
    return C3DVec(m(0, 0) * v.x + m(0, 1) * v.y + m(0, 2) * v.z,
                  m(1, 0) * v.x + m(1, 1) * v.y + m(1, 2) * v.z,
                  m(2, 0) * v.x + m(2, 1) * v.y + m(2, 2) * v.z);
}

// ---- shape editing -----------------------------------------------------------------------------

CMatrix& CMatrix::SwapRow(int i, int k) {
    SwapRows(i, k);
    return *this;
}

CMatrix& CMatrix::SwapCol(int i, int k) {
    SwapColom(i, k);
    return *this;
}

CMatrix& CMatrix::Trans(const CMatrix& m) {
    Base t = m.Turn();
    Base::operator=(std::move(t));
    return *this;
}

CMatrix& CMatrix::DelRow(int first, int last) {
    if (last == 0) {
        DeleteRow(first);
        return *this;
    }
    if (last < first)
        return *this;
    // Deleting from the bottom up keeps the lower indices valid; the two checks throw what
    // the deletions would end on, but before the first of them instead of half-way.
    if (last < 0 || last >= m_nRowSize)
        throw mtxkit::OutOfRange(last, -1, "at DeleteRow");
    if (first < 0)
        throw mtxkit::OutOfRange(-1, -1, "at DeleteRow");
    for (int r = last; r >= first; --r)
        DeleteRow(r);
    return *this;
}

CMatrix& CMatrix::DelCol(int first, int last) {
    if (last == 0) {
        DeleteCol(first);
        return *this;
    }
    if (last < first)
        return *this;
    if (last < 0 || last >= m_nColSize)
        throw mtxkit::OutOfRange(-1, last, "at DeleteCol");
    if (first < 0)
        throw mtxkit::OutOfRange(-1, -1, "at DeleteCol");
    for (int c = last; c >= first; --c)
        DeleteCol(c);
    return *this;
}

namespace {

// InsertRow / InsertCol grow the count n to n + count (inside) or to pos + count (appending),
// formed in 64 bits: pos and count are the caller's ints and their sum may pass INT_MAX,
// which no count can hold. Growth itself is not bounded by the constructor's 4096: a
// right-hand side of a large structure has many more rows, and is grown this way.
int ClampToInt(long long v) {
    return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
}

bool GrowsPastInt(int n, int pos, int count) {
    const long long target =
        pos < n ? static_cast<long long>(n) + count : static_cast<long long>(pos) + count;
    return target > INT_MAX;
}

}  // namespace

CMatrix& CMatrix::InsertRow(int pos, int count) {
    if (GrowsPastInt(m_nRowSize, pos, count))
        throw mtxkit::OutOfRange(pos, -1, "at InsertRow");
    if (pos < m_nRowSize) {
        for (int k = 0; k < count; ++k)
            InsrtRow(pos + k, 0.0);
    } else {
        while (m_nRowSize < pos + count)
            AddRow(0.0);
    }
    return *this;
}

CMatrix& CMatrix::InsertCol(int pos, int count) {
    if (GrowsPastInt(m_nColSize, pos, count))
        throw mtxkit::OutOfRange(-1, pos, "at InsertCol");
    if (pos < m_nColSize) {
        for (int k = 0; k < count; ++k)
            InsrtCol(pos + k, 0.0);
    } else {
        while (m_nColSize < pos + count)
            AddCol(0.0);
    }
    return *this;
}

CMatrix& CMatrix::GetPart(int r0, int r1, int c0, int c1) {
    if (r1 == r0 || c1 == c0)
        return *this;
    // The size checks of constructing the part, made before the range checks as that
    // construction made them, but without building it, so a bad range costs no allocation.
    // The sizes are formed in 64 bits and reported clamped to int: r1 - r0 of two ints
    // may not be one.
    const int nr = ClampToInt(static_cast<long long>(r1) - r0);
    const int nc = ClampToInt(static_cast<long long>(c1) - c0);
    if (nr < 0 || nr > mtxkit::kMaxMatrixSize)
        throw mtxkit::OutOfRange(nr, -1, "at Resize");
    if (nc < 0 || nc > mtxkit::kMaxMatrixSize)
        throw mtxkit::OutOfRange(-1, nc, "at Resize");
    if (r0 < 0)
        throw mtxkit::OutOfRange(r0, -1, "at GetPart");
    if (r1 > m_nRowSize)
        throw mtxkit::OutOfRange(r1, -1, "at GetPart");
    if (c0 < 0)
        throw mtxkit::OutOfRange(-1, c0, "at GetPart");
    if (c1 > m_nColSize)
        throw mtxkit::OutOfRange(-1, c1, "at GetPart");
    CMatrix part(nr, nc);
    for (int i = r0; i < r1; ++i)
        for (int j = c0; j < c1; ++j)
            part(i - r0, j - c0) = (*this)(i, j);
    Base::operator=(std::move(part));
    return *this;
}

CMatrix& CMatrix::Join(CMatrix& a, CMatrix& b) {
    // Built aside: a or b may be this.
    if (a.m_nRowSize == b.m_nRowSize) {
        CMatrix j(a.m_nRowSize, a.m_nColSize + b.m_nColSize);
        for (int r = 0; r < a.m_nRowSize; ++r) {
            for (int c = 0; c < a.m_nColSize; ++c)
                j(r, c) = a(r, c);
            for (int c = 0; c < b.m_nColSize; ++c)
                j(r, a.m_nColSize + c) = b(r, c);
        }
        Base::operator=(std::move(j));
    } else if (a.m_nColSize == b.m_nColSize) {
        CMatrix j(a.m_nRowSize + b.m_nRowSize, a.m_nColSize);
        for (int r = 0; r < a.m_nRowSize; ++r)
            for (int c = 0; c < a.m_nColSize; ++c)
                j(r, c) = a(r, c);
        for (int r = 0; r < b.m_nRowSize; ++r)
            for (int c = 0; c < b.m_nColSize; ++c)
                j(a.m_nRowSize + r, c) = b(r, c);
        Base::operator=(std::move(j));
    }
    return *this;
}

void CMatrix::GetBlock(CMatrix& dst, int nr, int nc, int* rowIdx, int* colIdx) const {
    CMatrix block(nr, nc);
    for (int i = 0; i < nr; ++i)
        if (rowIdx[i] < 0 || rowIdx[i] >= m_nRowSize)
            throw mtxkit::OutOfRange(rowIdx[i], -1, "at GetBlock");
    for (int j = 0; j < nc; ++j)
        if (colIdx[j] < 0 || colIdx[j] >= m_nColSize)
            throw mtxkit::OutOfRange(-1, colIdx[j], "at GetBlock");
    for (int i = 0; i < nr; ++i)
        for (int j = 0; j < nc; ++j)
            block(i, j) = (*this)(rowIdx[i], colIdx[j]);
    dst = std::move(block);  // dst may be this: the block was read before it is replaced
}

void CMatrix::DelBlock(CMatrix& dst, int nr, int nc, int* rowIdx, int* colIdx) const {
    if (&dst != this)
        dst = *this;
    for (int i = 0; i < nr; ++i)
        dst.DeleteRow(rowIdx[i]);
    for (int j = 0; j < nc; ++j)
        dst.DeleteCol(colIdx[j]);
}

int CMatrix::BlockEqual(CMatrix& src, int n, const int* idx) {
    if (n < 1 || src.m_nRowSize < n || src.m_nColSize < n)
        return 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            SetValue(idx[i], idx[j], src(i, j));
    return 1;
}

// ---- inverse and measures --------------------------------------------------------------------

int CMatrix::MatInv() {
    // The order is the column count; a taller matrix has its leading square block inverted
    // and its further rows kept, a wider one has too few rows to eliminate. The elimination
    // runs on copies, so a singular matrix is left exactly as it was instead of
    // half-eliminated.
    if (m_nRowSize < m_nColSize)
        return 0;
    const int n = m_nColSize;
    const size_t nn = Idx(n) * Idx(n);
    double stackBuf[2 * kMatInvStackOrder * kMatInvStackOrder + kMatInvStackOrder];
    std::vector<double> heapBuf;
    double* a = stackBuf;
    if (n > kMatInvStackOrder) {
        heapBuf.resize(2 * nn + Idx(n));
        a = heapBuf.data();
    }
    double* b = a + nn;
    double* rowRounding = b + nn;
    for (size_t i = 0; i < Idx(n); ++i)
        for (size_t j = 0; j < Idx(n); ++j) {
            a[i * Idx(n) + j] = m_vecData[i][j];
            b[i * Idx(n) + j] = (i == j) ? 1.0 : 0.0;
        }
    bool suspect = false;
    if (!mtxkit::detail::InvertPivoted(a, b, n, rowRounding, &suspect))
        return 0;
    // An exactly singular matrix rarely meets an exactly zero pivot: rounding leaves a residue
    // in its place, and dividing by it gives an "inverse" of order 1/DBL_EPSILON. A pivot at
    // the rounding level of its own row is only a suspicion (a matrix whose columns differ
    // greatly in scale has such pivots and a good inverse), so complete pivoting, whose
    // residues stay within n * DBL_EPSILON * ||A||inf of zero, decides; a matrix refused
    // there but not suspected here (rows of very different scale) keeps its inverse.
    if (suspect && RankDeficient(m_vecData, n))
        return 0;
    for (size_t i = 0; i < Idx(n); ++i)
        for (size_t j = 0; j < Idx(n); ++j)
            m_vecData[i][j] = b[i * Idx(n) + j];
    return 1;
}

CMatrix CMatrix::GetRow(const int& i) const {
    return CMatrix(Base::GetRow(i));
}

CMatrix CMatrix::GetCol(const int& j) const {
    return CMatrix(Base::GetCol(j));
}

CMatrix CMatrix::GetAij(const int& i, const int& j) {
    return CMatrix(Base::GetAij(i, j));
}

CMatrix CMatrix::Inverse() const {
    return CMatrix(Base::Inverse());
}

CMatrix CMatrix::Turn() const {
    return CMatrix(Base::Turn());
}

double CMatrix::Rank() const {
    return static_cast<double>(Base::Rank());
}

// The template would build the matrix only to have it dropped (128 MiB for Unit(4096)); its
// checks are all that is observable.
void CMatrix::Unit(const int& n) const {
    if (n < 1 || n > mtxkit::kMaxMatrixSize)
        throw mtxkit::OutOfRange(n, -1, "at Unit");
}

void CMatrix::Diag() const {
    if (m_nRowSize != m_nColSize)
        throw mtxkit::MisMatch("Error in Diag(): Row not equal to Col");
}
