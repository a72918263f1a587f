// The skyline kernel for any processor the library is built for: SSE2 (two doubles per
// vector, separate multiply and add) on x86-64, where it is part of the baseline, and plain
// scalar code elsewhere. The 4 x 4 register tile keeps 8 (SSE2) or 16 (scalar) accumulators.
#include "BaseCommon/sparse/detail/SkylineOps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rvn {
namespace skyline {
namespace baseline {

#if defined(__SSE2__)
struct Native {
    typedef __m128d V;
    static inline V Set1(double x) { return _mm_set1_pd(x); }
    static inline V Fnmadd(V a, V b, V c) { return _mm_sub_pd(c, _mm_mul_pd(a, b)); }
    static inline V Fmadd(V a, V b, V c) { return _mm_add_pd(c, _mm_mul_pd(a, b)); }
    static inline double Fmadd1(double a, double b, double c) { return c + a * b; }
};

#include "BaseCommon/sparse/detail/SkylineVector.inl"

struct Simd : Prims {
    enum { W = 2 };
    static inline double Sum(V v) { return _mm_cvtsd_f64(_mm_add_sd(v, _mm_unpackhi_pd(v, v))); }
    static inline void Transpose(V* r) {
        const V t0 = _mm_unpacklo_pd(r[0], r[1]);
        r[1] = _mm_unpackhi_pd(r[0], r[1]);
        r[0] = t0;
    }
};
#else
struct Native {
    typedef double V;
    static inline V Set1(double x) { return x; }
    static inline V Fnmadd(V a, V b, V c) { return c - a * b; }
    static inline V Fmadd(V a, V b, V c) { return c + a * b; }
    static inline double Fmadd1(double a, double b, double c) { return c + a * b; }
};

#include "BaseCommon/sparse/detail/SkylineVector.inl"

struct Simd : Prims {
    enum { W = 1 };
    static inline double Sum(V v) { return v; }
    static inline void Transpose(V*) {}
};
#endif

enum { kMR = 4, kNR = 4 };

#include "BaseCommon/sparse/detail/SkylineKernelBody.inl"

const Ops kOps = {
#if defined(__SSE2__)
    "baseline-sse2",
#else
    "baseline-scalar",
#endif
    FactorScratchImpl, FactorImpl, SolveImpl, SolveColumnsImpl};

}  // namespace baseline

const Ops* BaselineOps() {
    return &baseline::kOps;
}

}  // namespace skyline
}  // namespace rvn
