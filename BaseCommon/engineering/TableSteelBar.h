/// @file
/// Reinforcing-bar properties by grade after GB 50010-2002: grades 1 ... 4 (HPB235, HRB335,
/// HRB400, RRB400), in pascals. Lookups interpolate linearly between grades and clamp outside
/// the table to the first or last grade (never extrapolate); NaN gives NaN.
#ifndef RVN_ENGINEERING_TABLESTEELBAR_H
#define RVN_ENGINEERING_TABLESTEELBAR_H

/// @addtogroup engineering
/// @{

#include "BaseCommon/Export.h"

/// Reinforcing-bar properties by grade after GB 50010-2002.
/// @see TableSteelBar.h for the contracts that hold for the whole class.
class RVN_API TableSteelBar {
public:
    TableSteelBar() = default;
    /// A copy (the tables are shared constants; the object holds no state).
    TableSteelBar(const TableSteelBar&) = default;
    /// Assignment (the object holds no state).
    TableSteelBar& operator=(const TableSteelBar&) = default;
    virtual ~TableSteelBar();

    /// Design tensile strength fy at characteristic yield strength fyk.
    double Find_fy(double fyk) const;
    /// Design compressive strength fy' at characteristic yield strength fyk.
    double Find_fy_p(double fyk) const;
    /// Elastic modulus Es at characteristic yield strength fyk.
    double Find_Es(double fyk) const;
    /// Inverse lookup: the characteristic yield strength whose design tensile strength is fy.
    /// The two 400 MPa grades share their row, so fy = 360 MPa gives 400 MPa.
    double Find_fyk(double fy) const;

    /// Characteristic yield strength of grade 1 to 4. Any other grade gives the bare value
    /// 300.0 (not 300 MPa in pascals), the long-standing answer for an unknown grade.
    double Getfyk_iGrade(int iGrade) const;

protected:
    /// One entry per grade 1 ... 4 (index 0 ... 3), in pascals.
    static const double m_adFyk[4];   ///< characteristic yield strength
    static const double m_adFy[4];    ///< design tensile strength
    static const double m_adFy_p[4];  ///< design compressive strength
    static const double m_adEs[4];    ///< elastic modulus
};

/// @}

#endif  // RVN_ENGINEERING_TABLESTEELBAR_H
