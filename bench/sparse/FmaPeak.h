// One-core fused multiply-add peak loops (FmaPeak.cpp). Loop256 needs AVX2 + FMA and Loop512
// AVX-512F with the operating system's support: check before calling. Each returns a value
// that depends on every operation; FlopsXxx gives the floating-point operations of `iters`.
#ifndef RVN_BENCH_SPARSE_FMAPEAK_H
#define RVN_BENCH_SPARSE_FMAPEAK_H

namespace fmapeak {
double Loop256(long iters);
double Loop512(long iters);
long Flops256(long iters);
long Flops512(long iters);
}  // namespace fmapeak

#endif  // RVN_BENCH_SPARSE_FMAPEAK_H
