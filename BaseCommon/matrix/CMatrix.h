/// @file
/// CMatrix: the exported dense matrix of doubles used across the library (vector products,
/// the sparse solver's right-hand sides). It is a mtxkit::Matrix<double> with no data of its
/// own: it republishes the template's members as public ones (some under other names, with
/// results wrapped as CMatrix) and adds element access by (i, j), block extraction and
/// scatter, scalar operations, an in-place inverse and the products with C2DVec and C3DVec.
///
/// Indices are zero-based, row first. The template's exceptions (mtxkit::OutOfRange,
/// mtxkit::MisMatch) pass through unchanged.
#ifndef RVN_MATRIX_CMATRIX_H
#define RVN_MATRIX_CMATRIX_H

/// @addtogroup matrix
/// @{

#include <cassert>
#include <vector>

#include "BaseCommon/Export.h"
#include "BaseCommon/matrix/Matrix.h"

class C2DVec;
class C3DVec;

/// The exported dense matrix of doubles: mtxkit::Matrix<double> with its members public.
/// @see CMatrix.h for the conventions of the whole class, and mtxkit::Matrix for the rules and
/// messages of the members it republishes.
class RVN_API CMatrix : public mtxkit::Matrix<double> {
    using Base = mtxkit::Matrix<double>;

public:
    /// @name Construction and assignment
    /// @{

    /// 0 x 0.
    CMatrix();
    /// nRow x nCol of 0.0; counts outside [0, 4096] throw OutOfRange "at Resize".
    CMatrix(int nRow, int nCol);
    /// nRow x nCol of fill; counts outside [0, 4096] throw OutOfRange "at Resize".
    CMatrix(int nRow, int nCol, double fill);
    /// Deep copy (throws as Resize when m outgrew 4096 through InsertRow and the like).
    CMatrix(const CMatrix& m);
    /// Deep copy of a template matrix (throws as Resize when m outgrew 4096).
    CMatrix(const Base& m);  // NOLINT: the conversion from the template is part of the API
    /// Takes m's rows; m is left 0 x 0.
    CMatrix(CMatrix&& m) noexcept;
    /// Takes the template matrix's rows; m is left 0 x 0.
    CMatrix(Base&& m) noexcept;  // NOLINT: as above
    ~CMatrix() = default;
    /// Deep copy; self-assignment does nothing. Throws as Resize for a source beyond 4096.
    CMatrix& operator=(const CMatrix& m);
    /// Deep copy of a template matrix; self-assignment does nothing. Throws as Resize for a
    /// source beyond 4096.
    CMatrix& operator=(const Base& m);
    /// Takes m's rows; m is left 0 x 0. Self-assignment does nothing.
    CMatrix& operator=(CMatrix&& m) noexcept;
    /// Every element becomes v; the shape is kept.
    CMatrix& operator=(double v);
    /// Re-initialisation to nRow x nCol of 0.0 (the old contents are discarded); throws as
    /// Resize.
    CMatrix& Realloc(int nRow, int nCol);
    /// @}

    /// @name Element and row access
    /// @{

    /// Element (i, j), writable. Not range-checked (asserted in debug builds): the indices are
    /// the caller's limit.
    double& operator()(int i, int j) {
        assert(i >= 0 && i < m_nRowSize && j >= 0 && j < m_nColSize);
        return m_vecData[static_cast<size_t>(i)][static_cast<size_t>(j)];
    }
    /// Element (i, j). Not range-checked (asserted in debug builds).
    double operator()(int i, int j) const {
        assert(i >= 0 && i < m_nRowSize && j >= 0 && j < m_nColSize);
        return m_vecData[static_cast<size_t>(i)][static_cast<size_t>(j)];
    }
    using Base::operator[];
    /// Row count.
    int GetRow() const { return m_nRowSize; }
    /// Column count.
    int GetCol() const { return m_nColSize; }
    /// Row i as 1 x cols; throws OutOfRange(i, -1, "at GetRow").
    CMatrix GetRow(const int& i) const;
    /// Column j as rows x 1; throws OutOfRange(-1, j, "at GetCol").
    CMatrix GetCol(const int& j) const;
    using Base::GetColVector;
    using Base::GetRow;
    using Base::GetRowVector;
    using Base::SetColVector;
    using Base::SetRowVector;
    /// @}

