import os
import subprocess

import numpy as np
import pytest


@pytest.fixture(scope="session")
def oracle():
    """Runs the C++ oracle program: what the library computes for the same input."""
    exe = os.environ.get("RVN_ORACLE")
    if not exe:
        pytest.skip("RVN_ORACLE is not set: run the tests through ctest")

    def run(kind, text):
        out = subprocess.run([exe, kind], input=text, capture_output=True, text=True, check=True)
        return out.stdout

    return run


def random_plan(rng, cells=6, drop=0.25):
    """A grid of beam lines, split at every joint, with some sides removed (merged panels),
    some diagonals (triangles) and a little rotation: the shapes face generation meets."""
    xs = np.cumsum(rng.uniform(2.0, 8.0, cells + 1))
    ys = np.cumsum(rng.uniform(2.0, 8.0, cells + 1))
    segs = []
    for j, y in enumerate(ys):
        for i in range(cells):
            if 0 < j < cells and rng.random() < drop:
                continue
            segs.append([[xs[i], y], [xs[i + 1], y]])
    for i, x in enumerate(xs):
        for j in range(cells):
            if 0 < i < cells and rng.random() < drop:
                continue
            segs.append([[x, ys[j]], [x, ys[j + 1]]])
    for _ in range(cells):
        i, j = rng.integers(0, cells, 2)
        segs.append([[xs[i], ys[j]], [xs[i + 1], ys[j + 1]]])
    segs = np.array(segs)
    a = rng.uniform(0, 2 * np.pi)
    rot = np.array([[np.cos(a), -np.sin(a)], [np.sin(a), np.cos(a)]])
    segs = segs @ rot.T
    rng.shuffle(segs)
    return segs
