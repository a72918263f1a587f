// Minor, determinant, inverse and the measures of mtxkit::Matrix.
#include <cmath>
#include <cstdint>
#include <vector>

#include "BaseCommon/matrix/Matrix.h"
#include "BaseCommon/matrix/detail/DenseKernels.h"

namespace mtxkit {

namespace {

size_t Idx(int i) {
    return static_cast<size_t>(i);
}

// Row-major copy of a square matrix, so that the kernels index one buffer.
std::vector<double> Flatten(const std::vector<std::vector<double>>& rows, int n) {
    std::vector<double> v(Idx(n) * Idx(n));
    for (size_t i = 0; i < Idx(n); ++i)
        for (size_t j = 0; j < Idx(n); ++j)
            v[i * Idx(n) + j] = rows[i][j];
    return v;
}

// Determinants of the minors met in the cofactor expansion along the top row, one per set of
// columns. Expanding a matrix along its top row leaves minors made of its bottom rows, so a
// minor of order k of a given row list is named by its column set alone: table[mask] holds
// the determinant of rows rowFor[k] ... rowFor[1] (top to bottom) and the columns set in mask
// (popcount k), evaluated exactly as the recursive expansion does: order 2 by the 2 x 2
// formula, order k >= 3 as the sum from 0.0 of (+-1) * a(top, column) * minor over the
// columns in increasing order, the sign alternating from +1.
class MinorTable {
public:
    MinorTable(const std::vector<double>& a, int n) : m_a(a), m_n(n) {}

    // Fills table for every mask whose popcount lies in [minOrder, maxOrder]; minors of an
    // order below minOrder are read from lower (they are the same rows there). Orders are
    // filled in increasing order, so every minor of order k - 1 is ready for order k.
    void Fill(const int* rowFor, int minOrder, int maxOrder, const std::vector<double>* lower,
              std::vector<double>& table) const {
        double* out = table.data();
        for (int k = minOrder; k <= maxOrder; ++k) {
            const double* top = Row(rowFor[k]);
            const uint32_t end = uint32_t(1) << m_n;
            if (k == 2) {
                const double* below = Row(rowFor[1]);
                for (uint32_t mask = 3; mask < end; mask = NextWithSameCount(mask)) {
                    const int c0 = Lowest(mask);
                    const int c1 = Lowest(mask & (mask - 1));
                    out[mask] = top[c0] * below[c1] - top[c1] * below[c0];
                }
                continue;
            }
            const double* sub = (k - 1 >= minOrder) ? out : lower->data();
            // Four masks of the same order at a time: their sums are independent chains of
            // additions that the processor overlaps, where one mask alone waits for each
            // addition in turn. Each sum still runs over its columns in increasing order.
            constexpr int kLanes = 4;
            uint32_t masks[kLanes];
            int cols[kLanes][32];
            uint32_t next = (uint32_t(1) << k) - 1;
            while (next < end) {
                int lanes = 0;
                for (; lanes < kLanes && next < end; ++lanes) {
                    masks[lanes] = next;
                    int p = 0;
                    for (uint32_t rest = next; rest != 0; rest &= rest - 1)
                        cols[lanes][p++] = Lowest(rest);
                    next = NextWithSameCount(next);
                }
                if (lanes == kLanes) {
                    double sum[kLanes] = {0.0, 0.0, 0.0, 0.0};
                    for (int p = 0; p < k; ++p) {
                        // The sign (+-1.0) * a is exact, so adding (-a) * minor is
                        // subtracting a * minor: the same bits as the signed form.
                        for (int l = 0; l < kLanes; ++l) {
                            const int c = cols[l][p];
                            const double t = top[c] * sub[masks[l] ^ (uint32_t(1) << c)];
                            sum[l] = (p % 2 == 0) ? sum[l] + t : sum[l] - t;
                        }
                    }
                    for (int l = 0; l < kLanes; ++l)
                        out[masks[l]] = sum[l];
                    continue;
                }
                for (int l = 0; l < lanes; ++l) {
                    double sum = 0.0;
                    for (int p = 0; p < k; ++p) {
                        const int c = cols[l][p];
                        const double t = top[c] * sub[masks[l] ^ (uint32_t(1) << c)];
                        sum = (p % 2 == 0) ? sum + t : sum - t;
                    }
                    out[masks[l]] = sum;
                }
            }
        }
    }

private:
    static int Lowest(uint32_t m) { return __builtin_ctz(m); }
    // The next larger mask with as many bits set (Gosper's method).
    static uint32_t NextWithSameCount(uint32_t m) {
        const uint32_t low = m & (~m + 1);
        const uint32_t ripple = m + low;
        return (((ripple ^ m) >> 2) / low) | ripple;
    }
    const double* Row(int r) const { return m_a.data() + Idx(r) * Idx(m_n); }

