// C3DFace::GenFaceByLine on line sets decoded from bytes, then every face operation on what
// it produced and on a degenerate face built straight from decoded corners.
//
// Lines: most end points are snapped to a small plan grid so that ends join and regions
// close; the rest are raw decoded values (tolerance offsets, NaN, infinities, extremes); a
// few entries are null. Checked: nothing throws but the documented CInvalidArgException of a
// face without enough corners, GenFaceByLine returns 1, every face it makes has at least
// three corners, each an exact copy of an end point of a finite line, and a finite normal
// where the corners are of moderate size.
//
// Then, from the same bytes, an oracle: a line set whose ends lie anywhere (any scale, on and
// next to the joining tolerance, on the borders of any grid the walk might index) goes through
// GenFaceByLine and through the literal walk over FindNextPoint that the tests use as their
// reference (tests/faces/FaceWalkReference.h), which scans every half-edge at every step. Both must
// give the same faces in the same order, corner by corner and normal by normal, to the bit. Then
// Poly4_Cross and Poly4_Girth (crossing on both diagonals, perimeters as sums of sides) and
// GenFaceByParaLine (the ring of the two lines' ends, the same with the first line reversed).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "BaseCommon/BaseCommon.h"
#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/CTriangle.h"
#include "ByteReader.h"
#include "faces/FaceWalkReference.h"

