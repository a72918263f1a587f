// The grillage model: plan geometry, panels, elements, numbering, assembly and solution.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <numeric>
#include <sstream>
#include <unordered_map>

#include "BaseCommon/engineering/PileSoilStiff.h"
#include "BaseCommon/engineering/TableConcrete.h"
#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "BaseCommon/geometry/Tolerance.h"
#include "BaseCommon/matrix/CMatrix.h"
#include "BaseCommon/numeric/PlaneCoord.h"
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "PileRaft.h"

namespace pileraft {
namespace {

// Poisson's ratio of concrete, for the shear modulus G = E / (2 (1 + nu)).
constexpr double kPoisson = 0.2;

// A straight run of beams on piles is free to spin about its own axis: nothing in a
// grillage resists that except torsion against crossing beams, and a lone line has none.
// Such runs get a nominal restraint of the cross slope at their pile heads, this fraction of
// the pile stiffness times the square of the element length; it carries no vertical load
// and changes no deflection of the line.
constexpr double kNominalTwistRestraint = 1e-9;

// Size limits that keep a mistyped MESH from exhausting memory: elements, and stored entries
// of the skyline matrix (the latter about 2 GB of doubles; the skyline index is an int).
constexpr double kMaxElements = 2e6;
constexpr long long kMaxProfile = 250000000LL;

std::string At(double x, double y) {
    std::ostringstream s;
    s << "(" << x << ", " << y << ")";
    return s.str();
}

// Owning geometry arrays are emptied with DeepRemoveAll on every way out of a scope.
template <class A>
struct DeepGuard {
    A& a;
    ~DeepGuard() { a.DeepRemoveAll(); }
};

// Nodes merged at the point tolerance: coordinates within 1e-6 of each other are one node.
class NodeIndex {
public:
    explicit NodeIndex(std::vector<Node>& nodes) : m_nodes(nodes) {}

    int Find(double x, double y) const {
        const std::int64_t cx = Cell(x), cy = Cell(y);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = m_cells.find(Key(cx + dx, cy + dy));
                if (it == m_cells.end())
                    continue;
                for (int n : it->second)
                    if (std::fabs(m_nodes[n].x - x) < rvn::kTolPoint &&
                        std::fabs(m_nodes[n].y - y) < rvn::kTolPoint)
                        return n;
            }
        return -1;
    }

    int FindOrAdd(double x, double y) {
        const int n = Find(x, y);
        if (n >= 0)
            return n;
        m_nodes.push_back({x, y});
        const int id = static_cast<int>(m_nodes.size()) - 1;
        m_cells[Key(Cell(x), Cell(y))].push_back(id);
        return id;
    }

private:
    // Cells twice the tolerance wide: a node within tolerance is in a neighbouring cell.
    static std::int64_t Cell(double v) {
        return static_cast<std::int64_t>(std::floor(v / (2.0 * rvn::kTolPoint)));
    }
    static std::uint64_t Key(std::int64_t cx, std::int64_t cy) {
        return static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull ^
               static_cast<std::uint64_t>(cy);
    }
    std::vector<Node>& m_nodes;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
};

// Uniform grid over segment bounding boxes, to find the segments near a point or a segment
// without testing every pair.
class SegmentGrid {
public:
    SegmentGrid(const std::vector<C3DLine>& segs, double cell) : m_cell(cell) {
        for (int i = 0; i < static_cast<int>(segs.size()); ++i) {
            const C3DPoint& a = *segs[i].m_pBgnPnt;
            const C3DPoint& b = *segs[i].m_pEndPnt;
            ForCells(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y),
                     [&](std::uint64_t k) { m_cells[k].push_back(i); });
        }
        m_stamp.assign(segs.size(), -1);
    }