    const std::vector<double>& m_a;
    int m_n;
};

// The top rows of the minors of the full matrix: a minor of order k starts at row n - k.
std::vector<int> FullRows(int n) {
    std::vector<int> rowFor(Idx(n) + 1);
    for (int k = 1; k <= n; ++k)
        rowFor[Idx(k)] = n - k;
    return rowFor;
}

// (-1)^k formed as the expansion forms it, by repeated multiplication: exactly +-1.0.
double AlternatingSign(int k) {
    double s = 1.0;
    for (int t = 0; t < k; ++t)
        s *= -1.0;
    return s;
}

}  // namespace

template <typename T>
Matrix<T> Matrix<T>::GetAij(const int& i, const int& j) {
    if (m_nRowSize == 1 && m_nColSize == 1)
        throw MisMatch("Error in GetAij(): It should be a matrix");
    if (i < 0 || i >= m_nRowSize)
        throw OutOfRange(i, -1, "at GetAij");
    if (j < 0 || j >= m_nColSize)
        throw OutOfRange(-1, j, "at GetAij");
    Matrix m(*this);
    m.DeleteRow(i);
    m.DeleteCol(j);
    return m;
}

template <typename T>
T Matrix<T>::Det() const {
    if (m_nRowSize != m_nColSize)
        throw MisMatch("Error in Det(): The matrix is not square");
    const int n = m_nRowSize;
    if (n == 0)
        return T(0);
    const std::vector<std::vector<T>>& a = m_vecData;
    if (n == 1)
        return a[0][0];
    if (n == 2)
        return a[0][0] * a[1][1] - a[0][1] * a[1][0];
    std::vector<double> flat = Flatten(a, n);
    if (n > kExactCofactorMaxOrder) {
        std::vector<int> rowSwaps(Idx(n)), colSwaps(Idx(n));
        return detail::FactorFullPivotLU(flat.data(), n, rowSwaps.data(), colSwaps.data());
    }
    std::vector<double> table(size_t(1) << n);
    const std::vector<int> rows = FullRows(n);
    MinorTable(flat, n).Fill(rows.data(), 2, n, nullptr, table);
    return table.back();
}

template <typename T>
Matrix<T> Matrix<T>::Inverse() const {
    if (m_nRowSize != m_nColSize)
        throw MisMatch("Error in Det(): The matrix is not square");
    const int n = m_nRowSize;
    if (n > kExactCofactorMaxOrder) {
        // One factorisation gives the determinant that Det() returns, so that the refusal
        // below happens exactly when Det() is 0.0, and then the inverse.
        std::vector<double> lu = Flatten(m_vecData, n);
        std::vector<int> rowSwaps(Idx(n)), colSwaps(Idx(n));
        if (detail::FactorFullPivotLU(lu.data(), n, rowSwaps.data(), colSwaps.data()) == 0.0)
            throw MisMatch("Error in Inverse(): The det of the matrix is zero .");
        std::vector<double> inv(Idx(n) * Idx(n));
        detail::InvertFromLU(lu.data(), rowSwaps.data(), colSwaps.data(), n, inv.data());
        Matrix r(n, n, T(0));
        for (size_t i = 0; i < Idx(n); ++i)
            for (size_t j = 0; j < Idx(n); ++j)
                r.m_vecData[i][j] = inv[i * Idx(n) + j];
        return r;
    }

    // Small orders: the determinant and all n^2 minors of the adjugate share the tables.
    std::vector<double> flat;
    std::vector<double> full;  // minors of the full row list, and the determinant itself
    double d;
    if (n >= 3) {
        flat = Flatten(m_vecData, n);
        full.assign(size_t(1) << n, 0.0);
        const std::vector<int> rows = FullRows(n);
        MinorTable(flat, n).Fill(rows.data(), 2, n, nullptr, full);
        d = full.back();
    } else {
        d = Det();
    }
    if (d == 0.0)
        throw MisMatch("Error in Inverse(): The det of the matrix is zero .");
    if (n == 1)
        throw MisMatch("Error in GetAij(): It should be a matrix");

    Matrix adj(n, n, T(0));
    if (n == 2) {
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                adj.m_vecData[Idx(j)][Idx(i)] =
                    AlternatingSign(i + j) * m_vecData[Idx(1 - i)][Idx(1 - j)];
    } else {
        const uint32_t all = (uint32_t(1) << n) - 1;
        const MinorTable minors(flat, n);
        std::vector<double> without(size_t(1) << n, 0.0);
        std::vector<int> rowFor(Idx(n));
        for (int i = 0; i < n; ++i) {
            // Minor (i, j) takes every row but i. Its own minors of order k use the same rows
            // as the full matrix's while they stay below row i (k < n - i); the larger ones
            // start one row higher and skip row i.
            const std::vector<double>* table = &full;
            if (i > 0) {
                for (int k = 1; k <= n - 1; ++k) {
                    const int pos = n - 1 - k;  // position in the row list without i
                    rowFor[Idx(k)] = pos < i ? pos : pos + 1;
                }
                const int minOrder = n - i > 2 ? n - i : 2;
                minors.Fill(rowFor.data(), minOrder, n - 1, &full, without);
                table = &without;
            }
            for (int j = 0; j < n; ++j)
                adj.m_vecData[Idx(j)][Idx(i)] =
                    AlternatingSign(i + j) * (*table)[all ^ (uint32_t(1) << j)];
        }
    }
    const double s = 1.0 / d;
    for (std::vector<T>& row : adj.m_vecData)
        for (T& x : row)
            x = x * s;
    return adj;
}

template <typename T>
T Matrix<T>::Trace() const {
    if (m_nRowSize != m_nColSize)
        throw MisMatch("Error in Trace(): The matrix is not square");
    T s = T(0);
    for (int i = 0; i < m_nRowSize; ++i)
        s += m_vecData[Idx(i)][Idx(i)];
    return s;
}

template <typename T>
T Matrix<T>::Norm(const int& /*p*/) const {
    // The trace of Turn() * this without forming the product: diagonal element j is the sum
    // over the rows of a(i, j)^2, and the trace sums those in column order.
    T trace = T(0);
    for (int j = 0; j < m_nColSize; ++j) {
        T column = T(0);
        for (int i = 0; i < m_nRowSize; ++i) {
            const T v = m_vecData[Idx(i)][Idx(j)];
            column += v * v;
        }
        trace += column;
    }
    return std::sqrt(trace);
}

template <typename T>
T Matrix<T>::CondNumber() const {
    return Norm(0) * Inverse().Norm(0);
}

template <typename T>
T Matrix<T>::Radius() const {
    if (m_nRowSize != m_nColSize)
        throw MisMatch("Error in Radius() : RowSize not equal to Colszie");
    const size_t n = Idx(m_nRowSize);
    std::vector<T> x(n, T(1));
    std::vector<T> y(n);
    T previous = T(0);
    T lambda = T(0);
    for (int round = 0; round < kRadiusMaxRounds; ++round) {
        T sumSq = T(0);
        for (size_t i = 0; i < n; ++i) {
            T s = T(0);
            for (size_t k = 0; k < n; ++k)
                s += m_vecData[i][k] * x[k];
            y[i] = s;
            sumSq += s * s;
        }
        const T norm = std::sqrt(sumSq);
        // A zero product (a zero matrix, or x in its null space) has no direction to follow;
        // its dominant magnitude estimate is 0.
        if (norm == T(0))
            return T(0);
        const T scale = T(1) / norm;
        lambda = T(0);
        for (size_t i = 0; i < n; ++i) {
            x[i] = y[i] * scale;
            lambda += x[i] * y[i];
        }
        if (std::fabs(lambda - previous) < kRadiusTolerance)
            return lambda;
        previous = lambda;
    }
    // Oscillating or diverging iterations (complex dominant pair, NaN, overflow) end here.
    return lambda;
}

template <typename T>
int Matrix<T>::Rank() const {
    // Tail recursion of the elimination turned into a loop: each level adds one to the rank
    // of the reduced matrix.
    Matrix m(*this);
    int rank = 0;
    for (;;) {
        bool zero = true;
        for (const std::vector<T>& row : m.m_vecData)
            for (const T& v : row)
                if (!(v == T(0)))
                    zero = false;
        if (zero)
            return rank;
        if (m.m_nColSize < m.m_nRowSize)
            m = m.Turn();
        if (m.m_nRowSize == 1)
            return rank + 1;
        int pivot = -1;
        for (int r = 0; r < m.m_nRowSize && pivot < 0; ++r)
            if (m.m_vecData[Idx(r)][0] != T(0))
                pivot = r;
        if (pivot < 0) {
            m.DeleteCol(0);
            continue;
        }
        if (pivot != 0)
            m.SwapRows(0, pivot);
        const std::vector<T>& top = m.m_vecData[0];
        for (int k = 1; k < m.m_nRowSize; ++k) {
            std::vector<T>& row = m.m_vecData[Idx(k)];
            const T f = row[0];
            for (int c = 0; c < m.m_nColSize; ++c)
                row[Idx(c)] = row[Idx(c)] - f * top[Idx(c)] / top[0];
        }
        m = m.GetAij(0, 0);
        ++rank;
    }
}

template Matrix<double> Matrix<double>::GetAij(const int&, const int&);
template double Matrix<double>::Det() const;
template Matrix<double> Matrix<double>::Inverse() const;
template double Matrix<double>::Trace() const;
template double Matrix<double>::Norm(const int&) const;
template double Matrix<double>::CondNumber() const;
template double Matrix<double>::Radius() const;
template int Matrix<double>::Rank() const;

}  // namespace mtxkit
