#include "BaseCommon/sparse/CSparseMatrix.h"

#include <cstring>
#include <new>
#include <vector>

#include "BaseCommon/framework/MessageBox.h"
#include "BaseCommon/sparse/detail/SkylineOps.h"

thread_local double CSparseMatrix::CSparseMatrix_ZERO = 0.0;

namespace {

const char kMsgProfile[] = "The profile of SparseMatrix is not valid, while reallocating";
const char kMsgNoMemory[] = "The element buffer of SparseMatrix cannot be allocated";
const char kMsgAccessBuf[] =
    "The element buffer of SparseMatrix has not been allocated, while doing operator()";
const char kMsgAccessRow[] = "The row is out of range, while doing operator()";
const char kMsgAccessCol[] = "The col is out of range, while operator()";
const char kMsgMultiplyBuf[] =
    "The element buffer of SparseMatrix has not been allocated, while multiplying";
const char kMsgAddBuf[] = "The element buffer of SparseMatrix has not been allocated, while adding";
const char kMsgDeleteBuf[] =
    "The element buffer of SparseMatrix has not been allocated, while deleting the last line";
const char kMsgDeleteOrder[] = "The order of SparseMatrix is 1, while deleting the last line";
const char kMsgDecomposeBuf[] =
    "The element buffer of SparseMatrix has not been allocated, while decomposing";
const char kMsgDecomposeN[] = "The number of equations is out of range, while decomposing";
const char kMsgSolveBuf[] =
    "The element buffer of SparseMatrix has not been allocated, while ldlt solving";
const char kMsgSolveN[] = "The number of equations is out of range, while ldlt solving";
const char kMsgSolveNull[] = "The right-hand side of SparseMatrix is null, while ldlt solving";
const char kMsgSolveRows[] = "The row of Matrix is not enough, while ldlt solving";
const char kMsgSolvePivot[] = "Error in GK";
const char kMsgMultiplyRows[] =
    "The row of Matrix does not match the order of SparseMatrix, while multiplying";

void Say(const char* text) {
    AfxMessageBox(text, MB_OK, 0);
}

// The checks both solves make first, in this order; the first that fails shows its message.
bool SolveAllowed(bool bufEmpty, int n, int order) {
    if (bufEmpty) {
        Say(kMsgSolveBuf);
        return false;
    }
    if (n < 1 || n > order) {
        Say(kMsgSolveN);
        return false;
    }
    return true;
}

// A profile is usable when every row height lies in 1 .. i + 1; the heights are differences
// of caller-supplied ints, so they are formed in 64 bits.
bool ValidProfile(int n, const int* diag) {
    if (n < 1 || diag == nullptr || diag[0] != 0)
        return false;
    for (int i = 1; i < n; ++i) {
        const long long h = static_cast<long long>(diag[i]) - diag[i - 1];
        if (h < 1 || h > i + 1)
            return false;
    }
    // The buffer size D[n-1] + 1 must itself be an int.
    return diag[n - 1] < 0x7fffffff;
}

int* CopyDiag(int n, const int* diag) {
    int* copy = new int[n];
    std::memcpy(copy, diag, sizeof(int) * static_cast<size_t>(n));
    return copy;
}

}  // namespace

CSparseMatrix::CSparseMatrix()
    : m_bDecomposed(0),
      m_bBufEmpty(1),
      m_nRow(1),
      m_pnDiag(new int[1]{0}),
      m_pdElement(new double[1]{0.0}),
      m_pivotInfo(),
      m_pfnProgress(nullptr),
      m_pProgressUser(nullptr) {
    ForgetPivots();
}

void CSparseMatrix::SetProgressHook(ProgressHook hook, void* user) {
    m_pfnProgress = hook;
    m_pProgressUser = hook ? user : nullptr;
}

void CSparseMatrix::ForgetPivots() {
    m_pivotInfo = PivotInfo{0, 0, -1, -1, 0, 1.0, -1};
}

CSparseMatrix::CSparseMatrix(int n, const int* pnDiag) : CSparseMatrix() {
    Realloc(n, pnDiag);
}

CSparseMatrix::CSparseMatrix(const CSparseMatrix& src) : CSparseMatrix() {
    *this = src;
}

CSparseMatrix::~CSparseMatrix() {
    delete[] m_pnDiag;
    delete[] m_pdElement;
}

double& CSparseMatrix::HandOutZero() {
    CSparseMatrix_ZERO = 0.0;
    return CSparseMatrix_ZERO;
}

