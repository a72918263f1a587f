// The grillage model, as a sequence of stages over one Model: split the beam lines, merge the
// nodes and make the elements, renumber, find the panels, place the loads and the piles,
// assemble, solve, and work out the results with their equilibrium checks.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
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
#include "BaseCommon/faces/PlanPanels.h"
#include "BaseCommon/faces/detail/ArrayGuard.h"
#include "BaseCommon/framework/MessageBox.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "BaseCommon/geometry/Tolerance.h"
#include "BaseCommon/matrix/CMatrix.h"
#include "BaseCommon/numeric/PlaneCoord.h"
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineNumbering.h"
#include "PileRaft.h"
#include "SpatialHash.h"

namespace pileraft {
namespace {

using rvn::detail::DeepRemoveGuard;

// Poisson's ratio of concrete, for the shear modulus G = E / (2 (1 + nu)).
constexpr double kPoisson = 0.2;

// A straight run of beams on piles is free to spin about its own axis: nothing in a
// grillage resists that except torsion against crossing beams, and a lone line has none.
// Such runs get a nominal restraint of the cross slope at their pile heads, this fraction of
// the pile stiffness times the square of the element length; it carries no vertical load
// and changes no deflection of the line.
constexpr double kNominalTwistRestraint = 1e-9;

// Size limits that keep a mistyped MESH or a huge plan from exhausting memory or time:
// elements (also bounding the crossings of the beam lines, each of which makes a node),
// candidate pairs of nearby beam lines, and stored entries of the skyline matrix (about
// 2 GB of doubles; the skyline index is an int).
constexpr double kMaxElements = 2e6;
constexpr double kMaxLinePairs = 5e7;
constexpr long long kMaxProfile = 250000000LL;

// A place in a message, to the micrometre: a crossing found at -1.8e-15 reads as 0.
std::string At(double x, double y) {
    const auto um = [](double v) { return std::round(v * 1e6) / 1e6 + 0.0; };
    std::ostringstream s;
    s.precision(12);
    s << "(" << um(x) << ", " << um(y) << ")";
    return s.str();
}

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

// Everything the stages share.
struct Model {
    Model(const Plan& p, Result& res, const Progress& prog)
        : plan(p), r(res), progress(prog), nodeHash(1.0) {}

    void Stage(const char* name, double fraction = 0.0) const {
        if (progress)
            progress(name, fraction);
    }

    const Plan& plan;
    Result& r;
    const Progress& progress;
    double EI = 0.0, GJ = 0.0;
    Box extent{0.0, 0.0, 0.0, 0.0};  // of the beam lines
    Point2 centre;                   // of the extent: moments are taken about it
    double size = 0.0;               // diagonal of the plan's extent

    // split
    std::vector<C3DLine> segs;                // the plan's beam lines
    std::vector<std::vector<double>> splits;  // parameters where each is cut
    std::vector<Point2> pileFoot;             // pile positions on their beam
    std::vector<int> columnFoot;              // index into columnAt, -1 off every beam
    std::vector<Point2> columnAt;

    // node merge and elements
    SpatialHash nodeHash;
    std::vector<Piece> pieces;
    std::unordered_map<std::uint64_t, int> pieceOf;
    std::vector<std::vector<int>> adj, elemsAt;
    std::vector<std::vector<double>> lineLoad;  // per case per element, kN/m downward

    rvn::SkylineLayout layout;  // the renumbering and the skyline's diagonal addresses

    // loads and supports
    std::vector<std::vector<double>> load;  // per case per node, kN downward
    struct PileSpring {
        int nodes[2];
        double k[2];
    };
    std::vector<PileSpring> pileSprings;
    std::vector<double> spring, twistRestraint;
    std::vector<Point2> twistAxis;
    std::string unheld;  // a beam group the piles do not hold, if any

    // solution: deflection and slopes, per dof in the renumbered order, per case
    std::unique_ptr<CMatrix> solution;

    int NodeCount() const { return static_cast<int>(r.nodes.size()); }
    int Dof(int node, int j) const { return layout.Unknown(node, j); }

