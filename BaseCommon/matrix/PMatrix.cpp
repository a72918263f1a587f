#include "BaseCommon/matrix/PMatrix.h"

#include <utility>

#include "BaseCommon/matrix/Matrix.h"

namespace mtxkit {

template <typename T>
PMatrix<T>::PMatrix() : m_nRowSize(0), m_nColSize(0) {}

template <typename T>
PMatrix<T>::PMatrix(int nRow, int nCol, T fill) : m_nRowSize(0), m_nColSize(0) {
    Resize(nRow, nCol, fill);
}

template <typename T>
PMatrix<T>::PMatrix(PMatrix&& other) noexcept
    : m_vecData(std::move(other.m_vecData)),
      m_nRowSize(other.m_nRowSize),
      m_nColSize(other.m_nColSize) {
    other.m_vecData.clear();
    other.m_nRowSize = 0;
    other.m_nColSize = 0;
}

template <typename T>
PMatrix<T>& PMatrix<T>::operator=(PMatrix&& other) noexcept {
    if (this != &other) {
        m_vecData = std::move(other.m_vecData);
        m_nRowSize = other.m_nRowSize;
        m_nColSize = other.m_nColSize;
        other.m_vecData.clear();
        other.m_nRowSize = 0;
        other.m_nColSize = 0;
    }
    return *this;
}

template <typename T>
void PMatrix<T>::SetValue(const int& i, const int& j, T v) {
    if (i < 0 || i >= m_nRowSize)
        throw OutOfRange(i, -1, "at SetValue");
    if (j < 0 || j >= m_nColSize)
        throw OutOfRange(-1, j, "at SetValue");
    m_vecData[static_cast<size_t>(i)][static_cast<size_t>(j)] = v;
}

template <typename T>
void PMatrix<T>::Resize(const int& nRow, const int& nCol, T fill) {
    if (nRow < 0 || nRow > kMaxMatrixSize)
        throw OutOfRange(nRow, -1, "at Resize");
    if (nCol < 0 || nCol > kMaxMatrixSize)
        throw OutOfRange(-1, nCol, "at Resize");
    std::vector<std::vector<T>> rows(static_cast<size_t>(nRow),
                                     std::vector<T>(static_cast<size_t>(nCol), fill));
    m_vecData.swap(rows);
    m_nRowSize = nRow;
    m_nColSize = nCol;
}

template class PMatrix<std::complex<double>>;

}  // namespace mtxkit
