#include "BaseCommon/geometry/C3DLine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/Tolerance.h"
#include "BaseCommon/matrix/CMatrix.h"

using rvn::kTolLength;

namespace {

// The coordinate pairs in which two 3D lines are intersected, in the order they are tried.
constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};

// The 2x2 system begin + s*u = o.begin + r*v restricted to coordinates i and j.
CMatrix PairMatrix(const C3DVec& u, const C3DVec& v, int i, int j) {
    CMatrix a(2, 2);
    a(0, 0) = u(i);
    a(0, 1) = -v(i);
    a(1, 0) = u(j);
    a(1, 1) = -v(j);
    return a;
}

// begin + u*s with s from the inverse of the pair's matrix times the right-hand side.
C3DPoint CrossInPair(const C3DPoint& bgn, const C3DVec& u, const C3DPoint& oBgn, CMatrix a, int i,
                     int j) {
    a.MatInv();
    CMatrix rhs(2, 1);
    rhs(0, 0) = oBgn(i) - bgn(i);
    rhs(1, 0) = oBgn(j) - bgn(j);
    const double s = (a * rhs)(0, 0);
    return bgn + u * s;
}

bool AllFinite(double x, double y, double z) {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

// The four end points of two collinear segments, borrowed into pts and sorted along their
// common line.
void SortEndsAlongLine(const C3DLine& a, const C3DLine& b, _AlgC3DPntArray& pts) {
    pts.Add(a.GetBgnPnt());
    pts.Add(a.GetEndPnt());
    pts.Add(b.GetBgnPnt());
    pts.Add(b.GetEndPnt());
    pts.SortAlongLine();
}

}  // namespace

C3DLine::C3DLine() : C3DLine(C3DPoint(), C3DPoint()) {}

C3DLine::C3DLine(const C3DPoint& bgn, const C3DPoint& end)
    : m_pBgnPnt(nullptr), m_pEndPnt(nullptr) {
    // Held until the second allocation has succeeded, so a failure there frees the first.
    std::unique_ptr<C3DPoint> pBgn(new C3DPoint(bgn));
    m_pEndPnt = new C3DPoint(end);
    m_pBgnPnt = pBgn.release();
}

C3DLine::C3DLine(const C3DLine& src) : C3DLine(*src.m_pBgnPnt, *src.m_pEndPnt) {}

C3DLine& C3DLine::operator=(const C3DLine& src) {
    if (this != &src) {
        *m_pBgnPnt = *src.m_pBgnPnt;
        *m_pEndPnt = *src.m_pEndPnt;
    }
    return *this;
}

C3DLine::~C3DLine() {
    delete m_pBgnPnt;
    delete m_pEndPnt;
}

void* C3DLine::clone() {
    return new C3DLine(*this);
}

void C3DLine::SetBgnPnt(const C3DPoint& p) {
    *m_pBgnPnt = p;
}

void C3DLine::SetEndPnt(const C3DPoint& p) {
    *m_pEndPnt = p;
}

C3DLine& C3DLine::operator+=(const C3DVec& v) {
    *m_pBgnPnt += v;
    *m_pEndPnt += v;
    return *this;
}

void C3DLine::OffSet(const C3DVec& v) {
    *this += v;
}

double C3DLine::GetLength() const {
    return GetVec().Module();
}

C3DVec C3DLine::GetVec() const {
    return *m_pEndPnt - *m_pBgnPnt;
}

C3DVec C3DLine::GetDir() const {
    return GetVec().GetNormal();
}

C3DPoint C3DLine::GetPoint(double t) const {
    return *m_pBgnPnt + GetVec() * t;
}

double C3DLine::GetDisToPnt(const C3DPoint& p) const {
    const C3DVec l = GetVec();
    return ((p - *m_pBgnPnt) % l).Module() / l.Module();
}

C3DVec C3DLine::GetDirToPnt(const C3DPoint& p) const {
    const C3DVec l = GetVec();
    return (l % ((p - *m_pBgnPnt) % l)).GetNormal();
}

C3DVec C3DLine::GetVecToPnt(const C3DPoint& p) const {
    return GetDirToPnt(p) * GetDisToPnt(p);
}

void C3DLine::GetFootPnt(const C3DPoint& p, C3DPoint& out) const {
    out = p - GetVecToPnt(p);
}

