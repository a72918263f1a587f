// The symmetric skyline matrix: built from a profile or from coordinate entries, assembled
// element by element, factorised in place (LDL^T) and solved for one or many right-hand sides.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include <pybind11/stl.h>

#include "BaseCommon/matrix/CMatrix.h"
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineNumbering.h"
#include "bindings.h"

namespace rvnpy {

namespace {

using IndexArray = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>;

// A vanished pivot -- exactly zero, or within the rounding error of its computation -- is a
// singular matrix; for a stiffness matrix, a mechanism. The error names the equation.
void RaiseMechanism(const CSparseMatrix& K) {
    const int row = K.GetPivotInfo().m_nZeroRow;
    const std::string text =
        row >= 0 ? "the matrix is singular: the pivot of equation " + std::to_string(row) +
                       " vanished (for a stiffness matrix, a mechanism)"
                 : std::string("the matrix is singular: the factorisation met a zero pivot");
    py::object exc = py::reinterpret_borrow<py::object>(g_MechanismError)(text);
    exc.attr("row") = row;
    PyErr_SetObject(g_MechanismError.ptr(), exc.ptr());
    throw py::error_already_set();
}

// Address of (i, j) in the element buffer, or -1 outside the profile.
std::int64_t Address(const CSparseMatrix& K, std::int64_t i, std::int64_t j) {
    if (i < 0 || j < 0 || i >= K.m_nRow || j >= K.m_nRow)
        throw py::index_error("index out of range");
    if (j > i)
        std::swap(i, j);
    const std::int64_t d = K.m_pnDiag[i];
    const std::int64_t height = i == 0 ? 1 : d - K.m_pnDiag[i - 1];
    return i - j < height ? d - (i - j) : -1;
}

// A profile from the first stored column of each row, checked against what an int address
// can hold.
std::vector<int> DiagFromFirst(const std::vector<std::int64_t>& first) {
    std::vector<int> diag(first.size());
    std::int64_t d = -1;
    for (size_t i = 0; i < first.size(); ++i) {
        d += static_cast<std::int64_t>(i) - first[i] + 1;
        if (d > INT_MAX) {
            throw py::value_error(
                "the profile holds more than 2^31 - 1 elements: renumber the "
                "unknowns to shorten it");
        }
        diag[i] = static_cast<int>(d);
    }
    return diag;
}

std::unique_ptr<CSparseMatrix> Allocate(int n, const int* diag) {
    MessageCapture capture;
    auto K = std::make_unique<CSparseMatrix>(n, diag);
    ThrowIfMessage(capture);
    *K = 0.0;
    ThrowIfMessage(capture);
    return K;
}

std::unique_ptr<CSparseMatrix> FromCoo(std::int64_t n, const IndexArray& rows,
                                       const IndexArray& cols, const DoubleArray& vals) {
    if (n < 1 || n > INT_MAX)
        throw py::value_error("the order must lie in 1 .. 2^31 - 1");
    if (rows.ndim() != 1 || cols.ndim() != 1 || vals.ndim() != 1 ||
        rows.shape(0) != cols.shape(0) || rows.shape(0) != vals.shape(0)) {
        throw py::value_error("rows, cols and values must be 1-D arrays of one length");
    }
    auto r = rows.unchecked<1>();
    auto c = cols.unchecked<1>();
    auto v = vals.unchecked<1>();
    std::vector<std::int64_t> first(static_cast<size_t>(n));
    for (std::int64_t i = 0; i < n; ++i)
        first[static_cast<size_t>(i)] = i;
    for (py::ssize_t k = 0; k < rows.shape(0); ++k) {
        if (r(k) < 0 || r(k) >= n || c(k) < 0 || c(k) >= n) {
            throw py::index_error("entry index out of range");
        }
        if (c(k) > r(k))
            throw py::value_error("only lower-triangle entries (row >= col) are read");
        auto& f = first[static_cast<size_t>(r(k))];
        f = std::min(f, c(k));
    }
    const std::vector<int> diag = DiagFromFirst(first);
    auto K = Allocate(static_cast<int>(n), diag.data());
    for (py::ssize_t k = 0; k < rows.shape(0); ++k) {
        K->m_pdElement[Address(*K, r(k), c(k))] += v(k);
    }
    return K;
}

// One right-hand side in a vector, several as the columns of an (n, k) array; the result is a
// new array of the same shape.
py::array_t<double> Solve(CSparseMatrix& K, const DoubleArray& b) {
    const py::ssize_t n = K.m_nRow;
    if ((b.ndim() != 1 && b.ndim() != 2) || b.shape(0) != n) {
        throw py::value_error("the right-hand side must have shape (n,) or (n, k)");
    }
    MessageCapture capture;
    int ok = 0;
    if (b.ndim() == 1) {
        py::array_t<double> x(n);
        std::copy(b.data(), b.data() + n, x.mutable_data());
        {
            py::gil_scoped_release unlocked;
            ok = K.LdltSolve(static_cast<int>(n), x.mutable_data());
        }
        ThrowIfMessage(capture);
        if (!ok)
            RaiseMechanism(K);
        return x;
    }
    const py::ssize_t k = b.shape(1);
    if (k < 1 || k > mtxkit::kMaxMatrixSize) {
        throw py::value_error("between 1 and 4096 right-hand sides at once");
    }
    // The dense matrix's constructor stops at 4096 rows; a taller right-hand side grows by
    // appended rows.
    const int first_rows = static_cast<int>(std::min<py::ssize_t>(n, mtxkit::kMaxMatrixSize));
    CMatrix B(first_rows, static_cast<int>(k));
    if (n > first_rows)
        B.InsertRow(first_rows, static_cast<int>(n - first_rows));
    auto src = b.unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i)
        for (py::ssize_t j = 0; j < k; ++j)
            B(static_cast<int>(i), static_cast<int>(j)) = src(i, j);
    {
        py::gil_scoped_release unlocked;
        ok = K.LdltSolve(static_cast<int>(n), B);
    }
    if (!capture.Texts().empty() && capture.Texts().front() == "Error in GK")
        RaiseMechanism(K);
    ThrowIfMessage(capture);
    if (!ok)
        RaiseMechanism(K);
    py::array_t<double> x({n, k});
    auto dst = x.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i)
        for (py::ssize_t j = 0; j < k; ++j)
            dst(i, j) = B(static_cast<int>(i), static_cast<int>(j));
    return x;
}