    // Nodes merge at the point tolerance: coordinates within 1e-6 of each other (strictly,
    // per coordinate) are one node; of several, the first made.
    int FindNode(double x, double y) const {
        int found = -1;
        const double t = rvn::kTolPoint;
        nodeHash.Query(Box{x - t, y - t, x + t, y + t}, [&](int n) {
            if (std::fabs(r.nodes[n].x - x) < t && std::fabs(r.nodes[n].y - y) < t &&
                (found < 0 || n < found))
                found = n;
        });
        return found;
    }
    int FindOrAddNode(double x, double y) {
        const int n = FindNode(x, y);
        if (n >= 0)
            return n;
        r.nodes.push_back({x, y});
        nodeHash.AddPoint(x, y);
        return NodeCount() - 1;
    }
};

// --- section ---------------------------------------------------------------------------------
void Section(Model& m) {
    const Plan& plan = m.plan;
    m.r.E = TableConcrete().FindEc(plan.grade * 1e6) / 1000.0;  // Pa -> kN/m^2
    double Iy = 0.0, Jpolar = 0.0, unused = 0.0;
    RectFunc::CalcuInertia(plan.b, plan.h, 0, m.r.I, Iy, Jpolar);
    RectFunc::CalcuInertia(std::min(plan.b, plan.h), std::max(plan.b, plan.h), 1, unused, unused,
                           m.r.J);
    m.EI = m.r.E * m.r.I;
    m.GJ = m.r.E / (2.0 * (1.0 + kPoisson)) * m.r.J;

    Box& extent = m.extent;
    extent = Box{1e300, 1e300, -1e300, -1e300};
    for (const BeamLine& b : plan.beams)
        for (const Point2& p : {b.a, b.b}) {
            extent.x0 = std::min(extent.x0, p.x);
            extent.y0 = std::min(extent.y0, p.y);
            extent.x1 = std::max(extent.x1, p.x);
            extent.y1 = std::max(extent.y1, p.y);
        }
    m.centre = {0.5 * (extent.x0 + extent.x1), 0.5 * (extent.y0 + extent.y1)};
    m.size = std::hypot(extent.x1 - extent.x0, extent.y1 - extent.y0);
}

// More beam lines than this through one point make a degenerate plan (a grillage joint
// takes a handful); found from the crossings along each line, before every pair is cut.
constexpr int kMaxLinesAtPoint = 64;

void CheckLinesAtPoint(const Model& m, int line, std::vector<double>& crossings) {
    if (static_cast<int>(crossings.size()) < kMaxLinesAtPoint)
        return;
    std::sort(crossings.begin(), crossings.end());
    const double tol = rvn::kTolLength / m.segs[line].GetLength();
    for (size_t k = 0; k + kMaxLinesAtPoint < crossings.size(); ++k)
        if (crossings[k + kMaxLinesAtPoint] - crossings[k] < tol) {
            const C3DPoint p = m.segs[line].GetPoint(crossings[k]);
            throw InputError(m.plan.beams[line].line,
                             "more than " + std::to_string(kMaxLinesAtPoint) +
                                 " beam lines meet at " + At(p.x, p.y) + " (a degenerate plan)");
        }
}

// --- split: the beam lines are cut where they cross and where piles and columns stand --------
void Split(Model& m) {
    m.Stage("split");
    const Plan& plan = m.plan;
    double totalLength = 0.0, elementEstimate = 0.0;
    m.segs.reserve(plan.beams.size());
    for (const BeamLine& b : plan.beams) {
        m.segs.emplace_back(C3DPoint(b.a.x, b.a.y, 0.0), C3DPoint(b.b.x, b.b.y, 0.0));
        const double L = m.segs.back().GetLength();
        totalLength += L;
        elementEstimate += std::ceil(L / plan.meshLen);
    }
    // Before any pairing: the lines alone would already make too many elements.
    if (elementEstimate > kMaxElements)
        throw InputError(0, "MESH is too fine for this plan: it would make more than " +
                                std::to_string(static_cast<long long>(kMaxElements)) + " elements");
    const int n = static_cast<int>(m.segs.size());
    // Cells about the spacing of the lines, so that a cell holds a few of them; a line is
    // entered along its length, and the cells stay coarse enough that a line takes about four
    // of them on average (a plan in one line has no area to space them by) and all the lines
    // together at most a few million entries.
    const double width = m.extent.x1 - m.extent.x0, height = m.extent.y1 - m.extent.y0;
    SpatialHash grid(std::max(
        {std::sqrt(width * height / n), totalLength / (4.0 * n), totalLength / 4e6, 1e-3}));
    for (const BeamLine& b : plan.beams)
        grid.AddSegment(b.a.x, b.a.y, b.b.x, b.b.y, rvn::kTolLength);
    m.splits.assign(static_cast<size_t>(n), std::vector<double>{0.0, 1.0});
    auto paramOn = [&](int s, const C3DPoint& p) {
        const C3DVec L = m.segs[s].GetVec();
        const double t = ((p - *m.segs[s].m_pBgnPnt) * L) / (L * L);
        return std::min(1.0, std::max(0.0, t));
    };
    double pairs = 0.0, crossings = 0.0;
    for (int i = 0; i < n; ++i) {
        const BeamLine& b = plan.beams[i];
        std::vector<int> near;
        grid.QuerySegment(b.a.x, b.a.y, b.b.x, b.b.y, rvn::kTolLength, [&](int j) {
            if (j > i)
                near.push_back(j);
        });
        std::sort(near.begin(), near.end());
        pairs += static_cast<double>(near.size());
        if (pairs > kMaxLinePairs)
            throw InputError(b.line,
                             "the beam lines near this one are too many and too close "
                             "together to split (a degenerate plan)");
        std::vector<double> mine;  // where the later lines cross this one
        for (int j : near) {
            const int kind = m.segs[i].IsIntersectLine(m.segs[j]);
            if (kind == 2) {
                double t = 0.0;
                if (m.segs[i].IsOnLine(m.segs[j], t) == 1 || m.segs[j].IsOnLine(m.segs[i], t) == 1)
                    throw InputError(plan.beams[j].line,
                                     "beam overlaps the beam of line " + std::to_string(b.line));
            } else if (kind == 1) {
                C3DPoint p;
                if (m.segs[i].FindCrossPoint(m.segs[j], p) == 1) {
                    m.splits[i].push_back(paramOn(i, p));
                    m.splits[j].push_back(paramOn(j, p));
                    mine.push_back(m.splits[i].back());
                    if ((mine.size() & (mine.size() - 1)) == 0)  // at every power of two
                        CheckLinesAtPoint(m, i, mine);
                    // Every crossing makes a node: many lines through one point fail here at
                    // once instead of after every pair is cut.
                    if (++crossings > kMaxElements)
                        throw InputError(b.line,
                                         "the beam lines cross more than " +
                                             std::to_string(static_cast<long long>(kMaxElements)) +
                                             " times (a degenerate plan)");
                }
            }
        }
        CheckLinesAtPoint(m, i, mine);
    }
    // Piles and columns on a beam cut it; their foot is the point on the first such beam.
    auto onBeams = [&](const Point2& q, Point2* foot) {
        const C3DPoint p(q.x, q.y, 0.0);
        const double pad = rvn::kTolLength;
        std::vector<int> near;
        grid.Query(Box{q.x - pad, q.y - pad, q.x + pad, q.y + pad},
                   [&](int s) { near.push_back(s); });
        std::sort(near.begin(), near.end());
        bool found = false;
        for (int s : near) {
            double t = 0.0;
            if (m.segs[s].PntOnLine(p, t) != 1)
                continue;
            const double tc = std::min(1.0, std::max(0.0, t));
            m.splits[s].push_back(tc);
            if (!found) {
                const C3DPoint f = m.segs[s].GetPoint(tc);
                *foot = {f.x, f.y};
                found = true;
            }
        }
        return found;
    };
    m.pileFoot.resize(plan.piles.size());
    for (size_t i = 0; i < plan.piles.size(); ++i)
        if (!onBeams(plan.piles[i].p, &m.pileFoot[i]))
            throw InputError(
                plan.piles[i].line,
                "pile at " + At(plan.piles[i].p.x, plan.piles[i].p.y) + " is not on any beam");
    m.columnFoot.assign(plan.columns.size(), -1);
    for (size_t c = 0; c < plan.columns.size(); ++c) {
        Point2 foot;
        if (onBeams(plan.columns[c].p, &foot)) {
            m.columnFoot[c] = static_cast<int>(m.columnAt.size());
            m.columnAt.push_back(foot);
        }
    }
}

// --- node merge and elements: each cut run is a piece, each piece is divided into elements ---
void Elements(Model& m) {
    m.Stage("node merge and elements");
    const Plan& plan = m.plan;
    m.nodeHash = SpatialHash(std::max(plan.meshLen, 1e-3));
    m.lineLoad.assign(static_cast<size_t>(plan.nCases), {});
    for (size_t s = 0; s < m.segs.size(); ++s) {
        std::vector<double>& t = m.splits[s];
        std::sort(t.begin(), t.end());
        std::vector<int> ends;
        for (double u : t) {
            const C3DPoint p = m.segs[s].GetPoint(u);
            const int n = m.FindOrAddNode(p.x, p.y);
            if (ends.empty() || ends.back() != n)
                ends.push_back(n);
        }
        std::vector<double>().swap(t);
        for (size_t k = 0; k + 1 < ends.size(); ++k) {
            Piece piece{ends[k], ends[k + 1], {}};
            const Node a = m.r.nodes[piece.n1], b = m.r.nodes[piece.n2];
            const C3DLine run(C3DPoint(a.x, a.y, 0.0), C3DPoint(b.x, b.y, 0.0));
            C3DPointArray pts;
            DeepRemoveGuard<C3DPointArray> guard(pts);
            run.DividingLine(pts, plan.meshLen, 1, 1);
            int prev = piece.n1;
            for (int i = 1; i < pts.GetSize(); ++i) {
                const int n = i + 1 == pts.GetSize()
                                  ? piece.n2
                                  : m.FindOrAddNode(pts.GetAt(i)->x, pts.GetAt(i)->y);
                const Node& pn = m.r.nodes[prev];
                const Node& nn = m.r.nodes[n];
                m.r.elements.push_back({prev, n, std::hypot(nn.x - pn.x, nn.y - pn.y)});
                piece.elems.push_back(static_cast<int>(m.r.elements.size()) - 1);
                for (int lc = 0; lc < plan.nCases; ++lc)
                    m.lineLoad[lc].push_back(plan.beams[s].loads.empty() ? 0.0
                                                                         : plan.beams[s].loads[lc]);
                prev = n;
            }
            if (static_cast<double>(m.r.elements.size()) > kMaxElements)
                throw InputError(0, "MESH is too fine for this plan: it would make more than " +
                                        std::to_string(static_cast<long long>(kMaxElements)) +
                                        " elements");
            m.pieceOf[PairKey(piece.n1, piece.n2)] = static_cast<int>(m.pieces.size());
            m.pieces.push_back(std::move(piece));
        }
    }
    const int nNodes = m.NodeCount();
    m.adj.assign(static_cast<size_t>(nNodes), {});
    m.elemsAt.assign(static_cast<size_t>(nNodes), {});
    for (int e = 0; e < static_cast<int>(m.r.elements.size()); ++e) {
        const Element& el = m.r.elements[e];
        m.adj[el.n1].push_back(el.n2);
        m.adj[el.n2].push_back(el.n1);
        m.elemsAt[el.n1].push_back(e);
        m.elemsAt[el.n2].push_back(e);
    }
}

// --- renumbering: before the panels and loads, so that an oversized plan stops here ----------
void Renumber(Model& m) {
    m.Stage("renumbering");
    rvn::CouplingGraph graph(m.NodeCount(), 3);
    for (const Element& el : m.r.elements)
        graph.AddCoupling(el.n1, el.n2);
    m.layout = rvn::PlanSkyline(graph);
    m.r.profileInput = m.layout.profileBefore;
    m.r.profileSolved = m.layout.profileAfter;
    m.r.ordering = rvn::SkylineOrderingName(m.layout.ordering);
    if (m.layout.status != rvn::SkylineStatus::Ok || m.r.profileSolved > kMaxProfile)
        throw InputError(0, "the stiffness matrix would hold " + std::to_string(m.r.profileSolved) +
                                " entries, more than this program allows (a coarser MESH or a "
                                "smaller plan helps)");
    m.r.nDof = m.layout.unknownCount;
}

// A panel as rings of nodes: its outer boundary and its holes, all anticlockwise.
struct PanelRings {
    std::vector<int> outer;
    std::vector<std::vector<int>> holes;
};

std::vector<int> RingOf(const Model& m, C3DFace& face) {
    std::vector<int> ring;
    for (int i = 0; i < face.GetPntArray()->GetSize(); ++i)
        ring.push_back(m.FindNode(face.GetPoint(i)->x, face.GetPoint(i)->y));
    return ring;
}

// Twice the signed area of a ring (anticlockwise positive) and its first moments, about the
// plan centre so that a plan far from the origin keeps its digits.
void RingMoments(const Model& m, const std::vector<int>& ring, double& a2, double& sx, double& sy) {
    a2 = sx = sy = 0.0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Node& p = m.r.nodes[ring[i]];
        const Node& q = m.r.nodes[ring[(i + 1) % ring.size()]];
        const double px = p.x - m.centre.x, py = p.y - m.centre.y;
        const double qx = q.x - m.centre.x, qy = q.y - m.centre.y;
        const double c = px * qy - qx * py;
        a2 += c;
        sx += (px + qx) * c;
        sy += (py + qy) * c;
    }
}

// Where a point lies against a ring: 0 within the length tolerance of an edge, 1 inside,
// -1 outside (crossings of a ray along +x, each edge taken half-open so that a vertex on
// the ray counts once). Convex or not.
int Locate(const Model& m, const std::vector<int>& ring, double x, double y) {
    bool inside = false;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Node& p = m.r.nodes[ring[i]];
        const Node& q = m.r.nodes[ring[(i + 1) % ring.size()]];
        const double dx = q.x - p.x, dy = q.y - p.y;
        const double len2 = dx * dx + dy * dy;
        const double t = len2 > 0.0 ? ((x - p.x) * dx + (y - p.y) * dy) / len2 : 0.0;
        const double tc = std::min(1.0, std::max(0.0, t));
        if (std::hypot(p.x + tc * dx - x, p.y + tc * dy - y) < rvn::kTolLength)
            return 0;
        if ((p.y > y) != (q.y > y) && x < p.x + (y - p.y) / dy * dx)
            inside = !inside;
    }
    return inside ? 1 : -1;
}

