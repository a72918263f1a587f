/// @file
/// The two exceptions of the dense matrix template. Both are plain classes outside the
/// standard exception hierarchy, thrown by value and caught by their own types. Callers match
/// on the message texts and on the index pair, so both are part of the interface.
///
/// They carry default visibility: the library is built with hidden visibility, and a type
/// thrown inside the library is caught in the caller only when both sides see one type_info.
#ifndef RVN_MATRIX_MATRIXEXCEPTIONS_H
#define RVN_MATRIX_MATRIXEXCEPTIONS_H

/// @addtogroup matrix
/// @{

#include <string>
#include <utility>

#include "BaseCommon/Export.h"

namespace mtxkit {

/// A bad index or size.
///
/// m_nRow holds the offending row index or row count and m_nCol -1, or m_nRow is -1 and m_nCol
/// the offending column index or count. m_strMsg is "at " and the name of the operation that
/// refused ("at SetValue", "at Resize", "at InsertRow", ...).
class RVN_API OutOfRange {
public:
    /// The offending row index or count, or -1 when the column is at fault.
    int m_nRow;
    /// The offending column index or count, or -1 when the row is at fault.
    int m_nCol;
    /// "at " followed by the name of the operation that refused.
    std::string m_strMsg;

    /// Stores the index pair and the message as given.
    OutOfRange(int nRow, int nCol, std::string strMsg)
        : m_nRow(nRow), m_nCol(nCol), m_strMsg(std::move(strMsg)) {}
};

/// A shape that does not suit the operation, or a singular matrix given to Inverse.
class RVN_API MisMatch {
public:
    /// The full message, such as "Error in Det(): The matrix is not square".
    std::string m_strMsg;

    /// Stores the message as given.
    explicit MisMatch(std::string strMsg) : m_strMsg(std::move(strMsg)) {}
};

}  // namespace mtxkit

/// @}

#endif  // RVN_MATRIX_MATRIXEXCEPTIONS_H
