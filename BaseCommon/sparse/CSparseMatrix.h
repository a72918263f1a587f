/// @file
/// Symmetric matrix of order n in skyline (variable-band) storage, with element assembly and
/// in-place LDLT factorisation and solution.
///
/// Storage. Only the lower triangle is stored, row by row, each row from its first non-zero
/// column m_i up to the diagonal; the upper triangle is its mirror. The profile is given by the
/// diagonal addresses D[i] = m_pnDiag[i], the 0-based index of element (i, i) in m_pdElement:
/// - D[0] = 0, and the row height D[i] - D[i-1] lies in 1 .. i + 1;
/// - m_i = i - height_i + 1, and element (i, c), m_i <= c <= i, is m_pdElement[D[i] - (i - c)];
/// - the element buffer holds D[n-1] + 1 doubles.
///
/// Example: a full 3 x 3 matrix has D = {0, 2, 5} and stores (0,0), (1,0), (1,1), (2,0), (2,1),
/// (2,2) in that order.
///
/// Factor format (callers read it). After factorisation K = L D L^T (L unit lower triangular,
/// no square roots) the buffer holds, in the same profile, the pivot d_i on the diagonal and
/// g_ic = d_c * l_ic off it. There is no fill-in outside the profile.
///
/// States. m_bBufEmpty = 1: profile only (default state, after a constructor, Realloc or
/// ElementBufEmpty); element access, arithmetic and the solver refuse. m_bDecomposed = 1: the
/// buffer holds the factors; later solves reuse them. Assigning a scalar, *= and
/// ElementBufRealloc keep the flag; Realloc, ElementBufEmpty, += and DeleteLastLine clear it; a
/// copy takes the source's flag. To assemble a new matrix into a factorised object, call
/// ElementBufEmpty (or Realloc) first.
///
/// Errors. Misuse is reported through AfxMessageBox (OK button, no help context) with the texts
/// given with each member, and the object is left unchanged; nothing throws. An element buffer that
/// cannot be allocated shows "The element buffer of SparseMatrix cannot be allocated" and leaves
/// the object as it was.
///
/// Vanishing pivots. A pivot d_i counts as zero -- the structure is a mechanism, or is not
/// supported, at equation i -- when it is exactly 0.0 (either sign; a NaN pivot is not zero)
/// or when it lies within the rounding error of its own computation, and then it is stored as
/// 0.0 and treated exactly like an exact zero everywhere (status, "Error in GK", the state left
/// behind). Within the rounding error means both:
/// - |d_i| < 1e-8 |a_ii| (a_ii the assembled diagonal: a pivot that keeps 8 digits of it is
///   always kept), and
/// - |d_i| <= 2 (H + 2) u phi_i, with u = 2^-53 and phi_i = sum over m <= i of |d_m| w_m^2,
///
/// where z solves L^T z = e_i (K z = d_i e_i on rows 0 .. i: for a mechanism, its motion),
/// w = |L^T| |z| and H is the tallest row z reaches. phi_i bounds z^T dK z for the backward
/// error |dK| <= 2 gamma |L| |D| |L^T| of the elimination, so the bound covers the rounding of
/// every earlier row that d_i depends on, which is what a long chain of equal springs
/// accumulates (about one rounding per row); each pivot costs nothing unless it has lost 8
/// digits, and the sweeps for z visit at most four times the stored elements in all, after
/// which the rounding of the row's own sums, (h_i + 2) u (|a_ii| + |a_ii - d_i|), decides.
#ifndef RVN_SPARSE_CSPARSEMATRIX_H
#define RVN_SPARSE_CSPARSEMATRIX_H

/// @addtogroup sparse
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/matrix/CMatrix.h"

/// Symmetric skyline matrix with element assembly and in-place LDLT factorisation and solution.
/// @see CSparseMatrix.h for the storage, the factor format, the states, the error reporting
/// and the vanishing-pivot rule.
class RVN_API CSparseMatrix {
public:
    int m_bDecomposed;    ///< 1: the buffer holds the LDLT factors
    int m_bBufEmpty;      ///< 1: no element buffer of the profile's size is allocated
    int m_nRow;           ///< order n
    int* m_pnDiag;        ///< n diagonal addresses, owned
    double* m_pdElement;  ///< element buffer, owned (a one-double placeholder while empty)

