// C3DFace: faces from lines, lines from faces, and the ordering of a face's corners.
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/faces/detail/HalfEdgeWalk.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "BaseCommon/geometry/Tolerance.h"

namespace {

constexpr double kPi = 3.141592653589793;

// The lines of GenFaceByLine as the walk reads them.
class LineSegments : public rvn::detail::WalkSegments {
public:
    explicit LineSegments(const C3DLineArray& lines) : m_lines(lines) {}
    int Count() const override { return m_lines.GetSize(); }
    bool Get(int k, double* xyz) const override {
        const C3DLine* l = m_lines.GetAt(k);
        if (l == nullptr || l->GetBgnPnt() == nullptr || l->GetEndPnt() == nullptr)
            return false;
        const C3DPoint& b = *l->GetBgnPnt();
        const C3DPoint& e = *l->GetEndPnt();
        xyz[0] = b.x;
        xyz[1] = b.y;
        xyz[2] = b.z;
        xyz[3] = e.x;
        xyz[4] = e.y;
        xyz[5] = e.z;
        return true;
    }

private:
    const C3DLineArray& m_lines;
};

void AddPointCopy(C3DPointArray& pts, const C3DPoint& p) {
    std::unique_ptr<C3DPoint> q(new C3DPoint(p.x, p.y, p.z));
    pts.Add(q.get());
    q.release();
}

void AddLine(C3DLineArray& lines, const C3DPoint& a, const C3DPoint& b) {
    std::unique_ptr<C3DLine> l(new C3DLine(a, b));
    lines.Add(l.get());
    l.release();
}

// Appends the edges of a ring of corners: P(i) -> P(i+1), and the closing edge for three or
// more corners.
template <class CornerAt>
void AddRingLines(C3DLineArray& lines, int n, CornerAt corner) {
    for (int i = 0; i + 1 < n; ++i)
        AddLine(lines, corner(i), corner(i + 1));
    if (n >= 3)
        AddLine(lines, corner(n - 1), corner(0));
}

// A turn of more than pi, by 0.001 or more: a right turn seen from +z.
bool IsReflex(double angle) {
    return angle > kPi && angle - kPi >= rvn::kTolLength;
}

}  // namespace

// --- faces from lines ---------------------------------------------------------------------------

int C3DFace::GenFaceByLine(const C3DLineArray& lines, C3DFaceArray& faces) {
    // Beyond this count the half-edge indices would overflow; no such array fits in memory.
    if (lines.GetSize() > rvn::detail::kMaxWalkSegments)
        throw CMemoryException();
    // The walk's index is freed before the faces are made, and each block of corners as soon
    // as its faces are made, so that the working memory never adds to the faces' own.
    rvn::detail::WalkFaces found = rvn::detail::WalkPlanFaces(LineSegments(lines));
    // If an allocation fails, the faces made so far are freed and the array is left as it was.
    const int n0 = faces.GetSize();
    if (found.count > std::numeric_limits<int>::max() - n0)
        throw CMemoryException();
    faces.SetSize(n0 + found.count);
    int at = n0;
    try {
        for (rvn::detail::WalkFaces::Block& block : found.blocks) {
            const int nFaces = static_cast<int>(block.faceStart.size()) - 1;
            for (int f = 0; f < nFaces; ++f) {
                const int begin = block.faceStart[static_cast<size_t>(f)];
                const int n = block.faceStart[static_cast<size_t>(f) + 1] - begin;
                const double* c = block.corners.get() + 3 * static_cast<size_t>(begin);
                std::unique_ptr<C3DFace> face(new C3DFace());
                C3DPointArray& pts = face->m_PntArray;
                // Null slots until filled: if an allocation throws, the face's destructor
                // frees what is there.
                pts.SetSize(n);
                for (int i = 0; i < n; ++i, c += 3)
                    pts.ElementAt(i) = new C3DPoint(c[0], c[1], c[2]);
                const C3DPoint& p0 = *pts.GetAt(0);
                const C3DPoint& p1 = *pts.GetAt(1);
                const C3DPoint& p2 = *pts.GetAt(2);
                *face->m_pNormalVec = ((p1 - p0) % (p2 - p1)).GetNormal();
                faces.SetAt(at++, face.release());
            }
            block.corners.reset();
            std::vector<int>().swap(block.faceStart);
        }
    } catch (...) {
        for (int i = n0; i < at; ++i)
            delete faces.GetAt(i);
        faces.SetSize(n0);
        throw;
    }
    return 1;
}

