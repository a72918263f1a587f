#include "BaseCommon/engineering/TableSteelBar.h"

#include <cstddef>

#include "BaseCommon/numeric/AlgLinearMethod.h"

const double TableSteelBar::m_adFyk[4] = {235e6, 335e6, 400e6, 400e6};
const double TableSteelBar::m_adFy[4] = {210e6, 300e6, 360e6, 360e6};
const double TableSteelBar::m_adFy_p[4] = {210e6, 300e6, 360e6, 360e6};
const double TableSteelBar::m_adEs[4] = {210e9, 200e9, 200e9, 200e9};

namespace {

// Answer of Getfyk_iGrade for a grade outside 1 ... 4.
constexpr double kUnknownGradeFyk = 300.0;

// Interpolation between grades; outside the table the first or last grade holds.
template <std::size_t N>
double LookUp(double x, const double (&X)[N], const double (&Y)[N]) {
    if (x < X[0])
        return Y[0];
    if (x > X[N - 1])
        return Y[N - 1];
    return AlgLinearMethod(X, Y, static_cast<int>(N)).CalcuValY(x);
}

}  // namespace

TableSteelBar::~TableSteelBar() = default;

double TableSteelBar::Find_fy(double fyk) const {
    return LookUp(fyk, m_adFyk, m_adFy);
}
double TableSteelBar::Find_fy_p(double fyk) const {
    return LookUp(fyk, m_adFyk, m_adFy_p);
}
double TableSteelBar::Find_Es(double fyk) const {
    return LookUp(fyk, m_adFyk, m_adEs);
}
double TableSteelBar::Find_fyk(double fy) const {
    return LookUp(fy, m_adFy, m_adFyk);
}

double TableSteelBar::Getfyk_iGrade(int iGrade) const {
    if (iGrade < 1 || iGrade > 4)
        return kUnknownGradeFyk;
    return m_adFyk[iGrade - 1];
}