    /// Order 1, D = {0}, no element buffer.
    CSparseMatrix();
    /// Order n with a copy of the n diagonal addresses, no element buffer. An invalid profile
    /// (n < 1, null pointer, D[0] != 0, a row height outside 1 .. i + 1) shows
    /// "The profile of SparseMatrix is not valid, while reallocating" and leaves the default
    /// state.
    CSparseMatrix(int n, const int* pnDiag);
    /// Copy: profile, buffer, both flags and the pivot record, as operator=; the progress
    /// hook is not copied.
    CSparseMatrix(const CSparseMatrix& src);
    /// Frees the diagonal addresses and the element buffer.
    virtual ~CSparseMatrix();

    /// Sets the profile: order n and a copy of the n diagonal addresses; the element buffer is
    /// released (m_bBufEmpty = 1, m_bDecomposed = 0). An invalid profile is refused with the
    /// constructor's message ("The profile of SparseMatrix is not valid, while reallocating")
    /// and nothing changes.
    void Realloc(int n, const int* pnDiag);
    /// Releases the element buffer: m_bBufEmpty = 1, m_bDecomposed = 0.
    void ElementBufEmpty();
    /// Allocates a new element buffer of D[n-1] + 1 doubles, filled with 0.0, and sets
    /// m_bBufEmpty = 0; m_bDecomposed is kept.
    void ElementBufRealloc();
    /// The order n.
    int GetRow() const { return m_nRow; }

    /// Reference to element (i, j), 0-based; (i, j) and (j, i) are the same storage. A position
    /// outside the profile gives a reference to CSparseMatrix_ZERO without a message; so do the
    /// refusals, with "The element buffer of SparseMatrix has not been allocated, while doing
    /// operator()", "The row is out of range, while doing operator()" (row tested first) and
    /// "The col is out of range, while operator()". CSparseMatrix_ZERO is set back to 0.0
    /// each time it is handed out, so a stray write through it never reaches a later read.
    double& operator()(int i, int j);

    /// Allocates the buffer if there is none (m_bBufEmpty = 0), then sets every stored element
    /// to v; m_bDecomposed is kept.
    CSparseMatrix& operator=(double v);
    /// Multiplies every stored element by v; m_bDecomposed is kept. Without a buffer: "The
    /// element buffer of SparseMatrix has not been allocated, while multiplying".
    CSparseMatrix& operator*=(double v);
    /// Copy: profile, buffer and both flags (factors stay factors); the pivot record comes
    /// along, the progress hook does not. Self-assignment does nothing.
    CSparseMatrix& operator=(const CSparseMatrix& src);
    /// Adds other over the leading min(n, n_other) block; the profile of this matrix never
    /// changes, so elements of other outside it are dropped. Clears m_bDecomposed. Without a
    /// buffer on either side: "The element buffer of SparseMatrix has not been allocated, while
    /// adding".
    CSparseMatrix& operator+=(const CSparseMatrix& other);

    /// Product of the full symmetric matrix (stored values, factors included when factorised)
    /// with B: a B.GetRow() x B.GetCol() result. Refused without a buffer ("The element buffer of
    /// SparseMatrix has not been allocated, while multiplying") and when B does not have n rows
    /// ("The row of Matrix does not match the order of SparseMatrix, while multiplying"); both
    /// return an empty CMatrix.
    CMatrix operator*(const CMatrix& B) const;

    /// Removes the last row and column, keeping the leading (n-1) x (n-1) block with its profile
    /// and values; clears m_bDecomposed. Refused without a buffer ("The element buffer of
    /// SparseMatrix has not been allocated, while deleting the last line") and on order 1 ("The
    /// order of SparseMatrix is 1, while deleting the last line").
    void DeleteLastLine();

    /// Factorises the leading n rows in place (callers pass GetRow()); returns 1 when factorised
    /// or already factorised, 0 on failure. Refusals, returning 0 with nothing changed:
    /// no buffer ("The element buffer of SparseMatrix has not been allocated, while
    /// decomposing"), n outside 1 .. order ("The number of equations is out of range, while
    /// decomposing"). A zero pivot reached by a later row returns 0 silently with
    /// m_bDecomposed = 0: the rows before the failing row hold their factors, the failing row
    /// is partly overwritten and the rows after it are untouched, so the matrix has to be
    /// assembled again.
    int Decomposition(int n);

    /// Solves K x = b for the leading n rows, factorising first when m_bDecomposed is 0; b holds
    /// at least n entries and is overwritten by x. Returns 1 solved, 0 failed. Refusals (0,
    /// nothing changed): no buffer ("The element buffer of SparseMatrix has not been allocated,
    /// while ldlt solving"), n outside 1 .. order ("The number of equations is out of range,
    /// while ldlt solving"), b null ("The right-hand side of SparseMatrix is null, while ldlt
    /// solving"). A zero pivot during factorisation, d_0 = 0 or a zero pivot in the forward
    /// step return 0 silently (the factors stay; b is partly overwritten).
    int LdltSolve(int n, double* b);

