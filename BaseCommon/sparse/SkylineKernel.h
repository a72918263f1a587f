/// @file
/// Choice of the kernel behind CSparseMatrix::Decomposition and LdltSolve.
///
/// The library is built for the baseline instruction set of its target and picks, at run time,
/// the fastest kernel that the running processor supports. Every kernel produces the stored
/// factor format documented in CSparseMatrix.h and applies its vanishing-pivot rule. The
/// blocked kernels take each l_ik = g_ik / d_k once instead of dividing in every term, so their
/// factors and solutions differ from the literal recurrence by rounding only (about 1e-15
/// relative on well-conditioned matrices). The kernels that fuse multiply and add (avx2-fma,
/// and any wider one) form every value by the same operations in the same order and agree to
/// the bit, on one machine or another; the baseline kernel (separate multiply and add) may
/// differ from them by rounding. With any kernel a right-hand side gets the same bits solved
/// alone or as any column of a CMatrix, whatever the other columns.
///
/// Auto (the default) runs small problems (at most kSkylineLiteralElements stored elements)
/// through the literal recurrence, bit for bit as written, and everything else through the best
/// blocked kernel. The other settings force one kernel for every size; tests and benchmarks use
/// them. The setting is process-wide.
///
/// The kernels that fuse multiply and add -- Avx2Fma, Avx512 and Vec8Fma -- give factors and
/// solutions equal to the bit: each element is one chain of fused operations in ascending k,
/// whatever the vector width or register tile, so a model gives the same numbers on every
/// processor that has FMA. (The sign of an exactly zero element may differ when the input
/// holds -0.0.) Vec8Fma runs the AVX-512 kernel's body over a portable vector type with a
/// correctly rounded fma per lane; it is there so that the 8-lane logic is tested on
/// processors without AVX-512, and Auto never takes it.
#ifndef RVN_SPARSE_SKYLINEKERNEL_H
#define RVN_SPARSE_SKYLINEKERNEL_H

/// @addtogroup sparse
/// @{

#include "BaseCommon/Export.h"

namespace rvn {

/// The factorisation kernel behind CSparseMatrix (see SkylineKernel.h for how they agree).
enum class SkylineKernel : int {
    Auto = 0,      ///< literal for small problems, otherwise the best blocked kernel
    Literal = 1,   ///< the row-by-row recurrence with a division in every term
    Baseline = 2,  ///< blocked, baseline instruction set (SSE2 on x86-64)
    Avx2Fma = 3,   ///< blocked, AVX2 + FMA
    Avx512 = 4,    ///< blocked, AVX-512F (a 24 x 8 register tile)
    Vec8Fma = 5    ///< the AVX-512 kernel over a portable 8-lane type: any processor, slow
};

/// Auto runs a matrix of at most this many stored elements (D[n-1] + 1, inclusive) through
/// the literal recurrence, a larger one through BestSkylineKernel().
constexpr int kSkylineLiteralElements = 512;

/// Selects the kernel for every later factorisation in the process; false (and nothing
/// changes) when the processor cannot run it or the value is outside the enumeration. Auto,
/// Literal, Baseline and Vec8Fma run on every processor.
RVN_API bool SetSkylineKernel(SkylineKernel kernel);
/// The current setting (Auto until SetSkylineKernel changes it).
RVN_API SkylineKernel GetSkylineKernel();
/// The blocked kernel that Auto uses for large problems on this processor: Avx512 when the
/// library holds that kernel and the processor has AVX-512F, else Avx2Fma when it has AVX2 and
/// FMA, else Baseline.
RVN_API SkylineKernel BestSkylineKernel();
/// The name of a kernel, for reports: "auto", "literal", "baseline-sse2" (or
/// "baseline-scalar"), "avx2-fma", "avx512f", "portable8-fma"; "unknown" for a value outside
/// the enumeration.
RVN_API const char* SkylineKernelName(SkylineKernel kernel);

}  // namespace rvn

/// @}

#endif  // RVN_SPARSE_SKYLINEKERNEL_H
