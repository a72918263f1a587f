/// @file
/// Array and number utilities shared across the product: filling, sorting and searching int and
/// double arrays, extremes, a signed test with a tolerance, range tests, nearest-entry searches
/// in ascending tables, and small text helpers on CString.
///
/// Framework arrays are accessed through their bounds-checked members, so an index outside the
/// array raises CInvalidArgException, which none of these functions catch. Raw pointers must
/// address at least the count of elements passed with them; a count of zero or less makes the
/// raw-pointer functions touch nothing (see each for its result).
#ifndef RVN_NUMERIC_COMFUNC_H
#define RVN_NUMERIC_COMFUNC_H

/// @addtogroup numeric
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CArray.h"
#include "BaseCommon/framework/CString.h"

/// Array and number utilities: filling, sorting and searching int and double arrays,
/// extremes, a signed test with a tolerance, range tests, nearest-entry searches and small text
/// helpers on CString.
namespace ComFunc {

/// Sign with a dead band: 1 when x > 1e-6, -1 when x < -1e-6, 0 in between (both ends give 0).
RVN_API int GetSgn(double x);

/// Sets every element to 0, keeping the size.
RVN_API void SetZero_int(CArray<int, int&>& a);
/// Sets every element to 0.0, keeping the size.
RVN_API void SetZero_double(CArray<double, double&>& a);

/// In-place sort: nOrder 0 gives descending order, any other value ascending.
RVN_API void Sort_IntArray(CArray<int, int&>& a, int nOrder);
/// Sorts a[0..n-1] ascending.
RVN_API void IntSorting(int* a, int n);

/// The first index greater than nStart whose element equals nValue, or -1. nStart = -1
/// searches the whole array; any nStart below -1 does the same.
RVN_API int FindIntArray(const CArray<int, int&>& a, int nValue, int nStart);

/// nDirection 0: a becomes the n values p[0..n-1] (result 1; n < 0 is refused with 0 and a
/// untouched). nDirection != 0: when a holds exactly n values they are copied to p (result 1),
/// otherwise nothing is copied and the result is 0.
RVN_API int ArrayXchage_double(CArray<double, double&>& a, double* p, int n, int nDirection);

/// Largest of a[0..n-1]; a[0] when n is 1, and 0 when n < 1 (nothing is read).
RVN_API double FindMaxValue(const double* a, int n);
/// Smallest of a[0..n-1]; a[0] when n is 1, and 0 when n < 1 (nothing is read).
RVN_API double FindMinValue(const double* a, int n);
/// Largest of the floats a[0..n-1]; a[0] when n is 1, and 0 when n < 1 (nothing is read).
RVN_API float FindMaxValue_f(const float* a, int n);
/// Smallest of the floats a[0..n-1]; a[0] when n is 1, and 0 when n < 1 (nothing is read).
RVN_API float FindMinValue_f(const float* a, int n);
/// Largest and smallest of a[nFirst..nLast], both ends included; when nLast <= nFirst both
/// are a[nFirst].
RVN_API void FindMaxMinValue(const double* a, int nFirst, int nLast, double& dMax, double& dMin);

/// Copies n doubles; overlapping ranges are safe.
RVN_API void CopyArray(const double* pSrc, double* pDst, int n);

/// 1 when a - dTol < x < b + dTol, both comparisons strict; a <= b is assumed, nothing is swapped.
RVN_API int IsBetweenAB(double x, double a, double b, double dTol);

/// Takes its argument by value and returns nothing, so the caller's string never changes.
/// Kept so that existing callers still link.
RVN_API void RemoveRightDot(CString str);

/// Number of fields in str separated by ch, a trailing separator being optional: "1,2,3" and
/// "1,2,3," both give 3. An empty string gives 0; empty fields count ("a,,b" gives 3).
RVN_API int GetSubNum(const CString& str, char ch);

/// Sets str to a printf format with n decimals: "%.3f" for n = 3.
RVN_API void GetFormatBuf(CString& str, int n);

/// Nearest entry of the ascending table a[0..n-1]: 0 below the table, n-1 above it;
/// inside it the nearer end of the first bracketing interval, a tie going to the upper index.
/// -1 when n < 1 or when nothing brackets x (NaN).
RVN_API int GetNearestIndex(double x, const double* a, int n);

/// The bracketing pair (nLo, nHi) of x in the ascending table a[0..n-1]. Below the table
/// (-1, 0), above it (n-1, -1). Inside it the last interval with a[k] <= x <= a[k+1] wins, so x
/// on an inner entry a[k] gives (k, k+1) and x = a[n-1] gives (n-2, n-1). (-1, -1) when
/// nothing brackets x (n < 1, or NaN).
RVN_API void GetNearestIndexEx(double x, const double* a, int n, int& nLo, int& nHi);

/// Index of the interval [a[k], a[k+1]) holding x in the ascending table a[0..n-1]: 0 below
/// the table, n-1 at or above its last entry, the first such k otherwise; -1 when n < 1 or
/// nothing holds x.
RVN_API int FindIndexInAscendArray(double x, const double* a, int n);

/// 1 for a non-empty string of digits with at most one decimal point and at most one minus
/// sign, anywhere: "-12.5" and "1-2" give 1, and so do a point or a minus alone; "1e5",
/// "1.2.3", "--1", "+1" give 0.
RVN_API int IsNumeric(const CString& str);

/// Number of characters after the first decimal point in v printed with "%g" (six
/// significant digits), 0 when there is no point. The exponent counts: 0.125 gives 3, 2.0
/// gives 0, 1.5e-07 gives 5.
RVN_API int GetDoublePrecision(double v);

/// Solves A x = b for a symmetric A, keeping only the variables whose diagonal exceeds 1.0 in
/// magnitude, strictly. The threshold is an absolute 1.0, not a small tolerance: a diagonal of
/// 1.0 or less drops its variable whatever the scale of A.
///  - All three kept: x solves the 3 x 3 system.
///  - Two kept: x holds the solution of the 2 x 2 system of the kept rows and columns, and 0.0
///    for the dropped variable.
///  - One or none kept: x is not written.
/// Only the lower triangle of A counts (A[i][j] with j <= i); the upper one is taken as its
/// mirror, whatever it holds.
/// The system goes through CSparseMatrix's LDLT without pivoting; its status is not reported: a
/// singular kept system leaves what the solver wrote (and 0.0 in a dropped entry).
RVN_API void MatrixSolver_3x3(const double A[3][3], double* x, const double* b);

}  // namespace ComFunc

/// @}

#endif  // RVN_NUMERIC_COMFUNC_H
