// Time to solution (ordering + factorisation + solve, one right-hand side, one thread) of the
// skyline LDLT with each node ordering, against the sparse direct solvers a user would pick
// instead: CHOLMOD supernodal with its default ordering, Eigen's SimplicialLDLT with AMD, and
// OpenBLAS dpbtrf / dpbtrs on the band of the reverse Cuthill-McKee numbering. Every anchor is
// optional and compiled in only when found. All contenders run on the same assembled matrix
// inside one benchmark, so the ratios hold on a noisy shared machine; times are thread CPU
// times.
//
// Matrices: 5-point grids 200^2 and 400^2, a 7-point grid 20 x 20 x 50, foundation grillages of
// 60 x 60 and 120 x 120 bays on piles (three unknowns per node: deflection and the two slopes,
// each bay split into two beam elements, nodes generated line by line as a plan is read), and a
// space frame with six unknowns per node (nodes generated storey by storey).
//
// Flops are 2 * sum_j c_j (c_j + 1) / 2 over the columns of the factor, c_j its entries below
// the diagonal, for every method but CHOLMOD, which reports its own count (Common->fl, with the
// zeros its supernodes carry). The residual is |A x - b|_inf / |b|_inf in the original
// numbering.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineNumbering.h"

#ifdef RVN_BENCH_HAVE_OPENBLAS
extern "C" {
void dpbtrf_(const char* uplo, const int* n, const int* kd, double* ab, const int* ldab, int* info);
void dpbtrs_(const char* uplo, const int* n, const int* kd, const int* nrhs, const double* ab,
             const int* ldab, double* b, const int* ldb, int* info);
void openblas_set_num_threads(int);
}
#endif

#ifdef RVN_BENCH_HAVE_EIGEN
#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#endif

#ifdef RVN_BENCH_HAVE_CHOLMOD
#include <cholmod.h>
#endif

namespace {

double Now() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

struct Triplet {
    int i, j;  // i >= j, original numbering
    double v;
};

// An assembled model: its couplings, the lower triangle as triplets (duplicates add up) and a
// load vector, all in the original numbering.
struct Model {
    std::string name;
    rvn::CouplingGraph graph{0, 0};
    int n = 0;
    std::vector<Triplet> lower;
    std::vector<double> b;

