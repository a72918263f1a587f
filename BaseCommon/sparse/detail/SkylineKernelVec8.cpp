// The 8-lane skyline kernel over a portable vector type (GCC vector extensions), compiled for
// the baseline instruction set: the AVX-512 kernel's body and tile, runnable on every
// processor, so that the tests exercise the 8-lane logic where no AVX-512 is present.
//
// Its fused multiply-adds are __builtin_fma per lane: the C library's fma, which is exact on
// every processor (a single instruction where the processor has FMA, a correctly rounded
// emulation otherwise). Its factors and solutions are therefore equal to the bit to those of
// the AVX-512 and AVX2 kernels on any machine. It is many times slower than either: it exists
// for the tests, not as a choice for production (Auto never takes it).
#include "BaseCommon/sparse/detail/SkylineOps.h"

// 64-byte vectors pass by value differently with and without AVX-512; these functions are all
// inline in this unit and never cross it, so the difference of calling convention is moot
// (GCC and clang both warn about it).
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace rvn {
namespace skyline {
namespace vec8 {

struct Native {
    typedef double V __attribute__((vector_size(64)));
    static inline V Set1(double x) { return V{x, x, x, x, x, x, x, x}; }
    static inline V Fnmadd(V a, V b, V c) {
        V r;
        for (int i = 0; i < 8; ++i)
            r[i] = __builtin_fma(-a[i], b[i], c[i]);
        return r;
    }
    static inline V Fmadd(V a, V b, V c) {
        V r;
        for (int i = 0; i < 8; ++i)
            r[i] = __builtin_fma(a[i], b[i], c[i]);
        return r;
    }
    static inline double Fmadd1(double a, double b, double c) { return __builtin_fma(a, b, c); }
};

#include "BaseCommon/sparse/detail/SkylineVector.inl"

#include "BaseCommon/sparse/detail/SkylineKernel8.inl"

const Ops kOps = {"portable8-fma", FactorScratchImpl, FactorImpl, SolveImpl, SolveColumnsImpl};

}  // namespace vec8

const Ops* Vec8FmaOps() {
    return &vec8::kOps;
}

}  // namespace skyline
}  // namespace rvn
