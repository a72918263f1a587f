#include "BaseCommon/matrix/detail/DenseKernels.h"

#include <cmath>
#include <cstddef>
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

int InvertPivoted(double* a, double* b, int n) {
    const size_t N = static_cast<size_t>(n);
    for (size_t k = 0; k < N; ++k) {
        const size_t p = PivotRow(a, N, k);
        if (a[p * N + k] == 0.0)
            return 0;
        if (p != k) {
            for (size_t c = k; c < N; ++c)
                std::swap(a[k * N + c], a[p * N + c]);
            for (size_t c = 0; c < N; ++c)
                std::swap(b[k * N + c], b[p * N + c]);
        }
        double* ak = a + k * N;
        double* bk = b + k * N;
        const double piv = ak[k];
        for (size_t c = k + 1; c < N; ++c)
            ak[c] /= piv;
        for (size_t c = 0; c < N; ++c)
            bk[c] /= piv;
        for (size_t r = k + 1; r < N; ++r) {
            double* ar = a + r * N;
            double* br = b + r * N;
            const double f = ar[k];
            for (size_t c = k + 1; c < N; ++c)
                ar[c] -= ak[c] * f;
            for (size_t c = 0; c < N; ++c)
                br[c] -= bk[c] * f;
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

double DetPivotedLU(double* a, int n) {
    const size_t N = static_cast<size_t>(n);
    double det = 1.0;
    for (size_t k = 0; k < N; ++k) {
        const size_t p = PivotRow(a, N, k);
        if (a[p * N + k] == 0.0)
            return 0.0;
        if (p != k) {
            for (size_t c = k; c < N; ++c)
                std::swap(a[k * N + c], a[p * N + c]);
            det = -det;
        }
        const double* ak = a + k * N;
        const double piv = ak[k];
        det *= piv;
        for (size_t r = k + 1; r < N; ++r) {
            double* ar = a + r * N;
            const double f = ar[k] / piv;
            for (size_t c = k + 1; c < N; ++c)
                ar[c] -= f * ak[c];
        }
    }
    return det;
}

}  // namespace detail
}  // namespace mtxkit
