import io
import pickle

import numpy as np
import pytest

import rvnbasecommon as rvn


@pytest.mark.parametrize("cls", [rvn.Vec3, rvn.Point3])
def test_triples_round_trip_through_numpy(cls):
    src = np.array([1.5, -2.25, 1e300])
    for made in (cls(src), cls(list(src)), cls(tuple(src)), cls(*src)):
        out = np.asarray(made)
        assert out.dtype == np.float64 and out.shape == (3,)
        assert np.array_equal(out, src)
        assert list(made) == list(src)
    assert np.array_equal(np.asarray(pickle.loads(pickle.dumps(cls(src)))), src)
    with pytest.raises(ValueError, match="three coordinates"):
        cls(np.zeros(4))


def test_tolerances_are_the_librarys():
    # Vectors compare relatively and inclusively (1e-6 of the larger), points absolutely and
    # strictly (1e-6 per coordinate).
    assert rvn.Vec3(1e6, 0, 0) == rvn.Vec3(1e6 + 1.0, 0, 0)
    assert rvn.Vec3(1e6, 0, 0) != rvn.Vec3(1e6 + 1.5, 0, 0)
    assert rvn.Point3(0, 0, 0) == rvn.Point3(0.9e-6, 0, 0)
    assert rvn.Point3(0, 0, 0) != rvn.Point3(1e-6, 0, 0)
    assert rvn.Vec3(1, 0, 0).is_parallel(rvn.Vec3(-3, 0.0003, 0))
    assert not rvn.Vec3(1, 0, 0).is_parallel(rvn.Vec3(-3, 0.001, 0))
    s = rvn.Segment((0, 0, 0), (10, 0, 0))
    assert s.contains(rvn.Point3(5, 0, 0)) and not s.contains(rvn.Point3(5, 0.01, 0))
    assert np.array_equal(np.asarray(s.intersection(rvn.Segment((4, -1, 0), (4, 1, 0)))), [4, 0, 0])
    assert s.intersection(rvn.Segment((4, 1, 0), (4, 2, 0))) is None


def test_material_tables_equal_the_library(oracle):
    fcuk = np.linspace(10e6, 90e6, 33)
    want = np.loadtxt(io.StringIO(oracle("concrete", f"{len(fcuk)}\n" + "\n".join(map(repr, fcuk)))))
    got = np.column_stack([rvn.concrete.fc(fcuk), rvn.concrete.ft(fcuk), rvn.concrete.Ec(fcuk),
                           rvn.concrete.epsilon_c0(fcuk), rvn.concrete.epsilon_cu(fcuk),
                           rvn.concrete.n(fcuk), rvn.concrete.sigma_c(fcuk, 0.001)])
    assert np.array_equal(got, want)
    fyk = np.linspace(200e6, 450e6, 11)
    want = np.loadtxt(io.StringIO(oracle("steel", f"{len(fyk)}\n" + "\n".join(map(repr, fyk)))))
    got = np.column_stack([rvn.steel.fy(fyk), rvn.steel.fy_compression(fyk), rvn.steel.Es(fyk)])
    assert np.array_equal(got, want)
    # Vectorised over broadcast shapes, scalars stay scalars.
    assert rvn.concrete.sigma_c(np.full((2, 3), 30e6), np.array([0.0, 0.001, 0.01])).shape == (2, 3)
    assert rvn.concrete.Ec(30e6) == 3.0e10


def test_springs_spread_and_sum_back():
    line = np.array([[0.0, 0.0], [4.0, 0.0]])
    k = rvn.pile_stiffness(1, line, (1.0, 0.0), 1000.0)
    assert np.allclose(k, [750.0, 250.0]) and k.sum() == pytest.approx(1000.0)
    quad = np.array([[0, 0], [2, 0], [2, 2], [0, 2]], float)
    assert rvn.soil_stiffness(2, quad, 10.0).sum() == pytest.approx(40.0)
    assert rvn.pile_reaction(k, np.array([0.01, 0.02])) == pytest.approx(12.5)
    assert rvn.soil_reaction(k, np.array([0.01, 0.02]), 4.0) == pytest.approx(12.5 / 4)
    with pytest.raises(ValueError, match="element kind"):
        rvn.pile_stiffness(3, line, (1.0, 0.0), 1.0)
    with pytest.raises(ValueError, match="shape"):
        rvn.pile_stiffness(1, np.zeros(4), (1.0, 0.0), 1.0)
