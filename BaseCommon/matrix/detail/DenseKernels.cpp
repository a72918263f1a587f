#include "BaseCommon/matrix/detail/DenseKernels.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

namespace mtxkit {
namespace detail {

void MultiplyRows(const Rows& a, const Rows& b, int inner, int nCol, Rows& c) {
    const size_t nc = static_cast<size_t>(nCol);
    for (size_t i = 0; i < c.size(); ++i) {
        double* ci = c[i].data();
        const double* ai = a[i].data();
        // i-k-j order: c(i, j) still receives its products in k order, and the innermost loop
        // runs along contiguous rows.
        for (int k = 0; k < inner; ++k) {
            const double aik = ai[k];
            const double* bk = b[static_cast<size_t>(k)].data();
            for (size_t j = 0; j < nc; ++j)
                ci[j] += aik * bk[j];
        }
    }
}

namespace {

// Partial pivoting: the row at or below k with the largest |a(r, k)|, the first of equals.
size_t PivotRow(const double* a, size_t N, size_t k) {
    size_t p = k;
    double big = std::fabs(a[k * N + k]);
    for (size_t r = k + 1; r < N; ++r) {
        const double m = std::fabs(a[r * N + k]);
        if (m > big) {
            big = m;
            p = r;
        }
    }
    return p;
}

}  // namespace

int InvertPivoted(double* a, double* b, int n, double* rowRounding, bool* suspect) {
    const size_t N = static_cast<size_t>(n);
    double* s = suspect ? rowRounding : nullptr;
    const double tol = kPivotRoundingFactor * n * std::numeric_limits<double>::epsilon();
    if (s) {
        *suspect = false;
        for (size_t r = 0; r < N; ++r) {
            s[r] = 0.0;
            for (size_t c = 0; c < N; ++c)
                s[r] += std::fabs(a[r * N + c]);
        }
    }
    for (size_t k = 0; k < N; ++k) {
        const size_t p = PivotRow(a, N, k);
        if (a[p * N + k] == 0.0)
            return 0;
        // A row of infinities or NaN has no rounding scale: only the exact zero test above.
        if (s && std::isfinite(s[p]) && std::fabs(a[p * N + k]) <= tol * s[p])
            *suspect = true;
        if (p != k) {
            for (size_t c = k; c < N; ++c)
                std::swap(a[k * N + c], a[p * N + c]);
            for (size_t c = 0; c < N; ++c)
                std::swap(b[k * N + c], b[p * N + c]);
            if (s)
                std::swap(s[k], s[p]);
        }
        double* ak = a + k * N;
        double* bk = b + k * N;
        const double piv = ak[k];
        for (size_t c = k + 1; c < N; ++c)
            ak[c] /= piv;
        for (size_t c = 0; c < N; ++c)
            bk[c] /= piv;
        double pivotRowSum = 0.0;
        if (s)
            for (size_t c = k + 1; c < N; ++c)
                pivotRowSum += std::fabs(ak[c]);
        for (size_t r = k + 1; r < N; ++r) {
            double* ar = a + r * N;
            double* br = b + r * N;
            const double f = ar[k];
            for (size_t c = k + 1; c < N; ++c)
                ar[c] -= ak[c] * f;
            for (size_t c = 0; c < N; ++c)
                br[c] -= bk[c] * f;
            if (s)
                s[r] += std::fabs(f) * pivotRowSum;
        }
    }
    for (size_t k = N; k-- > 0;) {
        const double* bk = b + k * N;
        for (size_t r = k; r-- > 0;) {
            double* br = b + r * N;
            const double f = a[r * N + k];
            for (size_t c = 0; c < N; ++c)
                br[c] -= bk[c] * f;
        }
    }
    return 1;
}

double SingularPivotBound(const double* a, int n) {
    const size_t N = static_cast<size_t>(n);
    double norm = 0.0;
    for (size_t i = 0; i < N; ++i) {
        double rowSum = 0.0;
        for (size_t j = 0; j < N; ++j)
            rowSum += std::fabs(a[i * N + j]);
        if (std::isnan(rowSum))
            return 0.0;
        if (rowSum > norm)
            norm = rowSum;
    }
    if (std::isinf(norm))
        return 0.0;
    return static_cast<double>(n) * std::numeric_limits<double>::epsilon() * norm;
}

double FactorFullPivotLU(double* a, int n, int* rowSwaps, int* colSwaps, bool* singular) {
    const size_t N = static_cast<size_t>(n);
    const double bound = SingularPivotBound(a, n);
    double det = 1.0;
    if (singular)
        *singular = false;
    for (size_t k = 0; k < N; ++k) {
        // The largest magnitude of the remaining block, the first in row order of equals.
        // Partial pivoting (the column only) can leave a rounding residue many times the
        // bound in the last pivot of a singular matrix; taking the whole block keeps the
        // residue near the rounding of the matrix itself.
        size_t p = k, q = k;
        double big = std::fabs(a[k * N + k]);
        for (size_t r = k; r < N; ++r)
            for (size_t c = k; c < N; ++c) {
                const double m = std::fabs(a[r * N + c]);
                if (m > big) {
                    big = m;
                    p = r;
                    q = c;
                }
            }
        rowSwaps[k] = static_cast<int>(p);
        colSwaps[k] = static_cast<int>(q);
        // Everything left is within rounding of zero: the remaining rows are combinations
        // of the ones before them up to that rounding, so the matrix is singular.
        if (big <= bound) {
            if (singular)
                *singular = true;
            return 0.0;
        }
        if (p != k) {
            for (size_t c = 0; c < N; ++c)
                std::swap(a[k * N + c], a[p * N + c]);
            det = -det;
        }
        if (q != k) {
            for (size_t r = 0; r < N; ++r)
                std::swap(a[r * N + k], a[r * N + q]);
            det = -det;
        }
        const double* ak = a + k * N;
        const double piv = ak[k];
        det *= piv;
        for (size_t r = k + 1; r < N; ++r) {
            double* ar = a + r * N;
            const double f = ar[k] / piv;
            ar[k] = f;
            for (size_t c = k + 1; c < N; ++c)
                ar[c] -= f * ak[c];
        }
    }
    return det;
}

void InvertFromLU(const double* lu, const int* rowSwaps, const int* colSwaps, int n, double* inv) {
    const size_t N = static_cast<size_t>(n);
    for (size_t i = 0; i < N * N; ++i)
        inv[i] = 0.0;
    for (size_t i = 0; i < N; ++i)
        inv[i * N + i] = 1.0;
    for (size_t k = 0; k < N; ++k) {
        const size_t p = static_cast<size_t>(rowSwaps[k]);
        if (p != k)
            for (size_t c = 0; c < N; ++c)
                std::swap(inv[k * N + c], inv[p * N + c]);
    }
    // L y = P: row r loses its multipliers times the rows above it.
    for (size_t k = 0; k < N; ++k) {
        const double* yk = inv + k * N;
        for (size_t r = k + 1; r < N; ++r) {
            const double f = lu[r * N + k];
            double* yr = inv + r * N;
            for (size_t c = 0; c < N; ++c)
                yr[c] -= f * yk[c];
        }
    }
    // U x = y from the bottom row up.
    for (size_t k = N; k-- > 0;) {
        double* xk = inv + k * N;
        for (size_t r = k + 1; r < N; ++r) {
            const double u = lu[k * N + r];
            const double* xr = inv + r * N;
            for (size_t c = 0; c < N; ++c)
                xk[c] -= u * xr[c];
        }
        const double piv = lu[k * N + k];
        for (size_t c = 0; c < N; ++c)
            xk[c] /= piv;
    }
    // The column exchanges of A are row exchanges of its inverse, undone from the last.
    for (size_t k = N; k-- > 0;) {
        const size_t q = static_cast<size_t>(colSwaps[k]);
        if (q != k)
            for (size_t c = 0; c < N; ++c)
                std::swap(inv[k * N + c], inv[q * N + c]);
    }
}

}  // namespace detail
}  // namespace mtxkit