// --- panels: every bounded panel of the pieces, convex or not, with its openings -------------
void Panels(Model& m, C3DFaceArray& faces, std::vector<PanelRings>& rings) {
    m.Stage("panels");
    C3DLineArray lines;
    DeepRemoveGuard<C3DLineArray> lineGuard(lines);
    for (const Piece& p : m.pieces)
        lines.Add(new C3DLine(C3DPoint(m.r.nodes[p.n1].x, m.r.nodes[p.n1].y, 0.0),
                              C3DPoint(m.r.nodes[p.n2].x, m.r.nodes[p.n2].y, 0.0)));
    C3DFaceArray holes;
    DeepRemoveGuard<C3DFaceArray> holeGuard(holes);
    CArray<int, int> holeOf;
    rvn::GenPanelsByLine(lines, faces, holes, holeOf);
    rings.resize(static_cast<size_t>(faces.GetSize()));
    for (int f = 0; f < faces.GetSize(); ++f)
        rings[f].outer = RingOf(m, *faces.GetAt(f));
    for (int h = 0; h < holes.GetSize(); ++h)
        rings[holeOf[h]].holes.push_back(RingOf(m, *holes.GetAt(h)));
}

// --- loads: column loads to nodes, area loads to line loads on panel borders ------------------
void Loads(Model& m, C3DFaceArray& faces, const std::vector<PanelRings>& rings) {
    m.Stage("loads");
    const Plan& plan = m.plan;
    const int nCases = plan.nCases;
    const int nNodes = m.NodeCount();
    m.load.assign(static_cast<size_t>(nCases), std::vector<double>(static_cast<size_t>(nNodes)));
    m.r.cases.assign(static_cast<size_t>(nCases), CaseResult());
    for (int lc = 0; lc < nCases; ++lc)
        for (int e = 0; e < static_cast<int>(m.r.elements.size()); ++e)
            m.r.cases[lc].grossLoad += std::fabs(m.lineLoad[lc][e]) * m.r.elements[e].length;
    for (size_t c = 0; c < plan.columns.size(); ++c) {
        const ColumnInput& col = plan.columns[c];
        for (int lc = 0; lc < nCases; ++lc)
            m.r.cases[lc].grossLoad += std::fabs(col.loads[lc]);
        if (m.columnFoot[c] < 0)
            continue;
        const Point2& at = m.columnAt[m.columnFoot[c]];
        const int n = m.FindNode(at.x, at.y);
        for (int lc = 0; lc < nCases; ++lc)
            m.load[lc][n] += col.loads[lc];
    }

    // Columns off the beams are found in their panel through a hash of their positions.
    SpatialHash columnHash(std::max(plan.meshLen, 1e-3));
    for (const ColumnInput& col : plan.columns)
        columnHash.AddPoint(col.p.x, col.p.y);
    std::vector<bool> placed(plan.columns.size());
    for (size_t c = 0; c < plan.columns.size(); ++c)
        placed[c] = m.columnFoot[c] >= 0;

    for (int f = 0; f < faces.GetSize(); ++f) {
        C3DFace& face = *faces.GetAt(f);
        const PanelRings& pr = rings[f];
        Panel panel;
        // Net area and centroid: the outer ring less its holes (all anticlockwise).
        double a2 = 0.0, sx = 0.0, sy = 0.0;
        RingMoments(m, pr.outer, a2, sx, sy);
        for (const std::vector<int>& hole : pr.holes) {
            double h2 = 0.0, hx = 0.0, hy = 0.0;
            RingMoments(m, hole, h2, hx, hy);
            a2 -= h2;
            sx -= hx;
            sy -= hy;
        }
        panel.area = 0.5 * a2;
        panel.centroid = {m.centre.x + sx / (3.0 * a2), m.centre.y + sy / (3.0 * a2)};
        Box box{1e300, 1e300, -1e300, -1e300};
        for (int n : pr.outer) {
            const Node& p = m.r.nodes[n];
            panel.corners.push_back({p.x, p.y});
            box = {std::min(box.x0, p.x), std::min(box.y0, p.y), std::max(box.x1, p.x),
                   std::max(box.y1, p.y)};
        }
        for (const std::vector<int>& hole : pr.holes) {
            panel.holes.emplace_back();
            for (int n : hole)
                panel.holes.back().push_back({m.r.nodes[n].x, m.r.nodes[n].y});
        }
        // Area load: a uniform line load on the panel's border (its holes' too), q A over
        // the border's length, so every case keeps its total and each border element takes
        // its length's share.
        std::vector<int> border;
        double perimeter = 0.0;
        auto walk = [&](const std::vector<int>& ring) {
            for (size_t i = 0; i < ring.size(); ++i) {
                const auto it = m.pieceOf.find(PairKey(ring[i], ring[(i + 1) % ring.size()]));
                if (it == m.pieceOf.end())
                    continue;
                for (int e : m.pieces[it->second].elems) {
                    border.push_back(e);
                    perimeter += m.r.elements[e].length;
                }
            }
        };
        walk(pr.outer);
        for (const std::vector<int>& hole : pr.holes)
            walk(hole);
        panel.girth = perimeter;
        for (int lc = 0; lc < nCases && !plan.areaLoads.empty(); ++lc) {
            const double total = plan.areaLoads[lc] * panel.area;
            m.r.cases[lc].grossLoad += std::fabs(total);
            for (int e : border)
                m.lineLoad[lc][e] += total / perimeter;
        }
        // Columns in the panel: on its border they already sit on a beam; inside, their
        // load goes to the panel's true corners, by the element shape functions on a
        // triangle or quadrilateral, by inverse distance on other panels, scaled to sum
        // exactly to one.
        C3DPointArray corners;  // borrowed pointers into the face: never deep-emptied
        face.GenCorners(corners);
        std::vector<double> cornerXY;
        std::vector<int> cornerNode;
        for (int i = 0; i < corners.GetSize(); ++i) {
            cornerXY.push_back(corners.GetAt(i)->x);
            cornerXY.push_back(corners.GetAt(i)->y);
            cornerNode.push_back(m.FindNode(corners.GetAt(i)->x, corners.GetAt(i)->y));
        }
        const double pad = rvn::kTolLength;
        std::vector<int> inBox;
        columnHash.Query(Box{box.x0 - pad, box.y0 - pad, box.x1 + pad, box.y1 + pad},
                         [&](int c) { inBox.push_back(c); });
        std::sort(inBox.begin(), inBox.end());
        for (int c : inBox) {
            const ColumnInput& col = plan.columns[c];
            int where = Locate(m, pr.outer, col.p.x, col.p.y);
            for (size_t h = 0; h < pr.holes.size() && where > 0; ++h)
                where = -Locate(m, pr.holes[h], col.p.x, col.p.y);
            if (where < 0)
                continue;
            panel.columns.push_back({c, where == 0});
            if (placed[c] || where == 0)
                continue;
            const int mc = static_cast<int>(cornerNode.size());
            std::vector<double> wgt(static_cast<size_t>(mc), 0.0);
            const double pt[2] = {col.p.x, col.p.y};
            if ((mc == 3 || mc == 4) && pr.holes.empty())
                PileStiffEq(2, mc, cornerXY.data(), pt, 1.0, wgt.data());
            double sum = std::accumulate(wgt.begin(), wgt.end(), 0.0);
            const bool shapeOk =
                sum > 0.5 && sum < 1.5 &&
                std::all_of(wgt.begin(), wgt.end(), [](double v) { return v >= 0.0; });
            if (!shapeOk) {
                for (int i = 0; i < mc; ++i)
                    wgt[i] = 1.0 / std::max(std::hypot(cornerXY[2 * i] - pt[0],
                                                       cornerXY[2 * i + 1] - pt[1]),
                                            rvn::kTolLength);
                sum = std::accumulate(wgt.begin(), wgt.end(), 0.0);
            }
            for (int lc = 0; lc < nCases; ++lc)
                for (int i = 0; i < mc; ++i)
                    m.load[lc][cornerNode[i]] += col.loads[lc] * wgt[i] / sum;
            placed[c] = true;
        }
        m.r.panels.push_back(std::move(panel));
    }
    for (size_t c = 0; c < plan.columns.size(); ++c)
        if (!placed[c])
            throw InputError(plan.columns[c].line,
                             "column at " + At(plan.columns[c].p.x, plan.columns[c].p.y) +
                                 " is on no beam and in no panel");
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

// --- supports: pile springs on the nodes, and every beam group held level -------------------
void Supports(Model& m) {
    m.Stage("supports");
    const Plan& plan = m.plan;
    const int nNodes = m.NodeCount();
    m.spring.assign(static_cast<size_t>(nNodes), 0.0);
    for (size_t i = 0; i < plan.piles.size(); ++i) {
        const int n = m.FindNode(m.pileFoot[i].x, m.pileFoot[i].y);
        const Element& el = m.r.elements[m.elemsAt[n].front()];
        const double xy[4] = {m.r.nodes[el.n1].x, m.r.nodes[el.n1].y, m.r.nodes[el.n2].x,
                              m.r.nodes[el.n2].y};
        const double pt[2] = {m.pileFoot[i].x, m.pileFoot[i].y};
        Model::PileSpring ps{{el.n1, el.n2}, {0.0, 0.0}};
        PileStiffEq(1, 2, xy, pt, plan.piles[i].k, ps.k);
        m.spring[el.n1] += ps.k[0];
        m.spring[el.n2] += ps.k[1];
        m.pileSprings.push_back(ps);
        m.r.piles.push_back({n, {}, {}});
    }

    std::vector<int> group(static_cast<size_t>(nNodes), -1);
    m.twistRestraint.assign(static_cast<size_t>(nNodes), 0.0);
    m.twistAxis.assign(static_cast<size_t>(nNodes), Point2());
    for (int s = 0; s < nNodes; ++s) {
        if (group[s] >= 0)
            continue;
        std::vector<int> members{s};
        group[s] = s;
        for (size_t q = 0; q < members.size(); ++q)
            for (int a : m.adj[members[q]])
                if (group[a] < 0) {
                    group[a] = s;
                    members.push_back(a);
                }
        // Supported nodes and whether the group and its supports lie on one line.
        std::vector<int> held;
        for (int a : members)
            if (m.spring[a] > 0.0)
                held.push_back(a);
        const Node& at = m.r.nodes[s];
        const bool straight = Collinear(m.r.nodes, members);
        // Told after the factorisation, which names the node and the movement left free; this
        // catches what rounding may hide from it (piles exactly in one line).
        if ((held.size() < (straight ? 2u : 3u) || (!straight && Collinear(m.r.nodes, held))) &&
            m.unheld.empty())
            m.unheld = "mechanism: the beams at " + At(at.x, at.y) +
                       " are not held by enough piles: a straight run needs two, a grillage "
                       "three not in one line";
        if (straight) {
            const Node& a = m.r.nodes[members.front()];
            const Node& b = m.r.nodes[Farthest(m.r.nodes, members)];
            const double L = std::hypot(b.x - a.x, b.y - a.y);
            const double lenSq = plan.meshLen * plan.meshLen;
            for (int h : held) {
                m.twistRestraint[h] = kNominalTwistRestraint * m.spring[h] * lenSq;
                m.twistAxis[h] = {(b.x - a.x) / L, (b.y - a.y) / L};
            }
        }
    }
}

// Element stiffness in local unknowns per node (w, slope along the beam, cross slope to the
// left of the beam, whose rate along it is the twist): Euler-Bernoulli bending and St Venant
// torsion; and the transformation local = T global, per node [1 0 0; 0 c s; 0 -s c].
struct ElementMatrices {
    double kl[6][6];
    double T[6][6];
};

ElementMatrices ElementStiffness(const Node& a, const Node& b, double EI, double GJ) {
    ElementMatrices em = {};
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double L = std::hypot(dx, dy);
    const double c = dx / L, s = dy / L;
    const double f = EI / (L * L * L);
    const double bend[4][4] = {{12 * f, 6 * L * f, -12 * f, 6 * L * f},
                               {6 * L * f, 4 * L * L * f, -6 * L * f, 2 * L * L * f},
                               {-12 * f, -6 * L * f, 12 * f, -6 * L * f},
                               {6 * L * f, 2 * L * L * f, -6 * L * f, 4 * L * L * f}};
    const int bi[4] = {0, 1, 3, 4};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            em.kl[bi[i]][bi[j]] = bend[i][j];
    em.kl[2][2] = em.kl[5][5] = GJ / L;
    em.kl[2][5] = em.kl[5][2] = -GJ / L;
    for (int n = 0; n < 2; ++n) {
        const int o = 3 * n;
        em.T[o][o] = 1.0;
        em.T[o + 1][o + 1] = c;
        em.T[o + 1][o + 2] = s;
        em.T[o + 2][o + 1] = -s;
        em.T[o + 2][o + 2] = c;
    }
    return em;
}

// Loads on the element's local unknowns equivalent to a uniform load q (kN/m, downward):
// qL/2 on each deflection, +-qL^2/12 on the slopes along the beam.
void EquivalentLoads(double q, double L, double f[6]) {
    f[0] = f[3] = 0.5 * q * L;
    f[1] = q * L * L / 12.0;
    f[4] = -f[1];
    f[2] = f[5] = 0.0;
}

// An element's local end actions under its end movements ue (global unknowns) and its uniform
// load q: kl times the deformation, less the fixed-end loads. The deformation is what is left
// of the movement once the rigid movement of the first end (its deflection, its slope along
// the element and its cross slope, carried to the second end) is taken off; kl annihilates
// that rigid movement in exact arithmetic. On a short stiff element, or under a settlement
// far larger than the bending, products of the whole movement are far larger than the forces
// and their rounding leaves end actions that do not balance each other; products of the
// deformation balance to the rounding of the forces themselves.
void EndActions(const ElementMatrices& em, double L, const double ue[6], double q, double f[6]) {
    double ul[6];
    for (int i = 0; i < 6; ++i) {
        ul[i] = 0.0;
        for (int j = 0; j < 6; ++j)
            ul[i] += em.T[i][j] * ue[j];
    }
    const double d[3] = {ul[3] - ul[0] - ul[1] * L, ul[4] - ul[1], ul[5] - ul[2]};
    EquivalentLoads(q, L, f);
    for (int i = 0; i < 6; ++i) {
        double v = -f[i];
        for (int j = 0; j < 3; ++j)
            v += em.kl[i][3 + j] * d[j];
        f[i] = v;
    }
}

int Ids(const Model& m, const Element& el, int ids[6]) {
    for (int j = 0; j < 3; ++j) {
        ids[j] = m.Dof(el.n1, j);
        ids[3 + j] = m.Dof(el.n2, j);
    }
    return 6;
}

// The element stiffness in global unknowns, T^t kl T.
void GlobalStiffness(const ElementMatrices& em, double k[6][6]) {
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            double v = 0.0;
            for (int a = 0; a < 6; ++a)
                for (int b = 0; b < 6; ++b)
                    v += em.T[a][i] * em.kl[a][b] * em.T[b][j];
            k[i][j] = v;
        }
}

