#include "BaseCommon/faces/PolyHelpers.h"

#include <cmath>
#include <initializer_list>

#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/geometry/C3DLine.h"

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

namespace {

C3DPoint Corner(const double* pdX, const double* pdY, const double* pdZ, int k) {
    return C3DPoint(pdX[k], pdY[k], pdZ[k]);
}

C3DPoint DiagonalCross(const double* pdX, const double* pdY, const double* pdZ) {
    const C3DLine d1(Corner(pdX, pdY, pdZ, 0), Corner(pdX, pdY, pdZ, 2));
    const C3DLine d2(Corner(pdX, pdY, pdZ, 1), Corner(pdX, pdY, pdZ, 3));
    C3DPoint c;  // stays at the origin when the carrier lines do not cross
    d1.FindBeeLineCrossPoint(d2, c);
    return c;
}

double RingGirth(std::initializer_list<C3DPoint> corners) {
    C3DFace f;
    for (const C3DPoint& p : corners)
        f.GetPntArray()->Add(new C3DPoint(p));
    return f.GetGirth();
}

}  // namespace

// The temporary lines and faces allocate; an exception must not cross the C boundary, so a
// failed allocation leaves the outputs unwritten.

void Poly4_Cross(const double* pdX, const double* pdY, const double* pdZ, double* pdCX,
                 double* pdCY, double* pdCZ) {
    if (!pdX || !pdY || !pdZ || !pdCX || !pdCY || !pdCZ)
        return;
    try {
        const C3DPoint c = DiagonalCross(pdX, pdY, pdZ);
        *pdCX = c.x;
        *pdCY = c.y;
        *pdCZ = c.z;
    } catch (...) {
    }
}

void Poly4_Girth(const double* pdX, const double* pdY, const double* pdZ, double* pdGirth,
                 double* pdTriGirth) {
    if (!pdX || !pdY || !pdZ || !pdGirth || !pdTriGirth)
        return;
    try {
        C3DPoint p[4];
        for (int k = 0; k < 4; ++k)
            p[k] = Corner(pdX, pdY, pdZ, k);
        const C3DPoint c = DiagonalCross(pdX, pdY, pdZ);
        double tri[4];
        for (int i = 0; i < 4; ++i)
            tri[i] = RingGirth({p[i], c, p[(i + 1) % 4]});
        *pdGirth = RingGirth({p[0], p[1], p[2], p[3]});
        for (int i = 0; i < 4; ++i)
            pdTriGirth[i] = tri[i];
    } catch (...) {
    }
}
