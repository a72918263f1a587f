/// @file
/// Companion of mtxkit::Matrix for complex elements, instantiated in the library for
/// std::complex<double> only. It is what Matrix<double>::ToCDouble returns; it offers
/// construction, element access, Resize and copying, with the same row storage, the same
/// 0 ... 4096 size limit and the same "at SetValue" / "at Resize" checks as Matrix<double>.
#ifndef RVN_MATRIX_PMATRIX_H
#define RVN_MATRIX_PMATRIX_H

/// @addtogroup matrix
/// @{

#include <cassert>
#include <complex>
#include <vector>

#include "BaseCommon/Export.h"
#include "BaseCommon/matrix/MatrixExceptions.h"

namespace mtxkit {

/// Dense row-stored matrix of complex elements (instantiated for std::complex<double> only).
/// @see PMatrix.h for what it shares with Matrix<double>.
template <typename T>
class RVN_API PMatrix {
public:
    /// 0 x 0.
    PMatrix();
    /// nRow x nCol filled with fill; throws OutOfRange "at Resize" outside [0, 4096].
    PMatrix(int nRow, int nCol, T fill);
    /// Deep copy.
    PMatrix(const PMatrix& other) = default;
    /// Takes other's rows; other is left 0 x 0.
    PMatrix(PMatrix&& other) noexcept;
    /// Deep copy.
    PMatrix& operator=(const PMatrix& other) = default;
    /// Takes other's rows; other is left 0 x 0. Self-assignment does nothing.
    PMatrix& operator=(PMatrix&& other) noexcept;
    ~PMatrix() = default;

    /// Element (i, j); the indices must lie in range (not checked; asserted in debug builds).
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
    /// Re-initialisation to nRow x nCol copies of fill; the old contents are discarded.
    /// Throws OutOfRange(nRow, -1, "at Resize") or (-1, nCol, "at Resize") and then changes
    /// nothing.
    void Resize(const int& nRow, const int& nCol, T fill);

private:
    std::vector<std::vector<T>> m_vecData;
    int m_nRowSize;
    int m_nColSize;
};

extern template class PMatrix<std::complex<double>>;

}  // namespace mtxkit

/// @}

#endif  // RVN_MATRIX_PMATRIX_H
