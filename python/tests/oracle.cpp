// The C++ side of the package's equality tests: reads a request on standard input and prints
// what the library computes, every double with 17 significant digits.
//   panels, all-panels: "n" then n lines "x1 y1 z1 x2 y2 z2"  -> per face "k area girth cx cy" + k
//   corners concrete / steel: "n" then n strengths       -> one line of every lookup per strength
#include <cstdio>
#include <cstring>
#include <memory>

#include "BaseCommon/BaseCommon.h"

namespace {

void Panels(bool all) {
    int n = 0;
    if (std::scanf("%d", &n) != 1)
        return;
    C3DLineArray lines;
    for (int i = 0; i < n; ++i) {
        double a[6];
        for (double& v : a)
            if (std::scanf("%lf", &v) != 1)
                return;
        lines.Add(new C3DLine(C3DPoint(a[0], a[1], a[2]), C3DPoint(a[3], a[4], a[5])));
    }
    C3DFaceArray faces, holes;
    CArray<int, int> holeOf;
    if (all) {
        rvn::GenPanelsByLine(lines, faces, holes, holeOf);
    } else {
        C3DFace::GenFaceByLine(lines, faces);
    }
    for (int f = 0; f < faces.GetSize(); ++f) {
        const C3DFace* face = faces.GetAt(f);
        C3DPoint c;
        double area = 0.0;
        face->CalcuCenter(c, area);
        std::printf("%d %.17g %.17g %.17g %.17g\n", face->m_PntArray.GetSize(), face->GetArea(),
                    face->GetGirth(), c.x, c.y);
        for (int k = 0; k < face->m_PntArray.GetSize(); ++k) {
            const C3DPoint* p = face->GetPoint(k);
            std::printf("%.17g %.17g %.17g\n", p->x, p->y, p->z);
        }
    }
    faces.DeepRemoveAll();
    holes.DeepRemoveAll();
    lines.DeepRemoveAll();
}

void Materials(bool isConcrete) {
    int n = 0;
    if (std::scanf("%d", &n) != 1)
        return;
    const TableConcrete c;
    const TableSteelBar s;
    for (int i = 0; i < n; ++i) {
        double f = 0.0;
        if (std::scanf("%lf", &f) != 1)
            return;
        if (isConcrete) {
            std::printf("%.17g %.17g %.17g %.17g %.17g %.17g %.17g\n", c.FindFc(f), c.FindFt(f),
                        c.FindEc(f), c.CalEpsilon_c0_Bend(f), c.CalEpsilon_cu_Bend(f),
                        c.Cal_n_Bend(f), c.CalSigma_c_Bend(f, 0.001));
        } else {
            std::printf("%.17g %.17g %.17g\n", s.Find_fy(f), s.Find_fy_p(f), s.Find_Es(f));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    if (std::strcmp(argv[1], "panels") == 0)
        Panels(false);
    if (std::strcmp(argv[1], "all-panels") == 0)
        Panels(true);
    if (std::strcmp(argv[1], "concrete") == 0)
        Materials(true);
    if (std::strcmp(argv[1], "steel") == 0)
        Materials(false);
    return 0;
}
