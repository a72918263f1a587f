import numpy as np
import pytest

import rvnbasecommon as rvn
from conftest import random_plan


def oracle_faces(oracle, segs, kind="panels"):
    segs3 = np.zeros((len(segs), 2, 3))
    segs3[:, :, :2] = segs
    text = f"{len(segs3)}\n" + "\n".join(" ".join(repr(v) for v in s.ravel()) for s in segs3)
    lines = oracle(kind, text).split("\n")
    faces, i = [], 0
    while i < len(lines) and lines[i]:
        head = lines[i].split()
        k = int(head[0])
        corners = np.array([[float(v) for v in lines[i + 1 + c].split()] for c in range(k)])
        faces.append((corners, *map(float, head[1:])))
        i += 1 + k
    return faces


def grid(nx, ny, size=1.0):
    segs = [[[i * size, j * size], [(i + 1) * size, j * size]] for j in range(ny + 1) for i in range(nx)]
    segs += [[[i * size, j * size], [i * size, (j + 1) * size]] for i in range(nx + 1) for j in range(ny)]
    return np.array(segs, dtype=float)


@pytest.mark.parametrize("seed", range(12))
@pytest.mark.parametrize("kind", ["panels", "all-panels"])
def test_panels_equal_the_library_bit_for_bit(oracle, seed, kind):
    segs = grid(5, 4, 3.0) if seed == 0 else random_plan(np.random.default_rng(seed))
    want = oracle_faces(oracle, segs, kind)
    got = rvn.panels(segs, convex_only=kind == "panels")
    assert len(got) == len(want) > 0
    for p, (corners, area, girth, cx, cy) in zip(got, want):
        assert np.array_equal(p.corners, corners)
        assert (p.area, p.girth) == (area, girth)
        # The library's fan centroid is exact for convex panels only.
        if kind == "panels":
            assert np.allclose(p.centroid[:2], [cx, cy], rtol=0, atol=1e-12 * np.abs(corners).max())


def test_panels_take_2d_and_3d_segments_and_query_points():
    segs = grid(2, 1, 4.0)
    flat, lifted = rvn.panels(segs), rvn.panels(np.concatenate([segs, np.zeros((len(segs), 2, 1))], 2))
    assert [p.area for p in flat] == [p.area for p in lifted] == [16.0, 16.0]
    p = flat[0]
    assert np.array_equal(p.normal, [0, 0, 1])
    pts = np.array([[2, 2], [0, 2], [4, 0], [5, 2], [2, 2 + 1e-9]], float)
    assert p.contains(pts).tolist() == [1, 0, 0, -1, 1]
    assert p.contains(np.array([[2, 2, 0.01]])).tolist() == [-1]  # off the plane
    with pytest.raises(ValueError, match="shape"):
        rvn.panels(np.zeros((3, 3, 2)))
    with pytest.raises(ValueError, match="shape"):
        p.contains(np.zeros(3))


def test_every_panel_comes_out_with_its_holes():
    # An L-shaped slab with a stub reaching into it, and a closed opening inside a square bay.
    L = [[0, 0], [6, 0], [6, 3], [3, 3], [3, 6], [0, 6]]
    segs = [[L[i], L[(i + 1) % 6]] for i in range(6)] + [[[3, 3], [2, 2]]]
    sq = [[10, 0], [16, 0], [16, 6], [10, 6]]
    op = [[12, 2], [14, 2], [14, 4], [12, 4]]
    segs += [[sq[i], sq[(i + 1) % 4]] for i in range(4)] + [[op[i], op[(i + 1) % 4]] for i in range(4)]
    segs = np.array(segs, dtype=float)
    assert rvn.panels(segs, convex_only=True)[0].area == 36.0  # the walk sees only convex ones
    found = sorted(rvn.panels(segs), key=lambda p: p.corners[0, 0] + p.area)
    areas = sorted((p.area, p.net_area, len(p.holes)) for p in found)
    assert areas == [(4.0, 4.0, 0), (27.0, 27.0, 0), (36.0, 32.0, 1)]
    l_shape = next(p for p in found if p.area == 27.0)
    assert np.allclose(l_shape.centroid[:2], [2.5, 2.5])  # (18*(3,1.5) + 9*(1.5,4.5)) / 27
    # Containment: the notch of the L is outside, the stub does not cut the slab, a point in
    # the opening is outside the bay, one on the opening's edge on it.
    assert l_shape.contains(np.array([[1, 1], [4, 4], [2, 2], [5, 1], [3, 4.5]])).tolist() == [1, -1, 1, 1, 0]
    bay = next(p for p in found if p.holes)
    assert bay.contains(np.array([[11, 1], [13, 3], [12, 3]])).tolist() == [1, -1, 0]