    void Add(int i, int j, double v) {
        if (i < j)
            std::swap(i, j);
        lower.push_back({i, j, v});
    }
    // Product with the full symmetric matrix.
    std::vector<double> Times(const std::vector<double>& x) const {
        std::vector<double> y(static_cast<size_t>(n), 0.0);
        for (const Triplet& t : lower) {
            y[static_cast<size_t>(t.i)] += t.v * x[static_cast<size_t>(t.j)];
            if (t.i != t.j)
                y[static_cast<size_t>(t.j)] += t.v * x[static_cast<size_t>(t.i)];
        }
        return y;
    }
    double Residual(const std::vector<double>& x) const {
        const std::vector<double> ax = Times(x);
        double r = 0.0, s = 0.0;
        for (int k = 0; k < n; ++k) {
            r = std::max(r, std::fabs(ax[static_cast<size_t>(k)] - b[static_cast<size_t>(k)]));
            s = std::max(s, std::fabs(b[static_cast<size_t>(k)]));
        }
        return r / s;
    }
};

// ---------------------------------------------------------------------------------------------
// Models

Model Grid(const char* name, int nx, int ny, int nz) {
    Model m;
    m.name = name;
    m.n = nx * ny * nz;
    m.graph = rvn::CouplingGraph(m.n, 1);
    const double diag = nz > 1 ? 6.0 : 4.0;
    auto at = [&](int x, int y, int z) { return x + nx * (y + ny * z); };
    for (int z = 0; z < nz; ++z)
        for (int y = 0; y < ny; ++y)
            for (int x = 0; x < nx; ++x) {
                const int v = at(x, y, z);
                m.Add(v, v, diag);
                const int nb[3] = {x > 0 ? at(x - 1, y, z) : -1, y > 0 ? at(x, y - 1, z) : -1,
                                   z > 0 ? at(x, y, z - 1) : -1};
                for (int w : nb)
                    if (w >= 0) {
                        m.Add(v, w, -1.0);
                        m.graph.AddCoupling(v, w);
                    }
            }
    m.b.assign(static_cast<size_t>(m.n), 1.0);
    return m;
}

// Grillage of bays x bays square bays (4 m, two elements each) on a pile under every beam
// crossing; concrete C30 beams 0.4 x 0.8 m. Unknowns per node: w, dw/dx, dw/dy. Nodes are
// generated as a plan is read: every line along x with all its nodes, then the inner nodes of
// the lines along y, which is what makes the order of input so poor for a skyline.
Model Grillage(const char* name, int bays) {
    Model m;
    m.name = name;
    const int lines = bays + 1, along = 2 * bays + 1;
    const int nNodes = lines * along + lines * bays;
    m.n = 3 * nNodes;
    m.graph = rvn::CouplingGraph(nNodes, 3);
    auto xNode = [&](int line, int k) { return line * along + k; };  // k = 0 .. 2 bays
    auto yNode = [&](int line, int k) {                              // k = 0 .. 2 bays
        return k % 2 == 0 ? xNode(k / 2, 2 * line) : lines * along + line * bays + k / 2;
    };
    const double E = 3.0e7, G = E / 2.4, bw = 0.4, h = 0.8, L = 2.0, kPile = 5.0e5;
    const double EI = E * bw * h * h * h / 12.0, GJ = G * 0.229 * bw * bw * bw * h;
    // Bending on (w, slope along the beam), torsion on the slope across it.
    auto beam = [&](int a, int c, int along_dof, int across_dof) {
        m.graph.AddCoupling(a, c);
        const double k[4][4] = {{12, 6 * L, -12, 6 * L},
                                {6 * L, 4 * L * L, -6 * L, 2 * L * L},
                                {-12, -6 * L, 12, -6 * L},
                                {6 * L, 2 * L * L, -6 * L, 4 * L * L}};
        const int ids[4] = {3 * a, 3 * a + along_dof, 3 * c, 3 * c + along_dof};
        for (int r = 0; r < 4; ++r)
            for (int s = 0; s <= r; ++s)
                m.Add(ids[r], ids[s], k[r][s] * EI / (L * L * L));
        m.Add(3 * a + across_dof, 3 * a + across_dof, GJ / L);
        m.Add(3 * c + across_dof, 3 * c + across_dof, GJ / L);
        m.Add(3 * c + across_dof, 3 * a + across_dof, -GJ / L);
    };
    for (int line = 0; line < lines; ++line)
        for (int k = 0; k + 1 < along; ++k) {
            beam(xNode(line, k), xNode(line, k + 1), 1, 2);
            beam(yNode(line, k), yNode(line, k + 1), 2, 1);
        }
    m.b.assign(static_cast<size_t>(m.n), 0.0);
    for (int i = 0; i < lines; ++i)
        for (int j = 0; j < lines; ++j) {
            const int v = xNode(i, 2 * j);
            m.Add(3 * v, 3 * v, kPile);
            m.b[static_cast<size_t>(3 * v)] = 100.0 + 10.0 * ((i * 7 + j * 3) % 5);
        }
    return m;
}

// A space frame: nx x ny bays of 6 m, storeys of 3.6 m, beams split into two elements,
// columns one element per storey, fixed at the base (the base nodes carry no unknowns).
// Unknowns per node: three displacements and three rotations. Nodes storey by storey.
Model Frame(const char* name, int nx, int ny, int storeys) {
    Model m;
    m.name = name;
    const int gx = 2 * nx + 1, gy = 2 * ny + 1;
    // Nodes of a floor: the (2nx+1) x (2ny+1) lattice minus the bay centres and the points that
    // lie on no beam (both coordinates odd).
    std::vector<int> floorIndex(static_cast<size_t>(gx * gy), -1);
    int perFloor = 0;
    for (int y = 0; y < gy; ++y)
        for (int x = 0; x < gx; ++x)
            if (x % 2 == 0 || y % 2 == 0)
                floorIndex[static_cast<size_t>(y * gx + x)] = perFloor++;
    const int nNodes = perFloor * (storeys + 1);
    std::vector<int> unknowns(static_cast<size_t>(nNodes), 6);
    std::fill(unknowns.begin(), unknowns.begin() + perFloor, 0);
    m.graph = rvn::CouplingGraph(unknowns);
    m.n = 6 * perFloor * storeys;
    auto node = [&](int s, int x, int y) {
        return s * perFloor + floorIndex[static_cast<size_t>(y * gx + x)];
    };
    auto dof = [&](int v, int j) { return 6 * (v - perFloor) + j; };  // base nodes have none
    const double E = 3.0e7, G = E / 2.4;
    struct Section {
        double A, Iy, Iz, J;
    };
    const auto rect = [](double b, double h) {
        const double a = std::max(b, h), c = std::min(b, h);
        return Section{
            b * h, b * h * h * h / 12.0, h * b * b * b / 12.0,
            a * c * c * c *
                (1.0 / 3.0 - 0.21 * c / a * (1.0 - c * c * c * c / (12.0 * a * a * a * a)))};
    };
    const Section column = rect(0.6, 0.6), beam = rect(0.3, 0.7);
    struct P3 {
        double x, y, z;
    };
    auto pos = [&](int s, int x, int y) { return P3{3.0 * x, 3.0 * y, 3.6 * s}; };
    // 12 x 12 stiffness of a prismatic member in local axes, rotated into global ones.
    auto member = [&](int a, int c, P3 pa, P3 pc, const Section& sec) {
        m.graph.AddCoupling(a, c);
        const double dx = pc.x - pa.x, dy = pc.y - pa.y, dz = pc.z - pa.z;
        const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
        double ex[3] = {dx / L, dy / L, dz / L}, ref[3] = {0, 0, 1};
        if (std::fabs(ex[2]) > 0.9) {
            ref[0] = 1;
            ref[2] = 0;
        }
        double ey[3] = {ref[1] * ex[2] - ref[2] * ex[1], ref[2] * ex[0] - ref[0] * ex[2],
                        ref[0] * ex[1] - ref[1] * ex[0]};
        const double ny = std::sqrt(ey[0] * ey[0] + ey[1] * ey[1] + ey[2] * ey[2]);
        for (double& e : ey)
            e /= ny;
        const double ez[3] = {ex[1] * ey[2] - ex[2] * ey[1], ex[2] * ey[0] - ex[0] * ey[2],
                              ex[0] * ey[1] - ex[1] * ey[0]};
        double k[12][12] = {};
        const double EA = E * sec.A / L, GJ = G * sec.J / L;
        const double bz = E * sec.Iz / (L * L * L), by = E * sec.Iy / (L * L * L);
        k[0][0] = k[6][6] = EA;
        k[0][6] = k[6][0] = -EA;
        k[3][3] = k[9][9] = GJ;
        k[3][9] = k[9][3] = -GJ;
        // Bending in the local x-y plane (v, theta_z) and x-z plane (w, theta_y).
        const auto bend = [&](int v1, int t1, int v2, int t2, double c0, double sgn) {
            const double kk[4][4] = {{12, sgn * 6 * L, -12, sgn * 6 * L},
                                     {sgn * 6 * L, 4 * L * L, -sgn * 6 * L, 2 * L * L},
                                     {-12, -sgn * 6 * L, 12, -sgn * 6 * L},
                                     {sgn * 6 * L, 2 * L * L, -sgn * 6 * L, 4 * L * L}};
            const int id[4] = {v1, t1, v2, t2};
            for (int r = 0; r < 4; ++r)
                for (int s = 0; s < 4; ++s)
                    k[id[r]][id[s]] += c0 * kk[r][s];
        };
        bend(1, 5, 7, 11, bz, 1.0);
        bend(2, 4, 8, 10, by, -1.0);
        // Global = T^T k T, T = diag(R, R, R, R), R rows ex, ey, ez.
        const double* R[3] = {ex, ey, ez};
        double kg[12][12] = {};
        for (int bi = 0; bi < 4; ++bi)
            for (int bj = 0; bj < 4; ++bj)
                for (int p = 0; p < 3; ++p)
                    for (int q = 0; q < 3; ++q) {
                        double s = 0.0;
                        for (int r = 0; r < 3; ++r)
                            for (int t = 0; t < 3; ++t)
                                s += R[r][p] * k[3 * bi + r][3 * bj + t] * R[t][q];
                        kg[3 * bi + p][3 * bj + q] = s;
                    }
        const int ends[2] = {a, c};
        for (int r = 0; r < 12; ++r)
            for (int s = 0; s <= r; ++s) {
                const int va = ends[r / 6], vb = ends[s / 6];
                if (va < perFloor || vb < perFloor)
                    continue;  // a fixed base node
                m.Add(dof(va, r % 6), dof(vb, s % 6), kg[r][s]);
            }
    };
    for (int s = 1; s <= storeys; ++s) {
        for (int y = 0; y < gy; y += 2)
            for (int x = 0; x < gx; x += 2)
                member(node(s - 1, x, y), node(s, x, y), pos(s - 1, x, y), pos(s, x, y), column);
        for (int y = 0; y < gy; ++y)
            for (int x = 0; x < gx; ++x) {
                if (y % 2 == 0 && x + 1 < gx)
                    member(node(s, x, y), node(s, x + 1, y), pos(s, x, y), pos(s, x + 1, y), beam);
                if (x % 2 == 0 && y + 1 < gy)
                    member(node(s, x, y), node(s, x, y + 1), pos(s, x, y), pos(s, x, y + 1), beam);
            }
    }
    m.b.assign(static_cast<size_t>(m.n), 0.0);
    for (int v = perFloor; v < nNodes; ++v) {
        m.b[static_cast<size_t>(dof(v, 0))] = 5.0;    // wind, kN
        m.b[static_cast<size_t>(dof(v, 2))] = -40.0;  // gravity, kN
    }
    return m;
}

// ---------------------------------------------------------------------------------------------
// Contenders. Each returns its phases (s), its flops and the solution in original numbering.

struct Run {
    double order = 0, factor = 0, solve = 0, flops = 0, residual = 0;
    long long profile = 0, band = 0;
    bool ok = false;
    double Total() const { return order + factor + solve; }
};

// Column counts of a profile: row i contributes to the columns m_i .. i-1.
double ProfileFlops(const std::vector<int>& D) {
    const size_t n = D.size();
    std::vector<long long> c(n + 1, 0);
    for (size_t i = 1; i < n; ++i) {
        const long long m = static_cast<long long>(i) + 1 - (D[i] - D[i - 1]);
        c[static_cast<size_t>(m)] += 1;
        c[i] -= 1;
    }
    double f = 0.0;
    long long run = 0;
    for (size_t j = 0; j < n; ++j) {
        run += c[j];
        f += static_cast<double>(run) * static_cast<double>(run + 1);
    }
    return f;
}

Run Ours(const Model& m, rvn::SkylineOrdering ordering, rvn::SkylineLayout* keep = nullptr) {
    Run r;
    double t0 = Now();
    rvn::SkylineLayout L = rvn::PlanSkyline(m.graph, ordering);
    r.order = Now() - t0;
    r.profile = L.profileAfter;
    r.band = L.bandAfter;
    if (L.status != rvn::SkylineStatus::Ok)
        return r;
    CSparseMatrix K(L.unknownCount, L.diag.data());
    K = 0.0;
    for (const Triplet& t : m.lower)
        K(L.newUnknown[static_cast<size_t>(t.i)], L.newUnknown[static_cast<size_t>(t.j)]) += t.v;
    std::vector<double> x(static_cast<size_t>(m.n));
    for (int k = 0; k < m.n; ++k)
        x[static_cast<size_t>(L.newUnknown[static_cast<size_t>(k)])] = m.b[static_cast<size_t>(k)];
    t0 = Now();
    const int ok = K.Decomposition(m.n);
    r.factor = Now() - t0;
    t0 = Now();
    r.ok = ok == 1 && K.LdltSolve(m.n, x.data()) == 1;
    r.solve = Now() - t0;
    std::vector<double> y(static_cast<size_t>(m.n));
    for (int k = 0; k < m.n; ++k)
        y[static_cast<size_t>(k)] = x[static_cast<size_t>(L.newUnknown[static_cast<size_t>(k)])];
    r.residual = m.Residual(y);
    r.flops = ProfileFlops(L.diag);
    if (keep)
        *keep = std::move(L);
    return r;
}

#ifdef RVN_BENCH_HAVE_OPENBLAS
// dpbtrf on the band of the reverse Cuthill-McKee numbering (the numbering meant for a band).
Run Band(const Model& m) {
    Run r;
    double t0 = Now();
    const rvn::SkylineLayout L =
        rvn::PlanSkyline(m.graph, rvn::SkylineOrdering::ReverseCuthillMcKee);
    r.order = Now() - t0;
    const int n = m.n, kd = static_cast<int>(L.bandAfter), ld = kd + 1;
    r.band = kd;
    r.profile = static_cast<long long>(ld) * n;
    // Upper band storage: entry (i, j), i <= j, at ab[j * ld + kd + i - j].
    std::vector<double> ab(static_cast<size_t>(ld) * static_cast<size_t>(n), 0.0);
    for (const Triplet& t : m.lower) {
        const int i = L.newUnknown[static_cast<size_t>(t.i)],
                  j = L.newUnknown[static_cast<size_t>(t.j)];
        const int lo = std::min(i, j), hi = std::max(i, j);
        ab[static_cast<size_t>(hi) * ld + static_cast<size_t>(kd + lo - hi)] += t.v;
    }
    std::vector<double> x(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        x[static_cast<size_t>(L.newUnknown[static_cast<size_t>(k)])] = m.b[static_cast<size_t>(k)];
    int info = 0, one = 1;
    t0 = Now();
    dpbtrf_("U", &n, &kd, ab.data(), &ld, &info);
    r.factor = Now() - t0;
    r.ok = info == 0;
    t0 = Now();
    if (r.ok)
        dpbtrs_("U", &n, &kd, &one, ab.data(), &ld, x.data(), &n, &info);
    r.solve = Now() - t0;
    std::vector<double> y(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        y[static_cast<size_t>(k)] = x[static_cast<size_t>(L.newUnknown[static_cast<size_t>(k)])];
    r.residual = m.Residual(y);
    for (int j = 0; j < n; ++j) {
        const double c = std::min(kd, n - 1 - j);
        r.flops += c * (c + 1);
    }
    return r;
}
#endif

#ifdef RVN_BENCH_HAVE_EIGEN
Run EigenAmd(const Model& m) {
    Run r;
    std::vector<Eigen::Triplet<double>> trip;
    trip.reserve(m.lower.size());
    for (const Triplet& t : m.lower)
        trip.emplace_back(t.i, t.j, t.v);
    Eigen::SparseMatrix<double> A(m.n, m.n);
    A.setFromTriplets(trip.begin(), trip.end());
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower, Eigen::AMDOrdering<int>> ldlt;
    double t0 = Now();
    ldlt.analyzePattern(A);
    r.order = Now() - t0;
    t0 = Now();
    ldlt.factorize(A);
    r.factor = Now() - t0;
    r.ok = ldlt.info() == Eigen::Success;
    const Eigen::Map<const Eigen::VectorXd> b(m.b.data(), m.n);
    t0 = Now();
    const Eigen::VectorXd x = ldlt.solve(b);
    r.solve = Now() - t0;
    r.residual = m.Residual(std::vector<double>(x.data(), x.data() + m.n));
    const auto& Lm = ldlt.matrixL().nestedExpression();
    for (int j = 0; j < m.n; ++j) {
        const double c = static_cast<double>(Lm.outerIndexPtr()[j + 1] - Lm.outerIndexPtr()[j]);
        r.flops += c * (c + 1);
        r.profile += static_cast<long long>(c) + 1;
    }
    return r;
}
#endif

#ifdef RVN_BENCH_HAVE_CHOLMOD
Run Cholmod(const Model& m) {
    Run r;
    cholmod_common c;
    cholmod_start(&c);
    c.supernodal = CHOLMOD_SUPERNODAL;
    cholmod_triplet* T = cholmod_allocate_triplet(
        static_cast<size_t>(m.n), static_cast<size_t>(m.n), m.lower.size(), -1, CHOLMOD_REAL, &c);
    for (const Triplet& t : m.lower) {
        static_cast<int*>(T->i)[T->nnz] = t.i;
        static_cast<int*>(T->j)[T->nnz] = t.j;
        static_cast<double*>(T->x)[T->nnz] = t.v;
        ++T->nnz;
    }
    cholmod_sparse* A = cholmod_triplet_to_sparse(T, m.lower.size(), &c);
    cholmod_free_triplet(&T, &c);
    cholmod_dense* B = cholmod_zeros(static_cast<size_t>(m.n), 1, CHOLMOD_REAL, &c);
    std::copy(m.b.begin(), m.b.end(), static_cast<double*>(B->x));
    double t0 = Now();
    cholmod_factor* L = cholmod_analyze(A, &c);
    r.order = Now() - t0;
    r.flops = c.fl;
    r.profile = static_cast<long long>(c.lnz);
    t0 = Now();
    cholmod_factorize(A, L, &c);
    r.factor = Now() - t0;
    r.ok = c.status == CHOLMOD_OK;
    t0 = Now();
    cholmod_dense* X = cholmod_solve(CHOLMOD_A, L, B, &c);
    r.solve = Now() - t0;
    const double* xs = static_cast<const double*>(X->x);
    r.residual = m.Residual(std::vector<double>(xs, xs + m.n));
    cholmod_free_dense(&X, &c);
    cholmod_free_dense(&B, &c);
    cholmod_free_factor(&L, &c);
    cholmod_free_sparse(&A, &c);
    cholmod_finish(&c);
    return r;
}
#endif

void Print(const char* model, const char* who, const Run& r, double ref) {
    std::fprintf(stderr,
                 "%-14s %-24s order %8.4f  factor %8.4f  solve %7.4f  total %8.4f  x%5.2f  "
                 "Gflop %8.3f  stored %11lld  band %6lld  resid %.1e%s\n",
                 model, who, r.order, r.factor, r.solve, r.Total(), r.Total() / ref, r.flops * 1e-9,
                 r.profile, r.band, r.residual, r.ok ? "" : "  FAILED");
}

void TimeToSolution(benchmark::State& st, const std::function<Model()>& make) {
    const Model m = make();
    for (auto _ : st) {
        rvn::SkylineLayout given;
        const Run rcm = Ours(m, rvn::SkylineOrdering::ReverseCuthillMcKee);
        const Run sloan = Ours(m, rvn::SkylineOrdering::Sloan);
        const Run small = Ours(m, rvn::SkylineOrdering::Smallest);
        const Run lib = Ours(m, rvn::SkylineOrdering::Fastest, &given);
        st.SetIterationTime(lib.Total());
        st.counters["unknowns"] = m.n;
        st.counters["profile_given"] = static_cast<double>(given.profileBefore);
        st.counters["profile_rcm"] = static_cast<double>(rcm.profile);
        st.counters["profile_lib"] = static_cast<double>(lib.profile);
        st.counters["profile_smallest"] = static_cast<double>(small.profile);
        st.counters["lib_vs_rcm"] =
            static_cast<double>(lib.profile) / static_cast<double>(rcm.profile);
        st.counters["order_share"] = lib.order / lib.factor;
        st.counters["x_rcm"] = rcm.Total() / lib.Total();
        std::fprintf(stderr, "%s: %d unknowns, profile given %lld, library ordering: %s\n",
                     m.name.c_str(), m.n, given.profileBefore,
                     rvn::SkylineOrderingName(given.ordering));
        Print(m.name.c_str(), "ours library (fastest)", lib, lib.Total());
        Print(m.name.c_str(), "ours RCM", rcm, lib.Total());
        Print(m.name.c_str(), "ours Sloan", sloan, lib.Total());
        Print(m.name.c_str(), "ours smallest profile", small, lib.Total());
#ifdef RVN_BENCH_HAVE_CHOLMOD
        const Run ch = Cholmod(m);
        st.counters["x_cholmod"] = ch.Total() / lib.Total();
        Print(m.name.c_str(), "CHOLMOD supernodal", ch, lib.Total());
#endif
#ifdef RVN_BENCH_HAVE_EIGEN
        const Run ei = EigenAmd(m);
        st.counters["x_eigen"] = ei.Total() / lib.Total();
        Print(m.name.c_str(), "Eigen LDLT AMD", ei, lib.Total());
#endif
#ifdef RVN_BENCH_HAVE_OPENBLAS
        const Run bd = Band(m);
        st.counters["x_dpbtrf"] = bd.Total() / lib.Total();
        Print(m.name.c_str(), "dpbtrf RCM band", bd, lib.Total());
#endif
    }
}

const struct {
    const char* name;
    std::function<Model()> make;
} kModels[] = {
    {"grid200x200", [] { return Grid("grid200x200", 200, 200, 1); }},
    {"grid400x400", [] { return Grid("grid400x400", 400, 400, 1); }},
    {"grid20x20x50", [] { return Grid("grid20x20x50", 20, 20, 50); }},
    {"grillage60", [] { return Grillage("grillage60", 60); }},
    {"grillage120", [] { return Grillage("grillage120", 120); }},
    {"frame8x8x20", [] { return Frame("frame8x8x20", 8, 8, 20); }},
};

}  // namespace

int main(int argc, char** argv) {
    // Every solver on one thread: OpenBLAS and OpenMP read their limits when they load, so the
    // program starts itself again with the limits set.
    if (!std::getenv("OMP_THREAD_LIMIT") || !std::getenv("OPENBLAS_NUM_THREADS")) {
        setenv("OMP_THREAD_LIMIT", "1", 1);
        setenv("OMP_NUM_THREADS", "1", 1);
        setenv("OPENBLAS_NUM_THREADS", "1", 1);
        execv("/proc/self/exe", argv);
    }
#ifdef RVN_BENCH_HAVE_OPENBLAS
    openblas_set_num_threads(1);
#endif
    for (const auto& m : kModels)
        benchmark::RegisterBenchmark((std::string("TimeToSolution/") + m.name).c_str(),
                                     [&m](benchmark::State& st) { TimeToSolution(st, m.make); })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
