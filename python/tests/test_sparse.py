import numpy as np
import pytest
import scipy.sparse as sp
import scipy.sparse.linalg as spla

import rvnbasecommon as rvn


def laplacian_2d(n):
    t = sp.diags([-1.0, 2.0, -1.0], [-1, 0, 1], shape=(n, n))
    return (sp.kron(sp.identity(n), t) + sp.kron(t, sp.identity(n)) + 1e-3 * sp.identity(n * n)).tocsr()


def random_spd(n, rng, density=0.05):
    a = sp.random(n, n, density=density, random_state=np.random.RandomState(rng.integers(1 << 30)))
    return (a @ a.T + n * sp.identity(n)).tocsr()


@pytest.mark.parametrize("name", ["grid", "random"])
def test_solution_matches_scipy(name):
    rng = np.random.default_rng(7)
    a = laplacian_2d(30) if name == "grid" else random_spd(400, rng)
    k = rvn.skyline_from_scipy(a)
    b = rng.standard_normal((a.shape[0], 3))
    x = k.solve(b)
    ref = spla.spsolve(a.tocsc(), b)
    assert np.abs(x - ref).max() <= 1e-9 * np.abs(ref).max()
    # One load case, one answer: a column solved with others equals it solved alone.
    for j in range(3):
        assert np.array_equal(k.solve(b[:, j]), x[:, j])
    assert k.factorized


def test_profile_storage_and_views():
    a = laplacian_2d(4)
    k = rvn.skyline_from_scipy(a)
    assert k.shape == (16, 16) and k.profile_size == k.diag[-1] + 1
    dense = np.array([[k[i, j] for j in range(16)] for i in range(16)])
    assert np.array_equal(dense, a.toarray())
    # elements is a view of the library's buffer: no copy, and it sees the factorisation.
    view = k.elements
    assert np.shares_memory(view, k.elements)
    k.factorize()
    assert view[-1] == k[15, 15] != a[15, 15]


def test_assembly_by_elements_equals_scipy():
    # A chain of springs k = 49 between neighbours, one support spring at node 0.
    n = 8
    k = rvn.SkylineMatrix(np.r_[0, np.arange(2, 2 * n, 2)])
    dofs = np.column_stack([np.arange(n - 1), np.arange(1, n)])
    k.assemble(dofs, np.tile([[49.0, -49.0], [-49.0, 49.0]], (n - 1, 1, 1)))
    k[0, 0] += 1.0
    x = k.solve(np.r_[np.zeros(n - 1), 1.0])
    assert x[-1] == pytest.approx(1.0 + (n - 1) / 49.0)


def test_refusals_raise_with_the_librarys_messages():
    with pytest.raises(rvn.SparseMatrixError, match="^The profile of SparseMatrix is not valid, while reallocating$"):
        rvn.SkylineMatrix([0, 3])
    k = rvn.SkylineMatrix([0, 1, 2])
    with pytest.raises(IndexError, match="outside the profile"):
        k[2, 0] = 1.0
    with pytest.raises(IndexError):
        k[3, 0]
    with pytest.raises(ValueError, match="shape"):
        k.solve(np.ones(4))
    # A free chain (no support) is a mechanism, however the load cases are passed.
    n = 600
    free = sp.diags([-49.0, 98.0, -49.0], [-1, 0, 1], shape=(n, n)).tolil()
    free[0, 0] = free[n - 1, n - 1] = 49.0
    for b in (np.ones(n), np.ones((n, 2))):
        with pytest.raises(rvn.MechanismError, match="equation 599") as e:
            rvn.skyline_from_scipy(free).solve(b)
        assert e.value.row == n - 1


def test_factor_diagnostics():
    # K - sigma I for the grid Laplacian: the Sturm count is the number of eigenvalues below
    # sigma; the smallest pivot ratio names where digits were lost.
    a = laplacian_2d(8)
    ev = np.linalg.eigvalsh(a.toarray())
    sigma = 0.5 * (ev[5] + ev[6])
    k = rvn.skyline_from_scipy(a - sigma * sp.identity(64))
    k.factorize()
    assert k.negative_pivots == 6
    ratio, row = k.min_pivot_ratio
    assert 0 < ratio < 1 and 0 <= row < 64
    assert rvn.SkylineMatrix([0, 1]).min_pivot_ratio == (1.0, -1)


def test_dense_errors_keep_their_texts_and_indices():
    with pytest.raises(rvn.MisMatchError, match=r"^Error in Inverse\(\): The det of the matrix is zero \.$"):
        rvn.inv(np.array([[1.0, 2.0], [2.0, 4.0]]))
    with pytest.raises(rvn.MisMatchError, match="not square"):
        rvn.det(np.zeros((2, 3)))
    with pytest.raises(rvn.OutOfRangeError, match="^at Resize$") as e:
        rvn.det(np.zeros((4097, 1)))
    assert (e.value.row, e.value.col) == (4097, -1)
    assert isinstance(e.value, IndexError)
    a = np.array([[4.0, 1.0], [2.0, 3.0]])
    assert rvn.det(a) == 10.0 and np.allclose(rvn.inv(a) @ a, np.eye(2))


def test_renumbered_system_solves_in_the_original_numbering():
    # A grid numbered column-major with a long-range coupling: the given profile is wide.
    a = laplacian_2d(25).tolil()
    a[0, 600] = a[600, 0] = -0.5
    a = a.tocsr()
    sys_ = rvn.skyline_from_scipy(a, renumber=True)
    assert sys_.layout.profile_after < sys_.layout.profile_before
    assert sys_.layout.profile_after == sys_.matrix.profile_size
    assert sorted(sys_.layout.new_unknown) == list(range(a.shape[0]))
    b = np.random.default_rng(3).standard_normal((a.shape[0], 2))
    x = sys_.solve(b)
    assert np.abs(a @ x - b).max() <= 1e-10 * np.abs(b).max()


def test_layout_maps_element_nodes_to_unknowns():
    # Three two-node beams in a row, three unknowns per node.
    layout = rvn.plan_skyline([[0, 1], [1, 2], [2, 3]], 4, unknowns_per_node=3)
    dofs = layout.unknowns(np.array([[0, 1], [1, 2], [2, 3]]))
    assert dofs.shape == (3, 6) and sorted(set(dofs.ravel())) == list(range(12))
    k = layout.matrix()
    k.assemble(dofs, np.tile(np.eye(6), (3, 1, 1)))  # every coupling lies in the profile
    with pytest.raises(IndexError):
        rvn.plan_skyline([[0, 4]], 4)
    with pytest.raises(ValueError, match="ordering"):
        rvn.plan_skyline([[0, 1]], 2, ordering="amd")
