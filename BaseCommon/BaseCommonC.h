/* The functions of rvnBaseCommon with the C calling convention, exported under their bare
 * names. This header is valid C (C99) and C++. */
#ifndef RVN_BASECOMMON_C_H
#define RVN_BASECOMMON_C_H

#include "BaseCommon/Export.h"

/* Linear interpolation weights (area coordinates) of the point p in a plane triangle.
 * tri holds x1, y1, x2, y2, x3, y3; p holds x, y; w receives the weights of vertices 1, 2
 * and 3, which sum to 1, so that a value at p is w[0]*f1 + w[1]*f2 + w[2]*f3. A point outside
 * the triangle gets a negative weight; a zero-area triangle gets infinities or NaN.
 * Returns w, or NULL without writing anything when any pointer is NULL. */
RVN_C_API double* AlgDzzlChazhi(const double* tri, const double* p, double* w);

/* Area of a plan polygon given as interleaved x, y values (BaseCommon/faces/PolyHelpers.h). */
RVN_C_API double CalcuArea(const double* pdXY, int nPnt);

/* A quadrilateral given as x, y and z arrays of four corners (BaseCommon/faces/PolyHelpers.h):
 * the crossing point of its diagonals' lines, and its perimeter with the perimeters of the four
 * triangles that the diagonals cut it into. Nothing is written when a pointer is NULL. */
RVN_C_API void Poly4_Cross(const double* pdX, const double* pdY, const double* pdZ, double* pdCX,
                           double* pdCY, double* pdCZ);
RVN_C_API void Poly4_Girth(const double* pdX, const double* pdY, const double* pdZ, double* pdGirth,
                           double* pdTriGirth);

/* Plane coordinate helpers (BaseCommon/numeric/PlaneCoord.h): member angles folded into
 * (-90, 90] degrees, plan directions and order, point lists turned about z, bounding boxes,
 * squared distances. */
RVN_C_API int AngleTo14(double* pdAngle);
RVN_C_API int AngleTo14_EX(double* pdAngle);
RVN_C_API int NormalDirection(double x1, double y1, double x2, double y2, double dTol);
RVN_C_API int GetDirectionType(double x1, double y1, double x2, double y2, double dTol);
RVN_C_API int CordRankOK(double x1, double y1, double x2, double y2);
RVN_C_API void Rotate_AxisZ(double* pdXY, int nPnt, double dAngle);
RVN_C_API void TransCordSys_AxisZ(double* pdXYZ, int nPnt, double dAngle);
RVN_C_API void GetMiniBox(const double* pdXYZ, int nPnt, double* pdBox, double dMargin);
RVN_C_API double Distpf_2d(double x1, double y1, double x2, double y2);
RVN_C_API double Distpf_3d(double x1, double y1, double z1, double x2, double y2, double z2);

/* Pile and soil springs spread onto element nodes, and reactions summed back
 * (BaseCommon/engineering/PileSoilStiff.h). */
RVN_C_API int PileStiffEq(int nType, int nNode, const double* pdNodeXY, const double* pdPnt,
                          double dK, double* pdResult);
RVN_C_API int SoilStiffEq(int nType, int nNode, const double* pdNodeXY, double dQ,
                          double* pdResult);
RVN_C_API int CalcuPileR(int n, const double* pdA, const double* pdB, double* pdR);
RVN_C_API int CalcuSoilR(int n, const double* pdA, const double* pdB, double dDiv, double* pdR);

#endif /* RVN_BASECOMMON_C_H */
