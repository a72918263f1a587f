// Internal helper (not part of the library's interface): the lookup shared by the material
// tables. Between grades the value is interpolated; outside the table the first or last
// grade holds, never an extrapolation.
#ifndef RVN_ENGINEERING_DETAIL_GRADELOOKUP_H
#define RVN_ENGINEERING_DETAIL_GRADELOOKUP_H

#include <cstddef>

#include "BaseCommon/numeric/AlgLinearMethod.h"

namespace rvn {
namespace detail {

template <std::size_t N>
double GradeLookUp(double x, const double (&X)[N], const double (&Y)[N]) {
    if (x < X[0])
        return Y[0];
    if (x > X[N - 1])
        return Y[N - 1];
    return AlgLinearMethod(X, Y, static_cast<int>(N)).CalcuValY(x);
}

}  // namespace detail
}  // namespace rvn

#endif  // RVN_ENGINEERING_DETAIL_GRADELOOKUP_H
