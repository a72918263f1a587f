// Internal numeric kernels of the dense matrices (not part of the library's interface; the
// functions are not exported). They work on the row storage of mtxkit::Matrix or on
// row-major n x n buffers. MultiplyRows and InvertPivoted keep, element by element, the
// order of the floating-point operations of the plain formulas, so their results are the
// same to the bit; the LU functions serve the orders where no such promise is made.
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
//
// With rowRounding (scratch of n doubles) and suspect given, *suspect tells whether some
// pivot was at most kPivotRoundingFactor * n * DBL_EPSILON * S, S being the magnitude of
// everything that went into the pivot's row: its original absolute row sum plus, at each step,
// |its element in the pivot column| times the absolute sum of the divided pivot row. An
// exactly singular matrix leaves a rounding residue of that order as its last pivot (partial
// pivoting can amplify it some tens of times, hence the factor); the elimination and its
// results are the same either way.
int InvertPivoted(double* a, double* b, int n, double* rowRounding = nullptr,
                  bool* suspect = nullptr);
constexpr double kPivotRoundingFactor = 1024.0;

// LU factorisation with complete pivoting of the n x n row-major a, in place: P A Q = L U,
// afterwards a holds U on and above the diagonal and the multipliers of L (unit diagonal)
// below it; at step k row k was exchanged with rowSwaps[k] and column k with colSwaps[k].
// The pivot is the largest magnitude of the remaining block, the first in row order among
// equals. When that magnitude is <= SingularPivotBound(a, n), taken before factoring, the
// matrix counts as singular and the result is exactly 0.0 (a and the swaps are then partly
// written). Otherwise the result is the determinant, the product of the pivots in step order
// with the sign of the exchanges; it can still underflow to 0.0 or overflow. *singular (when
// given) tells the bound's refusal apart from such an underflow.
double FactorFullPivotLU(double* a, int n, int* rowSwaps, int* colSwaps, bool* singular = nullptr);

// n * DBL_EPSILON * the largest absolute row sum of the n x n row-major a: the size of the
// rounding that the elimination leaves in the pivots of an exactly singular matrix. 0 when
// that sum is not finite, so that infinities and NaN fall back to the exact zero test.
double SingularPivotBound(const double* a, int n);

// The inverse from a successful FactorFullPivotLU: inv (n x n row-major, written whole) is
// Q U^-1 L^-1 P, by forward and back substitution on the rows of the permuted identity.
void InvertFromLU(const double* lu, const int* rowSwaps, const int* colSwaps, int n, double* inv);

}  // namespace detail
}  // namespace mtxkit

#endif  // RVN_MATRIX_DETAIL_DENSEKERNELS_H
