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

struct Prims {
    typedef __m512d V;
    static inline V Load(const double* p) { return _mm512_loadu_pd(p); }
    static inline void Store(double* p, V v) { _mm512_storeu_pd(p, v); }
    static inline V Set1(double x) { return _mm512_set1_pd(x); }
    static inline V Zero() { return _mm512_setzero_pd(); }
    static inline V Fnmadd(V a, V b, V c) { return _mm512_fnmadd_pd(a, b, c); }
    static inline V Fmadd(V a, V b, V c) { return _mm512_fmadd_pd(a, b, c); }
    // One scalar vfmadd: the intrinsic on _mm_set_sd operands costs a register move per
    // operand on the chain of a dot product.
    static inline double Fmadd1(double a, double b, double c) { return __builtin_fma(a, b, c); }
    static inline V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
    static inline V Div(V a, V b) { return _mm512_div_pd(a, b); }
    static inline V Add(V a, V b) { return _mm512_add_pd(a, b); }
    static inline V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
};

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
