// A program outside the project that uses the installed library; README's tour shows the
// same code.
#include <cmath>
#include <cstdio>

#include "BaseCommon/BaseCommon.h"
#include "BaseCommon/Version.h"

int main() {
    // Panels of a plan: two bays of 6 m x 4 m.
    C3DLineArray lines;
    const double xy[][4] = {
        {0, 0, 12, 0}, {0, 4, 12, 4}, {0, 0, 0, 4}, {6, 0, 6, 4}, {12, 0, 12, 4}};
    for (const auto& l : xy) {
        // Lines must meet at their ends: split the long ones at x = 6.
        if (l[1] == l[3] && l[2] - l[0] > 6) {
            lines.Add(new C3DLine(C3DPoint(l[0], l[1], 0), C3DPoint(6, l[1], 0)));
            lines.Add(new C3DLine(C3DPoint(6, l[1], 0), C3DPoint(l[2], l[3], 0)));
        } else {
            lines.Add(new C3DLine(C3DPoint(l[0], l[1], 0), C3DPoint(l[2], l[3], 0)));
        }
    }
    C3DFaceArray faces;
    C3DFace::GenFaceByLine(lines, faces);
    double area = 0.0;
    C3DPoint column(3, 2, 0);
    int inside = 0;
    for (int i = 0; i < faces.GetSize(); ++i) {
        C3DFace* f = faces.GetAt(i);
        f->InitNormalVec();
        area += f->GetArea();
        inside += f->PntInFace(column) == 1;
    }
    const int nFaces = faces.GetSize();
    faces.DeepRemoveAll();  // the arrays own their objects by convention
    lines.DeepRemoveAll();

    // A symmetric system in skyline storage: rows (4 2 0), (2 5 1), (0 1 3).
    const int diag[] = {0, 2, 4};  // row 2 starts at column 1
    CSparseMatrix K(3, diag);
    K = 0.0;
    K(0, 0) = 4;
    K(1, 0) = 2;
    K(1, 1) = 5;
    K(2, 1) = 1;
    K(2, 2) = 3;
    CMatrix B(3, 2);  // two load cases
    for (int i = 0; i < 3; ++i) {
        B(i, 0) = (i == 0 ? 6 : i == 1 ? 8 : 4);
        B(i, 1) = 2 * B(i, 0);
    }
    const int solved = K.LdltSolve(3, B);

    // Numbering for a small profile: four nodes of three unknowns on a chain 0 - 3 - 1 - 2.
    rvn::CouplingGraph chain(4, 3);
    chain.AddCoupling(0, 3);
    chain.AddCoupling(3, 1);
    chain.AddCoupling(1, 2);
    const rvn::SkylineLayout layout = rvn::PlanSkyline(chain);
    CSparseMatrix Kc(layout.unknownCount, layout.diag.data());

    // Archive round trip of a 2D point.
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        C2DPoint p(1.5, -2.0);
        ar << &p;
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    C2DPoint* q = nullptr;
    ar >> q;

    // The loaded library is the one compiled against.
    std::printf("rvnBaseCommon %s\n", rvn::Version());
    const bool ok = rvn::VersionNumber() == RVN_BASECOMMON_VERSION && nFaces == 2 &&
                    std::fabs(area - 48.0) < 1e-12 && inside == 1 && solved == 1 &&
                    std::fabs(B(2, 1) - 2.0) < 1e-12 && q && q->x == 1.5 &&
                    TableConcrete().FindEc(30e6) == 3.0e10 &&
                    layout.status == rvn::SkylineStatus::Ok && layout.profileBefore == 60 &&
                    layout.profileAfter == 51 && Kc.GetRow() == 12;
    delete q;
    std::printf("%s\n", ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}
