/// @file
/// Plan (x, y) helpers over raw doubles for structural members: folding a member angle into the
/// half-turn (-90, 90] degrees, classifying and ordering plan directions, turning point lists
/// about the vertical axis, bounding boxes, squared distances, and the section constants of a
/// rectangle. Angles are radians unless said otherwise. Point lists are flat arrays: pairs
/// (x, y) for Rotate_AxisZ, triples (x, y, z) for TransCordSys_AxisZ and GetMiniBox.
///
/// All but RectFunc::CalcuInertia have the C calling convention and bare exported names; this
/// header is valid C (RectFunc is seen by C++ only), and BaseCommon/BaseCommonC.h includes it.
#ifndef RVN_NUMERIC_PLANECOORD_H
#define RVN_NUMERIC_PLANECOORD_H

/// @addtogroup numeric
/// @{

#include "BaseCommon/Export.h"

/// The member direction in whole degrees in (-90, 90]. d = the angle in degrees truncated
/// toward zero; whole turns bring it into (-180, 180]; a half turn then brings it into
/// (-90, 90]. Only when that half turn is needed is *pdAngle rewritten (to d degrees, in
/// radians); an angle that needed only whole turns is left as the caller gave it.
/// A NaN or infinite angle is left untouched and gives 0.
RVN_C_API int AngleTo14(double* pdAngle);

/// The same folding reported as a code: 0 already in (-90, 90] (angle untouched), 2 only whole
/// turns removed, 1 reversed by a half turn. Codes 1 and 2 rewrite *pdAngle to the folded
/// whole degrees in radians. A NaN or infinite angle is left untouched and gives 0.
RVN_C_API int AngleTo14_EX(double* pdAngle);

/// 1 when the direction from point 1 to point 2 points to increasing x or, when
/// |x1 - x2| <= dTol (inclusive), to increasing y; otherwise 0.
RVN_C_API int NormalDirection(double x1, double y1, double x2, double y2, double dTol);

/// |x1 - x2| <= dTol (inclusive): 3 when y1 < y2, else 4; otherwise 1 when x2 > x1, else 2.
RVN_C_API int GetDirectionType(double x1, double y1, double x2, double y2, double dTol);

/// 1 when point 2 follows point 1 in x-then-y order, x values counting as equal when they
/// differ by strictly less than 1e-6; otherwise 0 (equal points give 0).
RVN_C_API int CordRankOK(double x1, double y1, double x2, double y2);

/// Turns the nPnt pairs (x, y) counter-clockwise about the origin by dAngle. Nothing happens
/// when nPnt <= 0.
RVN_C_API void Rotate_AxisZ(double* pdXY, int nPnt, double dAngle);

/// Rewrites the nPnt triples (x, y, z) as coordinates in axes turned counter-clockwise by
/// dAngle about z (the points stay, the axes turn); z is kept. Nothing happens when nPnt <= 0.
RVN_C_API void TransCordSys_AxisZ(double* pdXYZ, int nPnt, double dAngle);

/// pdBox[0..5] = min x, min y, min z less dMargin, then max x, max y, max z plus dMargin, over
/// the nPnt triples (x, y, z). pdBox is left unchanged when nPnt < 1.
RVN_C_API void GetMiniBox(const double* pdXYZ, int nPnt, double* pdBox, double dMargin);

/// Squared plan distance (x1 - x2)^2 + (y1 - y2)^2 (no square root, for comparisons).
RVN_C_API double Distpf_2d(double x1, double y1, double x2, double y2);
/// Squared distance in space (x1 - x2)^2 + (y1 - y2)^2 + (z1 - z2)^2 (no square root).
RVN_C_API double Distpf_3d(double x1, double y1, double z1, double x2, double y2, double z2);

#ifdef __cplusplus
/// Section constants of rectangles.
namespace RectFunc {

/// Section constants of a b x h rectangle (b along x, h along y):
///   dIx = 0.08333333333 * b * h^3 and dIy = 0.08333333333 * h * b^3 (the ten-digit decimal
///   the callers' tables were computed with, not an exact twelfth);
///   nType 0: dJ = dIx + dIy, the polar moment;
///   nType != 0: dJ = b^3 * h * (0.33333333333 - 0.21 * r * (1 - r^4 / 12)) with r = b / h,
///   the approximate torsion constant, meant for b the shorter side; h = 0 divides by zero.
RVN_API void CalcuInertia(double b, double h, int nType, double& dIx, double& dIy, double& dJ);

}  // namespace RectFunc
#endif

/// @}

#endif  // RVN_NUMERIC_PLANECOORD_H
