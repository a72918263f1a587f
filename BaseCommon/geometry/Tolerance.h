/// @file
/// The tolerances of the geometry subsystem. Every geometric comparison uses one of these;
/// each operation's header says which, and whether the comparison is strict or inclusive.
#ifndef RVN_GEOMETRY_TOLERANCE_H
#define RVN_GEOMETRY_TOLERANCE_H

/// @addtogroup geometry
/// @{

namespace rvn {

/// Relative tolerance of C3DVec::IsABEqual: |a - b| <= 1e-6 * max(|a|, |b|), inclusive, with
/// no absolute floor (0 equals only 0).
constexpr double kTolRelative = 1e-6;

/// Length tolerance, absolute: a length, distance, cross-product length, dot product or
/// coordinate difference counts as zero when it is strictly below 0.001 (model units).
constexpr double kTolLength = 0.001;

/// Point tolerance, absolute: two 3D points are equal when every coordinate differs by
/// strictly less than 1e-6.
constexpr double kTolPoint = 1e-6;

/// The single-precision value of 1e-6 as a double; the one-argument C3DLine::PntOnLine
/// compares with it.
constexpr double kTolPointSingle = 9.999999974752427e-07;

/// Sine of the angle between two plan directions below which C3DLine::FindCrossPoint takes
/// them as parallel: two segments in one vertical plane, whose plan equations cannot fix the
/// crossing. Far above the rounding of computed coordinates (about 1e-16 relative), far below
/// any angle drawn on purpose.
constexpr double kTolPlanParallelSine = 1e-9;

/// 2D types: 1e-6 absolute on coordinate differences and lengths, 1e-12 on squared
/// distances (a distance below 1e-6); all strict.
constexpr double kTol2D = 1e-6;
/// Squared-distance form of kTol2D, for C2DPoint equality: 1e-12, strict.
constexpr double kTol2DSquared = 1e-12;

/// 2*pi as the geometry code writes it.
constexpr double kTwoPi = 6.283185307179586;

/// Cosines computed from unit vectors can round just past +-1 for (anti)parallel vectors;
/// every arc cosine of the library takes its argument through this clamp, so parallel
/// vectors give exactly 0 and anti-parallel exactly pi rather than NaN.
inline double ClampCos(double c) {
    return c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c);
}

/// Exact closed-interval test: a <= t <= b or b <= t <= a (the ends in either order).
inline bool InClosedRange(double t, double a, double b) {
    return (a <= t && t <= b) || (b <= t && t <= a);
}

}  // namespace rvn

/// @}

#endif  // RVN_GEOMETRY_TOLERANCE_H
