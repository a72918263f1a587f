// C3DFace::GenFaceByLine on line sets decoded from bytes, then every face operation on what
// it produced and on a degenerate face built straight from decoded corners.
//
// Lines: most end points are snapped to a small plan grid so that ends join and regions
// close; the rest are raw decoded values (tolerance offsets, NaN, infinities, extremes); a
// few entries are null. Checked: nothing throws but the documented CInvalidArgException of a
// face without enough corners, GenFaceByLine returns 1, every face it makes has at least
// three corners, each an exact copy of an end point of a finite line, and a finite normal
// where the corners are of moderate size.
#include <cmath>
#include <cstdint>
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
    return 0;
}