namespace {

constexpr int kMaxLines = 40;
constexpr int kMaxCorners = 12;

bool Finite(const C3DPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool Moderate(const C3DPoint& p) {
    return std::fabs(p.x) < 1e100 && std::fabs(p.y) < 1e100 && std::fabs(p.z) < 1e100;
}

C3DPoint GridOrRaw(ByteReader& in) {
    const uint8_t b = in.Byte();
    if (b < 224) {
        // A 6 x 6 plan grid at height 0 (or, rarely, 1).
        return C3DPoint(b % 6, b / 6 % 6, b >= 216 ? 1.0 : 0.0);
    }
    const double x = in.Real(), y = in.Real(), z = b % 2 ? in.Real() : 0.0;
    return C3DPoint(x, y, z);
}

bool IsEndPoint(const C3DPoint& p, const C3DLineArray& lines) {
    for (int i = 0; i < lines.GetSize(); ++i) {
        const C3DLine* l = lines.GetAt(i);
        if (!l || !Finite(*l->m_pBgnPnt) || !Finite(*l->m_pEndPnt))
            continue;
        for (const C3DPoint* e : {l->m_pBgnPnt, l->m_pEndPnt})
            if (e->x == p.x && e->y == p.y && e->z == p.z)
                return true;
    }
    return false;
}

// Every face operation; a face that lacks the corners an operation needs may refuse with
// CInvalidArgException, nothing else may come out.
void Exercise(C3DFace& f, const C3DFace& other, ByteReader& in) {
    const C3DPoint p = GridOrRaw(in);
    const C3DLine l(GridOrRaw(in), GridOrRaw(in));
    try {
        const int inside = f.PntInFace(p);
        FUZZ_CHECK(inside >= -1 && inside <= 1);
        (void)f.GetDisToPnt(p);
        (void)f.GetDirToPnt(p);
        (void)f.PntOnFace(p);
        (void)f.LineOnFace(l);
        (void)f.GetCrossPnt(l);
        (void)f.Encompass(&other);
        (void)(f == other);
    } catch (const CInvalidArgException&) {
    }
    (void)f.PntInPntArray(p);
    (void)f.IsInMinBox(p, in.Real());
    FUZZ_CHECK(!(f.GetArea() < 0.0));
    FUZZ_CHECK(!(f.GetGirth() < 0.0));
    (void)f.GetMinLength(p);
    (void)f.IsRectangle();
    C3DPoint centre;
    double area = -1.0;
    f.CalcuCenter(centre, area);
    C3DLineArray edges;
    f.GenLineArray(edges);
    f.GenLineMacroArray(edges);
    edges.DeepRemoveAll();
    C3DPointArray corners;
    f.GenCorners(corners);
    corners.RemoveAll();
    (void)f.IsPlane();
    const int n = f.m_PntArray.GetSize();
    const int ranked = f.AntiClockRank();
    FUZZ_CHECK(f.m_PntArray.GetSize() == n);
    (void)ranked;
    (void)f.IsOutRing();
    C3DFace copy(f);
    copy = other;
    std::unique_ptr<C3DFace> k(static_cast<C3DFace*>(f.clone()));
}

// ---- oracle: the literal walk (the tests' reference) ----------------------------------------

bool FiniteLine(const C3DLine& l) {
    return Finite(*l.m_pBgnPnt) && Finite(*l.m_pEndPnt);
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

// A coordinate of a node: a point of a coarse grid at some scale, sometimes moved by about the
// joining tolerance, sometimes anything.
double NodeCoord(ByteReader& in, double scale) {
    const uint8_t b = in.Byte();
    double v = (static_cast<int>(b % 9) - 4) * scale;
    switch (b / 9 % 8) {
        case 0:
            v += (static_cast<int>(in.Byte() % 9) - 4) * 2.5e-7;
            break;
        case 1:
            v = std::nextafter(v, b % 2 ? 1e308 : -1e308);
            break;
        case 2:
            v = in.Real();
            break;
        default:
            break;
    }
    return v;
}

void WalkOracle(ByteReader& in) {
    static const double kScales[] = {1.0, 0.5,   1e-3,   7.0,   1e3,    1e-6,
                                     1e6, 1e150, 1e-150, 1e300, 3.3e-5, 0.1};
    const double scale = kScales[in.Byte() % 12];
    const int nNodes = in.Range(2, 14);
    std::vector<C3DPoint> nodes;
    for (int k = 0; k < nNodes; ++k) {
        const double x = NodeCoord(in, scale), y = NodeCoord(in, scale);
        const double z = in.Byte() % 8 == 0 ? NodeCoord(in, scale) : 0.0;
        nodes.emplace_back(x, y, z);
    }
    C3DLineArray lines;
    const int nLines = in.Range(0, 48);
    for (int i = 0; i < nLines; ++i) {
        const uint8_t b = in.Byte();
        if (b == 255) {
            lines.Add(nullptr);
            continue;
        }
        C3DPoint a = nodes[b % nodes.size()], e = nodes[in.Byte() % nodes.size()];
        // Sometimes an end moved off its node by about the joining tolerance.
        if (in.Byte() % 8 == 0)
            a.x += (static_cast<int>(in.Byte() % 9) - 4) * 5e-7;
        lines.Add(new C3DLine(a, e));
    }
    C3DFaceArray got, want;
    FUZZ_CHECK(C3DFace::GenFaceByLine(lines, got) == 1);
    FUZZ_CHECK(rvn_test::ReferenceGenFaceByLine(lines, want) == 1);
    FUZZ_CHECK(got.GetSize() == want.GetSize());
    for (int f = 0; f < got.GetSize(); ++f) {
        const C3DFace &g = *got[f], &w = *want[f];
        FUZZ_CHECK(g.m_PntArray.GetSize() == w.m_PntArray.GetSize());
        for (int c = 0; c < g.m_PntArray.GetSize(); ++c) {
            const C3DPoint &p = *g.m_PntArray[c], &q = *w.m_PntArray[c];
            FUZZ_CHECK(SameBits(p.x, q.x) && SameBits(p.y, q.y) && SameBits(p.z, q.z));
        }
        const C3DVec &m = *g.m_pNormalVec, &v = *w.m_pNormalVec;
        FUZZ_CHECK(SameBits(m.x, v.x) && SameBits(m.y, v.y) && SameBits(m.z, v.z));
    }
    got.DeepRemoveAll();
    want.DeepRemoveAll();
    lines.DeepRemoveAll();
}

// ---- quadrilateral helpers and the face between two lines --------------------------------

double Dist(const C3DPoint& a, const C3DPoint& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

// Distance from c to the straight line through a and b (a != b).
double DistToLine(const C3DPoint& c, const C3DPoint& a, const C3DPoint& b) {
    const C3DVec u = b - a, w = c - a;
    return (u % w).Module() / u.Module();
}

bool Near(double got, double want, double scale) {
    return std::fabs(got - want) <= 1e-12 * scale;
}

bool SamePoint(const C3DPoint& p, const C3DPoint& q) {
    return SameBits(p.x, q.x) && SameBits(p.y, q.y) && SameBits(p.z, q.z);
}

// Poly4_Cross and Poly4_Girth on a decoded quadrilateral (plan or not, any values). On a plan
// quadrilateral of moderate finite corners the crossing point, when one is reported (not the
// origin), lies on both diagonals; the perimeters equal the sums of their sides.
void QuadOracle(ByteReader& in) {
    double x[4], y[4], z[4];
    const bool plan = in.Byte() % 4 != 0;
    bool moderate = true;
    double size = 1.0;
    for (int k = 0; k < 4; ++k) {
        x[k] = in.Real();
        y[k] = in.Real();
        z[k] = plan ? 0.0 : in.Real();
        for (const double v : {x[k], y[k], z[k]}) {
            moderate = moderate && std::isfinite(v) && std::fabs(v) <= 1e3;
            size += std::fabs(v);
        }
    }
    double cx = 0.0, cy = 0.0, cz = 0.0;
    Poly4_Cross(x, y, z, &cx, &cy, &cz);
    double girth = -1.0, tri[4] = {-1.0, -1.0, -1.0, -1.0};
    Poly4_Girth(x, y, z, &girth, tri);
    Poly4_Cross(nullptr, y, z, &cx, &cy, &cz);  // refused without reading or writing
    Poly4_Girth(x, y, z, nullptr, tri);
    FUZZ_CHECK(!(girth < 0.0));
    for (const double t : tri)
        FUZZ_CHECK(!(t < 0.0));
    if (!moderate)
        return;
    C3DPoint p[4];
    for (int k = 0; k < 4; ++k)
        p[k] = C3DPoint(x[k], y[k], z[k]);
    const C3DPoint c(cx, cy, cz);
    if (plan && (cx != 0.0 || cy != 0.0 || cz != 0.0)) {
        for (const int k : {0, 1}) {
            if (Dist(p[k], p[k + 2]) > 1e-3)
                FUZZ_CHECK(DistToLine(c, p[k], p[k + 2]) <= 1e-9 * size);
        }
    }
    double sides = 0.0;
    for (int i = 0; i < 4; ++i)
        sides += Dist(p[i], p[(i + 1) % 4]);
    FUZZ_CHECK(Near(girth, sides, 4 * size));
    const double cSize = size + std::fabs(cx) + std::fabs(cy) + std::fabs(cz);
    for (int i = 0; i < 4; ++i) {
        const C3DPoint &a = p[i], &b = p[(i + 1) % 4];
        FUZZ_CHECK(Near(tri[i], Dist(a, c) + Dist(c, b) + Dist(b, a), 4 * cSize));
    }
}

// GenFaceByParaLine on decoded lines over a face that already has corners: l2's ends, then
// l1's ends, the one nearer to l2's end first; reversing l1 gives the same ring unless both
// ends of l1 are equally far; the normal is left alone.
void ParaLineOracle(ByteReader& in) {
    const C3DLine l1(GridOrRaw(in), GridOrRaw(in)), l2(GridOrRaw(in), GridOrRaw(in));
    const C3DLine r1(*l1.m_pEndPnt, *l1.m_pBgnPnt);
    C3DFace f, g;
    const int nOld = in.Range(0, 5);
    for (int k = 0; k < nOld; ++k)
        f.m_PntArray.Add(new C3DPoint(GridOrRaw(in)));
    *f.m_pNormalVec = C3DVec(in.Real(), in.Real(), in.Real());
    const C3DVec normal = *f.m_pNormalVec;
    FUZZ_CHECK(f.GenFaceByParaLine(l1, l2) == 1);
    FUZZ_CHECK(g.GenFaceByParaLine(r1, l2) == 1);
    FUZZ_CHECK(f.m_PntArray.GetSize() == 4 && g.m_PntArray.GetSize() == 4);
    FUZZ_CHECK(SameBits(f.m_pNormalVec->x, normal.x) && SameBits(f.m_pNormalVec->y, normal.y) &&
               SameBits(f.m_pNormalVec->z, normal.z));
    const C3DPoint &b1 = *l1.m_pBgnPnt, &e1 = *l1.m_pEndPnt, &e2 = *l2.m_pEndPnt;
    FUZZ_CHECK(SamePoint(*f.m_PntArray[0], *l2.m_pBgnPnt) && SamePoint(*f.m_PntArray[1], e2));
    const C3DPoint &c2 = *f.m_PntArray[2], &c3 = *f.m_PntArray[3];
    FUZZ_CHECK((SamePoint(c2, b1) && SamePoint(c3, e1)) ||
               (SamePoint(c2, e1) && SamePoint(c3, b1)));
    if (!FiniteLine(l1) || !FiniteLine(l2) || !Moderate(b1) || !Moderate(e1) || !Moderate(e2))
        return;
    const double d2 = Dist(e2, c2), d3 = Dist(e2, c3);
    FUZZ_CHECK(d2 <= d3 * (1 + 1e-12) || Near(d2, d3, d3));
    bool same = true;
    for (int k = 0; k < 4; ++k)
        same = same && SamePoint(*f.m_PntArray[k], *g.m_PntArray[k]);
    FUZZ_CHECK(same || Near(d2, d3, d2 + d3));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    C3DLineArray lines;
    const int nLines = in.Range(0, kMaxLines);
    for (int i = 0; i < nLines; ++i) {
        if (in.Byte() % 32 == 0) {
            lines.Add(nullptr);
            continue;
        }
        const C3DPoint a = GridOrRaw(in);
        lines.Add(new C3DLine(a, GridOrRaw(in)));
    }

    C3DFaceArray faces;
    FUZZ_CHECK(C3DFace::GenFaceByLine(lines, faces) == 1);
    for (int i = 0; i < faces.GetSize(); ++i) {
        const C3DFace* f = faces.GetAt(i);
        FUZZ_CHECK(f && f->m_pNormalVec && f->m_PntArray.GetSize() >= 3);
        bool bModerate = true;
        for (int c = 0; c < f->m_PntArray.GetSize(); ++c) {
            const C3DPoint& p = *f->m_PntArray.GetAt(c);
            FUZZ_CHECK(IsEndPoint(p, lines));
            bModerate = bModerate && Moderate(p);
        }
        // Corners beyond about 1e150 overflow the normal's cross product (documented).
        if (bModerate)
            FUZZ_CHECK(std::isfinite(f->m_pNormalVec->Module()));
    }

    // A face from decoded corners: coincident, collinear, non-finite or too few.
    C3DFace raw;
    const int nCorners = in.Range(0, kMaxCorners);
    for (int c = 0; c < nCorners; ++c)
        raw.m_PntArray.Add(new C3DPoint(GridOrRaw(in)));
    raw.InitNormalVec();
    const C3DFace empty;
    Exercise(raw, faces.GetSize() > 0 ? *faces.GetAt(0) : empty, in);
    for (int i = 0; i < faces.GetSize() && i < 4; ++i)
        Exercise(*faces.GetAt(i), raw, in);

    CTriangle tri;
    for (int c = 0; c < 3 && c < raw.m_PntArray.GetSize(); ++c)
        tri.m_PntArray.Add(new C3DPoint(*raw.m_PntArray.GetAt(c)));
    try {
        (void)tri.GetCirR();
        (void)tri.GetCirCenter();
        C3DPoint p = GridOrRaw(in);
        (void)tri.IsEncompassesd(&p);
    } catch (const CInvalidArgException&) {
    }
    (void)tri.GetTriCentroid();

    faces.DeepRemoveAll();
    lines.DeepRemoveAll();

    ByteReader again(data, size);
    WalkOracle(again);
    QuadOracle(again);
    ParaLineOracle(again);
    return 0;
}