    /// Solves for every column of B at once (rows 0 to n-1 of each column are overwritten by its
    /// solution), factorising first when m_bDecomposed is 0. Returns 1 solved, 0 failed.
    /// Refusals (0, nothing changed): no buffer and n outside 1 .. order as for LdltSolve(int,
    /// double*), B with fewer
    /// than n rows ("The row of Matrix is not enough, while ldlt solving", tested before
    /// factorising). A zero pivot during factorisation or d_0 = 0 return 0 silently; a zero pivot
    /// d_i, i >= 1, shows "Error in GK" and returns 0 with column 0 carried as far as its forward
    /// step goes and the other columns untouched.
    int LdltSolve(int n, CMatrix& B);

    /// What the latest factorisation of this object (Decomposition, or the one inside either
    /// LdltSolve) found about its pivots d_i, for the leading rows it factorised. A pivot has
    /// vanished when it is exactly 0.0 or lies within the rounding error of its own computation
    /// (see the vanishing-pivot rule in CSparseMatrix.h): the structure is a mechanism, or is not
    /// supported, at that equation. The record is kept until the next factorisation; Realloc,
    /// ElementBufEmpty, += and DeleteLastLine clear it (m_nRows = 0), a copy takes the source's,
    /// and a call on an already factorised matrix leaves it as it was.
    struct PivotInfo {
        /// Leading rows n of that factorisation; 0: none recorded.
        int m_nRows;
        /// 1 when it returned 0 (a later row reached a vanished pivot).
        int m_bFailed;
        /// First row whose pivot vanished, -1 none. Also set when the factorisation
        /// succeeded: a vanished pivot that no later row reaches (the last row of a free
        /// chain) fails in the solve.
        int m_nZeroRow;
        /// The row whose elimination reached a vanished pivot, -1 none.
        int m_nFailRow;
        /// Number of pivots d_i < 0 (the Sturm count: for K - sigma M, the number of
        /// eigenvalues below sigma); on failure, over the rows before m_nFailRow.
        int m_nNegative;
        /// Smallest |d_i| / |a_ii| (a_ii the assembled diagonal, ratio +inf when a_ii = 0 and
        /// d_i != 0, 0 for a vanished pivot): the elimination lost about -log10 of it in
        /// digits at that row; over the same rows as m_nNegative, 1 for a single row (and
        /// when none is recorded).
        double m_dMinRatio;
        /// The row of m_dMinRatio (the first on ties); -1 when none is recorded.
        int m_nMinRatioRow;
    };
    /// The record of the latest factorisation (see PivotInfo).
    const PivotInfo& GetPivotInfo() const { return m_pivotInfo; }

    /// Progress of a factorisation, for a caller that shows it (a long solve of a large model).
    /// The hook is called on the caller's thread, from inside Decomposition or either LdltSolve
    /// while it factorises, with rowsDone rising and rowsTotal the n factorised: once each time
    /// the finished rows have done another whole percent of the factorisation's work (the
    /// multiply-adds, about half the square of each row's height summed over the rows), so the
    /// calls come evenly in time whatever the profile. At most 100 calls per factorisation; the
    /// last, after a success, has rowsDone == rowsTotal. A failing factorisation stops calling
    /// where it fails; a matrix already factorised calls nothing; solves are not reported.
    /// Between calls the hook costs one test per strip of rows. The hook must return normally
    /// and must not touch this matrix. A null hook (the default) reports nothing. The hook
    /// belongs to the object: copies and assignment neither pass it on nor replace it.
    typedef void (*ProgressHook)(void* user, int rowsDone, int rowsTotal);
    /// Sets the progress hook and the user pointer passed to it (see ProgressHook); a null hook
    /// stops the reports and forgets the user pointer.
    void SetProgressHook(ProgressHook hook, void* user);

private:
    PivotInfo m_pivotInfo;
    ProgressHook m_pfnProgress;
    void* m_pProgressUser;

    // The one thread-local element behind every out-of-profile or refused access.
    static thread_local double CSparseMatrix_ZERO;

    double& HandOutZero();
    // Replaces the element buffer by a zero-filled one of the profile's size; 0 when the
    // memory cannot be had (then nothing changes).
    int AllocateElements();
    void ReleaseElements();
    int ElementCount() const { return m_pnDiag[m_nRow - 1] + 1; }
    int RowHeight(int i) const { return i == 0 ? 1 : m_pnDiag[i] - m_pnDiag[i - 1]; }
    int Factorise(int n);
    void ForgetPivots();
};

/// @}

#endif  // RVN_SPARSE_CSPARSEMATRIX_H
