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
// GenFaceByLine and through the literal walk written out here over FindNextPoint, which
// scans every half-edge at every step. Both must give the same faces in the same order, corner
// by corner and normal by normal, to the bit.
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

// ---- oracle: the literal walk ---------------------------------------------------------------

bool FiniteLine(const C3DLine& l) {
    return Finite(*l.m_pBgnPnt) && Finite(*l.m_pEndPnt);
}

bool Joined(const C3DPoint& a, const C3DPoint& b) {
    return std::fabs(a.x - b.x) < 1e-6 && std::fabs(a.y - b.y) < 1e-6 &&
           std::fabs(a.z - b.z) < 1e-6;
}

// The walk as written: half-edges start, end, end, start per taking part line; from every
// unused half-edge in index order, FindNextPoint until the walk closes at its first half-edge,
// ends (-1) or comes back onto itself elsewhere (a dead end); every walk retires its half-edges.
void LiteralWalk(const C3DLineArray& lines, C3DFaceArray& faces) {
    C3DPointArray pts;
    for (int k = 0; k < lines.GetSize(); ++k) {
        const C3DLine* l = lines.GetAt(k);
        if (!l || !FiniteLine(*l) || Joined(*l->m_pBgnPnt, *l->m_pEndPnt))
            continue;
        for (const C3DPoint* p : {l->m_pBgnPnt, l->m_pEndPnt, l->m_pEndPnt, l->m_pBgnPnt})
            pts.Add(new C3DPoint(*p));
    }
    CArray<bool, bool&> used;
    used.SetSize(pts.GetSize());
    for (int i = 0; i < pts.GetSize(); i += 2) {
        if (used[i])
            continue;
        std::vector<int> walk{i};
        int cur = C3DFace::FindNextPoint(i, &pts, used);
        while (cur != -1 && cur != i && std::find(walk.begin(), walk.end(), cur) == walk.end()) {
            walk.push_back(cur);
            cur = C3DFace::FindNextPoint(cur, &pts, used);
        }
        for (const int h : walk)
            used[h] = true;
        if (cur != i || walk.size() < 3)
            continue;
        C3DFace* face = new C3DFace();
        faces.Add(face);
        for (const int h : walk)
            face->m_PntArray.Add(new C3DPoint(*pts[h]));
        const C3DPoint &p0 = *face->m_PntArray[0], &p1 = *face->m_PntArray[1],
                       &p2 = *face->m_PntArray[2];
        *face->m_pNormalVec = ((p1 - p0) % (p2 - p1)).GetNormal();
    }
    pts.DeepRemoveAll();
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
    LiteralWalk(lines, want);
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
    return 0;
}
