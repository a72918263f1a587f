// The half-edge walk of C3DFace::GenFaceByLine written out plainly: the half-edge point array
// (start, end, end, start per line), C3DFace::FindNextPoint scanning every half-edge at every
// step, a walk closed at its first half-edge or ended as a dead end. Quadratic in the number
// of lines: the reference the library's indexed walk must match face by face and corner by
// corner (tests and the faces fuzz target), and the literal walk it is timed against
// (benchmarks).
#ifndef RVN_TESTS_FACES_FACEWALKREFERENCE_H
#define RVN_TESTS_FACES_FACEWALKREFERENCE_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/faces/C3DPointArray.h"

namespace rvn_test {

inline bool Finite(const C3DPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

inline int ReferenceGenFaceByLine(const C3DLineArray& lines, C3DFaceArray& faces) {
    C3DPointArray pts;
    for (int k = 0; k < lines.GetSize(); ++k) {
        const C3DLine* l = lines.GetAt(k);
        // Null entries, lines with an end not finite and lines with both ends equal within
        // the tolerance take no part.
        if (l == nullptr || !Finite(*l->GetBgnPnt()) || !Finite(*l->GetEndPnt()) ||
            *l->GetBgnPnt() == *l->GetEndPnt())
            continue;
        for (const C3DPoint* p : {l->GetBgnPnt(), l->GetEndPnt(), l->GetEndPnt(), l->GetBgnPnt()})
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
            face->GetPntArray()->Add(new C3DPoint(*pts[h]));
        const C3DPoint &p0 = *face->GetPoint(0), &p1 = *face->GetPoint(1), &p2 = *face->GetPoint(2);
        *face->m_pNormalVec = ((p1 - p0) % (p2 - p1)).GetNormal();
    }
    pts.DeepRemoveAll();
    return 1;
}

}  // namespace rvn_test

#endif  // RVN_TESTS_FACES_FACEWALKREFERENCE_H
