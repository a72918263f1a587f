// Internal to the library: the blocked skyline LDLT kernel, written once over a vector type.
//
// Included inside an instruction-set namespace by SkylineKernelBaseline.cpp and
// SkylineKernelAvx2.cpp after they define
//   struct Simd { typedef ... V; enum { W = lanes }; Load, Store, Set1, Zero, Fnmadd (c - a*b),
//                 Fmadd (c + a*b), Mul, Div, Add, Sub, Sum (horizontal) };
//   enum { kMR, kNR, kBlockRows };  // register tile rows (a multiple of W and of kNR), tile
//                                   // columns, rows per block (a multiple of kMR)
// It includes no header and uses no template of the standard library: every function it
// defines is compiled for the including unit's instruction set, and nothing of it may be
// shared with code compiled for another one.
//
// Method. Row i of the factor satisfies, for m_i < j <= i,
//   g_ij = a_ij - sum_{k = max(m_i, m_j)}^{j-1} l_ik g_jk,   l_ik = g_ik / d_k,
// the literal recurrence with the division taken once per (i, k) instead of once per term.
// A block of kBlockRows consecutive rows is copied into a column-major window X (strips of kMR
// rows, each strip stored column by column) with a twin window L for the l values; zeros pad
// every position outside the profile, so a padded position adds exactly 0 to every sum. The
// columns of the window are then finished in panels of kNR: the panel's earlier rows j are
// packed (k-major) once and a register tile of kMR x kNR is updated from the strip's l values
// (a small matrix product, where all the time goes), then the triangle inside the panel is
// finished column by column and the new l values are formed. Rows of the block itself serve as
// the rows j of the panels that lie on the block's diagonal.