// A zero matrix of any number of rows: it grows by rows beyond the constructor's size limit.
CMatrix Tall(int rows, int cols) {
    CMatrix M(1, cols, 0.0);
    if (rows > 1)
        M.InsertRow(1, rows - 1);
    return M;
}

// R = F - K U for every load case, K formed element by element (the skyline holds its
// factors by now).
void Residual(const Model& m, const CMatrix& F, const CMatrix& U, CMatrix& R) {
    const int nCases = m.plan.nCases;
    for (int i = 0; i < m.r.nDof; ++i)
        for (int lc = 0; lc < nCases; ++lc)
            R(i, lc) = F(i, lc);
    for (const Element& el : m.r.elements) {
        const ElementMatrices em = ElementStiffness(m.r.nodes[el.n1], m.r.nodes[el.n2], m.EI, m.GJ);
        int ids[6];
        Ids(m, el, ids);
        for (int lc = 0; lc < nCases; ++lc) {
            double ue[6], f[6];
            for (int j = 0; j < 6; ++j)
                ue[j] = U(ids[j], lc);
            EndActions(em, el.length, ue, 0.0, f);
            for (int i = 0; i < 6; ++i) {
                double v = 0.0;  // global = T^t local
                for (int a = 0; a < 6; ++a)
                    v += em.T[a][i] * f[a];
                R(ids[i], lc) -= v;
            }
        }
    }
    for (int n = 0; n < m.NodeCount(); ++n) {
        const int w = m.Dof(n, 0), i1 = m.Dof(n, 1), i2 = m.Dof(n, 2);
        const double c = m.twistAxis[n].x, s = m.twistAxis[n].y, kr = m.twistRestraint[n];
        for (int lc = 0; lc < nCases; ++lc) {
            R(w, lc) -= m.spring[n] * U(w, lc);
            if (kr > 0.0) {
                const double u1 = U(i1, lc), u2 = U(i2, lc);
                R(i1, lc) -= kr * (s * s * u1 - s * c * u2);
                R(i2, lc) -= kr * (c * c * u2 - s * c * u1);
            }
        }
    }
}

