// Area (barycentric) coordinates of a point in a plane triangle, relative to the third vertex.
#include "BaseCommon/numeric/AlgDzzlChazhi.h"

double* AlgDzzlChazhi(const double* tri, const double* p, double* w) {
    if (tri == nullptr || p == nullptr || w == nullptr)
        return nullptr;
    const double dx1 = tri[0] - tri[4];
    const double dy1 = tri[1] - tri[5];
    const double dx2 = tri[2] - tri[4];
    const double dy2 = tri[3] - tri[5];
    const double px = p[0] - tri[4];
    const double py = p[1] - tri[5];
    // Cramer's rule on px = w0*dx1 + w1*dx2, py = w0*dy1 + w1*dy2. A zero-area triangle makes
    // both denominators zero: the weights become infinite or NaN, which callers can test.
    w[0] = (px * dy2 - py * dx2) / (dy2 * dx1 - dx2 * dy1);
    w[1] = (dy1 * px - dx1 * py) / (dx2 * dy1 - dy2 * dx1);
    w[2] = 1.0 - w[0] - w[1];
    return w;
}
