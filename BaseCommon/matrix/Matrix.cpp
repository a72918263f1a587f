// Core, arithmetic and shape editing of mtxkit::Matrix; the analysis members (Det, Inverse,
// Rank, ...) are in MatrixAnalysis.cpp.
#include "BaseCommon/matrix/Matrix.h"

#include <algorithm>
#include <utility>

#include "BaseCommon/matrix/detail/DenseKernels.h"

namespace mtxkit {

namespace {

size_t Idx(int i) {
    return static_cast<size_t>(i);
}

bool InRange(int i, int n) {
    return i >= 0 && i < n;
}

}  // namespace

// ---- construction, assignment, access ------------------------------------------------------

template <typename T>
Matrix<T>::Matrix() : m_nRowSize(0), m_nColSize(0) {
    Resize(0, 0, T(0));
}

template <typename T>
Matrix<T>::Matrix(int nRow, int nCol, T fill) : m_nRowSize(0), m_nColSize(0) {
    Resize(nRow, nCol, fill);
}

template <typename T>
Matrix<T>::Matrix(const Matrix& other) : m_nRowSize(0), m_nColSize(0) {
    *this = other;
}

template <typename T>
Matrix<T>::Matrix(Matrix&& other) noexcept
    : m_vecData(std::move(other.m_vecData)),
      m_nRowSize(other.m_nRowSize),
      m_nColSize(other.m_nColSize) {
    other.m_vecData.clear();
    other.m_nRowSize = 0;
    other.m_nColSize = 0;
}

template <typename T>
Matrix<T>::~Matrix() = default;

template <typename T>
void Matrix<T>::SetValue(const int& i, const int& j, T v) {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at SetValue");
    if (!InRange(j, m_nColSize))
        throw OutOfRange(-1, j, "at SetValue");
    m_vecData[Idx(i)][Idx(j)] = v;
}

template <typename T>
PMatrix<std::complex<T>> Matrix<T>::ToCDouble() const {
    PMatrix<std::complex<T>> c(m_nRowSize, m_nColSize, std::complex<T>(0, 0));
    for (int i = 0; i < m_nRowSize; ++i)
        for (int j = 0; j < m_nColSize; ++j)
            c.SetValue(i, j, std::complex<T>(m_vecData[Idx(i)][Idx(j)], T(0)));
    return c;
}

template <typename T>
Matrix<T>& Matrix<T>::operator=(const Matrix& other) {
    if (this == &other)
        return *this;
    if (!(other.m_nRowSize >= 0 && other.m_nRowSize <= kMaxMatrixSize))
        throw OutOfRange(other.m_nRowSize, -1, "at Resize");
    if (!(other.m_nColSize >= 0 && other.m_nColSize <= kMaxMatrixSize))
        throw OutOfRange(-1, other.m_nColSize, "at Resize");
    // Row by row, as stored: a row whose length a caller changed through operator[] is copied
    // with that length.
    m_vecData = other.m_vecData;
    m_nRowSize = other.m_nRowSize;
    m_nColSize = other.m_nColSize;
    return *this;
}

template <typename T>
Matrix<T>& Matrix<T>::operator=(Matrix&& other) noexcept {
    if (this == &other)
        return *this;
    m_vecData = std::move(other.m_vecData);
    m_nRowSize = other.m_nRowSize;
    m_nColSize = other.m_nColSize;
    other.m_vecData.clear();
    other.m_nRowSize = 0;
    other.m_nColSize = 0;
    return *this;
}

template <typename T>
int Matrix<T>::operator==(const Matrix& other) const {
    if (m_nRowSize != other.m_nRowSize || m_nColSize != other.m_nColSize)
        return 0;
    for (int i = 0; i < m_nRowSize; ++i)
        for (int j = 0; j < m_nColSize; ++j)
            if (!(m_vecData[Idx(i)][Idx(j)] == other.m_vecData[Idx(i)][Idx(j)]))
                return 0;
    return 1;
}

template <typename T>
int Matrix<T>::operator!=(const Matrix& other) const {
    return (*this == other) ? 0 : 1;
}

template <typename T>
std::vector<T>& Matrix<T>::operator[](const int& i) {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at []");
    return m_vecData[Idx(i)];
}

template <typename T>
void Matrix<T>::Resize(const int& nRow, const int& nCol, T fill) {
    if (nRow < 0 || nRow > kMaxMatrixSize)
        throw OutOfRange(nRow, -1, "at Resize");
    if (nCol < 0 || nCol > kMaxMatrixSize)
        throw OutOfRange(-1, nCol, "at Resize");
    // Built aside and swapped in, so that a failed allocation leaves the matrix as it was.
    std::vector<std::vector<T>> rows(Idx(nRow), std::vector<T>(Idx(nCol), fill));
    m_vecData.swap(rows);
    m_nRowSize = nRow;
    m_nColSize = nCol;
}

// ---- arithmetic ------------------------------------------------------------------------------

template <typename T>
Matrix<T> Matrix<T>::operator+(const Matrix& other) const {
    if (m_nRowSize != other.m_nRowSize || m_nColSize != other.m_nColSize)
        throw MisMatch("Error at + : The tow matrixs are not match for '+' .");
    Matrix r(*this);
    for (int i = 0; i < m_nRowSize; ++i) {
        std::vector<T>& dst = r.m_vecData[Idx(i)];
        const std::vector<T>& src = other.m_vecData[Idx(i)];
        for (int j = 0; j < m_nColSize; ++j)
            dst[Idx(j)] += src[Idx(j)];
    }
    return r;
}

template <typename T>
Matrix<T> Matrix<T>::operator-(const Matrix& other) const {
    if (m_nRowSize != other.m_nRowSize || m_nColSize != other.m_nColSize)
        throw MisMatch("Error at - : The tow matrixs are not match for '-' .");
    Matrix r(*this);
    for (int i = 0; i < m_nRowSize; ++i) {
        std::vector<T>& dst = r.m_vecData[Idx(i)];
        const std::vector<T>& src = other.m_vecData[Idx(i)];
        for (int j = 0; j < m_nColSize; ++j)
            dst[Idx(j)] -= src[Idx(j)];
    }
    return r;
}

template <typename T>
Matrix<T> Matrix<T>::operator*(const Matrix& other) const {
    if (m_nColSize != other.m_nRowSize)
        throw MisMatch("Error ar * : The two matrix are not match for '*'.");
    Matrix r(m_nRowSize, other.m_nColSize, T(0));
    detail::MultiplyRows(m_vecData, other.m_vecData, m_nColSize, other.m_nColSize, r.m_vecData);
    return r;
}

template <typename T>
Matrix<T> Matrix<T>::operator^(const int& t) const {
    if (t < 0)
        throw MisMatch("Error at ^ : In a^t where t<0.");
    if (m_nRowSize != m_nColSize)
        throw MisMatch("Error at ^ : The matrix is not square");
    if (t == 0) {
        // Not Unit(): an empty square matrix to the power 0 is the empty identity, which
        // Unit refuses.
        Matrix u(m_nRowSize, m_nColSize, T(0));
        for (int i = 0; i < m_nRowSize; ++i)
            u.m_vecData[Idx(i)][Idx(i)] = T(1);
        return u;
    }
    Matrix p(*this);
    for (int k = 1; k < t; ++k)
        p = p * *this;
    return p;
}

template <typename T>
Matrix<T>& Matrix<T>::operator+=(const Matrix& other) {
    if (m_nRowSize != other.m_nRowSize || m_nColSize != other.m_nColSize)
        throw MisMatch("Error at +=: The two matrixs are not match for '+'.");
    *this = *this + other;
    return *this;
}

template <typename T>
Matrix<T>& Matrix<T>::operator-=(const Matrix& other) {
    if (m_nRowSize != other.m_nRowSize || m_nColSize != other.m_nColSize)
        throw MisMatch("Error at -= : The two matrix are not match for '-' .");
    *this = *this - other;
    return *this;
}

template <typename T>
Matrix<T>& Matrix<T>::operator*=(const Matrix& other) {
    if (m_nColSize != other.m_nRowSize)
        throw MisMatch("Error at *= : The two matrix are not match for '*'.");
    *this = *this * other;
    return *this;
}

template <typename T>
Matrix<T>& Matrix<T>::operator^=(const int& t) {
    if (t < 0)
        throw MisMatch("Error at ^= : In a^t where t<0");
    if (m_nRowSize != m_nColSize)
        throw MisMatch("Error at ^= : The matrix is not square");
    *this = *this ^ t;
    return *this;
}

// ---- rows and columns ---------------------------------------------------------------------

template <typename T>
std::vector<T> Matrix<T>::GetRowVector(const int& i) const {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at GetRowVector");
    return m_vecData[Idx(i)];
}

template <typename T>
std::vector<T> Matrix<T>::GetColVector(const int& j) const {
    if (!InRange(j, m_nColSize))
        throw OutOfRange(-1, j, "at GetColVector");
    std::vector<T> v(Idx(m_nRowSize));
    for (int k = 0; k < m_nRowSize; ++k)
        v[Idx(k)] = m_vecData[Idx(k)][Idx(j)];
    return v;
}

template <typename T>
Matrix<T> Matrix<T>::GetRow(const int& i) const {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at GetRow");
    Matrix r(1, m_nColSize, T(0));
    r.m_vecData[0] = m_vecData[Idx(i)];
    return r;
}

template <typename T>
Matrix<T> Matrix<T>::GetCol(const int& j) const {
    if (!InRange(j, m_nColSize))
        throw OutOfRange(-1, j, "at GetCol");
    Matrix r(m_nRowSize, 1, T(0));
    for (int k = 0; k < m_nRowSize; ++k)
        r.m_vecData[Idx(k)][0] = m_vecData[Idx(k)][Idx(j)];
    return r;
}

template <typename T>
void Matrix<T>::AddRow(T fill) {
    // A matrix without rows has no first row to copy the length from; its column count is the
    // length every row of it must have.
    const size_t len = m_vecData.empty() ? Idx(m_nColSize) : m_vecData.front().size();
    m_vecData.emplace_back(len, fill);
    ++m_nRowSize;
}

template <typename T>
void Matrix<T>::AddCol(T fill) {
    for (std::vector<T>& row : m_vecData)
        row.push_back(fill);
    ++m_nColSize;
}

template <typename T>
void Matrix<T>::DeleteRow(const int& i) {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at DeleteRow");
    m_vecData.erase(m_vecData.begin() + i);
    --m_nRowSize;
}

template <typename T>
void Matrix<T>::DeleteCol(const int& j) {
    if (!InRange(j, m_nColSize))
        throw OutOfRange(-1, j, "at DeleteCol");
    for (std::vector<T>& row : m_vecData)
        row.erase(row.begin() + j);
    --m_nColSize;
}

template <typename T>
void Matrix<T>::InsrtRow(const int& i, T fill) {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at InsertRow");
    m_vecData.insert(m_vecData.begin() + i, std::vector<T>(Idx(m_nColSize), fill));
    ++m_nRowSize;
}

template <typename T>
void Matrix<T>::InsrtCol(const int& j, T fill) {
    if (!InRange(j, m_nColSize))
        throw OutOfRange(-1, j, "at InsertCol");
    for (std::vector<T>& row : m_vecData)
        row.insert(row.begin() + j, fill);
    ++m_nColSize;
}

template <typename T>
void Matrix<T>::SetRowVector(const int& i, const std::vector<T>& v) {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at SetRowVector");
    const size_t len = m_vecData.front().size();
    if (v.size() == len)
        m_vecData[Idx(i)] = v;
    else
        m_vecData[Idx(i)].assign(len, T(0));
}

template <typename T>
void Matrix<T>::SetColVector(const int& j, const std::vector<T>& v) {
    if (!InRange(j, m_nColSize))
        throw OutOfRange(-1, j, "at SetColVector");
    const bool fits = v.size() == m_vecData.size();
    for (size_t k = 0; k < m_vecData.size(); ++k)
        m_vecData[k][Idx(j)] = fits ? v[k] : T(0);
}

template <typename T>
void Matrix<T>::SwapRows(const int& i, const int& k) {
    if (!InRange(i, m_nRowSize))
        throw OutOfRange(i, -1, "at SwapRows");
    if (!InRange(k, m_nRowSize))
        throw OutOfRange(k, -1, "at SwapRows");
    if (i != k)
        m_vecData[Idx(i)].swap(m_vecData[Idx(k)]);
}

template <typename T>
void Matrix<T>::SwapColom(const int& i, const int& k) {
    if (!InRange(i, m_nColSize))
        throw OutOfRange(-1, i, "at SwapColom");
    if (!InRange(k, m_nColSize))
        throw OutOfRange(-1, k, "at SwapColom");
    if (i == k)
        return;
    for (std::vector<T>& row : m_vecData)
        std::swap(row[Idx(i)], row[Idx(k)]);
}

// ---- derived matrices ----------------------------------------------------------------------

template <typename T>
Matrix<T> Matrix<T>::Turn() const {
    Matrix t(m_nColSize, m_nRowSize, T(0));
    for (int i = 0; i < m_nRowSize; ++i)
        for (int j = 0; j < m_nColSize; ++j)
            t.m_vecData[Idx(j)][Idx(i)] = m_vecData[Idx(i)][Idx(j)];
    return t;
}

template <typename T>
Matrix<T> Matrix<T>::Unit(const int& n) const {
    if (n < 1 || n > kMaxMatrixSize)
        throw OutOfRange(n, -1, "at Unit");
    Matrix u(n, n, T(0));
    for (int i = 0; i < n; ++i)
        u.m_vecData[Idx(i)][Idx(i)] = T(1);
    return u;
}

template <typename T>
Matrix<T> Matrix<T>::Diag() const {
    if (m_nRowSize != m_nColSize)
        throw MisMatch("Error in Diag(): Row not equal to Col");
    Matrix d(m_nRowSize, m_nColSize, T(0));
    for (int i = 0; i < m_nRowSize; ++i)
        d.m_vecData[Idx(i)][Idx(i)] = m_vecData[Idx(i)][Idx(i)];
    return d;
}

template class Matrix<double>;

}  // namespace mtxkit
