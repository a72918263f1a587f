"""The pile-raft example in Python: the built-in plan of rvn-pile-raft, its panels and its pile
reactions, computed with rvnbasecommon and NumPy (and drawn with matplotlib when installed).

    python3 pile_raft_panels.py            # prints panels and reactions, shows a plot
    python3 pile_raft_panels.py --no-plot  # the same without the picture; exit 1 on a mismatch

It follows the C++ program step by step: beam lines split where they cross and at piles and
columns, nodes merged within 1e-6, beams divided into elements no longer than MESH, a grillage
element of three unknowns per node (deflection and the two slopes), pile springs spread on
element nodes, area loads to the panel borders, columns inside a panel to its corners; then one
skyline factorisation for every load case.
"""

import sys
from pathlib import Path

import numpy as np

import rvnbasecommon as rvn

# The built-in plan of rvn-pile-raft, from the file it is compiled from.
PLAN_FILE = Path(__file__).resolve().parents[2] / "examples" / "pile_raft" / "default_plan.txt"

# Pile reactions (kN) that rvn-pile-raft prints for its built-in plan, load cases dead,
# imposed and wind, to its three decimals.
EXPECTED = np.array([
    [1178.450, 1999.871, 2031.341, 1146.123, 2179.378, 3945.834, 3734.339, 2588.878, 1225.996, 2039.424, 1987.586, 1192.779],
    [312.672, 546.857, 548.788, 312.759, 617.839, 1080.445, 1004.867, 768.695, 331.261, 564.091, 543.240, 318.485],
    [-123.129, -53.338, 53.091, 123.259, -145.431, -58.433, 58.775, 145.322, -123.143, -53.219, 53.221, 123.024],
])


def read_plan(text):
    plan = {"lines": [], "piles": [], "columns": [], "area": []}
    for raw in text.splitlines():
        words = raw.split("#")[0].split()
        if not words:
            continue
        if words[0] in ("TITLE", "CASE"):  # names, for the report only
            continue
        key, vals = words[0], [float(v) for v in words[1:]]
        if key == "CONCRETE":
            plan["grade"] = vals[0]
        elif key == "SECTION":
            plan["b"], plan["h"] = vals
        elif key == "MESH":
            plan["mesh"] = vals[0]
        elif key == "LINE":
            plan["lines"].append(vals)
        elif key == "PILE":
            plan["piles"].append(vals)
        elif key == "COLUMN":
            plan["columns"].append(vals)
        elif key == "AREA":
            plan["area"] = vals
    return plan


class Nodes:
    """Plan points merged when every coordinate differs by less than 1e-6."""

    def __init__(self):
        self.xy, self.cells = [], {}

    def find(self, x, y):
        cx, cy = int(np.floor(x / 2e-6)), int(np.floor(y / 2e-6))
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                for n in self.cells.get((cx + dx, cy + dy), ()):
                    if abs(self.xy[n][0] - x) < 1e-6 and abs(self.xy[n][1] - y) < 1e-6:
                        return n
        return -1

    def add(self, x, y):
        n = self.find(x, y)
        if n < 0:
            n = len(self.xy)
            self.xy.append((x, y))
            self.cells.setdefault((int(np.floor(x / 2e-6)), int(np.floor(y / 2e-6))), []).append(n)
        return n


def transformation(a, b):
    """local = T global, per node [w; slope along; cross slope] = [1 0 0; 0 c s; 0 -s c] [w; wx; wy]."""
    c, s = np.subtract(b, a) / np.hypot(*np.subtract(b, a))
    return np.kron(np.eye(2), np.array([[1, 0, 0], [0, c, s], [0, -s, c]]))


def element_stiffness(a, b, EI, GJ):
    """Euler-Bernoulli bending along the beam and St Venant torsion of the cross slope, in the
    global unknowns (w, dw/dx, dw/dy) of both ends."""
    L = np.hypot(*np.subtract(b, a))
    f = EI / L**3
    kl = np.zeros((6, 6))
    bend = f * np.array([[12, 6 * L, -12, 6 * L], [6 * L, 4 * L * L, -6 * L, 2 * L * L],
                         [-12, -6 * L, 12, -6 * L], [6 * L, 2 * L * L, -6 * L, 4 * L * L]])
    kl[np.ix_([0, 1, 3, 4], [0, 1, 3, 4])] = bend
    kl[np.ix_([2, 5], [2, 5])] = GJ / L * np.array([[1, -1], [-1, 1]])
    T = transformation(a, b)
    return T.T @ kl @ T


