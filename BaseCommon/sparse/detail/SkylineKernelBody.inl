// Internal to the library: the blocked skyline LDLT kernel, written once over a vector type.
//
// Included inside an instruction-set namespace by SkylineKernelBaseline.cpp and
// SkylineKernelAvx2.cpp after they define
//   struct Simd { typedef ... V; enum { W = lanes }; Load, Store, Set1, Zero, Fnmadd (c - a*b),
//                 Fmadd (c + a*b), Fmadd1 (the same on one double, fused exactly when Fmadd
//                 is), Mul, Div, Add, Sub, Sum (horizontal),
//                 Transpose (W vectors of W rows become W vectors of W columns) };
//   enum { kMR, kNR };  // register tile: rows (a multiple of W and of kNR) and columns
// It includes no header and uses no template of the standard library: every function it
// defines is compiled for the including unit's instruction set, and nothing of it may be
// shared with code compiled for another one.
//
// Method. Row i of the factor satisfies, for m_i < j <= i,
//   g_ij = a_ij - sum_{k = max(m_i, m_j)}^{j-1} l_ik g_jk,   l_ik = g_ik / d_k,
// the literal recurrence with the division taken once per (i, k) instead of once per term.
// A strip of kMR consecutive rows is copied into a column-major window X with a twin window L
// for the l values; zeros pad every position outside the profile, so a padded position adds
// exactly 0 to every sum. The strip's columns are finished in panels of kNR: a register tile
// of kMR x kNR takes the panel's rows j straight from the element buffer and subtracts the
// strip's l values times them (a small matrix product, where all the time goes); the triangle
// inside the panel is then finished in registers and the new l values are formed. The strip's
// l values stay in the first-level cache while the earlier rows stream past them. The panels
// on the strip's own diagonal take their rows from the window and produce the pivots. The
// finished strip goes back to the element buffer, where the next strips read it.

