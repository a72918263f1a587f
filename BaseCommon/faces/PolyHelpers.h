/// @file
/// Polygon helpers over plain coordinate arrays, with the C calling convention and bare
/// exported names, for callers that keep coordinates in double arrays rather than geometry
/// objects. This header is valid C, and BaseCommon/BaseCommonC.h includes it.
#ifndef RVN_FACES_POLYHELPERS_H
#define RVN_FACES_POLYHELPERS_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"

/// Area of a plan polygon given as interleaved coordinates.
///
/// The polygon has nPnt corners given as 2 * nPnt interleaved values x0, y0, x1, y1, ... ;
/// the area is the sum of the absolute areas of the fan triangles from corner 0. Exact for
/// convex polygons and for polygons star-shaped from corner 0, in either ring direction; for
/// other polygons the fan triangles that should subtract are added, and the result is too
/// large. -1.0 when nPnt < 3 (nothing is read).
RVN_C_API double CalcuArea(const double* pdXY, int nPnt);

// A quadrilateral is passed as three arrays of four values each: x, y and z of corners 0 to 3
// in ring order. With any pointer null, nothing is read or written.

/// Crossing point of the diagonals of a quadrilateral.
///
/// The quadrilateral is pdX, pdY, pdZ: x, y and z of corners 0 to 3 in ring order. The
/// crossing point of the straight lines through the diagonals P0-P2 and P1-P3
/// (C3DLine::FindBeeLineCrossPoint) is written to *pdCX, *pdCY, *pdCZ; (0, 0, 0) when the
/// diagonals are parallel, apart or not coplanar. With any pointer null, nothing is read or
/// written; no exception leaves the function (a failure leaves the outputs unwritten).
RVN_C_API void Poly4_Cross(const double* pdX, const double* pdY, const double* pdZ, double* pdCX,
                           double* pdCY, double* pdCZ);

/// Perimeters of a quadrilateral and of the four triangles its diagonals cut it into.
///
/// The quadrilateral is pdX, pdY, pdZ as for Poly4_Cross. The closed perimeter goes into
/// *pdGirth, and into pdTriGirth[0..3] the perimeters of the four triangles P(i), C, P(i+1)
/// (P(4) = P0) that the diagonals' crossing point C of Poly4_Cross cuts it into. With any
/// pointer null, nothing is read or written; no exception leaves the function (a failure
/// leaves the outputs unwritten).
RVN_C_API void Poly4_Girth(const double* pdX, const double* pdY, const double* pdZ, double* pdGirth,
                           double* pdTriGirth);

/// @}

#endif  // RVN_FACES_POLYHELPERS_H