def analyse(plan):
    E = rvn.concrete.Ec(plan["grade"] * 1e6) / 1000.0  # kN/m^2
    I = rvn.section_constants(plan["b"], plan["h"], 0)[0]
    J = rvn.section_constants(min(plan["b"], plan["h"]), max(plan["b"], plan["h"]), 1)[2]
    EI, GJ = E * I, E / 2.4 * J

    segs = [rvn.Segment((x1, y1, 0), (x2, y2, 0)) for x1, y1, x2, y2 in plan["lines"]]
    splits = [[0.0, 1.0] for _ in segs]

    def param(s, p):
        v = np.asarray(segs[s].end) - np.asarray(segs[s].begin)
        return min(1.0, max(0.0, np.dot(np.asarray(p) - np.asarray(segs[s].begin), v) / np.dot(v, v)))

    for i in range(len(segs)):
        for j in range(i + 1, len(segs)):
            p = segs[i].intersection(segs[j])
            if p is not None:
                splits[i].append(param(i, p))
                splits[j].append(param(j, p))

    def on_beams(x, y):
        foot = None
        for s, seg in enumerate(segs):
            t = seg.parameter_of(rvn.Point3(x, y, 0))
            if t is None:
                continue
            t = min(1.0, max(0.0, t))
            splits[s].append(t)
            if foot is None:
                foot = np.asarray(seg.point_at(t))[:2]
        return foot

    pile_feet = [on_beams(x, y) for x, y, _ in plan["piles"]]
    column_feet = [on_beams(c[0], c[1]) for c in plan["columns"]]

    nodes, elements, pieces = Nodes(), [], {}
    for s, seg in enumerate(segs):
        ends = []
        for t in sorted(splits[s]):
            p = seg.point_at(t)
            n = nodes.add(p.x, p.y)
            if not ends or ends[-1] != n:
                ends.append(n)
        for n1, n2 in zip(ends, ends[1:]):
            run = rvn.Segment((*nodes.xy[n1], 0), (*nodes.xy[n2], 0))
            pts = run.divide(plan["mesh"])
            ids = [n1] + [nodes.add(x, y) for x, y, _ in pts[1:-1]] + [n2]
            first = len(elements)
            elements += list(zip(ids, ids[1:]))
            pieces[frozenset((n1, n2))] = range(first, len(elements))
    xy = np.array(nodes.xy)
    elements = np.array(elements)
    length = np.hypot(*(xy[elements[:, 1]] - xy[elements[:, 0]]).T)
    n_nodes, n_cases = len(xy), len(plan["area"])

    load = np.zeros((n_nodes, n_cases))
    line_load = np.zeros((len(elements), n_cases))  # kN/m on each element
    for c, foot in zip(plan["columns"], column_feet):
        if foot is not None:
            load[nodes.find(*foot)] += c[2:]

    order = [tuple(k) for k in pieces]
    piece_lines = np.array([[xy[a], xy[b]] for a, b in order])
    panels = rvn.panels(piece_lines)
    placed = [f is not None for f in column_feet]
    for panel in panels:
        ring = [nodes.find(x, y) for x, y, _ in panel.corners]
        border = [e for a, b in zip(ring, ring[1:] + ring[:1]) for e in pieces.get(frozenset((a, b)), ())]
        # The panel's load q A as a uniform line load along its border.
        line_load[border] += np.asarray(plan["area"]) * panel.net_area / length[border].sum()
        # Columns inside the panel go to its true corners (where the border turns).
        cs = panel.corners[:, :2]
        turn = [abs(np.cross(cs[i] - cs[i - 1], cs[(i + 1) % len(cs)] - cs[i])) >= 0.001 for i in range(len(cs))]
        corners = cs[turn]
        for c, col in enumerate(plan["columns"]):
            if placed[c] or panel.contains(np.array([col[:2]]))[0] != 1:
                continue
            w = rvn.pile_stiffness(2, corners, tuple(col[:2]), 1.0)
            for (x, y), wi in zip(corners, w / w.sum()):
                load[nodes.find(x, y)] += np.asarray(col[2:]) * wi
            placed[c] = True

    # Pile springs on the nodes of the first element at the pile's node.
    springs = []
    for (x, y, k), foot in zip(plan["piles"], pile_feet):
        n = nodes.find(*foot)
        e = int(np.nonzero((elements == n).any(axis=1))[0][0])
        ends = elements[e]
        springs.append((ends, rvn.pile_stiffness(1, xy[ends], tuple(foot), k)))

    # Profile in plan order: each node's rows start at the lowest node it is coupled to.
    lowest = np.arange(n_nodes)
    np.minimum.at(lowest, elements[:, 0], elements[:, 1])
    np.minimum.at(lowest, elements[:, 1], elements[:, 0])
    row = np.arange(3 * n_nodes)
    diag = np.cumsum(row - 3 * lowest[row // 3] + 1) - 1
    K = rvn.SkylineMatrix(diag)
    dofs = (3 * elements[:, [0, 0, 0, 1, 1, 1]] + [0, 1, 2, 0, 1, 2])
    K.assemble(dofs, np.array([element_stiffness(xy[a], xy[b], EI, GJ) for a, b in elements]))
    for ends, k in springs:
        for n, kn in zip(ends, k):
            K[3 * n, 3 * n] += kn
    B = np.zeros((3 * n_nodes, n_cases))
    B[0::3] = load
    # Line loads as their equivalent nodal loads: qL/2 on each deflection, +-qL^2/12 on the
    # slopes along the beam, turned into the global unknowns.
    for e, (a, b) in enumerate(elements):
        L = length[e]
        f = np.outer([L / 2, L * L / 12, 0, L / 2, -L * L / 12, 0], line_load[e])
        B[dofs[e]] += transformation(xy[a], xy[b]).T @ f
    w = K.solve(B)[0::3]
    reactions = np.array([[rvn.pile_reaction(k, w[ends, c]) for ends, k in springs] for c in range(n_cases)])
    total_load = load.sum(axis=0) + (line_load * length[:, None]).sum(axis=0)
    return panels, reactions, total_load, xy, elements, w


def main(argv):
    plan = read_plan(PLAN_FILE.read_text())
    panels, reactions, total_load, xy, elements, w = analyse(plan)
    print(f"Panels: {len(panels)}")
    for i, p in enumerate(panels, 1):
        cx, cy = p.centroid[:2]
        print(f"  {i:2d}  corners {len(p.corners)}  area {p.area:8.3f} m2  girth {p.girth:7.3f} m  centroid {cx:.3f}, {cy:.3f}")
    ok = True
    for c, (r, total) in enumerate(zip(reactions, total_load), 1):
        print(f"Load case {c}: load {total:.3f} kN, reactions {r.sum():.3f} kN")
        print("  " + "  ".join(f"{v:9.3f}" for v in r))
        ok &= abs(r.sum() - total) <= 1e-9 * np.abs(total_load).max()
    ok &= np.abs(reactions - EXPECTED).max() <= 1.5e-3
    print("reactions as rvn-pile-raft gives them:", "yes" if ok else "NO")
    if "--no-plot" not in argv:
        try:
            import matplotlib.pyplot as plt
        except ImportError:
            print("matplotlib is not installed: no picture")
        else:
            fig, ax = plt.subplots()
            for p in panels:
                ax.fill(*p.corners[:, :2].T, alpha=0.2)
            for a, b in elements:
                ax.plot(*xy[[a, b]].T, color="k", lw=1)
            sc = ax.scatter(*xy.T, c=1000 * w[:, 0], cmap="viridis", s=12)
            fig.colorbar(sc, label="deflection, load case 1 (mm)")
            ax.set_aspect("equal")
            plt.show()
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