// --- assembly ----------------------------------------------------------------------------------
void Assemble(Model& m, CSparseMatrix& K, CMatrix& B) {
    m.Stage("assembly");
    K = 0.0;
    const int nCases = m.plan.nCases;
    for (int e = 0; e < static_cast<int>(m.r.elements.size()); ++e) {
        const Element& el = m.r.elements[e];
        const ElementMatrices em = ElementStiffness(m.r.nodes[el.n1], m.r.nodes[el.n2], m.EI, m.GJ);
        double k[6][6];
        GlobalStiffness(em, k);
        int ids[6];
        Ids(m, el, ids);
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j)
                if (ids[i] >= ids[j])
                    K(ids[i], ids[j]) += k[i][j];
        for (int lc = 0; lc < nCases; ++lc) {
            const double q = m.lineLoad[lc][e];
            if (q == 0.0)
                continue;
            double fl[6];
            EquivalentLoads(q, el.length, fl);
            for (int i = 0; i < 6; ++i) {
                double fg = 0.0;  // global = T^t local
                for (int a = 0; a < 6; ++a)
                    fg += em.T[a][i] * fl[a];
                B(ids[i], lc) += fg;
            }
        }
    }
    for (int n = 0; n < m.NodeCount(); ++n) {
        K(m.Dof(n, 0), m.Dof(n, 0)) += m.spring[n];
        if (m.twistRestraint[n] > 0.0) {
            // Restrain only the slope across the line: -s wx + c wy.
            const double c = m.twistAxis[n].x, s = m.twistAxis[n].y, kr = m.twistRestraint[n];
            const int i1 = m.Dof(n, 1), i2 = m.Dof(n, 2);
            K(i1, i1) += kr * s * s;
            K(i2, i2) += kr * c * c;
            K(std::max(i1, i2), std::min(i1, i2)) += -kr * s * c;
        }
        for (int lc = 0; lc < nCases; ++lc)
            B(m.Dof(n, 0), lc) += m.load[lc][n];
    }
}