void CSparseMatrix::ReleaseElements() {
    double* placeholder = new double[1]{0.0};
    delete[] m_pdElement;
    m_pdElement = placeholder;
    m_bBufEmpty = 1;
}

int CSparseMatrix::AllocateElements() {
    const int count = ElementCount();
    double* buf = new (std::nothrow) double[static_cast<size_t>(count)]();
    if (buf == nullptr) {
        Say(kMsgNoMemory);
        return 0;
    }
    delete[] m_pdElement;
    m_pdElement = buf;
    m_bBufEmpty = 0;
    return 1;
}

void CSparseMatrix::Realloc(int n, const int* pnDiag) {
    if (!ValidProfile(n, pnDiag)) {
        Say(kMsgProfile);
        return;
    }
    int* diag = CopyDiag(n, pnDiag);
    delete[] m_pnDiag;
    m_pnDiag = diag;
    m_nRow = n;
    ReleaseElements();
    m_bDecomposed = 0;
    ForgetPivots();
}

void CSparseMatrix::ElementBufEmpty() {
    ReleaseElements();
    m_bDecomposed = 0;
    ForgetPivots();
}

void CSparseMatrix::ElementBufRealloc() {
    AllocateElements();
}

double& CSparseMatrix::operator()(int i, int j) {
    if (m_bBufEmpty) {
        Say(kMsgAccessBuf);
        return HandOutZero();
    }
    if (i < 0 || i >= m_nRow) {
        Say(kMsgAccessRow);
        return HandOutZero();
    }
    if (j < 0 || j >= m_nRow) {
        Say(kMsgAccessCol);
        return HandOutZero();
    }
    const int r = i > j ? i : j;
    const int d = i > j ? i - j : j - i;
    if (d >= RowHeight(r))
        return HandOutZero();
    return m_pdElement[m_pnDiag[r] - d];
}

CSparseMatrix& CSparseMatrix::operator=(double v) {
    if (m_bBufEmpty && !AllocateElements())
        return *this;
    const int count = ElementCount();
    for (int k = 0; k < count; ++k)
        m_pdElement[k] = v;
    return *this;
}

CSparseMatrix& CSparseMatrix::operator*=(double v) {
    if (m_bBufEmpty) {
        Say(kMsgMultiplyBuf);
        return *this;
    }
    const int count = ElementCount();
    for (int k = 0; k < count; ++k)
        m_pdElement[k] *= v;
    return *this;
}

CSparseMatrix& CSparseMatrix::operator=(const CSparseMatrix& src) {
    if (this == &src)
        return *this;
    // Everything is allocated before anything changes, so a failed allocation leaves the
    // target as it was.
    const int count = src.ElementCount();
    double* buf = nullptr;
    if (!src.m_bBufEmpty) {
        buf = new (std::nothrow) double[static_cast<size_t>(count)];
        if (buf == nullptr) {
            Say(kMsgNoMemory);
            return *this;
        }
        std::memcpy(buf, src.m_pdElement, sizeof(double) * static_cast<size_t>(count));
    } else {
        buf = new double[1]{0.0};
    }
    int* diag = CopyDiag(src.m_nRow, src.m_pnDiag);
    delete[] m_pnDiag;
    delete[] m_pdElement;
    m_pnDiag = diag;
    m_pdElement = buf;
    m_nRow = src.m_nRow;
    m_bBufEmpty = src.m_bBufEmpty;
    m_bDecomposed = src.m_bDecomposed;
    m_pivotInfo = src.m_pivotInfo;
    return *this;
}

CSparseMatrix& CSparseMatrix::operator+=(const CSparseMatrix& other) {
    if (m_bBufEmpty || other.m_bBufEmpty) {
        Say(kMsgAddBuf);
        return *this;
    }
    const int m = m_nRow < other.m_nRow ? m_nRow : other.m_nRow;
    if (std::memcmp(m_pnDiag, other.m_pnDiag, sizeof(int) * static_cast<size_t>(m)) == 0) {
        const int count = m_pnDiag[m - 1] + 1;
        for (int k = 0; k < count; ++k)
            m_pdElement[k] += other.m_pdElement[k];
    } else {
        // Row by row over the positions nearest the diagonal that both profiles store.
        m_pdElement[0] += other.m_pdElement[0];
        for (int r = 1; r < m; ++r) {
            const int ha = RowHeight(r);
            const int hb = other.RowHeight(r);
            const int h = ha < hb ? ha : hb;
            double* a = m_pdElement + m_pnDiag[r];
            const double* b = other.m_pdElement + other.m_pnDiag[r];
            for (int t = 0; t < h; ++t)
                a[-t] += b[-t];
        }
    }
    m_bDecomposed = 0;
    ForgetPivots();
    return *this;
}