template <class T>
py::array_t<T> Copy(const std::vector<T>& v) {
    return py::array_t<T>(static_cast<py::ssize_t>(v.size()), v.data());
}

rvn::SkylineOrdering OrderingOf(const std::string& name) {
    if (name == "given")
        return rvn::SkylineOrdering::Given;
    if (name == "rcm")
        return rvn::SkylineOrdering::ReverseCuthillMcKee;
    if (name == "sloan")
        return rvn::SkylineOrdering::Sloan;
    if (name == "smallest")
        return rvn::SkylineOrdering::Smallest;
    throw py::value_error("ordering must be 'given', 'rcm', 'sloan' or 'smallest'");
}

// The layout with the count of unknowns of each node, which the element-to-unknown map needs.
struct Layout {
    rvn::SkylineLayout l;
    std::vector<int> counts;
};

// Elements as an (e, k) integer array or any sequence of node sequences (elements of
// different sizes).
Layout PlanLayout(const py::object& elements, int n_nodes, const py::object& upn,
                  const std::string& ordering) {
    std::unique_ptr<rvn::CouplingGraph> g;
    if (py::isinstance<py::int_>(upn)) {
        g = std::make_unique<rvn::CouplingGraph>(n_nodes, upn.cast<int>());
    } else {
        std::vector<int> counts = upn.cast<std::vector<int>>();
        if (static_cast<int>(counts.size()) != n_nodes) {
            throw py::value_error("unknowns_per_node must give one count per node");
        }
        g = std::make_unique<rvn::CouplingGraph>(counts);
    }
    const rvn::SkylineOrdering how = OrderingOf(ordering);
    std::vector<int> nodes;
    for (const py::handle& el : elements) {
        nodes = py::cast<std::vector<int>>(el);
        if (!g->AddElement(nodes.data(), static_cast<int>(nodes.size()))) {
            throw py::index_error("an element names a node outside 0 .. n_nodes - 1");
        }
    }
    Layout layout;
    {
        py::gil_scoped_release unlocked;
        layout.l = rvn::PlanSkyline(*g, how);
    }
    if (layout.l.status != rvn::SkylineStatus::Ok)
        throw py::value_error(layout.l.message);
    layout.counts = g->Unknowns();
    return layout;
}

}  // namespace