C3DPoint C3DLine::GetCrossPnt(const C3DLine& /*other*/) const {
    return C3DPoint(0.0, 0.0, 0.0);
}

double C3DLine::GetAngleToX() const {
    return C3DVec(1.0, 0.0, 0.0).GetAngleTo(GetVec());
}

double C3DLine::GetAngleToY() const {
    return C3DVec(0.0, 1.0, 0.0).GetAngleTo(GetVec());
}

int C3DLine::PntOnLine(const C3DPoint& p, double& t) const {
    const double d = std::fabs(GetDisToPnt(p));
    if (!(d < kTolLength))
        return 0;
    const C3DVec l = GetVec();
    const double len = l.Module();
    t = ((p - *m_pBgnPnt) * l) / (len * len);
    // The end tolerance is in units of the parameter: it grows with the segment's length.
    return (0.0 < t && t < 1.0) || std::fabs(t) < kTolLength || std::fabs(t - 1.0) < kTolLength ? 1
                                                                                                : 0;
}

int C3DLine::PntOnLine(const C3DPoint& p) const {
    const double a = (p - *m_pBgnPnt).Module();
    const double b = (*m_pEndPnt - p).Module();
    const double c = GetVec().Module();
    return std::fabs(a + b - c) < rvn::kTolPointSingle ? 1 : 0;
}

int C3DLine::IsPartof(const C3DLine& other) const {
    double t = 0.0;
    return other.PntOnLine(*m_pBgnPnt, t) && other.PntOnLine(*m_pEndPnt, t) ? 1 : 0;
}

int C3DLine::operator==(const C3DLine& other) const {
    return other.PntOnLine(*m_pBgnPnt) && other.PntOnLine(*m_pEndPnt) && other.IsPartof(*this) ? 1
                                                                                               : 0;
}

int C3DLine::IsOnLine(const C3DLine& other, double& t) const {
    double t1 = 0.0;
    double t2 = 0.0;
    double tUnused = 0.0;
    const int b1 = other.PntOnLine(*m_pBgnPnt, t1);
    const int b2 = other.PntOnLine(*m_pEndPnt, t2);
    const int b3 = PntOnLine(*other.m_pBgnPnt, tUnused);
    const int b4 = PntOnLine(*other.m_pEndPnt, tUnused);

    if (b1 && b2) {
        // This segment lies within other.
        t = std::fabs(t1 - t2);
        return 1;
    }
    if (b3 && b4) {
        // Other lies within this segment, also when it shares one of this segment's ends
        // (then one end of this lies on other as well): all of other is covered.
        t = 1.0;
        return 1;
    }
    if (b1 || b2) {
        // One end of this segment lies on other; which of other's ends lies on this segment
        // says from which side the overlap is measured.
        const double tEnd = b1 ? t1 : t2;
        if (b3) {
            t = tEnd;
        } else if (b4) {
            t = 1.0 - tEnd;
        } else {
            return 0;
        }
        // An overlap shorter than the tolerance is a touch of the ends.
        return std::fabs(t) >= kTolLength ? 1 : 0;
    }
    return 0;
}

int C3DLine::IsCoplanarWith(const C3DLine& other) const {
    const C3DPoint& o = *other.m_pBgnPnt;
    return std::fabs(((*m_pBgnPnt - o) % (*m_pEndPnt - o)) * other.GetVec()) < kTolLength ? 1 : 0;
}

int C3DLine::IsCrossLine(const C3DLine& other) const {
    const C3DVec a = *m_pBgnPnt - *other.m_pBgnPnt;
    const C3DVec b = *m_pEndPnt - *other.m_pBgnPnt;
    const C3DVec m = other.GetVec();
    const double q = (m % b) * (a % m);
    if (q > 0.0)
        return 1;
    return std::fabs(q) < kTolLength ? 1 : 0;
}

int C3DLine::IsIntersectLine(const C3DLine& other) const {
    if (!IsCoplanarWith(other))
        return 0;
    const C3DPoint& b = *m_pBgnPnt;
    const C3DPoint& e = *m_pEndPnt;
    const C3DPoint& ob = *other.m_pBgnPnt;
    const C3DPoint& oe = *other.m_pEndPnt;
    for (int k = 0; k < 3; ++k) {
        if (std::min(ob(k), oe(k)) > std::max(b(k), e(k)))
            return 0;
    }
    for (int k = 0; k < 3; ++k) {
        if (std::max(ob(k), oe(k)) < std::min(b(k), e(k)))
            return 0;
    }
    if (!IsCrossLine(other) || !other.IsCrossLine(*this))
        return 0;
    return (GetVec() % other.GetVec()).Module() < kTolLength ? 2 : 1;
}