    // Segments whose cells touch the box, each once, in increasing order.
    std::vector<int> Near(double x0, double y0, double x1, double y1) {
        ++m_query;
        std::vector<int> out;
        ForCells(x0, y0, x1, y1, [&](std::uint64_t k) {
            const auto it = m_cells.find(k);
            if (it == m_cells.end())
                return;
            for (int s : it->second)
                if (m_stamp[s] != m_query) {
                    m_stamp[s] = m_query;
                    out.push_back(s);
                }
        });
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    template <class F>
    void ForCells(double x0, double y0, double x1, double y1, F f) const {
        // Widened by the length tolerance so that a touch on a cell border is not missed.
        const auto c = [&](double v) { return static_cast<std::int64_t>(std::floor(v / m_cell)); };
        const double pad = rvn::kTolLength;
        for (std::int64_t i = c(x0 - pad); i <= c(x1 + pad); ++i)
            for (std::int64_t j = c(y0 - pad); j <= c(y1 + pad); ++j)
                f(static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15ull ^
                  static_cast<std::uint64_t>(j));
    }
    double m_cell;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
    std::vector<int> m_stamp;
    int m_query = 0;
};

// A run of beam between two points where something happens (a crossing, an end, a pile or a
// column): the lines that bound the panels, each divided into elements.
struct Piece {
    int n1, n2;              // end nodes
    std::vector<int> elems;  // elements from n1 to n2
};

std::uint64_t PairKey(int a, int b) {
    if (a > b)
        std::swap(a, b);
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
           static_cast<std::uint32_t>(b);
}

// Stored entries of the skyline matrix with three unknowns per node, for a node order.
long long ProfileSize(const std::vector<std::vector<int>>& adj, const std::vector<int>& order) {
    long long total = 0;
    for (int n = 0; n < static_cast<int>(adj.size()); ++n) {
        int lowest = order[n];
        for (int m : adj[n])
            lowest = std::min(lowest, order[m]);
        // Rows 3n, 3n+1, 3n+2 start at column 3*lowest.
        const long long first = 3LL * lowest;
        for (int r = 0; r < 3; ++r)
            total += 3LL * order[n] + r - first + 1;
    }
    return total;
}

// Reverse Cuthill-McKee: breadth-first from a far-out node of least degree, neighbours by
// increasing degree, the order reversed. It keeps connected nodes close in number, so each
// row of the skyline starts near the diagonal. Returns the new number of every node.
std::vector<int> ReverseCuthillMcKee(const std::vector<std::vector<int>>& adj) {
    const int n = static_cast<int>(adj.size());
    auto byDegree = [&](int a, int b) {
        return adj[a].size() != adj[b].size() ? adj[a].size() < adj[b].size() : a < b;
    };
    // Breadth-first visit from start over nodes not yet marked; returns the visit order and
    // the index in it where the last level begins.
    auto bfs = [&](int start, std::vector<char>& mark, size_t& lastLevel) {
        std::vector<int> out{start};
        mark[start] = 1;
        size_t levelBegin = 0;
        lastLevel = 0;
        while (levelBegin < out.size()) {
            const size_t levelEnd = out.size();
            lastLevel = levelBegin;
            for (size_t q = levelBegin; q < levelEnd; ++q) {
                std::vector<int> next;
                for (int m : adj[out[q]])
                    if (!mark[m]) {
                        mark[m] = 1;
                        next.push_back(m);
                    }
                std::sort(next.begin(), next.end(), byDegree);
                out.insert(out.end(), next.begin(), next.end());
            }
            levelBegin = levelEnd;
        }
        return out;
    };
    std::vector<int> sequence;
    sequence.reserve(static_cast<size_t>(n));
    std::vector<char> placed(static_cast<size_t>(n), 0);
    for (int s = 0; s < n; ++s) {
        if (placed[s])
            continue;
        // A pseudo-peripheral start: the least-degree node of the farthest level from s.
        std::vector<char> probeMark(placed);
        size_t last = 0;
        const std::vector<int> probe = bfs(s, probeMark, last);
        const int start =
            *std::min_element(probe.begin() + static_cast<long>(last), probe.end(), byDegree);
        const std::vector<int> component = bfs(start, placed, last);
        sequence.insert(sequence.end(), component.begin(), component.end());
    }
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[sequence[static_cast<size_t>(n - 1 - i)]] = i;
    return order;
}

// The member of pts farthest from pts[0] (pts not empty).
int Farthest(const std::vector<Node>& nodes, const std::vector<int>& pts) {
    const Node& a = nodes[pts.front()];
    int far = pts.front();
    double best = 0.0;
    for (int m : pts) {
        const double d = std::hypot(nodes[m].x - a.x, nodes[m].y - a.y);
        if (d > best) {
            best = d;
            far = m;
        }
    }
    return far;
}

// All of pts within the length tolerance of the line through pts[0] and the farthest one.
bool Collinear(const std::vector<Node>& nodes, const std::vector<int>& pts) {
    if (pts.size() < 3)
        return true;
    const Node& a = nodes[pts.front()];
    const Node& b = nodes[Farthest(nodes, pts)];
    const double L = std::hypot(b.x - a.x, b.y - a.y);
    for (int m : pts) {
        const double cross = (b.x - a.x) * (nodes[m].y - a.y) - (b.y - a.y) * (nodes[m].x - a.x);
        if (std::fabs(cross) / L >= rvn::kTolLength)
            return false;
    }
    return true;
}

// Element stiffness in global unknowns (w, dw/dx, dw/dy) at both ends: Euler-Bernoulli
// bending along the beam and St Venant torsion of the cross slope.
void ElementStiffness(const Node& a, const Node& b, double EI, double GJ, double k[6][6]) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double L = std::hypot(dx, dy);
    const double c = dx / L, s = dy / L;
    // Local unknowns per node: w, slope along the beam, cross slope (its rate is the twist).
    double kl[6][6] = {};
    const double f = EI / (L * L * L);
    const int w1 = 0, p1 = 1, t1 = 2, w2 = 3, p2 = 4, t2 = 5;
    const double bend[4][4] = {{12 * f, 6 * L * f, -12 * f, 6 * L * f},
                               {6 * L * f, 4 * L * L * f, -6 * L * f, 2 * L * L * f},
                               {-12 * f, -6 * L * f, 12 * f, -6 * L * f},
                               {6 * L * f, 2 * L * L * f, -6 * L * f, 4 * L * L * f}};
    const int bi[4] = {w1, p1, w2, p2};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            kl[bi[i]][bi[j]] = bend[i][j];
    kl[t1][t1] = kl[t2][t2] = GJ / L;
    kl[t1][t2] = kl[t2][t1] = -GJ / L;
    // local = T global, per node [w; along; cross] = [1 0 0; 0 c s; 0 -s c] [w; wx; wy].
    double T[6][6] = {};
    for (int n = 0; n < 2; ++n) {
        const int o = 3 * n;
        T[o][o] = 1.0;
        T[o + 1][o + 1] = c;
        T[o + 1][o + 2] = s;
        T[o + 2][o + 1] = -s;
        T[o + 2][o + 2] = c;
    }
    double kt[6][6] = {};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            for (int m = 0; m < 6; ++m)
                kt[i][j] += kl[i][m] * T[m][j];
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            double v = 0.0;
            for (int m = 0; m < 6; ++m)
                v += T[m][i] * kt[m][j];
            k[i][j] = v;
        }
}

}  // namespace

