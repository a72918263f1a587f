/// @file
/// Area of a trapezoid from its two parallel sides and its height.
#ifndef RVN_NUMERIC_ALGTRAQAREA_H
#define RVN_NUMERIC_ALGTRAQAREA_H

/// @addtogroup numeric
/// @{

#include "BaseCommon/Export.h"

/// Area of a trapezoid from its two parallel sides and its height.
/// @see AlgTraqArea.h for the contracts that hold for the whole class.
class RVN_API AlgTraqArea {
public:
    double m_dA;  ///< one parallel side
    double m_dB;  ///< the other parallel side
    double m_dH;  ///< height between them

    /// A trapezoid with parallel sides a and b and height h.
    AlgTraqArea(double a, double b, double h) : m_dA(a), m_dB(b), m_dH(h) {}
    /// A copy.
    AlgTraqArea(const AlgTraqArea& t) : m_dA(t.m_dA), m_dB(t.m_dB), m_dH(t.m_dH) {}
    /// Copies the three dimensions.
    AlgTraqArea& operator=(const AlgTraqArea& t) {
        m_dA = t.m_dA;
        m_dB = t.m_dB;
        m_dH = t.m_dH;
        return *this;
    }
    virtual ~AlgTraqArea();

    /// (a + b) * h / 2; signed, no check on the sides.
    double Calculate() const;
};

/// @}

#endif  // RVN_NUMERIC_ALGTRAQAREA_H
