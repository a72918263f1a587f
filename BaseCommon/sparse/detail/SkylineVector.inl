// Internal to the library: the vector primitives that read the same for every kernel, written
// once over a GCC vector type of doubles (the x86 intrinsic types are such types, and so is a
// plain double).
//
// Included inside a kernel unit's namespace, so that every unit compiles its own copy for its
// own instruction set, after the unit defines
//   struct Native { typedef ... V;   // W doubles
//                   Set1 (every lane x), Fnmadd (c - a*b), Fmadd (c + a*b), Fmadd1 (the same
//                   on one double): one rounding each in the units that fuse, two in the
//                   baseline, whose processors may have no fused multiply-add };
// The rest below is lane by lane and correctly rounded: it compiles to the same instructions
// as the unit's intrinsics would (unaligned loads and stores, packed arithmetic).

struct Prims : Native {
    typedef Native::V V;
    // The vector as it lies in the element buffer: aligned only as a double, and an alias of
    // the doubles it covers (the unaligned load and store of the intrinsic headers).
    typedef V Unaligned __attribute__((__aligned__(alignof(double)), __may_alias__));
    static inline V Load(const double* p) { return *reinterpret_cast<const Unaligned*>(p); }
    static inline void Store(double* p, V v) { *reinterpret_cast<Unaligned*>(p) = v; }
    static inline V Zero() { return V{}; }
    static inline V Mul(V a, V b) { return a * b; }
    static inline V Div(V a, V b) { return a / b; }
    static inline V Add(V a, V b) { return a + b; }
    static inline V Sub(V a, V b) { return a - b; }
};