int C3DFace::FindNextPoint(int cur, C3DPointArray* pts, CArray<bool, bool&>& used) {
    if (cur == -1)
        return -1;
    if (pts == nullptr)
        throw CInvalidArgException();
    const int n = pts->GetSize();
    if (n % 2 != 0 || used.GetSize() < n)
        throw CInvalidArgException();
    auto point = [pts](int i) -> const C3DPoint& {
        const C3DPoint* p = pts->GetAt(i);
        if (p == nullptr)
            throw CInvalidArgException();
        return *p;
    };
    const C3DPoint& a = point(cur);
    const C3DPoint& b = point(cur + 1);
    const C3DVec u = b - a;
    const C3DVec nu = u.GetNormal();
    double best = 1.0;
    int result = -1;
    for (int j = 0; j < n; j += 2) {
        const C3DPoint& q = point(j);
        if (!(q == b) || used[j])
            continue;
        const C3DVec w = point(j + 1) - q;
        // A straight continuation can round to a cosine of 1 + 1 ulp, which would fail
        // against the initial best of exactly 1 and lose the panel.
        const double c = rvn::ClampCos(nu * w.GetNormal());
        const double z = (u % w).z;
        const bool notBack = std::fabs(1.0 + c) >= rvn::kTolLength;
        const bool leftOrStraight = z > 0.0 || std::fabs(z) < rvn::kTolLength;
        if (c <= best && notBack && leftOrStraight) {
            result = j;
            best = c;
        }
    }
    return result;
}

int C3DFace::GenFaceByParaLine(const C3DLine& l1, const C3DLine& l2) {
    m_PntArray.DeepRemoveAll();
    const C3DPoint& b1 = *l1.GetBgnPnt();
    const C3DPoint& e1 = *l1.GetEndPnt();
    const C3DPoint& e2 = *l2.GetEndPnt();
    AddPointCopy(m_PntArray, *l2.GetBgnPnt());
    AddPointCopy(m_PntArray, e2);
    // Continue from l2's end to the nearer end of l1, so the ring does not cross itself.
    if (e2.CalDistance(e1) < e2.CalDistance(b1)) {
        AddPointCopy(m_PntArray, e1);
        AddPointCopy(m_PntArray, b1);
    } else {
        AddPointCopy(m_PntArray, b1);
        AddPointCopy(m_PntArray, e1);
    }
    return 1;
}

// --- lines from a face
// ----------------------------------------------------------------------------

void C3DFace::GenLineArray(C3DLineArray& lines) const {
    lines.DeepRemoveAll();
    AddRingLines(lines, m_PntArray.GetSize(),
                 [this](int i) -> const C3DPoint& { return Corner(i); });
}

void C3DFace::GenLineMacroArray(C3DLineArray& lines) const {
    C3DPointArray corners;  // borrows this face's points: never deep-emptied
    GenCorners(corners);
    lines.DeepRemoveAll();
    AddRingLines(lines, corners.GetSize(),
                 [&corners](int i) -> const C3DPoint& { return *corners.GetAt(i); });
}

void C3DFace::GenCorners(C3DPointArray& pnts) const {
    pnts.SetSize(0);
    const int n = m_PntArray.GetSize();
    if (n == 0)
        return;
    C3DVec e0 = Corner(0) - Corner(n - 1);
    for (int i = 0; i < n; ++i) {
        const C3DVec e1 = Corner((i + 1) % n) - Corner(i);
        if ((e0 % e1).Module() >= rvn::kTolLength)
            pnts.Add(m_PntArray.GetAt(i));
        e0 = e1;
    }
}

// --- shape tests and ordering
// -----------------------------------------------------------------------

int C3DFace::IsRectangle() const {
    C3DPointArray c;  // borrowed corners
    GenCorners(c);
    if (c.GetSize() != 4)
        return 0;
    // Unnormalised edge vectors: the tolerance is on |e0| |e1| cos, so it tightens with the
    // edge lengths.
    C3DVec e0 = *c.GetAt(0) - *c.GetAt(3);
    for (int i = 0; i < 3; ++i) {
        const C3DVec e1 = *c.GetAt(i + 1) - *c.GetAt(i);
        if (!(std::fabs(e0 * e1) < rvn::kTolLength))
            return 0;
        e0 = e1;
    }
    return 1;
}

