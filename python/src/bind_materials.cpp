// Concrete and reinforcing-bar properties after GB 50010-2002 (pascals), vectorised over
// NumPy arrays, the dense determinant and inverse, and the pile and soil spring functions.
#include <pybind11/stl.h>

#include "BaseCommon/engineering/PileSoilStiff.h"
#include "BaseCommon/engineering/TableConcrete.h"
#include "BaseCommon/engineering/TableSteelBar.h"
#include "BaseCommon/matrix/CMatrix.h"
#include "BaseCommon/numeric/PlaneCoord.h"
#include "bindings.h"

namespace rvnpy {

namespace {

// Plan coordinates of nodes: an (n, 2) array read as x1, y1, x2, y2, ...
DoubleArray NodeXY(const DoubleArray& nodes) {
    if (nodes.ndim() != 2 || nodes.shape(1) != 2 || nodes.shape(0) < 1) {
        throw py::value_error("nodes must have shape (n, 2)");
    }
    return nodes;
}

void CheckKind(int ok) {
    if (!ok)
        throw py::value_error("element kind must be 0 (node), 1 (line) or 2 (plane)");
}

// Stiffnesses and displacements of one element's nodes: two 1-D arrays of one length.
int PairLength(const DoubleArray& k, const DoubleArray& w) {
    if (k.ndim() != 1 || w.ndim() != 1 || k.shape(0) != w.shape(0))
        throw py::value_error("two 1-D arrays of one length expected");
    return static_cast<int>(k.shape(0));
}

// A table member taking Arg... (a strength, and a strain), its Python name and docstring.
template <class Table, class... Arg>
struct Lookup {
    const char* name;
    double (Table::*fn)(Arg...) const;
    const char* doc;
};

// Binds each lookup as a NumPy-vectorised function of the named arguments.
template <class Table, class... Arg, class... Name>
void DefVectorised(py::module_& sub, const Table& table,
                   std::initializer_list<Lookup<Table, Arg...>> lookups, Name... argNames) {
    for (const auto& l : lookups) {
        const auto fn = l.fn;
        sub.def(l.name, py::vectorize([&table, fn](Arg... x) { return (table.*fn)(x...); }),
                py::arg(argNames)..., l.doc);
    }
}

CMatrix ToCMatrix(const DoubleArray& a) {
    if (a.ndim() != 2)
        throw py::value_error("a 2-D array is expected");
    CMatrix m(static_cast<int>(a.shape(0)), static_cast<int>(a.shape(1)));
    auto r = a.unchecked<2>();
    for (py::ssize_t i = 0; i < a.shape(0); ++i)
        for (py::ssize_t j = 0; j < a.shape(1); ++j)
            m(static_cast<int>(i), static_cast<int>(j)) = r(i, j);
    return m;
}

}  // namespace

void BindMaterials(py::module_& m) {
    // The tables are stateless: one shared instance serves every call.
    static const TableConcrete concrete;
    static const TableSteelBar steel;
    auto c = m.def_submodule(
        "concrete",
        "Concrete grades C15 ... C80 after GB 50010-2002, by cube strength fcuk in pascals. "
        "Lookups interpolate linearly between grades and clamp outside the table; every "
        "function takes scalars or arrays.");
    DefVectorised<TableConcrete, double>(
        c, concrete,
        {{"fc", &TableConcrete::FindFc, "Design compressive strength."},
         {"ft", &TableConcrete::FindFt, "Design tensile strength."},
         {"fck", &TableConcrete::FindFck, "Characteristic axial compressive strength."},
         {"ftk", &TableConcrete::FindFtk, "Characteristic tensile strength."},
         {"Ec", &TableConcrete::FindEc, "Elastic modulus."},
         {"Ec_fatigue", &TableConcrete::FindEc_f, "Fatigue modulus (0 stands for none, C15)."},
         {"alpha1", &TableConcrete::CalAlfa1, "Equivalent rectangular stress block factor alpha1."},
         {"beta1", &TableConcrete::CalBeat1, "Equivalent rectangular stress block factor beta1."},
         {"epsilon_c0", &TableConcrete::CalEpsilon_c0_Bend, "Strain at peak compressive stress."},
         {"epsilon_cu", &TableConcrete::CalEpsilon_cu_Bend, "Ultimate compressive strain."},
         {"n", &TableConcrete::Cal_n_Bend, "Exponent of the parabolic rising branch."},
         {"epsilon_t0", &TableConcrete::CalEpsilon_t0_Bend,
          "Strain at peak tensile stress, ft / Ec."},
         {"epsilon_tu", &TableConcrete::CalEpsilon_tu_Bend, "Ultimate tensile strain in bending."}},
        "fcuk");
    DefVectorised<TableConcrete, double, double>(
        c, concrete,
        {{"sigma_c", &TableConcrete::CalSigma_c_Bend,
          "Compressive stress at strain eps (compression positive): parabola up to epsilon_c0, "
          "fc up to epsilon_cu, 0 beyond."},
         {"sigma_t_bend", &TableConcrete::CalSigma_t_Bend, "Tensile stress in bending."},
         {"sigma_t_tension", &TableConcrete::CalSigma_t_Tension,
          "Tensile stress in pure tension."}},
        "fcuk", "eps");
    DefVectorised<TableConcrete, double>(
        c, concrete,
        {{"fcuk_from_fc", &TableConcrete::FindFcuk,
          "The cube strength whose design compressive strength is fc."}},
        "fc");

    auto s = m.def_submodule("steel",
                             "Reinforcing bars after GB 50010-2002, by characteristic yield "
                             "strength fyk in pascals (grades 1 ... 4: HPB235, HRB335, HRB400, "
                             "RRB400); interpolated and clamped like the concrete table.");
    DefVectorised<TableSteelBar, double>(
        s, steel,
        {{"fy", &TableSteelBar::Find_fy, "Design tensile strength."},
         {"fy_compression", &TableSteelBar::Find_fy_p, "Design compressive strength."},
         {"Es", &TableSteelBar::Find_Es, "Elastic modulus."}},
        "fyk");
    DefVectorised<TableSteelBar, double>(
        s, steel,
        {{"fyk_from_fy", &TableSteelBar::Find_fyk,
          "The characteristic strength whose design strength is fy."}},
        "fy");
    s.def(
        "fyk_of_grade", [](int g) { return steel.Getfyk_iGrade(g); }, py::arg("grade"),
        "Characteristic yield strength of grade 1 ... 4 (an unknown grade gives 300.0).");

    m.def(
        "pile_stiffness",
        [](int kind, const DoubleArray& nodes, std::pair<double, double> point, double k) {
            const DoubleArray xy = NodeXY(nodes);
            py::array_t<double> out(xy.shape(0));
            const double pnt[2] = {point.first, point.second};
            CheckKind(PileStiffEq(kind, static_cast<int>(xy.shape(0)), xy.data(), pnt, k,
                                  out.mutable_data()));
            return out;
        },
        py::arg("kind"), py::arg("nodes"), py::arg("point"), py::arg("k"),
        "Spreads a spring k standing at point over the nodes of an element by its shape "
        "functions: kind 0 a node, 1 a line of 2-4 nodes (ends first), 2 a triangle or "
        "quadrilateral. Returns one stiffness per node.");
    m.def(
        "soil_stiffness",
        [](int kind, const DoubleArray& nodes, double q) {
            const DoubleArray xy = NodeXY(nodes);
            if (kind != 1 && kind != 2)
                CheckKind(0);
            py::array_t<double> out(xy.shape(0));
            std::fill(out.mutable_data(), out.mutable_data() + xy.shape(0), 0.0);
            SoilStiffEq(kind, static_cast<int>(xy.shape(0)), xy.data(), q, out.mutable_data());
            return out;
        },
        py::arg("kind"), py::arg("nodes"), py::arg("q"),
        "Spreads a distributed spring q (per unit length for kind 1, per unit area for kind "
        "2) over the element's nodes.");
    m.def(
        "pile_reaction",
        [](const DoubleArray& k, const DoubleArray& w) {
            double r = 0.0;
            CalcuPileR(PairLength(k, w), k.data(), w.data(), &r);
            return r;
        },
        py::arg("stiffness"), py::arg("displacement"),
        "Sum of nodal stiffness times displacement, in node order.");
    m.def(
        "soil_reaction",
        [](const DoubleArray& k, const DoubleArray& w, double div) {
            double r = 0.0;
            CalcuSoilR(PairLength(k, w), k.data(), w.data(), div, &r);
            return r;
        },
        py::arg("stiffness"), py::arg("displacement"), py::arg("div"),
        "The pile reaction divided by the element's length or area.");

    m.def(
        "section_constants",
        [](double b, double h, int kind) {
            double ix = 0.0, iy = 0.0, j = 0.0;
            RectFunc::CalcuInertia(b, h, kind, ix, iy, j);
            return py::make_tuple(ix, iy, j);
        },
        py::arg("b"), py::arg("h"), py::arg("kind") = 0,
        "(Ix, Iy, J) of a b x h rectangle (b along x): J is the polar moment for kind 0, the "
        "approximate torsion constant (b the shorter side) otherwise.");
    m.def(
        "det", [](const DoubleArray& a) { return ToCMatrix(a).Det(); }, py::arg("a"),
        "Determinant of a square matrix (exact cofactor expansion for small orders). Raises "
        "MisMatchError for a non-square matrix, OutOfRangeError beyond 4096 rows or columns.");
    m.def(
        "inv",
        [](const DoubleArray& a) {
            const CMatrix inv = ToCMatrix(a).Inverse();
            py::array_t<double> out(
                {static_cast<py::ssize_t>(inv.GetRow()), static_cast<py::ssize_t>(inv.GetCol())});
            auto r = out.mutable_unchecked<2>();
            for (int i = 0; i < inv.GetRow(); ++i)
                for (int j = 0; j < inv.GetCol(); ++j)
                    r(i, j) = inv(i, j);
            return out;
        },
        py::arg("a"),
        "Inverse of a square matrix. Raises MisMatchError for a singular or non-square "
        "matrix, with the library's message.");
}

}  // namespace rvnpy
