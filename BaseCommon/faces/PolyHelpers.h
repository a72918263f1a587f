// Polygon helpers over plain coordinate arrays, with the C calling convention and bare
// exported names, for callers that keep coordinates in double arrays rather than geometry
// objects. C callers find the same prototypes in BaseCommon/BaseCommonC.h.
#ifndef RVN_FACES_POLYHELPERS_H
#define RVN_FACES_POLYHELPERS_H

#include "BaseCommon/Export.h"

// Area of the plan polygon of nPnt corners given as 2 * nPnt interleaved values
// x0, y0, x1, y1, ... : the sum of the absolute areas of the fan triangles from corner 0.
// Exact for convex polygons and for polygons star-shaped from corner 0, in either ring
// direction; for other polygons the fan triangles that should subtract are added, and the
// result is too large. -1.0 when nPnt < 3 (nothing is read).
RVN_C_API double CalcuArea(const double* pdXY, int nPnt);

#endif  // RVN_FACES_POLYHELPERS_H