    /// @name Arithmetic
    /// The template's operators and messages (see mtxkit::Matrix), results as CMatrix.
    /// @{

    /// Element-wise sum (MisMatch when the shapes differ).
    CMatrix operator+(const CMatrix& m) const;
    /// Element-wise difference (MisMatch when the shapes differ).
    CMatrix operator-(const CMatrix& m) const;
    /// Matrix product, sums in index order (MisMatch when this.cols != m.rows).
    CMatrix operator*(const CMatrix& m) const;
    /// Power t of a square matrix; t = 0 gives the identity (MisMatch for t < 0 or a
    /// non-square matrix).
    CMatrix operator^(const int& t) const;
    /// In-place sum.
    CMatrix& operator+=(const CMatrix& m);
    /// In-place difference.
    CMatrix& operator-=(const CMatrix& m);
    /// this = this * m.
    CMatrix& operator*=(const CMatrix& m);
    /// this = this ^ t.
    CMatrix& operator^=(const int& t);
    /// 1 when the shapes match and every element is exactly equal (NaN never is), else 0.
    int operator==(const CMatrix& m) const;
    /// The negation of operator==.
    int operator!=(const CMatrix& m) const;
    /// Every element times s.
    CMatrix operator*(double s) const;
    /// Every element multiplied by s in place.
    CMatrix& operator*=(double s);

    /// Column-vector product with the top-left 2 x 2 block: r_i = sum_j M(i, j) v_j
    /// (C2DVec::operator* gives the row-vector product v * M). A matrix with fewer than 2 rows
    /// or columns throws OutOfRange(rows, -1, "at operator*") or (-1, cols, "at operator*").
    C2DVec operator*(const C2DVec& v) const;
    /// Column-vector product with the top-left 3 x 3 block: r_i = sum_j M(i, j) v_j
    /// (C3DVec::operator* gives the row-vector product v * M). A matrix with fewer than 3 rows
    /// or columns throws OutOfRange(rows, -1, "at operator*") or (-1, cols, "at operator*").
    C3DVec operator*(const C3DVec& v) const;
    /// @}

    /// @name Shape editing
    /// @{

    /// SwapRows under the wrapper's name (OutOfRange "at SwapRows").
    CMatrix& SwapRow(int i, int k);
    /// SwapColom under the wrapper's name (OutOfRange "at SwapColom").
    CMatrix& SwapCol(int i, int k);
    using Base::AddCol;
    using Base::AddRow;
    using Base::DeleteCol;
    using Base::DeleteRow;
    using Base::InsrtCol;
    using Base::InsrtRow;
    using Base::Resize;
    using Base::SwapColom;
    using Base::SwapRows;