void CSparseMatrix::DeleteLastLine() {
    if (m_bBufEmpty) {
        Say(kMsgDeleteBuf);
        return;
    }
    if (m_nRow < 2) {
        Say(kMsgDeleteOrder);
        return;
    }
    const int n = m_nRow - 1;
    const int count = m_pnDiag[n - 1] + 1;
    double* buf = new (std::nothrow) double[static_cast<size_t>(count)];
    if (buf == nullptr) {
        Say(kMsgNoMemory);
        return;
    }
    std::memcpy(buf, m_pdElement, sizeof(double) * static_cast<size_t>(count));
    int* diag = CopyDiag(n, m_pnDiag);
    delete[] m_pnDiag;
    delete[] m_pdElement;
    m_pnDiag = diag;
    m_pdElement = buf;
    m_nRow = n;
    m_bBufEmpty = 0;
    m_bDecomposed = 0;
    ForgetPivots();
}

int CSparseMatrix::Factorise(int n) {
    if (m_bDecomposed)
        return 1;
    PivotInfo info;
    const int ok =
        rvn::skyline::FactorRows(m_pdElement, m_pnDiag, n, info, m_pfnProgress, m_pProgressUser);
    m_pivotInfo = info;
    if (!ok)
        return 0;
    m_bDecomposed = 1;
    return 1;
}

int CSparseMatrix::Decomposition(int n) {
    if (m_bBufEmpty) {
        Say(kMsgDecomposeBuf);
        return 0;
    }
    if (n < 1 || n > m_nRow) {
        Say(kMsgDecomposeN);
        return 0;
    }
    return Factorise(n);
}

int CSparseMatrix::LdltSolve(int n, double* b) {
    if (!SolveAllowed(m_bBufEmpty, n, m_nRow))
        return 0;
    if (b == nullptr) {
        Say(kMsgSolveNull);
        return 0;
    }
    if (!Factorise(n))
        return 0;
    return rvn::skyline::SolveVector(m_pdElement, m_pnDiag, n, b);
}

CMatrix CSparseMatrix::operator*(const CMatrix& B) const {
    if (m_bBufEmpty) {
        Say(kMsgMultiplyBuf);
        return CMatrix();
    }
    if (B.GetRow() != m_nRow) {
        Say(kMsgMultiplyRows);
        return CMatrix();
    }
    const int cols = B.GetCol();
    CMatrix R(m_nRow, cols);
    if (cols == 0)
        return R;
    // Row by row over the whole width of B: every element of R receives the same terms in the
    // same order as the column-by-column sweep, while the rows of B and R are walked
    // contiguously. The rows of B are only read (the matrix has no const row access).
    CMatrix& src = const_cast<CMatrix&>(B);
    for (int i = 0; i < m_nRow; ++i) {
        const double* bi = &src(i, 0);
        double* ri = &R(i, 0);
        const double* row = m_pdElement + m_pnDiag[i] - i;
        for (int c = i - RowHeight(i) + 1; c < i; ++c) {
            const double g = row[c];
            const double* bc = &src(c, 0);
            double* rc = &R(c, 0);
            for (int j = 0; j < cols; ++j) {
                ri[j] += g * bc[j];
                rc[j] += g * bi[j];
            }
        }
        const double kii = row[i];
        for (int j = 0; j < cols; ++j)
            ri[j] += kii * bi[j];
    }
    return R;
}

int CSparseMatrix::LdltSolve(int n, CMatrix& B) {
    if (!SolveAllowed(m_bBufEmpty, n, m_nRow))
        return 0;
    if (n > B.GetRow()) {
        Say(kMsgSolveRows);
        return 0;
    }
    if (!Factorise(n))
        return 0;
    const int cols = B.GetCol();
    std::vector<double*> rows(static_cast<size_t>(cols > 0 ? n : 0));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = &B(static_cast<int>(i), 0);
    const int r =
        rvn::skyline::SolveMatrixRows(m_pdElement, m_pnDiag, n, rows.data(), cols > 0 ? cols : 0);
    if (r < 0) {
        Say(kMsgSolvePivot);
        return 0;
    }
    return r;
}
