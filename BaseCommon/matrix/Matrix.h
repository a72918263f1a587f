/// @file
/// mtxkit::Matrix: the dense matrix on which CMatrix is built. A class template instantiated
/// in the library for double only.
///
/// Storage: one std::vector<double> per row, the row count and the column count. Every
/// operation that succeeds keeps the invariant "as many stored rows as the row count, each as
/// long as the column count" (operator[] lets a caller break it; AddRow then follows the first
/// stored row). Indices are zero-based, row first; range checks test the count fields and check
/// the row before the column.
///
/// Faults are thrown by value before anything changes: OutOfRange for an index or size (its
/// message names the operation, "at SetValue"; InsrtRow and InsrtCol report "at InsertRow" and
/// "at InsertCol"), MisMatch for a shape that does not suit the operation or a singular
/// matrix. Message texts are kept exactly as callers match on them, odd spelling included.
///
/// The public surface is small; everything else is protected and republished by CMatrix.
#ifndef RVN_MATRIX_MATRIX_H
#define RVN_MATRIX_MATRIX_H

/// @addtogroup matrix
/// @{

#include <cassert>
#include <complex>
#include <vector>

#include "BaseCommon/Export.h"
#include "BaseCommon/matrix/MatrixExceptions.h"
#include "BaseCommon/matrix/PMatrix.h"

namespace mtxkit {

/// Largest row or column count that Resize (and so every constructor, Unit and operator=)
/// accepts. AddRow, AddCol, InsrtRow and InsrtCol grow a matrix without testing it.
constexpr int kMaxMatrixSize = 4096;

/// Largest order at which Det, Inverse and CondNumber use the exact cofactor expansion.
///
/// Up to this order they evaluate the cofactor expansion along row 0 and the adjugate, giving
/// those formulas' results to the last bit. Each minor is computed once: a minor met in the
/// row-0 expansion of a row list is made of the list's bottom rows, so the list and the
/// minor's set of columns name it. Det keeps one table of 2^n minors; Inverse adds a second
/// one, refilled for each row left out of the adjugate's minors, reusing the first for the
/// minors below that row. About n^2 * 2^n operations instead of n!; at order 16 the two tables
/// take 2 * 2^16 doubles (1 MiB) and the inverse a few milliseconds.
///
/// Above this order one LU factorisation with complete pivoting (the largest remaining
/// element as pivot) serves all three: Det is the signed product of its pivots, Inverse
/// solves with its factors, CondNumber uses that Inverse; the values equal the expansion's up
/// to rounding, not to the bit. A pivot whose magnitude is at most n * DBL_EPSILON * ||A||inf
/// (the largest absolute row sum; inclusive) is what the elimination leaves of an exactly
/// zero pivot, so it counts as one: Det returns exactly 0.0 and Inverse and CondNumber refuse
/// with "det is zero". (Complete pivoting keeps the residue of a singular matrix well inside
/// that bound; with partial pivoting it can exceed it several times.) (A matrix whose rows
/// differ in scale by more than about 1/(n * DBL_EPSILON) can be refused as well.) Inverse
/// refuses exactly when Det() returns 0.0, at every order, also when the product of the
/// pivots underflows.
constexpr int kExactCofactorMaxOrder = 16;

/// Dense row-stored matrix template (instantiated for double only).
/// @see Matrix.h for the storage invariant and the exception rules of the whole class.
template <typename T>
class RVN_API Matrix {
public:
    /// 0 x 0.
    Matrix();
    /// nRow x nCol filled with fill; throws as Resize.
    Matrix(int nRow, int nCol, T fill);
    /// Deep copy (throws as Resize when other outgrew 4096 through AddRow and the like).
    Matrix(const Matrix& other);
    /// Takes other's rows; other is left 0 x 0.
    Matrix(Matrix&& other) noexcept;
    ~Matrix();

    /// Element (i, j). Not range-checked: 0 <= i < rows and 0 <= j < cols is the caller's
    /// limit (asserted in debug builds).
    T GetValue(const int& i, const int& j) const {
        assert(i >= 0 && i < m_nRowSize && j >= 0 && j < m_nColSize);
        return m_vecData[static_cast<size_t>(i)][static_cast<size_t>(j)];
    }
    /// Sets element (i, j) to v. Throws OutOfRange(i, -1, "at SetValue"), then
    /// (-1, j, "at SetValue").
    void SetValue(const int& i, const int& j, T v);
    /// Row count.
    int GetRowSize() const { return m_nRowSize; }
    /// Column count.
    int GetColSize() const { return m_nColSize; }
    /// Complex matrix of the same shape with element (i, j) = (a(i, j), 0).
    PMatrix<std::complex<T>> ToCDouble() const;

protected:
    /// @name Assignment, comparison, row access, re-initialisation
    /// @{