    /// this becomes the transpose of m (m may be this).
    CMatrix& Trans(const CMatrix& m);
    /// Deletes rows. last = 0: deletes row first only. last >= first: deletes rows first ...
    /// last inclusive; last < first: nothing. A bad index throws OutOfRange "at DeleteRow"
    /// before any row is deleted: (last, -1) when last is outside the matrix, else (-1, -1)
    /// for a negative first.
    CMatrix& DelRow(int first, int last = 0);
    /// Deletes columns, as DelRow does rows: "at DeleteCol", (-1, last) when last is outside
    /// the matrix, else (-1, -1) for a negative first.
    CMatrix& DelCol(int first, int last = 0);
    /// Inserts count rows of 0.0. pos < rows: at pos ... pos + count - 1 (pos < 0 throws
    /// OutOfRange "at InsertRow"). pos >= rows: zero rows appended until there are pos + count
    /// rows. Growth is not bounded by the constructor's 4096 (a right-hand side of many
    /// equations is grown this way); a target count beyond INT_MAX (pos + count formed without
    /// overflow) throws OutOfRange(pos, -1, "at InsertRow") and changes nothing.
    CMatrix& InsertRow(int pos, int count = 1);
    /// Inserts count columns of 0.0, as InsertRow does rows ("at InsertCol", (-1, pos)).
    CMatrix& InsertCol(int pos, int count = 1);
    /// this becomes its block of rows [r0, r1) and columns [c0, c1).
    ///
    /// r1 == r0 or c1 == c0 changes nothing; r1 < r0 or c1 < c0 throws OutOfRange "at Resize"
    /// with the negative size, as does a size beyond 4096 (a size that is no int is reported
    /// as INT_MIN or INT_MAX); a range reaching outside the matrix throws OutOfRange (r0 or
    /// r1, -1, "at GetPart") or (-1, c0 or c1, "at GetPart"). Nothing changes when it throws.
    CMatrix& GetPart(int r0, int r1, int c0, int c1);
    /// Equal row counts: this = [a b] side by side. Otherwise equal column counts: this = a
    /// above b. Otherwise nothing. a or b may be this.
    CMatrix& Join(CMatrix& a, CMatrix& b);
    /// Gathers a block: dst = nr x nc with dst(i, j) = this(rowIdx[i], colIdx[j]); dst may be
    /// this. An index outside this throws OutOfRange (r, -1, "at GetBlock") or (-1, c,
    /// "at GetBlock") before dst changes.
    void GetBlock(CMatrix& dst, int nr, int nc, int* rowIdx, int* colIdx) const;
    /// dst = this without the listed rows and columns.
    ///
    /// Rows rowIdx[0], rowIdx[1], ... then columns colIdx[0], ... are deleted one after
    /// another in array order.
    ///
    /// Each deletion renumbers what follows, so indices meant in the unchanged matrix must
    /// come in descending order. A bad index throws OutOfRange "at DeleteRow"/"at DeleteCol"
    /// with the earlier deletions done.
    void DelBlock(CMatrix& dst, int nr, int nc, int* rowIdx, int* colIdx) const;
    /// Scatter: this(idx[i], idx[j]) = src(i, j) for i, j < n, through SetValue.
    ///
    /// Returns 0 and changes nothing when n < 1 or src is smaller than n x n; a bad target
    /// index throws OutOfRange "at SetValue" with the elements before it already written;
    /// else returns 1.
    int BlockEqual(CMatrix& src, int n, const int* idx);
    /// @}

    /// @name Inverse, determinant and measures
    /// @{

    /// In-place inverse by Gauss elimination with partial pivoting (ties keep the upper row)
    /// and back substitution, of order n = the column count.
    ///
    /// A matrix with more rows has its leading n x n block inverted and the rows below it
    /// kept. Returns 1 on success; returns 0 and leaves the matrix exactly as it was when a
    /// pivot column is exactly zero, when the matrix is singular up to rounding (a pivot at
    /// the rounding level of its row that complete pivoting confirms, as Det does above
    /// mtxkit::kExactCofactorMaxOrder), or when the matrix has fewer rows than columns.
    int MatInv();
    using Base::CondNumber;
    using Base::Det;
    using Base::Norm;
    using Base::Radius;
    using Base::Trace;
    /// This without row i and column j, as mtxkit::Matrix::GetAij (same messages).
    CMatrix GetAij(const int& i, const int& j);
    /// The inverse, as mtxkit::Matrix::Inverse (exact cofactors up to order 16, pivoted LU
    /// above; MisMatch for a non-square or singular matrix).
    CMatrix Inverse() const;
    /// The transpose.
    CMatrix Turn() const;
    /// The template's rank (exact zero tests) as a double.
    double Rank() const;
    /// Only the template's check: OutOfRange(n, -1, "at Unit") outside [1, 4096]. Nothing is
    /// changed or returned.
    void Unit(const int& n) const;
    /// Only the template's check: MisMatch "Error in Diag(): Row not equal to Col" for a
    /// non-square matrix. Nothing is changed or returned.
    void Diag() const;
    /// @}
};

/// @}

#endif  // RVN_MATRIX_CMATRIX_H