// --- solve: every load case at once --------------------------------------------------------
// A pivot ratio (pivot over assembled diagonal) below this loses ten or more digits.
constexpr double kIllConditioned = 1e-10;
// Refinement steps at most; each must at least halve the correction before it, and a
// well-conditioned model stops after one or two.
constexpr int kMaxRefinements = 20;

// The movement an equation stands for, at its node: "vertical movement at node 12 (3, 0)".
std::string DofMovement(const Model& m, int row) {
    static const char* const kMovement[3] = {"vertical movement", "rotation about the y axis",
                                             "rotation about the x axis"};
    for (int n = 0; n < m.NodeCount(); ++n) {
        const int j = row - m.Dof(n, 0);
        if (j >= 0 && j < 3)
            return std::string(kMovement[j]) + " at node " + std::to_string(n + 1) + " " +
                   At(m.r.nodes[n].x, m.r.nodes[n].y);
    }
    return "equation " + std::to_string(row + 1);
}

// The factorisation tells how many of its rows are done; that is its share of the stage.
void FactorisationProgress(void* user, int rowsDone, int rowsTotal) {
    try {
        static_cast<const Model*>(user)->Stage(
            "factorisation", static_cast<double>(rowsDone) / static_cast<double>(rowsTotal));
    } catch (...) {
        // A progress report that fails is lost; the factorisation must go on.
    }
}

