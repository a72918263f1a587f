// A program outside the project that uses the installed library.
#include <cstdio>

#include "BaseCommon/BaseCommon.h"

int main() {
    const C3DVec a(1.0, 0.0, 0.0);
    const C3DVec b(0.0, 1.0, 0.0);
    const C3DVec c = a % b;
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
    const bool ok = c == C3DVec(0.0, 0.0, 1.0) && q && q->x == 1.5 && q->y == -2.0;
    delete q;
    std::printf("%s\n", ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}
