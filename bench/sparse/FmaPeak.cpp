// One-core peak of fused multiply-add, the ceiling that the skyline factorisation's GFLOP/s are
// set against: independent chains enough to cover the latency of the operation on every
// current core (two pipes x four or five cycles), each a*x + c with a just below 1, so the
// values settle near 1 and never become subnormal. Each loop is compiled for its instruction
// set by attribute; the caller checks the processor first.
#include "sparse/FmaPeak.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>

namespace fmapeak {

__attribute__((target("avx2,fma"))) double Loop256(long iters) {
    enum { kChains = 12 };
    __m256d acc[kChains];
    for (int c = 0; c < kChains; ++c)
        acc[c] = _mm256_set1_pd(1.0 + c);
    const __m256d a = _mm256_set1_pd(0.999999), b = _mm256_set1_pd(1e-6);
    for (long t = 0; t < iters; ++t) {
        for (int c = 0; c < kChains; ++c)
            acc[c] = _mm256_fmadd_pd(acc[c], a, b);
    }
    double sum[4];
    __m256d s = acc[0];
    for (int c = 1; c < kChains; ++c)
        s = _mm256_add_pd(s, acc[c]);
    _mm256_storeu_pd(sum, s);
    return sum[0] + sum[1] + sum[2] + sum[3];
}

__attribute__((target("avx512f"))) double Loop512(long iters) {
    enum { kChains = 24 };
    __m512d acc[kChains];
    for (int c = 0; c < kChains; ++c)
        acc[c] = _mm512_set1_pd(1.0 + c);
    const __m512d a = _mm512_set1_pd(0.999999), b = _mm512_set1_pd(1e-6);
    for (long t = 0; t < iters; ++t) {
        for (int c = 0; c < kChains; ++c)
            acc[c] = _mm512_fmadd_pd(acc[c], a, b);
    }
    __m512d s = acc[0];
    for (int c = 1; c < kChains; ++c)
        s = _mm512_add_pd(s, acc[c]);
    double sum[8];
    _mm512_storeu_pd(sum, s);
    return sum[0] + sum[1] + sum[2] + sum[3] + sum[4] + sum[5] + sum[6] + sum[7];
}

long Flops256(long iters) {
    return iters * 12 * 4 * 2;
}
long Flops512(long iters) {
    return iters * 24 * 8 * 2;
}

}  // namespace fmapeak

#else

namespace fmapeak {
double Loop256(long) {
    return 0.0;
}
double Loop512(long) {
    return 0.0;
}
long Flops256(long) {
    return 0;
}
long Flops512(long) {
    return 0;
}
}  // namespace fmapeak

#endif
