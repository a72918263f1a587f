"""rvnbasecommon: geometry, slab panels, a skyline LDL^T solver, GB 50010-2002 material
tables and pile/soil springs of the rvnBaseCommon library, for Python and NumPy.

    import numpy as np, rvnbasecommon as rvn
    grid = rvn.panels(np.array([[[0, 0], [6, 0]], [[6, 0], [6, 4]], [[6, 4], [0, 4]], [[0, 4], [0, 0]]]))
    print(grid[0].area, grid[0].contains(np.array([[3.0, 2.0]])))
"""

import numpy as _np

from ._core import (  # noqa: F401
    MechanismError,
    MisMatchError,
    OutOfRangeError,
    Panel,
    Point3,
    Segment,
    SkylineLayout,
    SkylineMatrix,
    SparseMatrixError,
    Vec3,
    concrete,
    det,
    inv,
    pile_reaction,
    pile_stiffness,
    plan_skyline,
    section_constants,
    soil_reaction,
    soil_stiffness,
    steel,
)
from . import _core

__all__ = [
    "MechanismError", "MisMatchError", "OutOfRangeError", "Panel", "Point3", "Segment",
    "SkylineLayout", "SkylineMatrix", "SparseMatrixError", "Vec3", "concrete", "det", "inv", "panels",
    "RenumberedSystem", "pile_reaction", "pile_stiffness", "plan_skyline", "section_constants", "skyline_from_scipy", "soil_reaction", "soil_stiffness",
    "steel",
]


def panels(lines, convex_only=False):
    """The closed panels enclosed by plan lines.

    lines: an (n, 2, 2) or (n, 2, 3) array of segments (begin, end); ends join when equal
    within 1e-6 per coordinate, on the plan projection. The caller splits lines that cross.
    Returns a list of Panel (corners anticlockwise seen from +z); the outer boundary is never
    a panel. By default every bounded panel comes out, convex or not (rvn::GenPanelsByLine):
    lines that bound no area (stubs, dangling lines) are left out of every boundary, and a
    group of lines inside a panel (an opening, a core) becomes one of its holes
    (panel.holes, each a Panel; panel.net_area is the area less the holes), the group's own
    faces being panels too. convex_only=True gives exactly the panels of the
    sharpest-left-turn walk (C3DFace::GenFaceByLine): convex panels only, no holes.
    """
    arr = _np.ascontiguousarray(lines, dtype=_np.float64)
    if convex_only:
        found, holes, owner = _core._convex_panels(arr), [], []
    else:
        found, holes, owner = _core._all_panels(arr)
    for p in found:
        p.holes = []
    for h, i in zip(holes, owner):
        found[i].holes.append(h)
    for p in found:
        p.net_area = p.area - sum(h.area for h in p.holes)
    return found


class RenumberedSystem:
    """A symmetric system held in a renumbering that keeps its skyline profile small; solve()
    takes and returns vectors in the original numbering."""

    def __init__(self, matrix, layout):
        self.matrix, self.layout = matrix, layout

    def factorize(self):
        self.matrix.factorize()
        return self

    def solve(self, b):
        new = self.layout.new_unknown
        b = _np.asarray(b, dtype=_np.float64)
        x_new = self.matrix.solve(b[_np.argsort(new)])
        return x_new[new]


def skyline_from_scipy(a, renumber=False):
    """A SkylineMatrix holding the symmetric scipy.sparse (or dense) matrix a.

    Only the lower triangle of a is read (a is taken to be symmetric). With renumber=False the
    profile follows the given numbering; with renumber=True the unknowns are renumbered first
    (plan_skyline over the sparsity pattern) and a RenumberedSystem is returned, whose solve()
    works in the original numbering.
    """
    import scipy.sparse as sp

    coo = sp.coo_matrix(a)
    if coo.shape[0] != coo.shape[1]:
        raise ValueError("a square matrix is expected")
    keep = coo.row >= coo.col
    rows, cols, vals = coo.row[keep], coo.col[keep], coo.data[keep]
    if not renumber:
        return SkylineMatrix._from_coo(coo.shape[0], rows, cols, vals)
    off = rows != cols
    layout = plan_skyline(_np.column_stack([rows[off], cols[off]]), coo.shape[0])
    new = layout.new_unknown
    r, c = new[rows], new[cols]
    matrix = SkylineMatrix._from_coo(coo.shape[0], _np.maximum(r, c), _np.minimum(r, c), vals)
    return RenumberedSystem(matrix, layout)