Result Analyse(const Plan& plan) {
    Result r;
    NodeIndex index(r.nodes);

    // --- material and section ---------------------------------------------------------------
    r.E = TableConcrete().FindEc(plan.grade * 1e6) / 1000.0;  // Pa -> kN/m^2
    double Iy = 0.0, Jpolar = 0.0, unused = 0.0;
    RectFunc::CalcuInertia(plan.b, plan.h, 0, r.I, Iy, Jpolar);
    RectFunc::CalcuInertia(std::min(plan.b, plan.h), std::max(plan.b, plan.h), 1, unused, unused,
                           r.J);
    const double EI = r.E * r.I;
    const double GJ = r.E / (2.0 * (1.0 + kPoisson)) * r.J;

    // --- split the beam lines where they meet, and at piles and columns ----------------------
    std::vector<C3DLine> segs;
    segs.reserve(plan.beams.size());
    double totalLength = 0.0;
    for (const BeamLine& b : plan.beams) {
        segs.emplace_back(C3DPoint(b.a.x, b.a.y, 0.0), C3DPoint(b.b.x, b.b.y, 0.0));
        totalLength += segs.back().GetLength();
    }
    const double cell = std::max(totalLength / static_cast<double>(segs.size()), 1e-3);
    SegmentGrid grid(segs, cell);
    std::vector<std::vector<double>> splits(segs.size(), std::vector<double>{0.0, 1.0});
    auto paramOn = [&](int s, const C3DPoint& p) {
        const C3DVec L = segs[s].GetVec();
        const double t = ((p - *segs[s].m_pBgnPnt) * L) / (L * L);
        return std::min(1.0, std::max(0.0, t));
    };
    for (int i = 0; i < static_cast<int>(segs.size()); ++i) {
        const C3DPoint& a = *segs[i].m_pBgnPnt;
        const C3DPoint& b = *segs[i].m_pEndPnt;
        for (int j : grid.Near(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                               std::max(a.y, b.y))) {
            if (j <= i)
                continue;
            const int kind = segs[i].IsIntersectLine(segs[j]);
            if (kind == 2) {
                double t = 0.0;
                if (segs[i].IsOnLine(segs[j], t) == 1 || segs[j].IsOnLine(segs[i], t) == 1)
                    throw InputError(plan.beams[j].line, "beam overlaps the beam of line " +
                                                             std::to_string(plan.beams[i].line));
            } else if (kind == 1) {
                C3DPoint p;
                if (segs[i].FindCrossPoint(segs[j], p) == 1) {
                    splits[i].push_back(paramOn(i, p));
                    splits[j].push_back(paramOn(j, p));
                }
            }
        }
    }
    // Piles and columns on a beam become nodes; remember where.
    auto onBeams = [&](const Point2& q, std::vector<double>* footX, std::vector<double>* footY) {
        const C3DPoint p(q.x, q.y, 0.0);
        bool found = false;
        for (int s : grid.Near(q.x, q.y, q.x, q.y)) {
            double t = 0.0;
            if (segs[s].PntOnLine(p, t) != 1)
                continue;
            const double tc = std::min(1.0, std::max(0.0, t));
            splits[s].push_back(tc);
            if (!found) {
                const C3DPoint f = segs[s].GetPoint(tc);
                footX->push_back(f.x);
                footY->push_back(f.y);
                found = true;
            }
        }
        return found;
    };
    std::vector<double> pileX, pileY;
    for (const PileInput& p : plan.piles)
        if (!onBeams(p.p, &pileX, &pileY))
            throw InputError(p.line, "pile at " + At(p.p.x, p.p.y) + " is not on any beam");
    std::vector<double> colX, colY;
    std::vector<int> colOnBeam(plan.columns.size(), -1);
    for (size_t c = 0; c < plan.columns.size(); ++c)
        if (onBeams(plan.columns[c].p, &colX, &colY))
            colOnBeam[c] = static_cast<int>(colX.size()) - 1;

    // --- pieces, nodes and elements -----------------------------------------------------------
    double elementEstimate = 0.0;
    for (const C3DLine& seg : segs)
        elementEstimate += std::ceil(seg.GetLength() / plan.meshLen);
    if (elementEstimate > kMaxElements)
        throw InputError(0, "MESH is too fine for this plan: it would make more than " +
                                std::to_string(static_cast<long long>(kMaxElements)) + " elements");
    std::vector<Piece> pieces;
    std::unordered_map<std::uint64_t, int> pieceOf;
    for (size_t s = 0; s < segs.size(); ++s) {
        std::vector<double>& t = splits[s];
        std::sort(t.begin(), t.end());
        std::vector<int> ends;
        for (double u : t) {
            const C3DPoint p = segs[s].GetPoint(u);
            const int n = index.FindOrAdd(p.x, p.y);
            if (ends.empty() || ends.back() != n)
                ends.push_back(n);
        }
        for (size_t k = 0; k + 1 < ends.size(); ++k) {
            Piece piece{ends[k], ends[k + 1], {}};
            const Node a = r.nodes[piece.n1], b = r.nodes[piece.n2];
            const C3DLine run(C3DPoint(a.x, a.y, 0.0), C3DPoint(b.x, b.y, 0.0));
            C3DPointArray pts;
            DeepGuard<C3DPointArray> guard{pts};
            run.DividingLine(pts, plan.meshLen, 1, 1);
            int prev = piece.n1;
            for (int i = 1; i < pts.GetSize(); ++i) {
                const int n = i + 1 == pts.GetSize()
                                  ? piece.n2
                                  : index.FindOrAdd(pts.GetAt(i)->x, pts.GetAt(i)->y);
                const Node& pn = r.nodes[prev];
                const Node& nn = r.nodes[n];
                r.elements.push_back({prev, n, std::hypot(nn.x - pn.x, nn.y - pn.y)});
                piece.elems.push_back(static_cast<int>(r.elements.size()) - 1);
                prev = n;
            }
            pieceOf[PairKey(piece.n1, piece.n2)] = static_cast<int>(pieces.size());
            pieces.push_back(std::move(piece));
        }
    }
    const int nNodes = static_cast<int>(r.nodes.size());
    std::vector<std::vector<int>> adj(static_cast<size_t>(nNodes));
    std::vector<std::vector<int>> elemsAt(static_cast<size_t>(nNodes));
    for (int e = 0; e < static_cast<int>(r.elements.size()); ++e) {
        const Element& el = r.elements[e];
        adj[el.n1].push_back(el.n2);
        adj[el.n2].push_back(el.n1);
        elemsAt[el.n1].push_back(e);
        elemsAt[el.n2].push_back(e);
    }

    // --- nodal loads: columns, then panel area loads ------------------------------------------
    const int nCases = plan.nCases;
    std::vector<std::vector<double>> load(static_cast<size_t>(nCases),
                                          std::vector<double>(static_cast<size_t>(nNodes), 0.0));
    r.cases.resize(static_cast<size_t>(nCases));
    for (size_t c = 0; c < plan.columns.size(); ++c) {
        const ColumnInput& col = plan.columns[c];
        for (int lc = 0; lc < nCases; ++lc) {
            r.cases[lc].totalLoad += col.loads[lc];
            r.cases[lc].grossLoad += std::fabs(col.loads[lc]);
        }
        if (colOnBeam[c] < 0)
            continue;
        const int n = index.Find(colX[colOnBeam[c]], colY[colOnBeam[c]]);
        for (int lc = 0; lc < nCases; ++lc)
            load[lc][n] += col.loads[lc];
    }

    std::vector<bool> columnPlaced(plan.columns.size());
    for (size_t c = 0; c < plan.columns.size(); ++c)
        columnPlaced[c] = colOnBeam[c] >= 0;
    {
        C3DLineArray lines;
        DeepGuard<C3DLineArray> lineGuard{lines};
        for (const Piece& p : pieces)
            lines.Add(new C3DLine(C3DPoint(r.nodes[p.n1].x, r.nodes[p.n1].y, 0.0),
                                  C3DPoint(r.nodes[p.n2].x, r.nodes[p.n2].y, 0.0)));
        C3DFaceArray faces;
        DeepGuard<C3DFaceArray> faceGuard{faces};
        C3DFace::GenFaceByLine(lines, faces);

        for (int f = 0; f < faces.GetSize(); ++f) {
            C3DFace& face = *faces.GetAt(f);
            face.InitNormalVec();
            Panel panel;
            C3DPoint centre;
            face.CalcuCenter(centre, panel.area);
            panel.area = std::fabs(panel.area);
            panel.girth = face.GetGirth();
            panel.centroid = {centre.x, centre.y};
            const int nc = face.GetPntArray()->GetSize();
            std::vector<int> ring;
            for (int i = 0; i < nc; ++i) {
                const C3DPoint* p = face.GetPoint(i);
                panel.corners.push_back({p->x, p->y});
                ring.push_back(index.Find(p->x, p->y));
            }
            // Area load: each element on the panel's border takes the share of q A that its
            // length has of the perimeter, half to each end, so every case keeps its total.
            std::vector<int> border;
            double perimeter = 0.0;
            for (int i = 0; i < nc; ++i) {
                const auto it = pieceOf.find(PairKey(ring[i], ring[(i + 1) % nc]));
                if (it == pieceOf.end())
                    continue;
                for (int e : pieces[it->second].elems) {
                    border.push_back(e);
                    perimeter += r.elements[e].length;
                }
            }
            for (int lc = 0; lc < nCases && !plan.areaLoads.empty(); ++lc) {
                const double total = plan.areaLoads[lc] * panel.area;
                r.cases[lc].totalLoad += total;
                r.cases[lc].grossLoad += std::fabs(total);
                for (int e : border) {
                    const double share = 0.5 * total * r.elements[e].length / perimeter;
                    load[lc][r.elements[e].n1] += share;
                    load[lc][r.elements[e].n2] += share;
                }
            }
            // Columns in the panel: on its border they already sit on a beam; inside, their
            // load goes to the panel's true corners by the element shape functions, scaled to
            // sum exactly to one.
            C3DPointArray corners;  // borrowed pointers into the face
            face.GenCorners(corners);
            std::vector<double> cornerXY;
            std::vector<int> cornerNode;
            for (int i = 0; i < corners.GetSize(); ++i) {
                cornerXY.push_back(corners.GetAt(i)->x);
                cornerXY.push_back(corners.GetAt(i)->y);
                cornerNode.push_back(index.Find(corners.GetAt(i)->x, corners.GetAt(i)->y));
            }
            for (size_t c = 0; c < plan.columns.size(); ++c) {
                const ColumnInput& col = plan.columns[c];
                C3DPoint p(col.p.x, col.p.y, 0.0);
                // The box test first: most columns are nowhere near this panel.
                if (!face.IsInMinBox(p, rvn::kTolLength))
                    continue;
                const int where = face.PntInFace(p);
                if (where < 0)
                    continue;
                panel.columns.push_back({static_cast<int>(c), where == 0});
                if (columnPlaced[c] || where == 0)
                    continue;
                const int m = static_cast<int>(cornerNode.size());
                std::vector<double> wgt(static_cast<size_t>(m), 0.0);
                const double pt[2] = {col.p.x, col.p.y};
                if (m == 3 || m == 4)
                    PileStiffEq(2, m, cornerXY.data(), pt, 1.0, wgt.data());
                double sum = std::accumulate(wgt.begin(), wgt.end(), 0.0);
                if (!(sum > 0.5 && sum < 1.5)) {  // other polygons: inverse distance
                    for (int i = 0; i < m; ++i)
                        wgt[i] = 1.0 / std::max(std::hypot(cornerXY[2 * i] - pt[0],
                                                           cornerXY[2 * i + 1] - pt[1]),
                                                rvn::kTolLength);
                    sum = std::accumulate(wgt.begin(), wgt.end(), 0.0);
                }
                for (int lc = 0; lc < nCases; ++lc)
                    for (int i = 0; i < m; ++i)
                        load[lc][cornerNode[i]] += col.loads[lc] * wgt[i] / sum;
                columnPlaced[c] = true;
            }
            r.panels.push_back(std::move(panel));
        }
    }
    for (size_t c = 0; c < plan.columns.size(); ++c)
        if (!columnPlaced[c])
            throw InputError(plan.columns[c].line,
                             "column at " + At(plan.columns[c].p.x, plan.columns[c].p.y) +
                                 " is on no beam and in no panel");

    // --- piles: springs spread onto the nodes of the element they stand on --------------------
    std::vector<double> spring(static_cast<size_t>(nNodes), 0.0);
    struct PileSpring {
        int nodes[2];
        double k[2];
    };
    std::vector<PileSpring> pileSprings;
    for (size_t i = 0; i < plan.piles.size(); ++i) {
        const int n = index.Find(pileX[i], pileY[i]);
        const Element& el = r.elements[elemsAt[n].front()];
        const double xy[4] = {r.nodes[el.n1].x, r.nodes[el.n1].y, r.nodes[el.n2].x,
                              r.nodes[el.n2].y};
        const double pt[2] = {pileX[i], pileY[i]};
        PileSpring ps{{el.n1, el.n2}, {0.0, 0.0}};
        PileStiffEq(1, 2, xy, pt, plan.piles[i].k, ps.k);
        spring[el.n1] += ps.k[0];
        spring[el.n2] += ps.k[1];
        pileSprings.push_back(ps);
        r.piles.push_back({n, {}});
    }

    // --- stability: every group of connected beams needs piles that hold it level -------------
    std::vector<int> group(static_cast<size_t>(nNodes), -1);
    std::vector<double> twistRestraint(static_cast<size_t>(nNodes), 0.0);
    std::vector<Point2> twistAxis(static_cast<size_t>(nNodes));
    for (int s = 0; s < nNodes; ++s) {
        if (group[s] >= 0)
            continue;
        std::vector<int> members{s};
        group[s] = s;
        for (size_t q = 0; q < members.size(); ++q)
            for (int m : adj[members[q]])
                if (group[m] < 0) {
                    group[m] = s;
                    members.push_back(m);
                }
        // Supported nodes and whether the group and its supports lie on one line.
        std::vector<int> held;
        for (int m : members)
            if (spring[m] > 0.0)
                held.push_back(m);
        const Node& at = r.nodes[s];
        const bool straight = Collinear(r.nodes, members);
        if (held.size() < (straight ? 2u : 3u) || (!straight && Collinear(r.nodes, held)))
            throw AnalysisError("the beams at " + At(at.x, at.y) +
                                " are not held by enough piles: a straight run needs two, a "
                                "grillage three not in one line");
        if (straight) {
            const Node& a = r.nodes[members.front()];
            const Node& b = r.nodes[Farthest(r.nodes, members)];
            const double L = std::hypot(b.x - a.x, b.y - a.y);
            const double lenSq = plan.meshLen * plan.meshLen;
            for (int m : held) {
                twistRestraint[m] = kNominalTwistRestraint * spring[m] * lenSq;
                twistAxis[m] = {(b.x - a.x) / L, (b.y - a.y) / L};
            }
        }
    }

    // --- numbering and profile ----------------------------------------------------------------
    std::vector<int> identity(static_cast<size_t>(nNodes));
    std::iota(identity.begin(), identity.end(), 0);
    r.profileInput = ProfileSize(adj, identity);
    const std::vector<int> order = ReverseCuthillMcKee(adj);
    r.profileSolved = ProfileSize(adj, order);
    if (r.profileSolved > kMaxProfile)
        throw AnalysisError("the stiffness matrix would hold " + std::to_string(r.profileSolved) +
                            " entries, more than this program allows (a coarser MESH helps)");
    r.nDof = 3 * nNodes;
    std::vector<int> diag(static_cast<size_t>(r.nDof));
    {
        std::vector<int> lowestNode(static_cast<size_t>(nNodes));
        for (int n = 0; n < nNodes; ++n) {
            int lowest = order[n];
            for (int m : adj[n])
                lowest = std::min(lowest, order[m]);
            lowestNode[order[n]] = lowest;
        }
        long long d = -1;
        for (int row = 0; row < r.nDof; ++row) {
            d += row - 3 * lowestNode[row / 3] + 1;
            diag[row] = static_cast<int>(d);
        }
    }

    // --- assembly -----------------------------------------------------------------------------
    CSparseMatrix K(r.nDof, diag.data());
    K = 0.0;
    auto dof = [&](int node, int j) { return 3 * order[node] + j; };
    for (const Element& el : r.elements) {
        double k[6][6];
        ElementStiffness(r.nodes[el.n1], r.nodes[el.n2], EI, GJ, k);
        const int ids[6] = {dof(el.n1, 0), dof(el.n1, 1), dof(el.n1, 2),
                            dof(el.n2, 0), dof(el.n2, 1), dof(el.n2, 2)};
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j)
                if (ids[i] >= ids[j])
                    K(ids[i], ids[j]) += k[i][j];
    }
    for (int n = 0; n < nNodes; ++n) {
        K(dof(n, 0), dof(n, 0)) += spring[n];
        if (twistRestraint[n] > 0.0) {
            // Restrain only the slope across the line: -s wx + c wy.
            const double c = twistAxis[n].x, s = twistAxis[n].y, kr = twistRestraint[n];
            K(dof(n, 1), dof(n, 1)) += kr * s * s;
            K(dof(n, 2), dof(n, 2)) += kr * c * c;
            const int i1 = dof(n, 1), i2 = dof(n, 2);
            K(std::max(i1, i2), std::min(i1, i2)) += -kr * s * c;
        }
    }

    // --- every load case at once --------------------------------------------------------------
    // The dense right-hand side grows by rows beyond the constructor's size limit.
    CMatrix B(1, nCases, 0.0);
    if (r.nDof > 1)
        B.InsertRow(1, r.nDof - 1);
    for (int lc = 0; lc < nCases; ++lc)
        for (int n = 0; n < nNodes; ++n)
            B(dof(n, 0), lc) = load[lc][n];
    if (K.LdltSolve(r.nDof, B) != 1)
        throw AnalysisError("the stiffness matrix is singular: the model is a mechanism");

    r.w.assign(static_cast<size_t>(nCases), std::vector<double>(static_cast<size_t>(nNodes)));
    for (int lc = 0; lc < nCases; ++lc) {
        CaseResult& cr = r.cases[lc];
        for (int n = 0; n < nNodes; ++n) {
            const double w = B(dof(n, 0), lc);
            if (!std::isfinite(w))
                throw AnalysisError("the solution is not finite: the model is a mechanism");
            r.w[lc][n] = w;
            if (cr.maxNode < 0 || std::fabs(w) > cr.maxDeflection) {
                cr.maxDeflection = std::fabs(w);
                cr.maxNode = n;
            }
        }
        for (size_t i = 0; i < pileSprings.size(); ++i) {
            const PileSpring& ps = pileSprings[i];
            const double disp[2] = {r.w[lc][ps.nodes[0]], r.w[lc][ps.nodes[1]]};
            double R = 0.0;
            CalcuPileR(2, ps.k, disp, &R);
            r.piles[i].reaction.push_back(R);
            cr.totalReaction += R;
        }
    }
    return r;
}

}  // namespace pileraft