namespace {

inline int FirstCol(const int* D, int i) {
    return i == 0 ? 0 : i + 1 - (D[i] - D[i - 1]);
}
inline int MinInt(int a, int b) {
    return a < b ? a : b;
}
inline int MaxInt(int a, int b) {
    return a > b ? a : b;
}
inline long RoundUp(long v, long m) {
    return (v + m - 1) / m * m;
}

// Rows per block: the block's two windows should stay within the core's second-level cache
// (about 400 KB of the 512 KB found on current x86 cores) so that the strips streamed by the
// tile kernel come from there; never fewer than one strip.
inline int BlockRows(int band) {
    const long budget = 400L * 1024 / (2 * 8);  // doubles per window
    long rows = kBlockRows;
    while (rows > kMR && rows * (rows + band + 2 * kNR) > budget)
        rows -= kMR;
    return static_cast<int>(rows);
}

inline int MaxHeight(const int* D, int n) {
    int h = 1;
    for (int i = 1; i < n; ++i)
        h = MaxInt(h, D[i] - D[i - 1]);
    return h;
}

enum ColKind { kNormal = 0, kDiagonal = 1, kBeyond = 2 };

// What the tile needs to know of the panel's columns j = j0 + w.
struct Panel {
    const double* t[kNR];  // coefficients g_{j, j0+w'} of the triangle: t[w][w' * ts[w]]
    long ts[kNR];
    double d[kNR];    // pivot d_j
    double s[kNR];    // 1 / d_j, or 0 for a zero pivot (rows reaching it fail anyway)
    int divide[kNR];  // 1 when 1 / d_j is not finite (subnormal or NaN pivot): divide instead
};

// The scale that turns g into l. A zero pivot gives 0 so that padded positions stay 0; the
// rows that really reach a zero pivot are detected afterwards and redone the literal way.
inline void SetPivot(Panel& p, int w, double d) {
    p.d[w] = d;
    p.divide[w] = 0;
    if (d == 0.0) {
        p.s[w] = 0.0;
        return;
    }
    const double inv = 1.0 / d;
    if (inv - inv == 0.0) {
        p.s[w] = inv;
    } else {
        p.s[w] = 0.0;
        p.divide[w] = 1;
    }
}

// One kMR x kNR tile: x (the strip's X columns j0 .. j0+kNR-1) -= a * b^T over K columns,
// a = the strip's l values (k-major, kMR per column), b = the packed panel (k-major, kNR per
// column); then the panel's triangle and the l values. kind[w] says whether column w is an
// ordinary column, the diagonal column of the row in lane lane[w] of this strip (its pivot is
// produced here, lanes above it hold no element of this column), or lies beyond every row of
// the strip.
void Tile(const double* a, const double* b, long K, double* x, double* l, Panel& p, const int* kind,
          const int* lane) {
    enum { NV = kMR / Simd::W };
    typename Simd::V acc[kNR][NV];
#pragma GCC unroll 16
    for (int w = 0; w < kNR; ++w) {
#pragma GCC unroll 16
        for (int v = 0; v < NV; ++v)
            acc[w][v] = Simd::Load(x + w * kMR + v * Simd::W);
    }
    for (long k = 0; k < K; ++k) {
        typename Simd::V av[NV];
#pragma GCC unroll 16
        for (int v = 0; v < NV; ++v)
            av[v] = Simd::Load(a + v * Simd::W);
#pragma GCC unroll 16
        for (int w = 0; w < kNR; ++w) {
            const typename Simd::V bw = Simd::Set1(b[w]);
#pragma GCC unroll 16
            for (int v = 0; v < NV; ++v)
                acc[w][v] = Simd::Fnmadd(av[v], bw, acc[w][v]);
        }
        a += kMR;
        b += kNR;
    }
#pragma GCC unroll 16
    for (int w = 0; w < kNR; ++w) {
#pragma GCC unroll 16
        for (int v = 0; v < NV; ++v)
            Simd::Store(x + w * kMR + v * Simd::W, acc[w][v]);
    }
    for (int w = 0; w < kNR; ++w) {
        double* xc = x + w * kMR;
        double* lc = l + w * kMR;
        if (kind[w] == kBeyond) {
            for (int r = 0; r < kMR; ++r)
                xc[r] = lc[r] = 0.0;
            continue;
        }
        typename Simd::V c[NV];
        for (int v = 0; v < NV; ++v)
            c[v] = Simd::Load(xc + v * Simd::W);
        for (int w2 = 0; w2 < w; ++w2) {
            const typename Simd::V cb = Simd::Set1(p.t[w][w2 * p.ts[w]]);
            const double* l2 = l + w2 * kMR;
            for (int v = 0; v < NV; ++v)
                c[v] = Simd::Fnmadd(Simd::Load(l2 + v * Simd::W), cb, c[v]);
        }
        for (int v = 0; v < NV; ++v)
            Simd::Store(xc + v * Simd::W, c[v]);
        if (kind[w] == kDiagonal) {
            // Lanes above the diagonal row hold rows that end before this column.
            for (int r = 0; r < lane[w]; ++r)
                xc[r] = 0.0;
            SetPivot(p, w, xc[lane[w]]);
            for (int v = 0; v < NV; ++v)
                c[v] = Simd::Load(xc + v * Simd::W);
        }
        if (p.divide[w]) {
            const typename Simd::V dv = Simd::Set1(p.d[w]);
            for (int v = 0; v < NV; ++v)
                Simd::Store(lc + v * Simd::W, Simd::Div(c[v], dv));
        } else {
            const typename Simd::V sv = Simd::Set1(p.s[w]);
            for (int v = 0; v < NV; ++v)
                Simd::Store(lc + v * Simd::W, Simd::Mul(c[v], sv));
        }
    }
}

// Scratch layout of one factorisation.
struct Work {
    int rows;      // rows per block
    long cols;     // window columns
    double* x;     // rows x cols
    double* l;     // rows x cols
    double* bp;    // cols x kNR packed panel
    double* tp;    // kNR x kNR triangle of a panel of earlier rows
    double* zero;  // kNR zeros
};

inline Work Layout(const int* D, int n, double* base) {
    Work wk;
    const int band = MaxHeight(D, n);
    wk.rows = BlockRows(band);
    wk.cols = RoundUp(static_cast<long>(wk.rows) + band + 2 * kNR, kNR);
    wk.x = base;
    wk.l = wk.x + static_cast<long>(wk.rows) * wk.cols;
    wk.bp = wk.l + static_cast<long>(wk.rows) * wk.cols;
    wk.tp = wk.bp + wk.cols * kNR;
    wk.zero = wk.tp + kNR * kNR;
    return wk;
}

std::size_t FactorScratchImpl(const int* D, int n) {
    const Work wk = Layout(D, n, nullptr);
    return static_cast<std::size_t>(2L * wk.rows * wk.cols + wk.cols * kNR + kNR * kNR + kNR);
}

// Factorises rows i0 .. i1-1 into the window (nothing is written to E). c0a is the window's
// first column, wd its width; the panels are aligned so that one starts at i0.
void FactorBlock(const double* E, const int* D, int i0, int i1, long c0a, long wd, Work& wk) {
    const int nrows = i1 - i0;
    const int strips = (nrows + kMR - 1) / kMR;
    const long stripLen = wd * kMR;
    double* X = wk.x;
    double* L = wk.l;
    for (long q = 0; q < strips * stripLen; ++q)
        X[q] = L[q] = 0.0;

    int stripFirst[(kBlockRows + kMR - 1) / kMR];
    for (int s = 0; s < strips; ++s)
        stripFirst[s] = 0x7fffffff;
    for (int r = 0; r < nrows; ++r) {
        const int i = i0 + r;
        const int m = FirstCol(D, i);
        const double* row = E + D[i] - i;
        double* dst = X + (r / kMR) * stripLen + r % kMR;
        for (int k = m; k <= i; ++k)
            dst[(k - c0a) * kMR] = row[k];
        stripFirst[r / kMR] = MinInt(stripFirst[r / kMR], m);
    }

    Panel p;
    int kind[kNR];
    int lane[kNR];
    for (int w = 0; w < kNR; ++w) {
        kind[w] = kNormal;
        lane[w] = 0;
    }
    for (long j0 = c0a; j0 < i1; j0 += kNR) {
        const long jc = j0 - c0a;
        const bool onDiagonal = j0 >= i0;
        // Lowest column any row of the panel stores.
        long mJ = j0;
        for (int w = 0; w < kNR; ++w) {
            const long j = j0 + w;
            if (j >= 0 && j < i1)
                mJ = MinInt(static_cast<int>(mJ), FirstCol(D, static_cast<int>(j)));
        }
        const long kst = MaxInt(static_cast<int>(mJ), static_cast<int>(c0a));
        double* bp = wk.bp;
        for (int w = 0; w < kNR; ++w) {
            const long j = j0 + w;
            if (j < 0 || j >= i1) {
                for (long k = kst; k < j0; ++k)
                    bp[(k - kst) * kNR + w] = 0.0;
                p.t[w] = wk.zero;
                p.ts[w] = 1;
                SetPivot(p, w, 0.0);
                continue;
            }
            if (!onDiagonal) {
                const int m = FirstCol(D, static_cast<int>(j));
                const double* row = E + D[j] - j;
                long k = kst;
                for (; k < m && k < j0; ++k)
                    bp[(k - kst) * kNR + w] = 0.0;
                for (; k < j0; ++k)
                    bp[(k - kst) * kNR + w] = row[k];
                double* t = wk.tp + w * kNR;
                for (int w2 = 0; w2 < w; ++w2)
                    t[w2] = j0 + w2 >= m ? row[j0 + w2] : 0.0;
                p.t[w] = t;
                p.ts[w] = 1;
                SetPivot(p, w, E[D[j]]);
            } else {
                const long r = j - i0;
                const double* xr = X + (r / kMR) * stripLen + r % kMR;
                for (long k = kst; k < j0; ++k)
                    bp[(k - kst) * kNR + w] = xr[(k - c0a) * kMR];
                p.t[w] = xr + jc * kMR;
                p.ts[w] = kMR;
                // The pivot comes from the strip that holds row j, earlier in the loop below.
            }
        }
        const int firstStrip = onDiagonal ? static_cast<int>((j0 - i0) / kMR) : 0;
        for (int s = firstStrip; s < strips; ++s) {
            if (stripFirst[s] > j0 + kNR - 1)
                continue;  // no row of the strip reaches the panel
            if (onDiagonal) {
                for (int w = 0; w < kNR; ++w) {
                    const long j = j0 + w;
                    const long sj = (j - i0) / kMR;
                    if (j >= i1 || sj > s) {
                        kind[w] = kBeyond;
                    } else if (sj == s) {
                        kind[w] = kDiagonal;
                        lane[w] = static_cast<int>((j - i0) % kMR);
                    } else {
                        kind[w] = kNormal;
                    }
                }
            }
            long ks = MaxInt(static_cast<int>(kst), stripFirst[s]);
            if (ks > j0)
                ks = j0;
            double* xs = X + s * stripLen;
            double* ls = L + s * stripLen;
            Tile(ls + (ks - c0a) * kMR, bp + (ks - kst) * kNR, j0 - ks, xs + jc * kMR,
                 ls + jc * kMR, p, kind, lane);
        }
        if (onDiagonal) {
            for (int w = 0; w < kNR; ++w)
                kind[w] = kNormal;
        }
    }
}

int FactorImpl(double* E, const int* D, int n, double* scratch) {
    Work wk = Layout(D, n, scratch);
    for (int w = 0; w < kNR; ++w)
        wk.zero[w] = 0.0;
    // Largest index of a zero pivot among the finished rows: a later row whose profile reaches
    // it fails, exactly where the literal recurrence would divide by it.
    int lastZero = E[0] == 0.0 ? 0 : -1;
    int i0 = 1;
    while (i0 < n) {
        const int i1 = MinInt(n, i0 + wk.rows);
        int first = i1;
        for (int i = i0; i < i1; ++i)
            first = MinInt(first, FirstCol(D, i));
        const long c0a = i0 - RoundUp(i0 - first, kNR);
        const long wd = RoundUp(i1 - c0a, kNR);
        FactorBlock(E, D, i0, i1, c0a, wd, wk);

        // Rows that reach a zero pivot (before or inside the block) were computed with a zero
        // l there and are discarded from the first of them on.
        const long stripLen = wd * kMR;
        int done = i1;
        for (int i = i0; i < i1; ++i) {
            const int r = i - i0;
            const double* xr = wk.x + (r / kMR) * stripLen + r % kMR;
            if (lastZero >= FirstCol(D, i)) {
                done = i;
                break;
            }
            if (xr[(i - c0a) * kMR] == 0.0)
                lastZero = i;
        }
        for (int i = i0; i < done; ++i) {
            const int r = i - i0;
            const double* xr = wk.x + (r / kMR) * stripLen + r % kMR;
            double* row = E + D[i] - i;
            for (int k = FirstCol(D, i); k <= i; ++k)
                row[k] = xr[(k - c0a) * kMR];
        }
        if (done < i1)
            return done;
        i0 = i1;
    }
    return -1;
}

double Dot(const double* a, const double* b, long len) {
    typename Simd::V s0 = Simd::Zero(), s1 = Simd::Zero(), s2 = Simd::Zero(), s3 = Simd::Zero();
    long k = 0;
    for (; k + 4 * Simd::W <= len; k += 4 * Simd::W) {
        s0 = Simd::Fmadd(Simd::Load(a + k), Simd::Load(b + k), s0);
        s1 = Simd::Fmadd(Simd::Load(a + k + Simd::W), Simd::Load(b + k + Simd::W), s1);
        s2 = Simd::Fmadd(Simd::Load(a + k + 2 * Simd::W), Simd::Load(b + k + 2 * Simd::W), s2);
        s3 = Simd::Fmadd(Simd::Load(a + k + 3 * Simd::W), Simd::Load(b + k + 3 * Simd::W), s3);
    }
    for (; k + Simd::W <= len; k += Simd::W)
        s0 = Simd::Fmadd(Simd::Load(a + k), Simd::Load(b + k), s0);
    double s = Simd::Sum(Simd::Add(Simd::Add(s0, s1), Simd::Add(s2, s3)));
    for (; k < len; ++k)
        s += a[k] * b[k];
    return s;
}

// y[k] -= x * a[k]
void Axpy(double* y, const double* a, double x, long len) {
    const typename Simd::V xv = Simd::Set1(x);
    long k = 0;
    for (; k + 2 * Simd::W <= len; k += 2 * Simd::W) {
        Simd::Store(y + k, Simd::Fnmadd(xv, Simd::Load(a + k), Simd::Load(y + k)));
        Simd::Store(y + k + Simd::W,
                    Simd::Fnmadd(xv, Simd::Load(a + k + Simd::W), Simd::Load(y + k + Simd::W)));
    }
    for (; k < len; ++k)
        y[k] -= x * a[k];
}

int SolveImpl(const double* E, const int* D, int n, double* b) {
    if (E[0] == 0.0)
        return 0;
    b[0] = b[0] / E[0];
    for (int i = 1; i < n; ++i) {
        const int m = FirstCol(D, i);
        b[i] -= Dot(E + D[i] - (i - m), b + m, i - m);
        const double d = E[D[i]];
        if (d == 0.0)
            return 0;
        b[i] /= d;
    }
    // Backward in column form over the stored rows: with w = D y the system G^T x = w (G the
    // stored factor, pivots on its diagonal) is solved row by row of G, each row a contiguous
    // update, instead of walking the columns of the profile.
    for (int i = 0; i < n; ++i)
        b[i] *= E[D[i]];
    for (int r = n - 1; r >= 0; --r) {
        const double x = b[r] / E[D[r]];
        b[r] = x;
        const int m = FirstCol(D, r);
        Axpy(b + m, E + D[r] - (r - m), x, r - m);
    }
    return 1;
}

// NV vectors of right-hand-side columns at once, in the literal order of rows: forward by
// rows, backward by columns of the profile (the carried last row that reaches column i).
template <int NV>
void SolveChunk(const double* E, const int* D, int n, double* const* rows, int col) {
    for (int i = 0; i < n; ++i) {
        typename Simd::V acc[NV];
        double* bi = rows[i] + col;
        for (int v = 0; v < NV; ++v)
            acc[v] = Simd::Load(bi + v * Simd::W);
        const double* row = E + D[i] - i;
        for (int k = FirstCol(D, i); k < i; ++k) {
            const typename Simd::V g = Simd::Set1(row[k]);
            const double* bk = rows[k] + col;
            for (int v = 0; v < NV; ++v)
                acc[v] = Simd::Fnmadd(g, Simd::Load(bk + v * Simd::W), acc[v]);
        }
        const typename Simd::V d = Simd::Set1(E[D[i]]);
        for (int v = 0; v < NV; ++v)
            Simd::Store(bi + v * Simd::W, Simd::Div(acc[v], d));
    }
    int last = n - 1;
    for (int i = n - 2; i >= 0; --i) {
        while (last > i && FirstCol(D, last) > i)
            --last;
        typename Simd::V acc[NV];
        for (int v = 0; v < NV; ++v)
            acc[v] = Simd::Zero();
        for (int r = i + 1; r <= last; ++r) {
            if (FirstCol(D, r) > i)
                continue;
            const typename Simd::V g = Simd::Set1(E[D[r] - (r - i)]);
            const double* br = rows[r] + col;
            for (int v = 0; v < NV; ++v)
                acc[v] = Simd::Fmadd(g, Simd::Load(br + v * Simd::W), acc[v]);
        }
        const typename Simd::V d = Simd::Set1(E[D[i]]);
        double* bi = rows[i] + col;
        for (int v = 0; v < NV; ++v)
            Simd::Store(bi + v * Simd::W,
                        Simd::Sub(Simd::Load(bi + v * Simd::W), Simd::Div(acc[v], d)));
    }
}

int SolveColumnsImpl(const double* E, const int* D, int n, double* const* rows, int col,
                     int width) {
    int done = 0;
    while (width - done >= 4 * Simd::W) {
        SolveChunk<4>(E, D, n, rows, col + done);
        done += 4 * Simd::W;
    }
    if (width - done >= 2 * Simd::W) {
        SolveChunk<2>(E, D, n, rows, col + done);
        done += 2 * Simd::W;
    }
    if (width - done >= Simd::W) {
        SolveChunk<1>(E, D, n, rows, col + done);
        done += Simd::W;
    }
    return done;
}

}  // namespace