    /// Deep copy; self-assignment does nothing. Throws as Resize for a source beyond 4096.
    Matrix& operator=(const Matrix& other);
    /// Takes other's rows; other is left 0 x 0. Self-assignment does nothing.
    Matrix& operator=(Matrix&& other) noexcept;
    /// 1 when the shapes match and every element is exactly equal (NaN never is), else 0. Two
    /// empty matrices are equal only when both counts match.
    int operator==(const Matrix& other) const;
    /// The negation of operator==: 1 when the shapes or any element differ.
    int operator!=(const Matrix& other) const;
    /// Row i, writable in place. Throws OutOfRange(i, -1, "at []"). Changing the row's length
    /// breaks the shape invariant; that is the caller's responsibility.
    std::vector<T>& operator[](const int& i);
    /// Re-initialisation, not a reshape: nRow x nCol copies of fill, also when the shape does
    /// not change. Counts outside 0 ... 4096 throw OutOfRange(nRow, -1, "at Resize") or
    /// (-1, nCol, "at Resize") and leave the matrix as it was.
    void Resize(const int& nRow, const int& nCol, T fill);
    /// @}

    /// @name Arithmetic: a new matrix, or this changed in place
    /// @{

    /// Element-wise sum.
    ///
    /// Shapes must match (MisMatch "Error at + : The tow matrixs are not match for '+' .").
    Matrix operator+(const Matrix& other) const;
    /// Element-wise difference.
    ///
    /// Shapes must match (MisMatch "Error at - : The tow matrixs are not match for '-' .").
    Matrix operator-(const Matrix& other) const;
    /// Matrix product. this.cols must equal other.rows (MisMatch "Error ar * : The two matrix
    /// are not match for '*'."). Each element is the sum of the products in index order,
    /// starting from 0.0.
    Matrix operator*(const Matrix& other) const;
    /// Power t. t >= 0 is checked first (MisMatch "Error at ^ : In a^t where t<0."), then
    /// squareness ("Error at ^ : The matrix is not square"). t = 0 gives the identity; t >= 1
    /// multiplies the running product by this matrix t - 1 times (the same rounding as writing
    /// the product out).
    Matrix operator^(const int& t) const;
    /// In-place operator+.
    ///
    /// Its own message: "Error at +=: The two matrixs are not match for '+'.".
    Matrix& operator+=(const Matrix& other);
    /// In-place operator-.
    ///
    /// Its own message: "Error at -= : The two matrix are not match for '-' .".
    Matrix& operator-=(const Matrix& other);
    /// this = this * other.
    ///
    /// Its own message: "Error at *= : The two matrix are not match for '*'.".
    Matrix& operator*=(const Matrix& other);
    /// In-place operator^.
    ///
    /// Its own messages: "Error at ^= : In a^t where t<0" and
    /// "Error at ^= : The matrix is not square".
    Matrix& operator^=(const int& t);
    /// @}

    /// @name Rows and columns
    /// @{

    /// Copy of row i; throws OutOfRange(i, -1, "at GetRowVector").
    std::vector<T> GetRowVector(const int& i) const;
    /// Copy of column j; throws OutOfRange(-1, j, "at GetColVector").
    std::vector<T> GetColVector(const int& j) const;
    /// Row i as a 1 x cols matrix; throws OutOfRange(i, -1, "at GetRow").
    Matrix GetRow(const int& i) const;  // 1 x cols
    /// Column j as a rows x 1 matrix; throws OutOfRange(-1, j, "at GetCol").
    Matrix GetCol(const int& j) const;  // rows x 1