// What sets a model's stiffnesses apart: its shortest and longest elements (a beam's
// stiffness grows with the inverse cube of its length) and its softest and stiffest piles.
std::string StiffnessSpread(const Model& m) {
    double shortest = HUGE_VAL, longest = 0.0, softest = HUGE_VAL, stiffest = 0.0;
    for (const Element& el : m.r.elements) {
        shortest = std::min(shortest, el.length);
        longest = std::max(longest, el.length);
    }
    for (const PileInput& p : m.plan.piles) {
        softest = std::min(softest, p.k);
        stiffest = std::max(stiffest, p.k);
    }
    char buf[200];
    std::snprintf(buf, sizeof buf, "elements %.3g to %.3g m long, EI %.3g kNm2", shortest, longest,
                  m.EI);
    std::string s = buf;
    if (stiffest > 0.0) {
        std::snprintf(buf, sizeof buf, ", piles %.3g to %.3g kN/m", softest, stiffest);
        s += buf;
    }
    return s;
}

void Solve(Model& m, CSparseMatrix& K, CMatrix& B) {
    m.Stage("factorisation");
    for (int i = 0; i < m.r.nDof; ++i)
        for (int lc = 0; lc < m.plan.nCases; ++lc)
            if (!std::isfinite(B(i, lc)))
                throw AnalysisError(
                    "the loads are out of the range of numbers this program "
                    "can work with");
    // The solver's own message on a vanished pivot is replaced by the report below.
    struct QuietSolver {
        MessageBoxHandler previous =
            SetMessageBoxHandler([](const char*, UINT, UINT) { return IDOK; });
        ~QuietSolver() { SetMessageBoxHandler(previous); }
    };
    CMatrix F = Tall(m.r.nDof, m.plan.nCases);
    for (int i = 0; i < m.r.nDof; ++i)
        for (int lc = 0; lc < m.plan.nCases; ++lc)
            F(i, lc) = B(i, lc);
    int solved = 0;
    {
        QuietSolver quiet;
        if (m.progress)
            K.SetProgressHook(FactorisationProgress, &m);
        solved = K.LdltSolve(m.r.nDof, B);
        K.SetProgressHook(nullptr, nullptr);
    }
    m.Stage("refinement");
    const CSparseMatrix::PivotInfo& info = K.GetPivotInfo();
    if (solved != 1) {
        if (info.m_nZeroRow < 0)
            throw AnalysisError("the stiffness matrix could not be factorised");
        std::string what =
            "mechanism: the structure is not supported against " + DofMovement(m, info.m_nZeroRow);
        // Every beam group stands on enough piles: the support is there, but lost in rounding.
        if (m.unheld.empty())
            what +=
                "; its piles would hold it, but its stiffnesses are too far apart for the "
                "arithmetic (" +
                StiffnessSpread(m) + ")";
        throw AnalysisError(what);
    }
    if (!m.unheld.empty())
        throw AnalysisError(m.unheld);
    // Iterative refinement with the factors already at hand: the residual of the rounded
    // solution, solved for its correction, until the correction is below the rounding of the
    // solution, or stops shrinking to half of the one before (the factors are then too far
    // off to win more digits), or after kMaxRefinements steps. A fine mesh of stiff beams on
    // soft piles, or an element far shorter than its neighbours, loses digits in the
    // factorisation; each step wins back as many as the factors keep, for the price of one
    // more residual and one more forward and backward substitution.
    CMatrix R = Tall(m.r.nDof, m.plan.nCases);
    double previous = HUGE_VAL;
    for (int step = 0; step < kMaxRefinements; ++step) {
        Residual(m, F, B, R);
        QuietSolver quiet;
        if (K.LdltSolve(m.r.nDof, R) != 1)
            break;
        double size = 0.0, change = 0.0;
        for (int i = 0; i < m.r.nDof; ++i)
            for (int lc = 0; lc < m.plan.nCases; ++lc) {
                size = std::max(size, std::fabs(B(i, lc)));
                change = std::max(change, std::fabs(R(i, lc)));
            }
        if (!(change < 0.5 * previous))
            break;  // no better than the last step: keep the solution it gave
        for (int i = 0; i < m.r.nDof; ++i)
            for (int lc = 0; lc < m.plan.nCases; ++lc)
                B(i, lc) += R(i, lc);
        if (!(change > 1e-15 * size))
            break;
        previous = change;
    }
    // A pivot far below its diagonal term: that many digits of the solution are lost there.
    if (info.m_dMinRatio >= 0.0 && info.m_dMinRatio < kIllConditioned && info.m_nMinRatioRow >= 0) {
        char buf[80];
        std::snprintf(buf, sizeof buf, "about %.0f digits lost",
                      -std::log10(std::max(info.m_dMinRatio, 1e-300)));
        m.r.warnings.push_back(std::string("the stiffness matrix is ill-conditioned: ") + buf +
                               " in the " + DofMovement(m, info.m_nMinRatioRow) + " (" +
                               StiffnessSpread(m) + ")");
    }
    for (int i = 0; i < m.r.nDof; ++i)
        for (int lc = 0; lc < m.plan.nCases; ++lc)
            if (!std::isfinite(B(i, lc)))
                throw AnalysisError(
                    "the solution is out of the range of numbers this program "
                    "can work with (the stiffnesses or loads are too far apart)");
}

