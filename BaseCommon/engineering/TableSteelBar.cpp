#include "BaseCommon/engineering/TableSteelBar.h"

#include "BaseCommon/engineering/detail/GradeLookUp.h"

const double TableSteelBar::m_adFyk[4] = {235e6, 335e6, 400e6, 400e6};
const double TableSteelBar::m_adFy[4] = {210e6, 300e6, 360e6, 360e6};
const double TableSteelBar::m_adFy_p[4] = {210e6, 300e6, 360e6, 360e6};
const double TableSteelBar::m_adEs[4] = {210e9, 200e9, 200e9, 200e9};

namespace {

// Answer of Getfyk_iGrade for a grade outside 1 ... 4.
constexpr double kUnknownGradeFyk = 300.0;

}  // namespace

TableSteelBar::~TableSteelBar() = default;

double TableSteelBar::Find_fy(double fyk) const {
    return rvn::detail::GradeLookUp(fyk, m_adFyk, m_adFy);
}
double TableSteelBar::Find_fy_p(double fyk) const {
    return rvn::detail::GradeLookUp(fyk, m_adFyk, m_adFy_p);
}
double TableSteelBar::Find_Es(double fyk) const {
    return rvn::detail::GradeLookUp(fyk, m_adFyk, m_adEs);
}
double TableSteelBar::Find_fyk(double fy) const {
    return rvn::detail::GradeLookUp(fy, m_adFy, m_adFyk);
}

double TableSteelBar::Getfyk_iGrade(int iGrade) const {
    if (iGrade < 1 || iGrade > 4)
        return kUnknownGradeFyk;
    return m_adFyk[iGrade - 1];
}