void BindSparse(py::module_& m) {
    py::class_<Layout>(
        m, "SkylineLayout",
        "A numbering of a model's unknowns that keeps the skyline profile small, and the "
        "diagonal addresses of that profile (see plan_skyline).")
        .def_property_readonly("unknown_count", [](const Layout& x) { return x.l.unknownCount; })
        .def_property_readonly(
            "ordering",
            [](const Layout& x) { return std::string(rvn::SkylineOrderingName(x.l.ordering)); })
        .def_property_readonly("diag", [](const Layout& x) { return Copy(x.l.diag); })
        .def_property_readonly(
            "new_unknown", [](const Layout& x) { return Copy(x.l.newUnknown); },
            "new_unknown[old] is the new number of original unknown old.")
        .def_property_readonly("node_position",
                               [](const Layout& x) { return Copy(x.l.nodePosition); })
        .def_property_readonly("first_unknown",
                               [](const Layout& x) { return Copy(x.l.firstUnknown); })
        .def_property_readonly("profile_before", [](const Layout& x) { return x.l.profileBefore; })
        .def_property_readonly("profile_after", [](const Layout& x) { return x.l.profileAfter; })
        .def_property_readonly("band_before", [](const Layout& x) { return x.l.bandBefore; })
        .def_property_readonly("band_after", [](const Layout& x) { return x.l.bandAfter; })
        .def(
            "matrix", [](const Layout& x) { return Allocate(x.l.unknownCount, x.l.diag.data()); },
            "A zero SkylineMatrix of this profile, ready for assembly.")
        .def(
            "unknowns",
            [](const Layout& x, const IndexArray& nodes) {
                if (nodes.ndim() != 2)
                    throw py::value_error("nodes must be an (e, k) array");
                const std::int64_t count = static_cast<std::int64_t>(x.counts.size());
                const int per = x.counts.empty() ? 0 : x.counts.front();
                if (std::any_of(x.counts.begin(), x.counts.end(),
                                [per](int c) { return c != per; })) {
                    throw py::value_error("unknowns() needs one count of unknowns for every node");
                }
                auto nd = nodes.unchecked<2>();
                py::array_t<std::int64_t> out({nodes.shape(0), nodes.shape(1) * per});
                auto r = out.mutable_unchecked<2>();
                for (py::ssize_t e = 0; e < nodes.shape(0); ++e)
                    for (py::ssize_t a = 0; a < nodes.shape(1); ++a) {
                        const std::int64_t n = nd(e, a);
                        if (n < 0 || n >= count)
                            throw py::index_error("node out of range");
                        for (int j = 0; j < per; ++j)
                            r(e, a * per + j) = x.l.Unknown(static_cast<int>(n), j);
                    }
                return out;
            },
            py::arg("nodes"),
            "The new numbers of the unknowns of each element's nodes, node by node: an (e, k) "
            "array of nodes gives (e, k * unknowns_per_node), ready for SkylineMatrix.assemble.");
    m.def("plan_skyline", &PlanLayout, py::arg("elements"), py::arg("n_nodes"),
          py::arg("unknowns_per_node") = 1, py::arg("ordering") = "smallest",
          "Numbers the unknowns of a model from its couplings: elements is a sequence of node "
          "lists (an element couples every unknown of its nodes), unknowns_per_node one count "
          "or one per node. ordering 'smallest' (default) keeps the smallest profile of the "
          "given order, reverse Cuthill-McKee and Sloan; 'given', 'rcm', 'sloan' force one. "
          "A profile beyond 2^31 - 1 stored elements raises ValueError with the reason.");

    py::class_<CSparseMatrix, std::unique_ptr<CSparseMatrix>>(
        m, "SkylineMatrix",
        "Symmetric matrix of order n in skyline storage: the lower triangle row by row, each "
        "row from its first stored column to the diagonal; diag[i] is the index of (i, i) in "
        "the element buffer. Factorised in place as L D L^T (no square roots); solves reuse "
        "the factors. A zero pivot -- for a stiffness matrix, a mechanism -- raises "
        "MechanismError.")
        .def(py::init([](const IndexArray& diag) {
                 if (diag.ndim() != 1 || diag.shape(0) < 1 || diag.shape(0) > INT_MAX) {
                     throw py::value_error("diag must be a non-empty 1-D array");
                 }
                 std::vector<int> d(static_cast<size_t>(diag.shape(0)));
                 for (size_t i = 0; i < d.size(); ++i) {
                     const std::int64_t v = diag.at(static_cast<py::ssize_t>(i));
                     if (v < INT_MIN || v > INT_MAX)
                         throw py::value_error("diag out of range");
                     d[i] = static_cast<int>(v);
                 }
                 return Allocate(static_cast<int>(d.size()), d.data());
             }),
             py::arg("diag"),
             "A zero matrix of the given profile (diag[0] = 0, row heights 1 .. i + 1).")
        .def_static("_from_coo", &FromCoo, py::arg("n"), py::arg("rows"), py::arg("cols"),
                    py::arg("values"))
        .def_property_readonly("order", &CSparseMatrix::GetRow)
        .def_property_readonly(
            "shape", [](const CSparseMatrix& K) { return py::make_tuple(K.m_nRow, K.m_nRow); })
        .def_property_readonly(
            "diag", [](const CSparseMatrix& K) { return py::array_t<int>(K.m_nRow, K.m_pnDiag); },
            "A copy of the diagonal addresses.")
        .def_property_readonly(
            "elements",
            [](py::object self) {
                auto& K = self.cast<CSparseMatrix&>();
                const py::ssize_t count = static_cast<py::ssize_t>(K.m_pnDiag[K.m_nRow - 1]) + 1;
                return py::array_t<double>(count, K.m_pdElement, self);
            },
            "The element buffer as a NumPy view (no copy): the stored values, or the factors "
            "(pivots on the diagonal, d_c l_ic off it) once factorised.")
        .def_property_readonly("profile_size",
                               [](const CSparseMatrix& K) {
                                   return static_cast<std::int64_t>(K.m_pnDiag[K.m_nRow - 1]) + 1;
                               })
        .def_property_readonly(
            "negative_pivots", [](const CSparseMatrix& K) { return K.GetPivotInfo().m_nNegative; },
            "Number of negative pivots of the latest factorisation (the Sturm count: for "
            "K - sigma M, the number of eigenvalues below sigma).")
        .def_property_readonly(
            "min_pivot_ratio",
            [](const CSparseMatrix& K) {
                const auto& info = K.GetPivotInfo();
                return py::make_tuple(info.m_dMinRatio, info.m_nMinRatioRow);
            },
            "(smallest |d_i| / |a_ii|, its row) of the latest factorisation: about "
            "-log10(ratio) digits were lost in that row; (1.0, -1) before any.")
        .def_property_readonly("factorized",
                               [](const CSparseMatrix& K) { return K.m_bDecomposed != 0; })
        .def("__getitem__",
             [](const CSparseMatrix& K, std::pair<std::int64_t, std::int64_t> ij) {
                 const std::int64_t a = Address(K, ij.first, ij.second);
                 return a < 0 ? 0.0 : K.m_pdElement[a];
             })
        .def("__setitem__",
             [](CSparseMatrix& K, std::pair<std::int64_t, std::int64_t> ij, double v) {
                 const std::int64_t a = Address(K, ij.first, ij.second);
                 if (a < 0)
                     throw py::index_error("position outside the profile");
                 K.m_pdElement[a] = v;
             })
        .def(
            "assemble",
            [](CSparseMatrix& K, const IndexArray& dofs, const DoubleArray& ke) {
                if (dofs.ndim() != 2 || ke.ndim() != 3 || ke.shape(0) != dofs.shape(0) ||
                    ke.shape(1) != dofs.shape(1) || ke.shape(2) != dofs.shape(1)) {
                    throw py::value_error("dofs (e, k) and element matrices (e, k, k) expected");
                }
                if (K.m_bDecomposed) {
                    throw py::value_error("the matrix holds its factors: assemble a new one");
                }
                auto d = dofs.unchecked<2>();
                auto e = ke.unchecked<3>();
                // Check every address first so a refused call adds nothing.
                std::vector<std::int64_t> addr;
                addr.reserve(static_cast<size_t>(dofs.shape(0) * dofs.shape(1) * dofs.shape(1)));
                for (py::ssize_t el = 0; el < dofs.shape(0); ++el)
                    for (py::ssize_t a = 0; a < dofs.shape(1); ++a)
                        for (py::ssize_t b = 0; b <= a; ++b) {
                            const std::int64_t at = Address(K, d(el, a), d(el, b));
                            if (at < 0)
                                throw py::index_error("coupling outside the profile");
                            addr.push_back(at);
                        }
                size_t next = 0;
                for (py::ssize_t el = 0; el < dofs.shape(0); ++el)
                    for (py::ssize_t a = 0; a < dofs.shape(1); ++a)
                        for (py::ssize_t b = 0; b <= a; ++b)
                            K.m_pdElement[addr[next++]] += e(el, a, b);
            },
            py::arg("dofs"), py::arg("element_matrices"),
            "Adds element matrices: row e of dofs names the k unknowns of element e, "
            "element_matrices[e] its symmetric k x k matrix (lower triangle read).")
        .def(
            "factorize",
            [](CSparseMatrix& K) -> CSparseMatrix& {
                MessageCapture capture;
                int ok = 0;
                {
                    py::gil_scoped_release unlocked;
                    ok = K.Decomposition(K.m_nRow);
                }
                ThrowIfMessage(capture);
                if (!ok)
                    RaiseMechanism(K);
                return K;
            },
            py::return_value_policy::reference_internal,
            "Factorises in place (once; later calls return at once).")
        .def("solve", &Solve, py::arg("b"),
             "Solves K x = b for b of shape (n,) or (n, k), factorising first when needed; b "
             "is not changed. Each column gets the same bits as when solved alone.");
}

}  // namespace rvnpy
