// Vectors, points and segments. Vec3 and Point3 convert from any sequence or array of three
// numbers and back to NumPy (np.asarray(v) gives a length-3 float64 array); the tolerances are
// the library's own (see the docstrings).
#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <array>
#include <sstream>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "BaseCommon/geometry/C3DPoint.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "bindings.h"

namespace rvnpy {

namespace {

std::array<double, 3> Triple(const py::handle& obj) {
    DoubleArray a = DoubleArray::ensure(obj);
    if (!a || a.ndim() != 1 || a.shape(0) != 3) {
        PyErr_Clear();
        throw py::value_error("expected three coordinates (x, y, z)");
    }
    return {a.at(0), a.at(1), a.at(2)};
}

template <class T>
py::array_t<double> ToArray(const T& v) {
    py::array_t<double> out(3);
    auto r = out.mutable_unchecked<1>();
    r(0) = v.x;
    r(1) = v.y;
    r(2) = v.z;
    return out;
}

template <class T>
std::string Repr(const char* name, const T& v) {
    std::ostringstream s;
    s.precision(17);
    s << name << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    return s.str();
}

// Both classes share construction from three numbers or from one sequence, NumPy conversion,
// indexing and repr.
template <class T, class Cls>
void CommonTriple(Cls& cls, const char* name) {
    cls.def(py::init<>())
        .def(py::init<double, double, double>(), py::arg("x"), py::arg("y"), py::arg("z") = 0.0)
        .def(py::init([](const py::object& seq) {
                 auto t = Triple(seq);
                 return T(t[0], t[1], t[2]);
             }),
             py::arg("xyz"), "From any sequence or array of three numbers.")
        .def_readwrite("x", &T::x)
        .def_readwrite("y", &T::y)
        .def_readwrite("z", &T::z)
        .def("to_numpy", &ToArray<T>, "A new length-3 float64 array.")
        .def(
            "__array__", [](const T& v, const py::object&) { return ToArray(v); },
            py::arg("dtype") = py::none())
        .def("__len__", [](const T&) { return 3; })
        .def("__getitem__",
             [](const T& v, int i) {
                 if (i < -3 || i > 2)
                     throw py::index_error("index out of range");
                 return v(i < 0 ? i + 3 : i);
             })
        .def("__iter__", [](const T& v) { return py::iter(py::make_tuple(v.x, v.y, v.z)); })
        .def("__repr__", [name](const T& v) { return Repr(name, v); })
        .def(py::pickle([](const T& v) { return py::make_tuple(v.x, v.y, v.z); },
                        [](const py::tuple& t) {
                            return T(t[0].cast<double>(), t[1].cast<double>(), t[2].cast<double>());
                        }));
    py::implicitly_convertible<py::tuple, T>();
    py::implicitly_convertible<py::list, T>();
    py::implicitly_convertible<py::array, T>();
}

}  // namespace

void BindGeometry(py::module_& m) {
    py::class_<C3DVec> vec(m, "Vec3",
                           "Free 3D vector. == is relative (|a - b| <= 1e-6 max(|a|, |b|) per "
                           "component, inclusive); is_zero, is_parallel and is_orthogonal use "
                           "the length tolerance 0.001, strictly, on un-normalised quantities.");
    CommonTriple<C3DVec>(vec, "Vec3");
    vec.def(py::self + py::self)
        .def(py::self - py::self)
        .def(py::self * double())
        .def("__rmul__", [](const C3DVec& v, double d) { return v * d; })
        .def(py::self / double())
        .def("__neg__", [](const C3DVec& v) { return v * -1.0; })
        .def("__eq__", [](const C3DVec& a, const C3DVec& b) { return (a == b) != 0; })
        .def("__ne__", [](const C3DVec& a, const C3DVec& b) { return (a == b) == 0; })
        .def("dot", [](const C3DVec& a, const C3DVec& b) { return a * b; })
        .def("cross", [](const C3DVec& a, const C3DVec& b) { return a % b; })
        .def("length", &C3DVec::Module)
        .def("normal", &C3DVec::GetNormal,
             "The unit vector of this direction; (0, 0, 0) for the exact zero vector.")
        .def(
            "is_zero", [](const C3DVec& v) { return v.IsZeroLength() != 0; },
            "Length strictly below 0.001.")
        .def(
            "is_parallel", [](const C3DVec& a, const C3DVec& b) { return a.IsParallel(b) != 0; },
            "Length of the un-normalised cross product strictly below 0.001.")
        .def(
            "is_orthogonal",
            [](const C3DVec& a, const C3DVec& b) { return a.IsOrthogonal(b) != 0; },
            "|Un-normalised dot product| strictly below 0.001.")
        .def("angle_to", &C3DVec::GetAngleTo,
             "Angle from this to v in [0, 2 pi), anticlockwise seen from +z in the plan.")
        .def("angle_between", &C3DVec::AngleBetween, "Unsigned angle in [0, pi].");

    py::class_<C3DPoint> pnt(m, "Point3",
                             "Position in model space. == holds when every coordinate differs "
                             "by strictly less than 1e-6.");
    CommonTriple<C3DPoint>(pnt, "Point3");
    pnt.def("__add__", [](const C3DPoint& p, const C3DVec& v) { return p + v; })
        .def("__sub__", [](const C3DPoint& a, const C3DPoint& b) { return a - b; })
        .def("__sub__", [](const C3DPoint& p, const C3DVec& v) { return p - v; })
        .def("__eq__", [](const C3DPoint& a, const C3DPoint& b) { return (a == b) != 0; })
        .def("__ne__", [](const C3DPoint& a, const C3DPoint& b) { return (a == b) == 0; })
        .def("distance_to", &C3DPoint::CalDistance)
        .def(
            "rotated_z",
            [](C3DPoint p, double x0, double y0, double angle) {
                p.Rotate_z(x0, y0, angle);
                return p;
            },
            py::arg("x0"), py::arg("y0"), py::arg("angle"),
            "A copy rotated by angle (radians, anticlockwise seen from +z) about the vertical "
            "line through (x0, y0).");

    py::class_<C3DLine>(m, "Segment",
                        "Line segment between two points (the library's C3DLine); the points "
                        "are copies, owned by the segment.")
        .def(py::init<const C3DPoint&, const C3DPoint&>(), py::arg("begin"), py::arg("end"))
        .def_property_readonly("begin", [](const C3DLine& l) { return *l.GetBgnPnt(); })
        .def_property_readonly("end", [](const C3DLine& l) { return *l.GetEndPnt(); })
        .def("length", &C3DLine::GetLength)
        .def("point_at", &C3DLine::GetPoint, py::arg("t"), "begin + t (end - begin).")
        .def("distance_to", &C3DLine::GetDisToPnt, py::arg("p"),
             "Distance from p to the carrier line.")
        .def(
            "contains", [](const C3DLine& l, const C3DPoint& p) { return l.PntOnLine(p) != 0; },
            py::arg("p"), "|p - begin| + |end - p| - length strictly below about 1e-6.")
        .def(
            "parameter_of",
            [](const C3DLine& l, const C3DPoint& p) -> py::object {
                double t = 0.0;
                if (l.PntOnLine(p, t) != 1)
                    return py::none();
                return py::float_(t);
            },
            py::arg("p"),
            "The parameter t of p along the segment when p lies on it (distance to the "
            "carrier line below 0.001, t within the segment or within 0.001 of an end), else "
            "None.")
        .def(
            "divide",
            [](const C3DLine& l, double max_length) {
                C3DPointArray pts;
                struct Free {
                    C3DPointArray& a;
                    ~Free() { a.DeepRemoveAll(); }
                } guard{pts};
                l.DividingLine(pts, max_length, 1, 1);
                py::array_t<double> out(
                    {static_cast<py::ssize_t>(pts.GetSize()), static_cast<py::ssize_t>(3)});
                auto r = out.mutable_unchecked<2>();
                for (int i = 0; i < pts.GetSize(); ++i) {
                    r(i, 0) = pts.GetAt(i)->x;
                    r(i, 1) = pts.GetAt(i)->y;
                    r(i, 2) = pts.GetAt(i)->z;
                }
                return out;
            },
            py::arg("max_length"),
            "The points dividing the segment into the fewest equal pieces no longer than "
            "max_length, both ends included, as a (k, 3) array; empty for max_length <= 0.")
        .def(
            "intersection",
            [](const C3DLine& a, const C3DLine& b) -> py::object {
                C3DPoint out;
                if (a.FindCrossPoint(b, out) != 1)
                    return py::none();
                return py::cast(out);
            },
            py::arg("other"),
            "The crossing point of two segments that cross at one point, else None.")
        .def("__repr__", [](const C3DLine& l) {
            return "Segment(" + Repr("Point3", *l.GetBgnPnt()) + ", " +
                   Repr("Point3", *l.GetEndPnt()) + ")";
        });
}

}  // namespace rvnpy
