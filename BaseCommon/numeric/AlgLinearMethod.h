/// @file
/// Piecewise-linear table y(x) over ascending abscissae, and the area under its polyline.
///
/// The object owns copies of the caller's arrays; copies of the object are deep, so every
/// object frees only its own arrays. An empty table (n <= 0, or a null array) answers NaN.
#ifndef RVN_NUMERIC_ALGLINEARMETHOD_H
#define RVN_NUMERIC_ALGLINEARMETHOD_H

/// @addtogroup numeric
/// @{

#include "BaseCommon/Export.h"

/// Piecewise-linear table y(x) over ascending abscissae, and the area under its polyline.
/// @see AlgLinearMethod.h for the contracts that hold for the whole class.
class RVN_API AlgLinearMethod {
public:
    double* m_pdX;  ///< owned, m_nNum abscissae, ascending
    double* m_pdY;  ///< owned, m_nNum ordinates
    int m_nNum;     ///< number of table rows; 0 for an empty table (both arrays null)

    /// Copies n values of each array; n <= 0 or a null array gives an empty table.
    AlgLinearMethod(const double* X, const double* Y, int n);
    /// A deep copy: its own arrays with m's values.
    AlgLinearMethod(const AlgLinearMethod& m);
    /// Replaces the table with a deep copy of m's; self-assignment is harmless and a failed
    /// allocation leaves this table unchanged.
    AlgLinearMethod& operator=(const AlgLinearMethod& m);
    virtual ~AlgLinearMethod();

    /// Linear interpolation, never extrapolation: x < X[0] gives Y[0] and x > X[n-1] gives
    /// Y[n-1] (both strict); x equal to a table abscissa gives that row's ordinate exactly.
    /// A one-point table gives Y[0] for every x; NaN gives NaN.
    double CalcuValY(double x) const;

    /// Area under the polyline from X[0] to x by trapezoids, with an absolute tolerance of
    /// 1e-6 on abscissae (inclusive): x <= X[0] + 1e-6 gives 0, and so does any x below the
    /// table; an x at most 1e-6 past an interior node X[k] still counts as inside the segment
    /// ending at X[k] (its partial trapezoid takes the right height CalcuValY(x)). More than
    /// 1e-6 past X[n-1] the clamped end value is integrated: the whole table's area plus
    /// Y[n-1] * (x - X[n-1]).
    double CalcuArea(double x) const;
};

/// @}

#endif  // RVN_NUMERIC_ALGLINEARMETHOD_H