int C3DLine::LineOnXYPlane() const {
    return std::fabs(m_pBgnPnt->z - m_pEndPnt->z) < kTolLength ? 1 : 0;
}

int C3DLine::LineOnYZPlane() const {
    return std::fabs(m_pBgnPnt->x - m_pEndPnt->x) < kTolLength ? 1 : 0;
}

int C3DLine::LineOnXZPlane() const {
    return std::fabs(m_pBgnPnt->y - m_pEndPnt->y) < kTolLength ? 1 : 0;
}

int C3DLine::IsInMinBox(const C3DPoint& p, double d) const {
    for (int k = 0; k < 3; ++k) {
        const double lo = std::min((*m_pBgnPnt)(k), (*m_pEndPnt)(k));
        const double hi = std::max((*m_pBgnPnt)(k), (*m_pEndPnt)(k));
        if (!(lo - d <= p(k) && p(k) <= hi + d))
            return 0;
    }
    return 1;
}

int C3DLine::FindCrossPoint(const C3DLine& other, C3DPoint& out) const {
    const int r = IsIntersectLine(other);
    if (r != 1)
        return r;

    const C3DPoint& b = *m_pBgnPnt;
    const C3DPoint& e = *m_pEndPnt;
    const C3DPoint& ob = *other.m_pBgnPnt;
    const C3DPoint& oe = *other.m_pEndPnt;

    // Segments in one vertical plane have collinear plans, and the plan equations cannot fix
    // the crossing: exactly singular when both are vertical in x or their slopes are equal,
    // and as bad when the plan directions differ by rounding alone (a slope of 0.3/3 against
    // one of 0.1). Those go to the 3D solution, as does any non-finite plan result.
    const double lx = e.x - b.x;
    const double ly = e.y - b.y;
    const double olx = oe.x - ob.x;
    const double oly = oe.y - ob.y;
    const double planCross = lx * oly - ly * olx;
    bool bPlanSingular = (b.x == e.x && ob.x == oe.x) ||
                         std::fabs(planCross) <
                             rvn::kTolPlanParallelSine * std::hypot(lx, ly) * std::hypot(olx, oly);

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    if (!bPlanSingular) {
        if (b.x == e.x) {
            x = b.x;
            const double s = (x - ob.x) / (oe.x - ob.x);
            y = ob.y + (oe.y - ob.y) * s;
            z = ob.z + (oe.z - ob.z) * s;
        } else if (ob.x == oe.x) {
            x = ob.x;
            const double s = (x - b.x) / (e.x - b.x);
            y = b.y + (e.y - b.y) * s;
            z = b.z + (e.z - b.z) * s;
        } else {
            const double k1 = (e.y - b.y) / (e.x - b.x);
            const double k2 = (oe.y - ob.y) / (oe.x - ob.x);
            if (k1 == k2) {
                bPlanSingular = true;
            } else {
                x = ((ob.y - k2 * ob.x) - (b.y - k1 * b.x)) / (k1 - k2);
                y = b.y - k1 * b.x + k1 * x;
                const double s = (x - b.x) / (e.x - b.x);
                z = b.z + (e.z - b.z) * s;
            }
        }
    }
    if (!bPlanSingular && AllFinite(x, y, z)) {
        out = C3DPoint(x, y, z);
        return 1;
    }

    if (FindBeeLineCrossPoint(other, out) == 1)
        return 1;
    // IsIntersectLine returned 1, so the lines are coplanar and |u x v| >= 0.001: some pair's
    // determinant is non-zero even when none passes the 0.001 threshold. Take the largest.
    const C3DVec u = GetVec();
    const C3DVec v = other.GetVec();
    int nBest = 0;
    double dBest = -1.0;
    for (int k = 0; k < 3; ++k) {
        const double d = std::fabs(PairMatrix(u, v, kPairs[k][0], kPairs[k][1]).Det());
        if (d > dBest) {
            dBest = d;
            nBest = k;
        }
    }
    const int i = kPairs[nBest][0];
    const int j = kPairs[nBest][1];
    out = CrossInPair(b, u, ob, PairMatrix(u, v, i, j), i, j);
    return 1;
}