// The largest magnitude so far; values that differ from it only in rounding (a torque that is
// constant along a beam, a shear along an unloaded span) leave it at the first place found,
// so the place reported does not hop with the last digits.
void Track(Extreme& x, double v, int where, int end) {
    if (x.element < 0 || std::fabs(v) > std::fabs(x.value) * (1.0 + 1e-9))
        x = {v, where, end};
}

// --- results: deflections, reactions, end forces, equilibrium --------------------------------
void Results(Model& m, const CMatrix& U) {
    m.Stage("results");
    const int nCases = m.plan.nCases;
    const int nNodes = m.NodeCount();
    const int nElems = static_cast<int>(m.r.elements.size());
    m.r.w.assign(static_cast<size_t>(nCases), std::vector<double>(static_cast<size_t>(nNodes)));
    m.r.forces.assign(static_cast<size_t>(nCases),
                      std::vector<EndForces>(static_cast<size_t>(nElems)));
    std::vector<ElementMatrices> ems;
    ems.reserve(static_cast<size_t>(nElems));
    for (const Element& el : m.r.elements)
        ems.push_back(ElementStiffness(m.r.nodes[el.n1], m.r.nodes[el.n2], m.EI, m.GJ));
    const double cx = m.centre.x, cy = m.centre.y;
    for (int lc = 0; lc < nCases; ++lc) {
        CaseResult& cr = m.r.cases[lc];
        cr.grossMoment = cr.grossLoad * m.size;
        for (int n = 0; n < nNodes; ++n) {
            const double w = U(m.Dof(n, 0), lc);
            m.r.w[lc][n] = w;
            Track(cr.deflection, w, n, 0);
            const double P = m.load[lc][n];
            cr.totalLoad += P;
            cr.loadMomentX += P * (m.r.nodes[n].y - cy);
            cr.loadMomentY += P * (m.r.nodes[n].x - cx);
        }
        cr.maxNode = cr.deflection.element;
        cr.maxDeflection = std::fabs(cr.deflection.value);
        for (size_t i = 0; i < m.pileSprings.size(); ++i) {
            const Model::PileSpring& ps = m.pileSprings[i];
            const double disp[2] = {m.r.w[lc][ps.nodes[0]], m.r.w[lc][ps.nodes[1]]};
            double R = 0.0;
            CalcuPileR(2, ps.k, disp, &R);
            m.r.piles[i].reaction.push_back(R);
            m.r.piles[i].settlement.push_back(m.r.w[lc][m.r.piles[i].node]);
            Track(cr.reaction, R, static_cast<int>(i), 0);
            cr.totalReaction += R;
            for (int j = 0; j < 2; ++j) {
                const Node& at = m.r.nodes[ps.nodes[j]];
                cr.reactionMomentX += ps.k[j] * disp[j] * (at.y - cy);
                cr.reactionMomentY += ps.k[j] * disp[j] * (at.x - cx);
            }
        }
        for (int e = 0; e < nElems; ++e) {
            const Element& el = m.r.elements[e];
            const ElementMatrices& em = ems[e];
            int ids[6];
            Ids(m, el, ids);
            double ue[6], f[6];
            for (int j = 0; j < 6; ++j)
                ue[j] = U(ids[j], lc);
            const double q = m.lineLoad[lc][e];
            EndActions(em, el.length, ue, q, f);
            // End actions on the element to internal forces along it, sagging positive.
            EndForces& ef = m.r.forces[lc][e];
            ef.moment[0] = f[1];
            ef.moment[1] = -f[4];
            ef.shear[0] = -f[0];
            ef.shear[1] = f[3];
            ef.torque[0] = -f[2];
            ef.torque[1] = f[5];
            for (int end = 0; end < 2; ++end) {
                Track(cr.moment, ef.moment[end], e, end);
                Track(cr.shear, ef.shear[end], e, end);
                Track(cr.torque, ef.torque[end], e, end);
            }
            const Node& a = m.r.nodes[el.n1];
            const Node& b = m.r.nodes[el.n2];
            const double Q = q * el.length;
            cr.totalLoad += Q;
            cr.loadMomentX += Q * (0.5 * (a.y + b.y) - cy);
            cr.loadMomentY += Q * (0.5 * (a.x + b.x) - cx);
        }
        const double fe = ForceError(cr), me = MomentError(cr);
        if (!(fe <= kEquilibriumTolerance && me <= kEquilibriumTolerance)) {
            char buf[400];
            std::snprintf(buf, sizeof buf,
                          "load case %s fails its equilibrium check: loads %.6g kN, reactions "
                          "%.6g kN (%.2e of the gross load); moment error %.2e of the gross "
                          "load times the plan size (allowed %.0e): the stiffnesses are too far "
                          "apart for a sound solution; a coarser MESH may help",
                          CaseName(m.plan, lc).c_str(), cr.totalLoad, cr.totalReaction, fe, me,
                          kEquilibriumTolerance);
            throw AnalysisError(buf);
        }
    }
}

}  // namespace

double ForceError(const CaseResult& c) {
    return c.grossLoad > 0.0 ? std::fabs(c.totalReaction - c.totalLoad) / c.grossLoad : 0.0;
}

double MomentError(const CaseResult& c) {
    if (!(c.grossMoment > 0.0))
        return 0.0;
    return std::max(std::fabs(c.reactionMomentX - c.loadMomentX),
                    std::fabs(c.reactionMomentY - c.loadMomentY)) /
           c.grossMoment;
}

Result Analyse(const Plan& plan, const Progress& progress) {
    Result r;
    Model m(plan, r, progress);
    Section(m);
    Split(m);
    Elements(m);
    Renumber(m);
    C3DFaceArray faces;
    DeepRemoveGuard<C3DFaceArray> faceGuard(faces);
    std::vector<PanelRings> rings;
    Panels(m, faces, rings);
    Loads(m, faces, rings);
    Supports(m);
    CSparseMatrix K(r.nDof, m.layout.diag.data());
    CMatrix B = Tall(r.nDof, plan.nCases);
    Assemble(m, K, B);
    Solve(m, K, B);
    Results(m, B);
    return r;
}

}  // namespace pileraft
