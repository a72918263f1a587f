#include "BaseCommon/numeric/PlaneCoord.h"

#include <cmath>
#include <cstddef>

#include "BaseCommon/BaseCommonC.h"

namespace {

// The value of pi the folded angles are written back with.
constexpr double kPi = 3.141592653589793;

// Two x coordinates closer than this are one column of CordRankOK's order.
constexpr double kRankTol = 1e-6;

// Section factors as decimals: the callers' section tables were computed with them.
constexpr double kTwelfth = 0.08333333333;
constexpr double kThird = 0.33333333333;

enum class Fold { None, Turns, HalfTurn };

// Folds the angle to whole degrees in (-90, 90]. Works in doubles so that an angle of any
// size folds without an int overflow; the whole turns are removed by one exact fmod, which
// lands on the same value in (-180, 180] as adding turns one at a time.
Fold FoldDegrees(double dAngle, int& nDeg) {
    nDeg = 0;
    const double d = std::trunc(dAngle * 180.0 / kPi);
    if (!std::isfinite(d))
        return Fold::None;
    if (-90.0 < d && d <= 90.0) {
        nDeg = static_cast<int>(d);
        return Fold::None;
    }
    double r = std::fmod(d, 360.0);
    if (r > 180.0)
        r -= 360.0;
    if (r <= -180.0)
        r += 360.0;
    nDeg = static_cast<int>(r);
    if (-90.0 < r && r <= 90.0)
        return Fold::Turns;
    nDeg += (nDeg <= -90) ? 180 : -180;
    return Fold::HalfTurn;
}

double DegToRad(int nDeg) {
    return nDeg * kPi / 180.0;
}

}  // namespace

int AngleTo14(double* pdAngle) {
    int nDeg = 0;
    if (FoldDegrees(*pdAngle, nDeg) == Fold::HalfTurn)
        *pdAngle = DegToRad(nDeg);
    return nDeg;
}

int AngleTo14_EX(double* pdAngle) {
    int nDeg = 0;
    switch (FoldDegrees(*pdAngle, nDeg)) {
        case Fold::None:
            return 0;
        case Fold::Turns:
            *pdAngle = DegToRad(nDeg);
            return 2;
        case Fold::HalfTurn:
            *pdAngle = DegToRad(nDeg);
            return 1;
    }
    return 0;
}

int NormalDirection(double x1, double y1, double x2, double y2, double dTol) {
    if (std::fabs(x1 - x2) <= dTol)
        return y1 < y2 ? 1 : 0;
    return x2 > x1 ? 1 : 0;
}

int GetDirectionType(double x1, double y1, double x2, double y2, double dTol) {
    if (std::fabs(x1 - x2) <= dTol)
        return y1 < y2 ? 3 : 4;
    return x2 > x1 ? 1 : 2;
}

int CordRankOK(double x1, double y1, double x2, double y2) {
    if (std::fabs(x2 - x1) < kRankTol)
        return y2 > y1 ? 1 : 0;
    return x1 < x2 ? 1 : 0;
}

// Each point's new coordinates depend only on its own old ones, so the points are rewritten
// in place, one at a time.
void Rotate_AxisZ(double* pdXY, int nPnt, double dAngle) {
    const double c = std::cos(dAngle);
    const double s = std::sin(dAngle);
    for (int i = 0; i < nPnt; ++i) {
        double* p = pdXY + 2 * static_cast<std::ptrdiff_t>(i);
        const double x = p[0];
        const double y = p[1];
        p[0] = x * c - y * s;
        p[1] = x * s + y * c;
    }
}

void TransCordSys_AxisZ(double* pdXYZ, int nPnt, double dAngle) {
    const double c = std::cos(dAngle);
    const double s = std::sin(dAngle);
    for (int i = 0; i < nPnt; ++i) {
        double* p = pdXYZ + 3 * static_cast<std::ptrdiff_t>(i);
        const double x = p[0];
        const double y = p[1];
        p[0] = x * c + y * s;
        p[1] = y * c - x * s;
    }
}

void GetMiniBox(const double* pdXYZ, int nPnt, double* pdBox, double dMargin) {
    if (nPnt < 1)
        return;
    double lo[3] = {pdXYZ[0], pdXYZ[1], pdXYZ[2]};
    double hi[3] = {pdXYZ[0], pdXYZ[1], pdXYZ[2]};
    for (int i = 1; i < nPnt; ++i) {
        const double* p = pdXYZ + 3 * static_cast<std::ptrdiff_t>(i);
        for (int k = 0; k < 3; ++k) {
            if (p[k] < lo[k])
                lo[k] = p[k];
            if (p[k] > hi[k])
                hi[k] = p[k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        pdBox[k] = lo[k] - dMargin;
        pdBox[k + 3] = hi[k] + dMargin;
    }
}

double Distpf_2d(double x1, double y1, double x2, double y2) {
    return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
}

double Distpf_3d(double x1, double y1, double z1, double x2, double y2, double z2) {
    return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2) + (z1 - z2) * (z1 - z2);
}

namespace RectFunc {

void CalcuInertia(double b, double h, int nType, double& dIx, double& dIy, double& dJ) {
    dIx = kTwelfth * b * (h * h * h);
    dIy = kTwelfth * h * (b * b * b);
    if (nType == 0) {
        dJ = dIx + dIy;
        return;
    }
    const double r = b / h;
    dJ = (b * b * b) * h * (kThird - 0.21 * r * (1.0 - (r * r * r * r) / 12.0));
}

}  // namespace RectFunc
