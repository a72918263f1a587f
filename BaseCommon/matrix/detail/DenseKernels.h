// Internal numeric kernels of the dense matrices (not part of the library's interface; the
// functions are not exported). They work on the row storage of mtxkit::Matrix or on
// row-major n x n buffers. MultiplyRows and InvertPivoted keep, element by element, the
// order of the floating-point operations of the plain formulas, so their results are the
// same to the bit; DetPivotedLU serves the orders where no such promise is made.
#ifndef RVN_MATRIX_DETAIL_DENSEKERNELS_H
#define RVN_MATRIX_DETAIL_DENSEKERNELS_H

#include <vector>

namespace mtxkit {
namespace detail {

using Rows = std::vector<std::vector<double>>;

// c(i, j) = sum over k = 0 ... inner-1 of a(i, k) * b(k, j), each sum accumulated in k order
// onto c(i, j). c must hold a.size() rows of nCol zeros; a's rows hold at least inner values
// and b holds inner rows of at least nCol values.
void MultiplyRows(const Rows& a, const Rows& b, int inner, int nCol, Rows& c);

// In-place inversion by Gauss elimination with partial pivoting on [A | I] followed by back
// substitution, both n x n row-major. On entry b is the identity; on success (1) b holds the
// inverse and a its scratch. A pivot column whose largest magnitude is exactly 0.0 stops it
// and returns 0, with a and b partly eliminated. Pivot rule: the first row of largest
// magnitude (a later row wins only when strictly larger). The pivot row is divided by the
// pivot (a's pivot element keeps its value) and each row below loses the pivot row times its
// own element in the pivot column.
int InvertPivoted(double* a, double* b, int n);

// Determinant by LU factorisation with partial pivoting of the n x n row-major a (destroyed).
// A pivot column without a nonzero element gives exactly 0.0.
double DetPivotedLU(double* a, int n);

}  // namespace detail
}  // namespace mtxkit

#endif  // RVN_MATRIX_DETAIL_DENSEKERNELS_H
