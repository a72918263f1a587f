/// @file
/// Linear interpolation inside a plane triangle, with the C calling convention and a bare
/// exported name. This header is valid C, and BaseCommon/BaseCommonC.h includes it.
#ifndef RVN_NUMERIC_ALGDZZLCHAZHI_H
#define RVN_NUMERIC_ALGDZZLCHAZHI_H

/// @addtogroup numeric
/// @{

#include "BaseCommon/Export.h"

/// Linear interpolation weights (area coordinates) of the point p in a plane triangle.
/// tri holds x1, y1, x2, y2, x3, y3; p holds x, y; w receives the weights of vertices 1, 2
/// and 3, which sum to 1, so that a value at p is w[0]*f1 + w[1]*f2 + w[2]*f3. A point outside
/// the triangle gets a negative weight; a zero-area triangle gets infinities or NaN.
/// Returns w, or NULL without writing anything when any pointer is NULL.
RVN_C_API double* AlgDzzlChazhi(const double* tri, const double* p, double* w);

/// @}

#endif  // RVN_NUMERIC_ALGDZZLCHAZHI_H
