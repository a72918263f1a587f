// The skyline kernel for processors with AVX2 and FMA: 256-bit vectors, a 12 x 4 register
// tile (12 accumulators of the 16 ymm registers, leaving room for three loads of the strip and
// the broadcast of the panel). The library is built for the baseline instruction set; only the
// functions of this unit are compiled for AVX2 + FMA, and the dispatcher calls them only after
// the processor and the operating system have been found to support both.
#include "BaseCommon/sparse/detail/SkylineOps.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define RVN_SKYLINE_HAVE_AVX2 1

// clang takes no target pragma of GCC's; it gets the same attribute on every function of
// this region (the intrinsics header carries its own and is included outside it).
#if defined(__clang__)
#include <immintrin.h>
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#include <immintrin.h>
#endif

namespace rvn {
namespace skyline {
namespace avx2 {

struct Native {
    typedef __m256d V;
    static inline V Set1(double x) { return _mm256_set1_pd(x); }
    static inline V Fnmadd(V a, V b, V c) { return _mm256_fnmadd_pd(a, b, c); }
    static inline V Fmadd(V a, V b, V c) { return _mm256_fmadd_pd(a, b, c); }
    // One scalar vfmadd: the intrinsic on _mm_set_sd operands costs a register move per
    // operand on the chain of a dot product.
    static inline double Fmadd1(double a, double b, double c) { return __builtin_fma(a, b, c); }
};

#include "BaseCommon/sparse/detail/SkylineVector.inl"

struct Simd : Prims {
    enum { W = 4 };
    static inline void Transpose(V* r) {
        const V t0 = _mm256_unpacklo_pd(r[0], r[1]);
        const V t1 = _mm256_unpackhi_pd(r[0], r[1]);
        const V t2 = _mm256_unpacklo_pd(r[2], r[3]);
        const V t3 = _mm256_unpackhi_pd(r[2], r[3]);
        r[0] = _mm256_permute2f128_pd(t0, t2, 0x20);
        r[1] = _mm256_permute2f128_pd(t1, t3, 0x20);
        r[2] = _mm256_permute2f128_pd(t0, t2, 0x31);
        r[3] = _mm256_permute2f128_pd(t1, t3, 0x31);
    }
    static inline double Sum(V v) {
        const __m128d lo = _mm256_castpd256_pd128(v);
        const __m128d hi = _mm256_extractf128_pd(v, 1);
        const __m128d s = _mm_add_pd(lo, hi);
        return _mm_cvtsd_f64(_mm_add_sd(s, _mm_unpackhi_pd(s, s)));
    }
};

enum { kMR = 12, kNR = 4 };

#include "BaseCommon/sparse/detail/SkylineKernelBody.inl"

const Ops kOps = {"avx2-fma", FactorScratchImpl, FactorImpl, SolveImpl, SolveColumnsImpl};

}  // namespace avx2
}  // namespace skyline
}  // namespace rvn

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

namespace rvn {
namespace skyline {

const Ops* Avx2FmaOps() {
#ifdef RVN_SKYLINE_HAVE_AVX2
    return &avx2::kOps;
#else
    return nullptr;
#endif
}

}  // namespace skyline
}  // namespace rvn
