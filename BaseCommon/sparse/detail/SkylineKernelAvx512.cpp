// The skyline kernel for processors with AVX-512F: 512-bit vectors and the 24 x 8 register
// tile of SkylineKernel8.inl. Only the vector primitives below are specific to it; the portable
// twin (SkylineKernelVec8.cpp) runs the same body everywhere. The library is built for the
// baseline instruction set; only this unit's functions are compiled for AVX-512F, and the
// dispatcher calls them only after the processor and the operating system (which must save
// the 512-bit and mask registers on a context switch) have been found to support it.
#include "BaseCommon/sparse/detail/SkylineOps.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define RVN_SKYLINE_HAVE_AVX512 1

#if defined(__clang__)
#include <immintrin.h>
#pragma clang attribute push(__attribute__((target("avx512f,avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx2,fma")
#include <immintrin.h>
#endif

namespace rvn {
namespace skyline {
namespace avx512 {

struct Native {
    typedef __m512d V;
    static inline V Set1(double x) { return _mm512_set1_pd(x); }
    static inline V Fnmadd(V a, V b, V c) { return _mm512_fnmadd_pd(a, b, c); }
    static inline V Fmadd(V a, V b, V c) { return _mm512_fmadd_pd(a, b, c); }
    static inline double Fmadd1(double a, double b, double c) { return __builtin_fma(a, b, c); }
};

#include "BaseCommon/sparse/detail/SkylineVector.inl"

#include "BaseCommon/sparse/detail/SkylineKernel8.inl"

const Ops kOps = {"avx512f", FactorScratchImpl, FactorImpl, SolveImpl, SolveColumnsImpl};

}  // namespace avx512
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

const Ops* Avx512Ops() {
#ifdef RVN_SKYLINE_HAVE_AVX512
    return &avx512::kOps;
#else
    return nullptr;
#endif
}

}  // namespace skyline
}  // namespace rvn
