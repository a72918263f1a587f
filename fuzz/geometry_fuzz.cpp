// Every geometry predicate and constructor, and the plane coordinate helpers, on coordinates
// decoded from bytes: grid values (coincident points, zero-length and collinear segments),
// values at the tolerances, NaN, infinities, extremes and raw bits. Nothing may crash, hang,
// leak or throw (DividingLine's refusal of an unindexable count excepted); truth values are
// 0 or 1; and where every input is finite and of moderate size (no square overflows), angles
// and folded directions stay in their documented ranges and crossing points are finite.
#include <cmath>
#include <cstdint>
#include <memory>

#include "BaseCommon/BaseCommon.h"
#include "ByteReader.h"

namespace {

constexpr double kPi = 3.141592653589793;
// Between these magnitudes (or at 0) no product of two coordinates, nor a sum of three
// squares, overflows or underflows to 0.
constexpr double kModerateHigh = 1e100;
constexpr double kModerateLow = 1e-100;

struct Inputs {
    bool bModerate = true;
    ByteReader& in;
    explicit Inputs(ByteReader& r) : in(r) {}
    double Real() {
        const double v = in.Real();
        if (v != 0.0 && !(kModerateLow < std::fabs(v) && std::fabs(v) < kModerateHigh))
            bModerate = false;
        return v;
    }
    C3DPoint Point() {
        const double x = Real(), y = Real(), z = Real();
        return C3DPoint(x, y, z);
    }
    C3DVec Vec() { return C3DVec(Point()); }
    C2DVec Vec2() {
        const double x = Real(), y = Real();
        return C2DVec(x, y);
    }
};

bool HasNaN(double x, double y, double z) {
    return std::isnan(x) || std::isnan(y) || std::isnan(z);
}

void CheckBool(int v) {
    FUZZ_CHECK(v == 0 || v == 1);
}

void CheckAngle(double a, double hi, bool bModerate) {
    if (bModerate)
        FUZZ_CHECK(a >= 0.0 && a < hi);
    else
        FUZZ_CHECK(std::isnan(a) || (a >= 0.0 && a < hi));
}

void Vectors(Inputs& g) {
    C3DVec a = g.Vec(), b = g.Vec(), c = g.Vec();
    const bool m = g.bModerate;
    CheckBool(a == b);
    CheckBool(a != b);
    CheckBool(a.IsZeroLength());
    CheckBool(a.IsParallel(b));
    CheckBool(a.IsOrthogonal(b));
    CheckBool(a.IsBetween(b, c));
    CheckBool(a.IsNotBetween(b, c));
    CheckBool(a.IsABEqual(b.x, c.x));
    if (HasNaN(a.x, a.y, a.z)) {
        FUZZ_CHECK(!(a == b) && !a.IsZeroLength() && !a.IsParallel(b) && !a.IsOrthogonal(b));
        FUZZ_CHECK(!a.IsBetween(b, c) && std::isnan(a.GetAngleTo(b)));
    }
    const double cosv = a.GetCosValOfIncAngTo(b);
    FUZZ_CHECK(std::isnan(cosv) || (cosv >= -1.0 && cosv <= 1.0));
    CheckAngle(a.GetAngleTo(b), 2.0 * kPi, m);
    const double between = a.AngleBetween(b);
    CheckAngle(between, kPi + 1e-15, m);
    (void)a.GetOrthogonalVector();
    (void)a.GetNormal();
    (void)(a % b);
    (void)(a * b);
    (void)a.GetDistTo(b);
    (void)a.GetLengthXY();
    (void)(a % C2DVec(b.x, b.y));
    a.Normalize();
    a.SetValue(g.in.Index(), b.z);
    (void)a(g.in.Index());
    a(g.in.Index()) = c.x;
    std::unique_ptr<C3DVec> k(static_cast<C3DVec*>(a.clone()));
}

void Points(Inputs& g) {
    C3DPoint p = g.Point(), q = g.Point(), r = g.Point();
    C3DVec u = g.Vec(), v = g.Vec(), w = g.Vec();
    CheckBool(p == q);
    CheckBool(C3DPoint::ThreePointOnLine(p, q, r));
    if (HasNaN(p.x, p.y, p.z))
        FUZZ_CHECK(!(p == q) && !C3DPoint::ThreePointOnLine(p, q, r));
    (void)p.CalDistance(q);
    (void)p.CalcuDisPow2_XY(q);
    (void)(p % q);
    (void)p.CoorTrans(q, u, v, w);
    p.Rotate_z(q.x, q.y, r.z);
    p.Normalize();
    C3DPointArray arr;
    const int n = g.in.Range(0, 4);
    for (int i = 0; i < n; ++i)
        arr.Add(g.in.Byte() % 8 == 0 ? nullptr : new C3DPoint(g.Point()));
    C3DPoint* near = p.FindPoint_MiniDis(arr);
    FUZZ_CHECK(near == nullptr || arr.Find(near, -1) >= 0);
    C3DPoint* nearest = nullptr;
    q.GetNearestPnt(arr, nearest);
    FUZZ_CHECK(nearest == &q || arr.Find(nearest, -1) >= 0);
    arr.DeepRemoveAll();
}

bool Finite(const C3DPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool Finite(const C3DLine& l) {
    return Finite(*l.m_pBgnPnt) && Finite(*l.m_pEndPnt);
}

void Lines(Inputs& g) {
    C3DLine a(g.Point(), g.Point());
    const C3DLine b(g.Point(), g.Point());
    const C3DPoint p = g.Point();
    const double d = g.Real();
    const bool m = g.bModerate;
    double t = 0.0;
    CheckBool(a.PntOnLine(p, t));
    CheckBool(a.PntOnLine(p));
    CheckBool(a.IsPartof(b));
    CheckBool(a == b);
    CheckBool(a.IsOnLine(b, t));
    CheckBool(a.IsCoplanarWith(b));
    CheckBool(a.IsCrossLine(b));
    CheckBool(a.LineOnXYPlane());
    CheckBool(a.LineOnYZPlane());
    CheckBool(a.LineOnXZPlane());
    CheckBool(a.IsInMinBox(p, d));
    const int x = a.IsIntersectLine(b);
    FUZZ_CHECK(x >= 0 && x <= 2);
    C3DPoint out(7.0, 7.0, 7.0);
    const int f = a.FindCrossPoint(b, out);
    FUZZ_CHECK(f == x);
    if (f == 1 && m)
        FUZZ_CHECK(std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.z));
    const int bee = a.FindBeeLineCrossPoint(b, out);
    FUZZ_CHECK(bee >= 0 && bee <= 2);
    if (!Finite(a) || !Finite(b)) {
        // The documented answer to a NaN or infinite coordinate: no relation holds and no
        // crossing is written.
        FUZZ_CHECK(!a.IsPartof(b) && !(a == b) && !a.IsOnLine(b, t) && !a.IsCoplanarWith(b));
        FUZZ_CHECK(x == 0 && f == 0 && bee == 0);
        FUZZ_CHECK(out.x == 7.0 && out.y == 7.0 && out.z == 7.0);
    }
    CheckAngle(a.GetAngleToX(), 2.0 * kPi, m);
    CheckAngle(a.GetAngleToY(), 2.0 * kPi, m);
    (void)a.GetDisToPnt(p);
    (void)a.GetDir();
    (void)a.GetPoint(d);
    C3DPoint foot;
    a.GetFootPnt(p, foot);
    (void)a.GetComPartWith(b);
    (void)a.GetUniPartWith(b);
    (void)a.GetProjectWith(b);
    std::unique_ptr<C3DLine> k(static_cast<C3DLine*>(a.clone()));
    *k = b;
    k->OffSet(C3DVec(p));

    // DividingLine appends one point per piece: let through the refusals and short runs only.
    const double len = a.GetLength();
    const double est = len / d;
    if (!(d > 0.0) || !(len > d) || !std::isfinite(len) || est < 64.0 || est > 4.3e9) {
        C3DPointArray pts;
        try {
            a.DividingLine(pts, d, g.in.Byte() % 2, g.in.Byte() % 2);
            FUZZ_CHECK(pts.GetSize() <= 66);
        } catch (const CInvalidArgException&) {
            FUZZ_CHECK(pts.GetSize() == 0 && est > 2e9);
        }
        pts.DeepRemoveAll();
    }
}

void Boxes(Inputs& g) {
    C3DBox box;
    *box.m_pCenter = g.Point();
    box.m_dLenX = g.Real();
    box.m_dLenY = g.Real();
    box.m_dLenZ = g.Real();
    box.m_dTol = g.Real();
    const C3DPoint p = g.Point();
    CheckBool(box.PntInRegion(&p));
    CheckBool(box.PntInRegion(nullptr));
    C3DBox copy(box);
    copy = box;
    std::unique_ptr<C3DBox> k(static_cast<C3DBox*>(box.clone()));

    const double x1 = g.Real(), y1 = g.Real(), x2 = g.Real(), y2 = g.Real();
    const C2DBox b2(x1, y1, x2, y2);
    CheckBool(b2.PntInRegion(g.Real(), g.Real()));
    (void)b2.GetWidth();
    (void)b2.GetHeight();
}

void Plane2D(Inputs& g) {
    C2DVec a = g.Vec2(), b = g.Vec2(), c = g.Vec2();
    CheckBool(a == b);
    CheckBool(a.IsZeroLength());
    CheckBool(a.IsBetween(b, c));
    const double cosv = a.GetCosValOfIncAngTo(b);
    FUZZ_CHECK(std::isnan(cosv) || (cosv >= -1.0 && cosv <= 1.0));
    (void)a.GetNormal();
    (void)(a % b);
    a.Normalize();
    C2DPoint p(g.Real(), g.Real()), q(g.Real(), g.Real());
    CheckBool(p == q);
    (void)p.CalDistance(q);
    p.RotateByZ(p, g.Real());
    p.RotateByPt(q, g.Real(), g.Real());
}

void PlaneCoordHelpers(Inputs& g) {
    double angle = g.Real();
    const int deg = AngleTo14(&angle);
    FUZZ_CHECK(deg > -90 && deg <= 90);
    angle = g.Real();
    const int code = AngleTo14_EX(&angle);
    FUZZ_CHECK(code >= 0 && code <= 2);
    const double x1 = g.Real(), y1 = g.Real(), x2 = g.Real(), y2 = g.Real(), tol = g.Real();
    CheckBool(NormalDirection(x1, y1, x2, y2, tol));
    const int type = GetDirectionType(x1, y1, x2, y2, tol);
    FUZZ_CHECK(type >= 1 && type <= 4);
    CheckBool(CordRankOK(x1, y1, x2, y2));
    double xyz[12];
    for (double& v : xyz)
        v = g.Real();
    const int n = g.in.Range(-1, 4);
    Rotate_AxisZ(xyz, n, g.Real());
    TransCordSys_AxisZ(xyz, n, g.Real());
    double box[6] = {0, 0, 0, 0, 0, 0};
    GetMiniBox(xyz, n, box, g.Real());
    (void)CalcuArea(xyz, n + 1);
    (void)Distpf_3d(x1, y1, x2, y2, tol, angle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    for (int k = 0; k < 16 && !in.Empty(); ++k) {
        Inputs g(in);
        switch (in.Byte() % 6) {
            case 0:
                Vectors(g);
                break;
            case 1:
                Points(g);
                break;
            case 2:
                Boxes(g);
                break;
            case 3:
                Plane2D(g);
                break;
            case 4:
                PlaneCoordHelpers(g);
                break;
            default:
                Lines(g);
                break;
        }
    }
    return 0;
}