namespace {

inline int FirstCol(const int* D, int i) {
    return i == 0 ? 0 : i + 1 - (D[i] - D[i - 1]);
}
inline long MinL(long a, long b) {
    return a < b ? a : b;
}
inline long MaxL(long a, long b) {
    return a > b ? a : b;
}
inline long RoundUp(long v, long m) {
    return (v + m - 1) / m * m;
}

const int kNoRow = 0x7fffffff;  // first column of a row that does not exist

inline int MaxHeight(const int* D, int n) {
    int h = 1;
    for (int i = 1; i < n; ++i)
        h = D[i] - D[i - 1] > h ? D[i] - D[i - 1] : h;
    return h;
}

// Cache blocking. The strips of a block of about 96 rows go over the earlier rows together, so
// that each earlier row is read from memory once for all of them rather than once per strip, and
// they take those rows' columns kKc at a time, so that the l values being multiplied (96 x kKc,
// some 200 kB) stay in the second-level cache, and each earlier row's piece in the first,
// however wide the band. Every element still receives its terms one by one in ascending k:
// the blocking reorders the work, never the arithmetic of an element.
// Up to a band of kNarrow the earlier rows a strip reads (band^2 / 2 doubles, 200 kB at 220)
// stay in the second-level cache from one strip to the next anyway, and a single strip's
// windows in the first: there a block is one strip, which spares the wider windows and the
// second pass over every block's own columns.
enum { kStrips = (96 + kMR - 1) / kMR, kKc = 256, kNarrow = 224 };
const long kAheadBytes = 256L * 1024;  // of the next block's rows fetched ahead

// Scratch of one factorisation, carved from one allocation: the two windows of each strip of a
// block and a ring with the pivot data of the latest rows (every row a block can reach).
struct Work {
    int strips;  // strips per block: 1 or kStrips
    long cols;   // window columns
    long win;    // doubles from one strip's window to the next
    double* x;   // kStrips windows of kMR x cols: the strips' g values, column-major
    double* l;   // as many for their l values
    long ring;   // ring size, a power of two
    double* d;   // pivot of row j at (j - 1) & (ring - 1)
    double* s;   // its reciprocal, 0 for a zero pivot
    int* div;    // 1 when the reciprocal is not finite (subnormal or NaN pivot): divide instead
    int* m;      // first column of row j
    long* org;   // D[j] - j: element (j, k) is E[org + k]
};

inline std::size_t Carve(Work& wk, const int* D, int n, unsigned char* base) {
    const long band = MaxHeight(D, n);
    wk.strips = band <= kNarrow ? 1 : kStrips;
    wk.cols = RoundUp(band + wk.strips * kMR + 2 * kNR, kMR);
    wk.ring = 8;
    while (wk.ring < band + wk.strips * kMR + 2 * kNR)
        wk.ring *= 2;
    const long win = wk.strips * RoundUp(8L * kMR * wk.cols, 64);
    wk.win = RoundUp(8L * kMR * wk.cols, 64) / 8;
    const long ring = RoundUp(8L * wk.ring, 64);
    const std::size_t bytes = static_cast<std::size_t>(2 * win + 5 * ring);
    // Sizing only: an offset from a null base is undefined even when never dereferenced.
    if (base == nullptr) {
        wk.x = wk.l = wk.d = wk.s = nullptr;
        wk.div = wk.m = nullptr;
        wk.org = nullptr;
        return bytes;
    }
    wk.x = reinterpret_cast<double*>(base);
    wk.l = reinterpret_cast<double*>(base + win);
    wk.d = reinterpret_cast<double*>(base + 2 * win);
    wk.s = reinterpret_cast<double*>(base + 2 * win + ring);
    wk.div = reinterpret_cast<int*>(base + 2 * win + 2 * ring);
    wk.m = reinterpret_cast<int*>(base + 2 * win + 3 * ring);
    wk.org = reinterpret_cast<long*>(base + 2 * win + 4 * ring);
    return bytes;
}

std::size_t FactorScratchImpl(const int* D, int n) {
    Work wk;
    return Carve(wk, D, n, nullptr);
}

// The scale that turns g into l. A zero pivot gives 0 so that padded positions stay 0; the
// rows that really reach a zero pivot are detected afterwards and redone the literal way.
inline void SetPivot(double d, double& dd, double& s, int& div) {
    dd = d;
    div = 0;
    s = 0.0;
    if (d == 0.0)
        return;
    const double inv = 1.0 / d;
    if (inv - inv == 0.0)
        s = inv;
    else
        div = 1;
}

enum ColKind { kNormal = 0, kDiagonal = 1, kBeyond = 2 };

// What a tile needs besides its strip: the panel's rows j = j0 + w and its columns' pivots.
struct TileArgs {
    // kr columns k = kFrom .. from the rows' origins rb[w] (element (j, k) at rb[w][k]), read
    // only where the row has begun (k >= m[w]); then km columns at q[w][t * qs].
    long kFrom, kr;
    const double* rb[kNR];
    int m[kNR];
    const double* q[kNR];
    long qs, km;
    long j0;    // the panel's first column: the triangle's coefficients are g_{j0+w, j0+w2}
    double* d;  // pivots of the panel's rows (read for ordinary columns, written for diagonal
    double* s;  // ones) with their reciprocals, kNR in a row
    int* div;
    int kind[kNR];  // general tiles only: ordinary, the diagonal column of the row in lane
    int lane[kNR];  // lane[w] of this strip (lanes above it end earlier), or beyond the strip
};

// One kMR x kNR tile: x (the strip's X columns j0 .. j0+kNR-1) -= a * B^T, a = the strip's l
// values (k-major, kMR per column), then the panel's triangle and the l values, in registers
// (kUpdate: only the product, for a block of columns before the panel's own).
// The first kV0 vectors of lanes hold only rows that end before the panel (on the strip's own
// diagonal): they are not computed, just set to 0.
template <bool kGeneral, int kV0, bool kUpdate = false>
void Tile(const double* a, TileArgs& b, double* x, double* l) {
    enum { NV = kMR / Simd::W };
    typename Simd::V acc[kNR][NV];
#pragma GCC unroll 16
    for (int w = 0; w < kNR; ++w) {
#pragma GCC unroll 16
        for (int v = kV0; v < NV; ++v)
            acc[w][v] = Simd::Load(x + w * kMR + v * Simd::W);
    }
    for (long k = b.kFrom; k < b.kFrom + b.kr; ++k) {
        typename Simd::V av[NV];
#pragma GCC unroll 16
        for (int v = kV0; v < NV; ++v)
            av[v] = Simd::Load(a + v * Simd::W);
#pragma GCC unroll 16
        for (int w = 0; w < kNR; ++w) {
            const typename Simd::V bw = Simd::Set1(k >= b.m[w] ? b.rb[w][k] : 0.0);
#pragma GCC unroll 16
            for (int v = kV0; v < NV; ++v)
                acc[w][v] = Simd::Fnmadd(av[v], bw, acc[w][v]);
        }
        a += kMR;
    }
    const double* q[kNR];
#pragma GCC unroll 16
    for (int w = 0; w < kNR; ++w)
        q[w] = b.q[w];
    const long qs = b.qs;
    long off = 0;
    for (long k = 0; k < b.km; ++k) {
        typename Simd::V av[NV];
#pragma GCC unroll 16
        for (int v = kV0; v < NV; ++v)
            av[v] = Simd::Load(a + v * Simd::W);
#pragma GCC unroll 16
        for (int w = 0; w < kNR; ++w) {
            const typename Simd::V bw = Simd::Set1(q[w][off]);
#pragma GCC unroll 16
            for (int v = kV0; v < NV; ++v)
                acc[w][v] = Simd::Fnmadd(av[v], bw, acc[w][v]);
        }
        a += kMR;
        off += qs;
    }
    if (kUpdate) {
#pragma GCC unroll 16
        for (int w = 0; w < kNR; ++w) {
#pragma GCC unroll 16
            for (int v = kV0; v < NV; ++v)
                Simd::Store(x + w * kMR + v * Simd::W, acc[w][v]);
        }
        return;
    }
    typename Simd::V lv[kNR][NV];
#pragma GCC unroll 16
    for (int w = 0; w < kNR; ++w) {
        double* xc = x + w * kMR;
        double* lc = l + w * kMR;
        for (int v = 0; v < kV0; ++v) {
            Simd::Store(xc + v * Simd::W, Simd::Zero());
            Simd::Store(lc + v * Simd::W, Simd::Zero());
        }
        if (kGeneral && b.kind[w] == kBeyond) {
            for (int v = kV0; v < NV; ++v) {
                lv[w][v] = Simd::Zero();
                Simd::Store(xc + v * Simd::W, lv[w][v]);
                Simd::Store(lc + v * Simd::W, lv[w][v]);
            }
            continue;
        }
#pragma GCC unroll 16
        for (int w2 = 0; w2 < w; ++w2) {
            // General tiles read their rows in the zero-padded window, the others in E.
            const typename Simd::V cb =
                Simd::Set1(kGeneral ? b.q[w][(b.km + w2) * qs]
                                    : (b.j0 + w2 >= b.m[w] ? b.rb[w][b.j0 + w2] : 0.0));
#pragma GCC unroll 16
            for (int v = kV0; v < NV; ++v)
                acc[w][v] = Simd::Fnmadd(lv[w2][v], cb, acc[w][v]);
        }
#pragma GCC unroll 16
        for (int v = kV0; v < NV; ++v)
            Simd::Store(xc + v * Simd::W, acc[w][v]);
        if (kGeneral && b.kind[w] == kDiagonal) {
            // Lanes above the diagonal row hold rows that end before this column: kept at 0
            // so that nothing but zeros ever sits outside the profile.
            for (int r = 0; r < b.lane[w]; ++r)
                xc[r] = 0.0;
            SetPivot(xc[b.lane[w]], b.d[w], b.s[w], b.div[w]);
            for (int v = kV0; v < NV; ++v)
                acc[w][v] = Simd::Load(xc + v * Simd::W);
        }
        if (b.div[w]) {
            const typename Simd::V dv = Simd::Set1(b.d[w]);
#pragma GCC unroll 16
            for (int v = kV0; v < NV; ++v)
                lv[w][v] = Simd::Div(acc[w][v], dv);
        } else {
            const typename Simd::V sv = Simd::Set1(b.s[w]);
#pragma GCC unroll 16
            for (int v = kV0; v < NV; ++v)
                lv[w][v] = Simd::Mul(acc[w][v], sv);
        }
#pragma GCC unroll 16
        for (int v = kV0; v < NV; ++v)
            Simd::Store(lc + v * Simd::W, lv[w][v]);
    }
}

// The rows of one strip: first column, last column (the diagonal) and the row's origin in E
// (element (i, k) at rp[k]); lanes without a row get an empty range.
struct StripRows {
    int m[kMR];
    int hi[kMR];
    double* rp[kMR];
};

inline void DescribeStrip(double* E, const int* D, int iFirst, int count, StripRows& sr) {
    for (int r = 0; r < kMR; ++r) {
        const int i = iFirst + r;
        sr.m[r] = r < count ? FirstCol(D, i) : kNoRow;
        sr.hi[r] = r < count ? i : -1;
        sr.rp[r] = r < count ? E + D[i] - i : nullptr;
    }
}

// Columns that all W rows of lane group g store: [from, to], empty when from > to.
inline void GroupCore(const StripRows& sr, int g, long& from, long& to) {
    from = 0;
    to = kNoRow;
    for (int q = g; q < g + Simd::W; ++q) {
        from = MaxL(from, sr.m[q]);
        to = MinL(to, sr.hi[q]);
    }
}

// Copies the stored rows of a strip into its window columns c0a .. lastCol (column-major,
// kMR lanes per column), zeros everywhere else. Where all W rows of a lane group store a
// column, they are moved W x W at a time through a register transpose.
void LoadStrip(double* E, const int* D, int iFirst, int count, long c0a, long lastCol, double* xs) {
    StripRows sr;
    DescribeStrip(E, D, iFirst, count, sr);
    for (int g = 0; g < kMR; g += Simd::W) {
        long from, to;
        GroupCore(sr, g, from, to);
        if (from > to || from > lastCol) {
            from = lastCol + 1;
            to = lastCol;
        }
        for (long k = c0a; k < from; ++k)
            Simd::Store(xs + (k - c0a) * kMR + g, Simd::Zero());
        for (long k = to + 1; k <= lastCol; ++k)
            Simd::Store(xs + (k - c0a) * kMR + g, Simd::Zero());
        for (int r = g; r < g + Simd::W && r < count; ++r) {
            for (long k = sr.m[r]; k <= sr.hi[r] && k < from; ++k)
                xs[(k - c0a) * kMR + r] = sr.rp[r][k];
            for (long k = MaxL(sr.m[r], to + 1); k <= sr.hi[r]; ++k)
                xs[(k - c0a) * kMR + r] = sr.rp[r][k];
        }
        long k = from;
        for (; k + Simd::W - 1 <= to; k += Simd::W) {
            typename Simd::V t[Simd::W];
#pragma GCC unroll 16
            for (int q = 0; q < Simd::W; ++q)
                t[q] = Simd::Load(sr.rp[g + q] + k);
            Simd::Transpose(t);
#pragma GCC unroll 16
            for (int c = 0; c < Simd::W; ++c)
                Simd::Store(xs + (k + c - c0a) * kMR + g, t[c]);
        }
        for (; k <= to; ++k) {
            for (int q = g; q < g + Simd::W; ++q)
                xs[(k - c0a) * kMR + q] = sr.rp[q][k];
        }
    }
}

// The reverse of LoadStrip for the first count rows of the strip: their stored positions only.
void StoreStrip(double* E, const int* D, int iFirst, int count, long c0a, const double* xs) {
    StripRows sr;
    DescribeStrip(E, D, iFirst, count, sr);
    for (int g = 0; g < count; g += Simd::W) {
        long from, to;
        GroupCore(sr, g, from, to);  // empty when a lane of the group has no row
        if (from > to) {
            from = kNoRow;
            to = from - 1;
        }
        for (int r = g; r < g + Simd::W && r < count; ++r) {
            for (long k = sr.m[r]; k <= sr.hi[r] && k < from; ++k)
                sr.rp[r][k] = xs[(k - c0a) * kMR + r];
            for (long k = MaxL(sr.m[r], to + 1); k <= sr.hi[r]; ++k)
                sr.rp[r][k] = xs[(k - c0a) * kMR + r];
        }
        long k = from;
        for (; k + Simd::W - 1 <= to; k += Simd::W) {
            typename Simd::V t[Simd::W];
#pragma GCC unroll 16
            for (int c = 0; c < Simd::W; ++c)
                t[c] = Simd::Load(xs + (k + c - c0a) * kMR + g);
            Simd::Transpose(t);
#pragma GCC unroll 16
            for (int q = 0; q < Simd::W; ++q)
                Simd::Store(sr.rp[g + q] + k, t[q]);
        }
        for (; k <= to; ++k) {
            for (int q = g; q < g + Simd::W; ++q)
                sr.rp[q][k] = xs[(k - c0a) * kMR + q];
        }
    }
}

// Pivot data of row j (j >= 0) in the ring; rows before 0 do not exist.
inline long Slot(const Work& wk, long j) {
    return (j - 1) & (wk.ring - 1);
}

// Judges the pivots of strip rows i0 .. i1-1 in row order and returns the first row that
// reaches a vanished pivot (i1 when none). A row that needs the sweep has the strip stored up
// to it first; a vanished pivot is stored as 0.0 (window, element buffer and ring).
long JudgeStrip(double* E, const int* D, Work& wk, PivotGuard& guard, long i0, long i1, long c0a,
                double* X, long& lastZero) {
    // No vanished pivot so far, and a strip of plain positive pivots: one pass, no record.
    if (lastZero < 0 &&
        PlainPivots(guard, X + (i0 - c0a) * kMR, kMR + 1, E, D, i0, static_cast<int>(i1 - i0)))
        return i1;
    for (long i = i0; i < i1; ++i) {
        const int r = static_cast<int>(i - i0);
        if (lastZero >= FirstCol(D, static_cast<int>(i)))
            return i;
        double* xd = X + (i - c0a) * kMR + r;
        const double a = E[D[i]];  // row i is still the assembled one in E
        int verdict = JudgePivot(guard, D, static_cast<int>(i), *xd, a);
        if (verdict == 0)
            continue;  // kept (never 0.0): nothing more to record
        if (verdict == 2) {
            StoreStrip(E, D, static_cast<int>(i0), r + 1, c0a, X);
            verdict = PrecisePivot(guard, E, D, static_cast<int>(i), a);
        }
        const long q = Slot(wk, i);
        if (verdict == 1) {
            *xd = 0.0;
            E[D[i]] = 0.0;  // the row is stored with the strip in any case
            SetPivot(0.0, wk.d[q], wk.s[q], wk.div[q]);
        }
        if (wk.d[q] == 0.0)
            lastZero = i;
    }
    return i1;
}

// Points b at the panel of earlier rows j0 .. j0+kNR-1 (final in E) and their pivots; returns
// the last of their first columns, from which on they are read without a test.
long PanelRows(const Work& wk, double* E, long j0, TileArgs& b, double* noD, double* noS,
               int* noDiv) {
    long mmax = 0;
    if (j0 >= 1) {
        // Rows j0 .. j0+kNR-1 have adjacent slots (j0 - 1 is a multiple of kNR).
        const long q = Slot(wk, j0);
        for (int w = 0; w < kNR; ++w) {
            b.m[w] = wk.m[q + w];
            b.rb[w] = E + wk.org[q + w];
            mmax = MaxL(mmax, b.m[w]);
        }
        b.d = wk.d + q;
        b.s = wk.s + q;
        b.div = wk.div + q;
    } else {
        for (int w = 0; w < kNR; ++w) {
            const long j = j0 + w;
            const long q = Slot(wk, j);
            b.m[w] = j >= 0 ? wk.m[q] : kNoRow;
            b.rb[w] = j >= 0 ? E + wk.org[q] : E;
            mmax = MaxL(mmax, b.m[w]);
            if (j >= 0) {
                noD[w] = wk.d[q];
                noS[w] = wk.s[q];
                noDiv[w] = wk.div[q];
            } else {
                SetPivot(0.0, noD[w], noS[w], noDiv[w]);
            }
        }
        b.d = noD;
        b.s = noS;
        b.div = noDiv;
    }
    b.j0 = j0;
    b.qs = 1;
    return mmax;
}

// Columns kFrom .. kTo-1 of the panel's rows: tested reads before mmax, straight ones after.
inline void Span(TileArgs& b, long kFrom, long kTo, long mmax) {
    const long kmain = MinL(MaxL(mmax, kFrom), kTo);
    b.kFrom = kFrom;
    b.kr = kmain - kFrom;
    for (int w = 0; w < kNR; ++w)
        b.q[w] = kmain < kTo ? b.rb[w] + kmain : b.rb[w];
    b.km = kTo - kmain;
}

// A panel on the strip's own diagonal, j0 >= i0: the strip's own rows are read in the window
// (zero-padded, so read straight) and their pivots are produced here; ks is the first column
// with a non-zero l value.
__attribute__((always_inline)) inline void OwnPanel(Work& wk, TileArgs& b, long i0, long i1,
                                                    long j0, long ks, long c0a, double* X,
                                                    double* L) {
    const long c = j0 - c0a;
    const double* a = L + (ks - c0a) * kMR;
    b.kFrom = ks;
    b.kr = 0;
    b.qs = kMR;
    b.d = wk.d + Slot(wk, j0);
    b.s = wk.s + Slot(wk, j0);
    b.div = wk.div + Slot(wk, j0);
    b.km = j0 - ks;
    b.j0 = j0;
    for (int w = 0; w < kNR; ++w) {
        const long r = j0 + w - i0;  // panels never straddle the strip's end
        b.q[w] = X + (ks - c0a) * kMR + r;
        b.kind[w] = j0 + w < i1 ? kDiagonal : kBeyond;
        b.lane[w] = static_cast<int>(r);
    }
    switch ((j0 - i0) / Simd::W) {
        case 0:
            Tile<true, 0>(a, b, X + c * kMR, L + c * kMR);
            break;
        case 1:
            Tile<true, (1 < kMR / Simd::W ? 1 : 0)>(a, b, X + c * kMR, L + c * kMR);
            break;
        default:
            Tile<true, (2 < kMR / Simd::W ? 2 : 0)>(a, b, X + c * kMR, L + c * kMR);
            break;
    }
}

// Bands up to kNarrow, one strip at a time (see kNarrow): a single pass over the strip's panels,
// everything it calls compiled into the loop. At a band of 50 a tile is only some fifty steps
// of its product, and the calls, with the tile arguments spilled and reloaded around them, cost
// several percent of the factorisation. Row 0 and its ring entry are set by the caller. The
// scratch description is taken by value: a copy that nothing else can reach keeps its fields in
// registers across the stores into the ring, which could otherwise overwrite them.
__attribute__((flatten)) int FactorNarrow(double* E, const int* D, int n, Work wk,
                                          PivotGuard& guard) {
    double* X = wk.x;
    double* L = wk.l;
    double noD[kNR], noS[kNR];  // pivots of a panel that begins before row 0
    int noDiv[kNR];
    // Largest index of a zero pivot among the finished rows: a later row whose profile reaches
    // it fails, exactly where the literal recurrence would divide by it.
    long lastZero = E[0] == 0.0 ? 0 : -1;
    TileArgs b = {};
    for (long i0 = 1; i0 < n; i0 += kMR) {
        const long i1 = MinL(n, i0 + kMR);
        long first = i1;
        for (long i = i0; i < i1; ++i) {
            const int m = FirstCol(D, static_cast<int>(i));
            first = MinL(first, m);
            wk.m[Slot(wk, i)] = m;
            wk.org[Slot(wk, i)] = D[i] - i;
        }
        // Panels are aligned so that one starts at i0.
        const long c0a = i0 - RoundUp(i0 - first, kNR);
        LoadStrip(E, D, static_cast<int>(i0), static_cast<int>(i1 - i0), c0a, i0 + kMR - 1, X);
        // The next strip's rows come from main memory; their cache lines are requested a few
        // per panel while this strip computes.
        const long i2 = MinL(n, i1 + kMR);
        const char* next = reinterpret_cast<const char*>(E + (i1 < n ? D[i1 - 1] + 1 : 0));
        long lines = i1 < n ? (8L * (D[i2 - 1] - D[i1 - 1]) + 63) / 64 : 0;
        const long perPanel = lines / ((i1 - c0a) / kNR + 1) + 1;
        for (long j0 = c0a; j0 < i1; j0 += kNR) {
            if (first > j0 + kNR - 1)
                continue;  // no row of the strip reaches the panel
            for (const char* end = next + 64 * MinL(perPanel, lines); next < end; next += 64)
                __builtin_prefetch(next, 0, 2);
            lines -= MinL(perPanel, lines);
            const long ks = MinL(MaxL(first, c0a), j0);  // the l values before ks are 0
            if (j0 >= i0) {
                OwnPanel(wk, b, i0, i1, j0, ks, c0a, X, L);
                continue;
            }
            const long c = j0 - c0a;
            const long mmax = PanelRows(wk, E, j0, b, noD, noS, noDiv);
            Span(b, ks, j0, mmax);
            Tile<false, 0>(L + (ks - c0a) * kMR, b, X + c * kMR, L + c * kMR);
        }
        const long done = JudgeStrip(E, D, wk, guard, i0, i1, c0a, X, lastZero);
        StoreStrip(E, D, static_cast<int>(i0), static_cast<int>(done - i0), c0a, X);
        if (done < i1)
            return static_cast<int>(done);
        if (guard.hook)
            ReportProgress(guard, static_cast<int>(i1));
    }
    return -1;
}

int FactorImpl(double* E, const int* D, int n, void* scratch, PivotGuard& guard) {
    Work wk;
    Carve(wk, D, n, static_cast<unsigned char*>(scratch));
    SetPivot(E[0], wk.d[Slot(wk, 0)], wk.s[Slot(wk, 0)], wk.div[Slot(wk, 0)]);
    wk.m[Slot(wk, 0)] = 0;
    wk.org[Slot(wk, 0)] = 0;
    if (wk.strips == 1)
        return FactorNarrow(E, D, n, wk, guard);
    double noD[kNR], noS[kNR];  // pivots of a panel that begins before row 0
    int noDiv[kNR];
    // Largest index of a zero pivot among the finished rows: a later row whose profile reaches
    // it fails, exactly where the literal recurrence would divide by it.
    long lastZero = E[0] == 0.0 ? 0 : -1;
    TileArgs b = {};
    for (long bi0 = 1; bi0 < n; bi0 += wk.strips * kMR) {
        const long bi1 = MinL(n, bi0 + wk.strips * kMR);
        const int strips = static_cast<int>((bi1 - bi0 + kMR - 1) / kMR);
        long first[kStrips];
        long firstAll = bi1;
        for (int t = 0; t < strips; ++t) {
            first[t] = bi1;
            for (long i = bi0 + t * kMR; i < MinL(bi1, bi0 + (t + 1) * kMR); ++i)
                first[t] = MinL(first[t], FirstCol(D, static_cast<int>(i)));
            firstAll = MinL(firstAll, first[t]);
        }
        // Panels are aligned so that one starts at every strip's first row.
        const long c0a = bi0 - RoundUp(bi0 - firstAll, kNR);
        for (long i = bi0; i < bi1; ++i) {
            wk.m[Slot(wk, i)] = FirstCol(D, static_cast<int>(i));
            wk.org[Slot(wk, i)] = D[i] - i;
        }
        for (int t = 0; t < strips; ++t) {
            const long i0 = bi0 + t * kMR;
            LoadStrip(E, D, static_cast<int>(i0), static_cast<int>(MinL(bi1, i0 + kMR) - i0), c0a,
                      i0 + kMR - 1, wk.x + t * wk.win);
        }

        // The next block's rows come from main memory; their cache lines are requested a few
        // per tile while this block goes over the earlier rows (in bursts they would fill the
        // miss buffers and stall the tiles). At most their first kAheadBytes, half the
        // second-level cache: more would evict this block's own windows before it is done.
        const long bi2 = MinL(n, bi1 + wk.strips * kMR);
        const char* next = reinterpret_cast<const char*>(E + (bi1 < n ? D[bi1 - 1] + 1 : 0));
        long nextBytes = bi1 < n ? 8L * (D[bi2 - 1] - D[bi1 - 1]) : 0;
        nextBytes = MinL(nextBytes, kAheadBytes);
        const long perTile = nextBytes / 64 / ((bi0 - c0a) / kNR * strips + 1) + 1;

        // Earlier rows, final in the element buffer, kKc columns at a time: the panels of the
        // block of columns are finished (their l values formed), then every later panel takes
        // the block's terms.
        for (long cb = c0a; cb < bi0; cb += kKc) {
            const long ce = MinL(cb + kKc, bi0);
            for (long j0 = cb; j0 < bi0; j0 += kNR) {
                if (firstAll > j0 + kNR - 1)
                    continue;  // no row of the block reaches the panel
                const long mmax = PanelRows(wk, E, j0, b, noD, noS, noDiv);
                const long c = j0 - c0a;
                for (int t = 0; t < strips; ++t) {
                    if (first[t] > j0 + kNR - 1)
                        continue;
                    for (long p = 0; p < perTile && nextBytes > 0; ++p, next += 64, nextBytes -= 64)
                        __builtin_prefetch(next, 0, 2);
                    // The strip's l values before its first column are 0.
                    const long kFrom = MaxL(MinL(MaxL(first[t], c0a), j0), cb);
                    double* X = wk.x + t * wk.win;
                    double* L = wk.l + t * wk.win;
                    const double* a = L + (kFrom - c0a) * kMR;
                    if (j0 < ce) {
                        Span(b, kFrom, j0, mmax);
                        Tile<false, 0>(a, b, X + c * kMR, L + c * kMR);
                    } else if (kFrom < ce) {
                        Span(b, kFrom, ce, mmax);
                        Tile<false, 0, true>(a, b, X + c * kMR, L + c * kMR);
                    }
                }
            }
        }

        // The block's own columns, strip by strip: the rows of the strips before are final in
        // the element buffer, the strip's own rows are read in its window.
        for (int t = 0; t < strips; ++t) {
            const long i0 = bi0 + t * kMR;
            const long i1 = MinL(bi1, i0 + kMR);
            double* X = wk.x + t * wk.win;
            double* L = wk.l + t * wk.win;
            for (long j0 = bi0; j0 < i1; j0 += kNR) {
                if (first[t] > j0 + kNR - 1)
                    continue;  // no row of the strip reaches the panel
                const long c = j0 - c0a;
                const long ks = MinL(MaxL(first[t], c0a), j0);  // the l values before ks are 0
                const double* a = L + (ks - c0a) * kMR;
                if (j0 < i0) {
                    const long mmax = PanelRows(wk, E, j0, b, noD, noS, noDiv);
                    Span(b, ks, j0, mmax);
                    Tile<false, 0>(a, b, X + c * kMR, L + c * kMR);
                    continue;
                }
                OwnPanel(wk, b, i0, i1, j0, ks, c0a, X, L);
            }
            // Rows that reach a vanished pivot (before or inside the strip) were computed with
            // a zero l there, or with the l of a pivot found vanished afterwards; from the
            // first of them on nothing is written back.
            const long done = JudgeStrip(E, D, wk, guard, i0, i1, c0a, X, lastZero);
            StoreStrip(E, D, static_cast<int>(i0), static_cast<int>(done - i0), c0a, X);
            if (done < i1)
                return static_cast<int>(done);
            if (guard.hook)
                ReportProgress(guard, static_cast<int>(i1));
        }
    }
    return -1;
}

// Solution steps. Every kernel that fuses gives every right-hand side, alone or in any
// column of many, the same bits, since each value is formed by the same operations in the same
// order (only the scheduling differs):
//   forward   y_i = (b_i - acc) / d_i,  acc = 0, then acc = fma(g_ik, y_k, acc) for k = m_i ..
//             i-1 increasing;
//   backward  x_i = y_i - acc,  acc = 0, then acc = fma(l_ri, x_r, acc) for the rows r > i that
//             store column i, in decreasing r, with l_ri = g_ri * (1 / d_i) (g_ri / d_i where
//             that reciprocal is not finite).
// The sums and subtractions are those of the written steps (the backward terms scaled by the
// pivot one by one), so no intermediate leaves the range the written steps stay in.

// l = g * rec_k, or g / d_k where the reciprocal is not finite (rec_k = 0 and d_k subnormal).
inline double ScaleOne(double g, const double* E, const int* D, const SolveAux& aux, long k) {
    return aux.slow[k + 1] != aux.slow[k] ? g / E[D[k]] : g * aux.rec[k];
}

// Forward step on one right-hand side. kFw rows go together over the columns they all store:
// kFw independent chains, enough to keep both fused-multiply-add pipes busy despite their
// latency; each row's chain keeps the increasing order of its own columns.
enum { kFw = 8 };

// The reciprocal of pivot d of row r for the backward step, as the dispatcher forms it for the
// many-column solve (aux.rec, aux.slow); nslow counts the rows before r whose reciprocal is not
// finite. Formed here, between the forward step's chains, the divisions cost next to nothing
// (a pass of their own was several percent of a band-50 solve).
inline void NoteReciprocal(double d, const SolveAux& aux, int r, int& nslow) {
    const double inv = 1.0 / d;
    const bool finite = inv - inv == 0.0;
    aux.rec[r] = finite ? inv : 0.0;
    nslow += finite ? 0 : 1;
    aux.slow[r + 1] = nslow;
}

int ForwardOne(const double* E, const int* D, int n, double* b, const SolveAux& aux) {
    if (E[0] == 0.0)
        return 0;
    b[0] = b[0] / E[0];
    int nslow = 0;
    aux.slow[0] = 0;
    NoteReciprocal(E[0], aux, 0, nslow);
    int i = 1;
    for (; i + kFw - 1 < n; i += kFw) {
        const double* row[kFw];
        int m[kFw];
        int kj = 0;
        double acc[kFw];
#pragma GCC unroll 8
        for (int q = 0; q < kFw; ++q) {
            m[q] = FirstCol(D, i + q);
            row[q] = E + D[i + q] - (i + q);
            kj = m[q] > kj ? m[q] : kj;
            acc[q] = 0.0;
        }
        kj = kj < i ? kj : i;
        for (int q = 0; q < kFw; ++q) {
            for (int k = m[q]; k < kj; ++k)
                acc[q] = Simd::Fmadd1(row[q][k], b[k], acc[q]);
        }
        // The next rows, stored right after these, are fetched a cache line per column: the
        // eight interleaved streams alone keep the memory too little busy.
        const long next = D[i + kFw - 1] + 1L - 8L * kj, last = D[n - 1];
        for (int k = kj; k < i; ++k) {
            const double bk = b[k];
            if (next + 8L * k <= last)
                __builtin_prefetch(E + next + 8L * k);
#pragma GCC unroll 8
            for (int q = 0; q < kFw; ++q)
                acc[q] = Simd::Fmadd1(row[q][k], bk, acc[q]);
        }
        for (int q = 0; q < kFw; ++q) {
            const int r = i + q;
            for (int k = m[q] > i ? m[q] : i; k < r; ++k)
                acc[q] = Simd::Fmadd1(row[q][k], b[k], acc[q]);
            b[r] = b[r] - acc[q];
            const double d = E[D[r]];
            if (d == 0.0)
                return 0;
            b[r] = b[r] / d;
            NoteReciprocal(d, aux, r, nslow);
        }
    }
    for (; i < n; ++i) {
        const double* row = E + D[i] - i;
        double acc = 0.0;
        for (int k = FirstCol(D, i); k < i; ++k)
            acc = Simd::Fmadd1(row[k], b[k], acc);
        b[i] = b[i] - acc;
        const double d = E[D[i]];
        if (d == 0.0)
            return 0;
        b[i] = b[i] / d;
        NoteReciprocal(d, aux, i, nslow);
    }
    return 1;
}

// Backward terms of row r, its x_r final: acc_k += l_rk x_r for the columns k it stores.
inline void BackRow(const double* E, const int* D, int r, double x, const SolveAux& aux,
                    double* acc) {
    const int m = FirstCol(D, r);
    const double* g = E + D[r] - r;
    if (aux.slow[r] != aux.slow[m]) {
        for (int k = m; k < r; ++k)
            acc[k] = Simd::Fmadd1(ScaleOne(g[k], E, D, aux, k), x, acc[k]);
        return;
    }
    const typename Simd::V xv = Simd::Set1(x);
    int k = m;
    for (; k + Simd::W <= r; k += Simd::W) {
        const typename Simd::V l = Simd::Mul(Simd::Load(g + k), Simd::Load(aux.rec + k));
        Simd::Store(acc + k, Simd::Fmadd(l, xv, Simd::Load(acc + k)));
    }
    for (; k < r; ++k)
        acc[k] = Simd::Fmadd1(g[k] * aux.rec[k], x, acc[k]);
}

// acc_k += l_qk x_q, row q's term of column k (its reciprocal known to be finite).
inline void BackTerm(const double* g, double x, const SolveAux& aux, double* acc, int k) {
    acc[k] = Simd::Fmadd1(g[k] * aux.rec[k], x, acc[k]);
}

int SolveImpl(const double* E, const int* D, int n, double* b, const SolveAux& aux) {
    if (!ForwardOne(E, D, n, b, aux))
        return 0;
    // Backward by rows of the profile: once x_r is final, row r adds its terms to the sums of
    // the columns it stores, so the rows are met in decreasing order by every column. Four
    // rows r, r-1, r-2, r-3 go together: the triangle of their own columns first, term by term
    // in decreasing row, then each column below, where every row that stores it adds its term
    // in decreasing row (the parts stored by some of the four row by row, the part all four
    // store in one pass that reads and writes the sums once).
    double* acc = aux.acc;
    for (int i = 0; i < n; ++i)
        acc[i] = 0.0;
    int r = n - 1;
    for (; r >= 3; r -= 4) {
        const double* g[4];
        int m[4];
        int mlo = r, mhi = 0;
        for (int q = 0; q < 4; ++q) {
            m[q] = FirstCol(D, r - q);
            g[q] = E + D[r - q] - (r - q);
            mlo = m[q] < mlo ? m[q] : mlo;
            mhi = m[q] > mhi ? m[q] : mhi;
        }
        double x[4];
        if (aux.slow[r] != aux.slow[mlo]) {  // a subnormal pivot among the columns: row by row
            for (int q = 0; q < 4; ++q) {
                x[q] = b[r - q] - acc[r - q];
                b[r - q] = x[q];
                BackRow(E, D, r - q, x[q], aux, acc);
            }
            continue;
        }
        for (int q = 0; q < 4; ++q) {
            const int c = r - q;  // column c takes the terms of rows r .. c+1, then is final
            for (int p = 0; p < q; ++p) {
                if (m[p] <= c)
                    BackTerm(g[p], x[p], aux, acc, c);
            }
            x[q] = b[c] - acc[c];
            b[c] = x[q];
        }
        const int top = r - 3;                 // columns below the four rows' own
        const int kc = mhi < top ? mhi : top;  // from kc on, all four store the column
        for (int q = 0; q < 4; ++q) {
            for (int k = m[q]; k < kc; ++k)
                BackTerm(g[q], x[q], aux, acc, k);
        }
        // The four rows before these end where these begin: fetched meanwhile, since rows are
        // met downwards and the processor's own prefetch does not foresee it.
        const long here = D[top] - top + m[3];
        const long ahead = here - (D[r] + 1 - here) - 4L * kc;
        const typename Simd::V x0 = Simd::Set1(x[0]), x1 = Simd::Set1(x[1]);
        const typename Simd::V x2 = Simd::Set1(x[2]), x3 = Simd::Set1(x[3]);
        int k = kc;
        for (; k + Simd::W <= top; k += Simd::W) {
            for (int p = 0; p < Simd::W / 2; ++p) {
                if (ahead + 4L * k + 8 * p >= 0)
                    __builtin_prefetch(E + ahead + 4L * k + 8 * p);
            }
            const typename Simd::V rv = Simd::Load(aux.rec + k);
            typename Simd::V a = Simd::Load(acc + k);
            a = Simd::Fmadd(Simd::Mul(Simd::Load(g[0] + k), rv), x0, a);
            a = Simd::Fmadd(Simd::Mul(Simd::Load(g[1] + k), rv), x1, a);
            a = Simd::Fmadd(Simd::Mul(Simd::Load(g[2] + k), rv), x2, a);
            a = Simd::Fmadd(Simd::Mul(Simd::Load(g[3] + k), rv), x3, a);
            Simd::Store(acc + k, a);
        }
        for (; k < top; ++k) {
            for (int q = 0; q < 4; ++q)
                BackTerm(g[q], x[q], aux, acc, k);
        }
    }
    for (; r >= 0; --r) {
        const double x = b[r] - acc[r];
        b[r] = x;
        BackRow(E, D, r, x, aux, acc);
    }
    return 1;
}

// acc += l_ri x_r over the rows r = last .. i+1 that store column i, l_ri = g_ri / d_i
// (kDivide, scale = d_i) or g_ri * (1 / d_i) (scale = the reciprocal).
template <int NV, bool kDivide>
inline void ColumnTerms(const double* E, const int* D, double* const* rows, int col, int i,
                        int last, double scale, typename Simd::V* acc) {
    for (int r = last; r > i; --r) {
        if (FirstCol(D, r) > i)
            continue;
        const double g = E[D[r] - (r - i)];
        const typename Simd::V l = Simd::Set1(kDivide ? g / scale : g * scale);
        const double* br = rows[r] + col;
        for (int v = 0; v < NV; ++v)
            acc[v] = Simd::Fmadd(l, Simd::Load(br + v * Simd::W), acc[v]);
    }
}

// NV vectors of right-hand-side columns at once: forward by rows, backward by columns of the
// profile (the carried last row that reaches column i, then the rows upwards).
template <int NV>
void SolveChunk(const double* E, const int* D, int n, double* const* rows, int col,
                const SolveAux& aux) {
    for (int i = 0; i < n; ++i) {
        typename Simd::V acc[NV];
        double* bi = rows[i] + col;
        for (int v = 0; v < NV; ++v)
            acc[v] = Simd::Zero();
        const double* row = E + D[i] - i;
        for (int k = FirstCol(D, i); k < i; ++k) {
            const typename Simd::V g = Simd::Set1(row[k]);
            const double* bk = rows[k] + col;
            for (int v = 0; v < NV; ++v)
                acc[v] = Simd::Fmadd(g, Simd::Load(bk + v * Simd::W), acc[v]);
        }
        const typename Simd::V d = Simd::Set1(E[D[i]]);
        for (int v = 0; v < NV; ++v)
            Simd::Store(bi + v * Simd::W,
                        Simd::Div(Simd::Sub(Simd::Load(bi + v * Simd::W), acc[v]), d));
    }
    int last = n - 1;
    for (int i = n - 2; i >= 0; --i) {
        while (last > i && FirstCol(D, last) > i)
            --last;
        typename Simd::V acc[NV];
        for (int v = 0; v < NV; ++v)
            acc[v] = Simd::Zero();
        if (aux.slow[i + 1] != aux.slow[i])
            ColumnTerms<NV, true>(E, D, rows, col, i, last, E[D[i]], acc);
        else
            ColumnTerms<NV, false>(E, D, rows, col, i, last, aux.rec[i], acc);
        double* bi = rows[i] + col;
        for (int v = 0; v < NV; ++v)
            Simd::Store(bi + v * Simd::W, Simd::Sub(Simd::Load(bi + v * Simd::W), acc[v]));
    }
}

int SolveColumnsImpl(const double* E, const int* D, int n, double* const* rows, int col, int width,
                     const SolveAux& aux) {
    int done = 0;
    while (width - done >= 4 * Simd::W) {
        SolveChunk<4>(E, D, n, rows, col + done, aux);
        done += 4 * Simd::W;
    }
    if (width - done >= 2 * Simd::W) {
        SolveChunk<2>(E, D, n, rows, col + done, aux);
        done += 2 * Simd::W;
    }
    if (width - done >= Simd::W) {
        SolveChunk<1>(E, D, n, rows, col + done, aux);
        done += Simd::W;
    }
    return done;
}

}  // namespace