int C3DLine::FindBeeLineCrossPoint(const C3DLine& other, C3DPoint& out) const {
    if (!IsCoplanarWith(other))
        return 0;
    const C3DVec u = GetVec();
    const C3DVec v = other.GetVec();
    if ((u % v).Module() < kTolLength) {
        return GetDisToPnt(*other.m_pBgnPnt) < kTolLength ? 2 : 0;
    }
    for (const auto& pair : kPairs) {
        const CMatrix a = PairMatrix(u, v, pair[0], pair[1]);
        if (std::fabs(a.Det()) > kTolLength) {
            out = CrossInPair(*m_pBgnPnt, u, *other.m_pBgnPnt, a, pair[0], pair[1]);
            return 1;
        }
    }
    return 0;
}

C3DLine C3DLine::GetComPartWith(const C3DLine& other) const {
    C3DLine res;
    double t = 0.0;
    if (!IsOnLine(other, t))
        return res;
    // t is 1 also when other lies strictly inside this segment; only coinciding segments
    // may skip the ordering, whose inner two points are the common part in every case.
    if (std::fabs(t - 1.0) < kTolLength && IsPartof(other) && other.IsPartof(*this)) {
        res = *this;
        return res;
    }
    _AlgC3DPntArray pts;  // borrows the four end points
    SortEndsAlongLine(*this, other, pts);
    res.SetBgnPnt(*pts[1]);
    res.SetEndPnt(*pts[2]);
    return res;
}

C3DLine C3DLine::GetUniPartWith(const C3DLine& other) const {
    C3DLine res;
    double t = -1.0;
    const int b = IsOnLine(other, t);
    if (!b) {
        // IsOnLine writes a small t for a touch of the ends. It does so also where two
        // segments meet at an angle, and ordering four points that are not collinear gives
        // nonsense: a touch counts only with other on this segment's carrier line.
        if (std::fabs(t) >= kTolLength)
            return res;
        if (!(GetDisToPnt(*other.m_pBgnPnt) < kTolLength &&
              GetDisToPnt(*other.m_pEndPnt) < kTolLength)) {
            return res;
        }
    }
    if (std::fabs(t - 1.0) < kTolLength && IsPartof(other) && other.IsPartof(*this)) {
        res = other;
        return res;
    }
    _AlgC3DPntArray pts;  // borrows the four end points
    SortEndsAlongLine(*this, other, pts);
    pts.OrientByMainAxis();
    res.SetBgnPnt(*pts[0]);
    res.SetEndPnt(*pts[3]);
    return res;
}

C3DLine C3DLine::GetProjectWith(const C3DLine& other) const {
    C3DLine proj(*this);
    *proj.m_pBgnPnt -= other.GetVecToPnt(*proj.m_pBgnPnt);
    *proj.m_pEndPnt -= other.GetVecToPnt(*proj.m_pEndPnt);
    return other.GetComPartWith(proj);
}

void C3DLine::DividingLine(C3DPointArray& pnts, double dMaxLen, int bAddBgn, int bAddEnd) const {
    if (!(dMaxLen > 0.0))
        return;
    const double len = GetLength();
    int n = 1;
    if (!(dMaxLen >= len)) {
        if (!std::isfinite(len))
            return;
        // The smallest n >= 2 with len / n <= dMaxLen. Correctly rounded division is monotone
        // in n, so starting from the estimate and correcting it with the very comparison of a
        // count-up from 2 gives the same n without walking up to it.
        const double est = std::ceil(len / dMaxLen);
        const int nRoom = INT_MAX - 4 - pnts.GetSize();
        if (!(est < static_cast<double>(nRoom)))
            throw CInvalidArgException();
        n = std::max(2, static_cast<int>(est));
        while (n > 2 && len / (n - 1) <= dMaxLen)
            --n;
        while (len / n > dMaxLen)
            ++n;
    }

    const auto append = [&pnts](const C3DPoint& p) {
        std::unique_ptr<C3DPoint> q(new C3DPoint(p));
        pnts.Add(q.get());
        q.release();
    };
    if (bAddBgn)
        append(*m_pBgnPnt);
    for (int i = 1; i < n; ++i)
        append(GetPoint(static_cast<double>(i) / n));
    if (bAddEnd)
        append(*m_pEndPnt);
}
