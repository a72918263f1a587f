#include "BaseCommon/faces/PolyHelpers.h"

#include <cmath>

#include "BaseCommon/BaseCommonC.h"

double CalcuArea(const double* pdXY, int nPnt) {
    if (nPnt < 3)
        return -1.0;
    const double x0 = pdXY[0];
    const double y0 = pdXY[1];
    double ex = pdXY[2] - x0;
    double ey = pdXY[3] - y0;
    double s = 0.0;
    for (int i = 2; i < nPnt; ++i) {
        const double fx = pdXY[2 * i] - x0;
        const double fy = pdXY[2 * i + 1] - y0;
        // Absolute value per fan triangle: the result does not depend on the ring direction.
        s += std::fabs(ex * fy - ey * fx);
        ex = fx;
        ey = fy;
    }
    return 0.5 * s;
}
