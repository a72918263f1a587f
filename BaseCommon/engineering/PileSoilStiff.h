/// @file
/// Spreading of pile and soil springs onto the nodes of line and plane elements, and the
/// reactions summed back from nodal values. Plan coordinates only; node coordinates are
/// 2 * nNode interleaved values x1, y1, x2, y2, ...; a point is two values (x, y); nodal
/// results are nNode values in node order. C calling convention and bare exported names; this
/// header is valid C, and BaseCommon/BaseCommonC.h includes it.
///
/// Element kinds: 0 a single node; 1 a line of 2, 3 or 4 nodes (ends first, then the inner
/// nodes: natural coordinates -1, +1, then 0 or -1/3, +1/3); 2 a triangle (3 nodes, area
/// coordinates) or a quadrilateral (4 nodes in ring order, corners (-1,-1), (1,-1), (1,1),
/// (-1,1)). Any other node count has all shape functions zero: its nodes get 0 * k.
///
/// Natural coordinates of the point:
///   2-node line: closed form along x, or along y when |x2 - x1| <= 1e-6 (a vertical line);
///   3- and 4-node lines: the best of 21 samples xi = -1.0, -0.9, ..., 1.0 (the point's
///     nearest mapped sample, the lowest xi winning a tie), so the result is a multiple of
///     0.1 in [-1, 1]; -1.1 when no sample maps within a squared distance of 1e10;
///   triangle: closed form;
///   quadrilateral: the best of a 31 x 31 grid xi, eta = -1.0, -0.9, ..., 2.0, the first
///     minimum in xi-major order winning a tie (-1.1 each when none is within 1e10).
/// Coincident nodes of a 2-node line, a degenerate triangle and a zero divisor are not
/// guarded: the results follow IEEE arithmetic (inf, NaN).
#ifndef RVN_ENGINEERING_PILESOILSTIFF_H
#define RVN_ENGINEERING_PILESOILSTIFF_H

/// @addtogroup engineering
/// @{

#include "BaseCommon/Export.h"

/// Spreads the spring dK standing at pdPnt over the nodes of the element: node i gets
/// N_i(point) * dK. Kind 0 writes dK to pdResult[0] only. 1 for kinds 0, 1 and 2; 0 for any
/// other kind, with nothing written.
RVN_C_API int PileStiffEq(int nType, int nNode, const double* pdNodeXY, const double* pdPnt,
                          double dK, double* pdResult);

/// Spreads a distributed spring dQ (per unit length for kind 1, per unit area for kind 2):
/// the total dQ * L (L = distance between the end nodes 1 and 2, -1 when nNode < 2) or
/// dQ * A (A = CalcuArea of the nodes, -1 when nNode < 3) is placed at the average of the node
/// coordinates and spread as PileStiffEq does. Always 1; other kinds write nothing.
RVN_C_API int SoilStiffEq(int nType, int nNode, const double* pdNodeXY, double dQ,
                          double* pdResult);

/// *pdR = sum of pdA[i] * pdB[i] for i = 0..n-1, added in increasing i (0 when n < 1): the
/// pile reaction from nodal stiffnesses and displacements. Always 1.
RVN_C_API int CalcuPileR(int n, const double* pdA, const double* pdB, double* pdR);

/// The same sum divided by dDiv (the element's length or area): the soil reaction per unit
/// length or area. Always 1.
RVN_C_API int CalcuSoilR(int n, const double* pdA, const double* pdB, double dDiv, double* pdR);

/// @}

#endif  // RVN_ENGINEERING_PILESOILSTIFF_H
