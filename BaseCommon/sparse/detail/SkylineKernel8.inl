// Internal to the library: the 8-lane kernel, shared by the AVX-512 unit and its portable twin.
//
// Included inside an instruction-set namespace after the unit defines struct Native (the
// 8-double vector type and its Set1, Fnmadd, Fmadd, Fmadd1, all fused) and includes
// SkylineVector.inl for the rest of the primitives. Everything else -- the horizontal sum, the
// transpose, the register tile and the whole kernel body -- is this text, so the two units
// differ only in their struct Native, and a test of the portable unit on any processor
// exercises the tile logic, edges and remainders that the AVX-512 unit runs.
//
// Tile: 24 rows x 8 columns, 24 accumulators of the 32 zmm registers, leaving room for the
// three loads of the strip and the broadcast of the panel. Each element of the factor is still
// one chain of fused subtractions in ascending k, exactly as in the 12 x 4 AVX2 tile, so the
// factors of the two are equal to the bit.

struct Simd : Prims {
    enum { W = 8 };
    // W vectors of W rows become W vectors of W columns. Used only to move a strip between the
    // element buffer and its window, where memory traffic dominates anyway.
    static inline void Transpose(V* r) {
        double t[W * W], u[W * W];
        for (int q = 0; q < W; ++q)
            Prims::Store(t + q * W, r[q]);
        for (int c = 0; c < W; ++c)
            for (int q = 0; q < W; ++q)
                u[c * W + q] = t[q * W + c];
        for (int c = 0; c < W; ++c)
            r[c] = Prims::Load(u + c * W);
    }
    // One fixed tree, so that both units add the lanes in the same order.
    static inline double Sum(V v) {
        double t[W];
        Prims::Store(t, v);
        return ((t[0] + t[4]) + (t[2] + t[6])) + ((t[1] + t[5]) + (t[3] + t[7]));
    }
};

enum { kMR = 24, kNR = 8 };

#include "BaseCommon/sparse/detail/SkylineKernelBody.inl"
