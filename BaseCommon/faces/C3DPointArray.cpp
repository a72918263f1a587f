#include "BaseCommon/faces/C3DPointArray.h"

#include <cmath>
#include <utility>
#include <vector>

template class CTypedPtrArray<CPtrArray, C3DPoint*>;
template class CRSTypedPtrArray<CPtrArray, C3DPoint*>;

C3DPointArray::C3DPointArray() = default;

C3DPointArray::~C3DPointArray() = default;

void _AlgC3DPntArray::SortAlongLine() {
    const int n = GetSize();
    if (n < 2)
        return;

    const C3DPoint origin;
    int nFar = 0;
    double dFar = GetAt(0)->CalDistance(origin);
    for (int i = 1; i < n; ++i) {
        const double d = GetAt(i)->CalDistance(origin);
        if (d > dFar) {
            dFar = d;
            nFar = i;
        }
    }

    const C3DPoint far = *GetAt(nFar);
    std::vector<double> dist(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        dist[static_cast<size_t>(i)] = GetAt(i)->CalDistance(far);

    // Bubble sort, passes from the back; swapping only on a strictly greater earlier distance
    // keeps equal distances in their order, which decides which of two coinciding end points
    // comes first.
    C3DPoint** pts = GetData();
    for (int nFirst = 0; nFirst < n - 1; ++nFirst) {
        bool bSwapped = false;
        for (int j = n - 1; j > nFirst; --j) {
            const auto a = static_cast<size_t>(j - 1);
            const auto b = static_cast<size_t>(j);
            if (dist[a] > dist[b]) {
                std::swap(dist[a], dist[b]);
                std::swap(pts[a], pts[b]);
                bSwapped = true;
            }
        }
        if (!bSwapped)
            break;
    }
}

void _AlgC3DPntArray::OrientByMainAxis() {
    const int n = GetSize();
    if (n < 2)
        return;
    const C3DVec d = *GetAt(n - 1) - *GetAt(0);
    const double ax = std::fabs(d.x);
    const double ay = std::fabs(d.y);
    const double az = std::fabs(d.z);
    double dMain = d.x;
    if (az > ax && az > ay) {
        dMain = d.z;
    } else if (ay >= ax) {
        dMain = d.y;
    }
    if (dMain < 0.0)
        Reverse();
}

void _AlgC3DPntArray::Reverse() {
    C3DPoint** pts = GetData();
    for (int i = 0, j = GetSize() - 1; i < j; ++i, --j)
        std::swap(pts[i], pts[j]);
}