int C3DFace::AntiClockRank() {
    if (!IsPlane())
        return 0;
    const int n = m_PntArray.GetSize();
    int m = 0;
    for (int i = 1; i < n; ++i) {
        if (Corner(i).x < Corner(m).x)
            m = i;
    }
    const C3DPoint& pm = Corner(m);
    const C3DVec r = Corner((m + 1) % n) - pm;

    std::vector<double> ang(static_cast<size_t>(n));
    std::vector<int> idx(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        idx[static_cast<size_t>(i)] = i;
        if (i == m) {
            ang[static_cast<size_t>(i)] = -rvn::kTwoPi;  // the pivot sorts first
            continue;
        }
        // Corners clockwise of the reference edge get negative angles, so the ring starts
        // with them after the pivot.
        double a = r.GetAngleTo(Corner(i) - pm);
        if (IsReflex(a))
            a -= rvn::kTwoPi;
        ang[static_cast<size_t>(i)] = a;
    }
    auto swapAt = [&](int i, int j) {
        std::swap(ang[static_cast<size_t>(i)], ang[static_cast<size_t>(j)]);
        std::swap(idx[static_cast<size_t>(i)], idx[static_cast<size_t>(j)]);
    };
    // Angles within 0.001 of each other keep their order.
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (ang[static_cast<size_t>(i)] - ang[static_cast<size_t>(j)] >= rvn::kTolLength)
                swapAt(i, j);

    // Corners on one ray from the pivot: on the first ray the ring runs outwards from the
    // pivot, on the last ray back inwards to it, so the ring stays simple.
    int firstEnd = 1;
    while (firstEnd + 1 < n && ang[static_cast<size_t>(firstEnd + 1)] == ang[1])
        ++firstEnd;
    int lastBegin = n - 1;
    while (lastBegin - 1 > firstEnd &&
           ang[static_cast<size_t>(lastBegin - 1)] == ang[static_cast<size_t>(n - 1)])
        --lastBegin;
    auto dist = [&](int k) { return Corner(idx[static_cast<size_t>(k)]).CalDistance(pm); };
    for (int i = 1; i <= firstEnd; ++i)
        for (int j = i + 1; j <= firstEnd; ++j)
            if (dist(i) - dist(j) >= rvn::kTolLength)
                swapAt(i, j);
    if (lastBegin > firstEnd) {
        for (int i = lastBegin; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                if (dist(j) - dist(i) >= rvn::kTolLength)
                    swapAt(i, j);
    }
    // Corners sharing a ray in the middle of the ring cannot be ordered by angle.
    int ok = 1;
    for (int k = firstEnd; k < lastBegin; ++k)
        if (ang[static_cast<size_t>(k)] == ang[static_cast<size_t>(k + 1)])
            ok = 0;

    std::vector<C3DPoint*> sorted(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        sorted[static_cast<size_t>(k)] = m_PntArray.GetAt(idx[static_cast<size_t>(k)]);
    for (int k = 0; k < n; ++k)
        m_PntArray.SetAt(k, sorted[static_cast<size_t>(k)]);
    return ok;
}

int C3DFace::IsOutRing() {
    if (m_PntArray.GetSize() < 3 || !AntiClockRank())
        return 0;
    const int n = m_PntArray.GetSize();
    std::vector<C3DVec> e(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        e[static_cast<size_t>(i)] = Corner((i + 1) % n) - Corner(i);
    for (int i = 0; i < n; ++i) {
        if (IsReflex(e[static_cast<size_t>(i)].GetAngleTo(e[static_cast<size_t>((i + 1) % n)])))
            return 0;
    }
    return 1;
}

void C3DFace::CalcuCenter(C3DPoint& center, double& area) const {
    const int n = m_PntArray.GetSize();
    if (n < 3)
        return;
    const C3DPoint& p0 = Corner(0);
    double total = 0.0;
    C3DVec sum;
    for (int i = 2; i < n; ++i) {
        const C3DPoint& a = Corner(i - 1);
        const C3DPoint& b = Corner(i);
        const double ai = 0.5 * ((a - p0) % (b - p0)).Module();
        total += ai;
        sum += (C3DVec(p0) + a + b) * ai / 3.0;
    }
    area = total;
    // A fan of zero area (collinear corners) has no centroid to give.
    if (total == 0.0)
        return;
    center = C3DPoint(sum / total);
}