    /// Appends a row of fill values, as long as the first stored row (as long as the column
    /// count when there is no row yet).
    void AddRow(T fill);
    /// Appends fill to every row; the column count grows also when there is no row.
    void AddCol(T fill);
    /// Deletes row i; throws OutOfRange(i, -1, "at DeleteRow").
    void DeleteRow(const int& i);
    /// Deletes column j; throws OutOfRange(-1, j, "at DeleteCol"). Deleting the only column
    /// leaves rows x 0.
    void DeleteCol(const int& j);
    /// Inserts a row of fill values before row i; 0 <= i < rows, so nothing can be inserted
    /// after the last row (AddRow does that). Throws OutOfRange(i, -1, "at InsertRow").
    void InsrtRow(const int& i, T fill);
    /// Inserts fill before column j in every row; 0 <= j < cols, so nothing can be inserted
    /// after the last column (AddCol does that). Throws OutOfRange(-1, j, "at InsertCol").
    void InsrtCol(const int& j, T fill);
    /// Replaces row i by v. A v whose length differs from the first stored row's is not an
    /// error: the row becomes all 0.0. Throws OutOfRange(i, -1, "at SetRowVector").
    void SetRowVector(const int& i, const std::vector<T>& v);
    /// Replaces column j by v. A v whose length differs from the row count is not an error:
    /// the column becomes all 0.0. Throws OutOfRange(-1, j, "at SetColVector").
    void SetColVector(const int& j, const std::vector<T>& v);
    /// Exchanges rows i and k; nothing when they are equal. The first index is checked first:
    /// OutOfRange(bad, -1, "at SwapRows").
    void SwapRows(const int& i, const int& k);
    /// Exchanges columns i and k; nothing when they are equal. The first index is checked
    /// first: OutOfRange(-1, bad, "at SwapColom").
    void SwapColom(const int& i, const int& k);
    /// @}

    /// @name New matrices derived from this
    /// @{

    /// Transpose.
    Matrix Turn() const;  // transpose
    /// Identity of order n, independent of this; 1 <= n <= 4096 else OutOfRange(n, -1, "at
    /// Unit").
    Matrix Unit(const int& n) const;
    /// The diagonal of a square matrix, zeros elsewhere (MisMatch "Error in Diag(): Row not
    /// equal to Col").
    Matrix Diag() const;
    /// @}

    /// @name Inverse, determinant and measures
    /// Exact zero tests, no tolerance, except the singularity bound of the pivoted
    /// factorisation above kExactCofactorMaxOrder.
    /// @{

    /// This without row i and column j. A 1 x 1 matrix throws MisMatch("Error in GetAij(): It
    /// should be a matrix"), then OutOfRange(i, -1, "at GetAij"), (-1, j, "at GetAij").
    Matrix GetAij(const int& i, const int& j);
    /// Determinant: cofactor expansion along row 0 up to kExactCofactorMaxOrder, pivoted LU
    /// above it (with its singularity bound); 0 x 0 gives 0.0. Non-square throws
    /// MisMatch("Error in Det(): The matrix is not square").
    T Det() const;
    /// Adjugate times 1/det (LU solution above kExactCofactorMaxOrder). Non-square throws
    /// Det's message; a determinant of exactly 0.0 throws MisMatch("Error in Inverse(): The
    /// det of the matrix is zero ."); a NaN determinant is not refused. A 1 x 1 matrix with a
    /// nonzero element is refused by its minor: "Error in GetAij(): It should be a matrix".
    Matrix Inverse() const;
    /// Sum of the diagonal in index order (MisMatch "Error in Trace(): The matrix is not
    /// square").
    T Trace() const;
    /// Frobenius norm, sqrt(trace(Turn() * this)) summed in that order; p is not consulted.
    T Norm(const int& p) const;
    /// Condition number Norm() * Norm(Inverse()); the exceptions of Inverse pass through.
    T CondNumber() const;
    /// Power-iteration estimate of the magnitude of the dominant eigenvalue, from a vector of
    /// ones, stopping when two estimates differ by less than kRadiusTolerance. A product of
    /// norm 0 returns 0.0 at once; after kRadiusMaxRounds rounds the last estimate is
    /// returned. Non-square throws MisMatch("Error in Radius() : RowSize not equal to
    /// Colszie").
    T Radius() const;
    /// Rank by recursive elimination with exact zero tests (a rounding residue counts as
    /// nonzero). Empty and zero matrices have rank 0.
    int Rank() const;

    /// Radius stops when two successive estimates differ by less than this (strict).
    static constexpr double kRadiusTolerance = 1e-6;
    /// Radius returns its last estimate after this many rounds.
    static constexpr int kRadiusMaxRounds = 10000;
    /// @}

    /// The rows, each as long as the column count while the shape invariant holds.
    std::vector<std::vector<T>> m_vecData;
    /// Row count.
    int m_nRowSize;
    /// Column count.
    int m_nColSize;
};

extern template class Matrix<double>;

}  // namespace mtxkit

/// @}

#endif  // RVN_MATRIX_MATRIX_H
