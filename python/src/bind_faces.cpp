// Slab panels from plan lines, and point-in-panel queries over arrays of points.
#include <pybind11/stl.h>

#include <cmath>
#include <memory>
#include <vector>

#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/faces/PlanPanels.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "bindings.h"

namespace rvnpy {

namespace {

// Owning pointer arrays keep their objects until DeepRemoveAll: the guard empties them on
// every path out, also when a conversion throws half-way.
template <class Array>
struct DeepGuard {
    Array& a;
    ~DeepGuard() { a.DeepRemoveAll(); }
};

// (n, 2, 2) or (n, 2, 3) segments into a line array the caller owns.
void FillLines(const DoubleArray& seg, C3DLineArray& lines) {
    if (seg.ndim() != 3 || seg.shape(1) != 2 || (seg.shape(2) != 2 && seg.shape(2) != 3)) {
        throw py::value_error("lines must have shape (n, 2, 2) or (n, 2, 3)");
    }
    const bool has_z = seg.shape(2) == 3;
    auto s = seg.unchecked<3>();
    for (py::ssize_t i = 0; i < seg.shape(0); ++i) {
        const C3DPoint a(s(i, 0, 0), s(i, 0, 1), has_z ? s(i, 0, 2) : 0.0);
        const C3DPoint b(s(i, 1, 0), s(i, 1, 1), has_z ? s(i, 1, 2) : 0.0);
        lines.Add(new C3DLine(a, b));
    }
}

py::array_t<double> Corners(const C3DFace& f) {
    const int n = f.m_PntArray.GetSize();
    py::array_t<double> out({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(3)});
    auto r = out.mutable_unchecked<2>();
    for (int i = 0; i < n; ++i) {
        const C3DPoint* p = f.GetPoint(i);
        r(i, 0) = p->x;
        r(i, 1) = p->y;
        r(i, 2) = p->z;
    }
    return out;
}

// Where p lies against the ring of f in plan: 1 inside, 0 on an edge (the library's on-edge
// test of a segment), -1 outside. The crossing rule counts a ring edge when it straddles the
// horizontal through p, so a notch of a non-convex panel is outside as it should be.
int InRing(const C3DFace& f, const C3DPoint& p) {
    const int n = f.m_PntArray.GetSize();
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        const C3DPoint& a = *f.GetPoint(j);
        const C3DPoint& b = *f.GetPoint(i);
        if (C3DLine(C3DPoint(a.x, a.y, 0.0), C3DPoint(b.x, b.y, 0.0))
                .PntOnLine(C3DPoint(p.x, p.y, 0.0)) != 0) {
            return 0;
        }
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) {
            inside = !inside;
        }
    }
    return inside ? 1 : -1;
}

// A ring that never turns right (plan cross products of consecutive edges not below -1e-12
// of their lengths' product) is convex, and the library's own containment test holds for it.
bool IsConvex(const C3DFace& f) {
    const int n = f.m_PntArray.GetSize();
    for (int i = 0; i < n; ++i) {
        const C3DPoint& a = *f.GetPoint((i + n - 1) % n);
        const C3DPoint& b = *f.GetPoint(i);
        const C3DPoint& c = *f.GetPoint((i + 1) % n);
        const double ux = b.x - a.x, uy = b.y - a.y, wx = c.x - b.x, wy = c.y - b.y;
        if (ux * wy - uy * wx < -1e-12 * std::hypot(ux, uy) * std::hypot(wx, wy))
            return false;
    }
    return true;
}

// Polygon centroid in plan from the signed areas of the edges (exact for any simple ring,
// convex or not); z from the library's fan centroid.
py::array_t<double> Centroid(const C3DFace& f) {
    C3DPoint c;
    double fanArea = 0.0;
    f.CalcuCenter(c, fanArea);
    const int n = f.m_PntArray.GetSize();
    if (n < 3)
        return py::array_t<double>(3, &c.x);
    double a2 = 0.0, cx = 0.0, cy = 0.0;
    const C3DPoint& o = *f.GetPoint(0);  // about corner 0, to keep far coordinates exact
    for (int i = 0; i < n; ++i) {
        const C3DPoint& p = *f.GetPoint(i);
        const C3DPoint& q = *f.GetPoint((i + 1) % n);
        const double px = p.x - o.x, py = p.y - o.y, qx = q.x - o.x, qy = q.y - o.y;
        const double cross = px * qy - qx * py;
        a2 += cross;
        cx += (px + qx) * cross;
        cy += (py + qy) * cross;
    }
    if (a2 != 0.0) {
        c.x = o.x + cx / (3.0 * a2);
        c.y = o.y + cy / (3.0 * a2);
    }
    return py::array_t<double>(3, &c.x);
}

py::list TakeFaces(C3DFaceArray& faces) {
    py::list out;
    for (int i = 0; i < faces.GetSize(); ++i) {
        std::unique_ptr<C3DFace> f(faces.GetAt(i));
        faces.SetAt(i, nullptr);
        if (f->m_pNormalVec->GetModuleSquare() == 0.0)
            f->InitNormalVec();
        out.append(py::cast(std::move(f)));
    }
    return out;
}

}  // namespace

void BindFaces(py::module_& m) {
    py::class_<C3DFace, std::unique_ptr<C3DFace>>(
        m, "Panel", py::dynamic_attr(),
        "A plane polygon panel: corners anticlockwise seen from +z, with its unit normal.")
        .def_property_readonly("corners", &Corners, "The corners as a new (k, 3) array.")
        .def_property_readonly("area", &C3DFace::GetArea)
        .def_property_readonly("girth", &C3DFace::GetGirth, "The closed perimeter.")
        .def_property_readonly("centroid", &Centroid,
                               "Area centroid of the ring in plan (holes not subtracted).")
        .def_property_readonly(
            "normal", [](const C3DFace& f) { return py::array_t<double>(3, &f.m_pNormalVec->x); })
        .def(
            "contains",
            [](const py::object& self, const DoubleArray& pts) {
                const C3DFace& f = self.cast<const C3DFace&>();
                if (pts.ndim() != 2 || (pts.shape(1) != 2 && pts.shape(1) != 3)) {
                    throw py::value_error("points must have shape (m, 2) or (m, 3)");
                }
                if (f.m_PntArray.GetSize() < 3) {
                    throw py::value_error("a panel has 3 corners or more");
                }
                std::vector<const C3DFace*> holes;
                if (py::hasattr(self, "holes")) {
                    for (const py::handle& h : self.attr("holes")) {
                        holes.push_back(&h.cast<const C3DFace&>());
                    }
                }
                const bool has_z = pts.shape(1) == 3;
                const bool convex = IsConvex(f);
                auto p = pts.unchecked<2>();
                py::array_t<int8_t> out(pts.shape(0));
                auto r = out.mutable_unchecked<1>();
                {
                    py::gil_scoped_release unlocked;
                    for (py::ssize_t i = 0; i < pts.shape(0); ++i) {
                        const C3DPoint q(p(i, 0), p(i, 1), has_z ? p(i, 2) : f.GetPoint(0)->z);
                        int where = !f.PntOnFace(q) ? -1 : convex ? f.PntInFace(q) : InRing(f, q);
                        for (size_t h = 0; h < holes.size() && where == 1; ++h) {
                            const int inHole = InRing(*holes[h], q);
                            where = inHole == 1 ? -1 : inHole == 0 ? 0 : 1;
                        }
                        r(i) = static_cast<int8_t>(where);
                    }
                }
                return out;
            },
            py::arg("points"),
            "For each point of an (m, 2) or (m, 3) array (2-D points lie at the height of "
            "corner 0): 1 inside, 0 on an edge (of the ring or of a hole), -1 outside, in a "
            "hole, or off the panel's plane (|distance| >= 0.001). Convex panels use the "
            "library's own test; others a crossing count with the same on-edge test.")
        .def("__repr__", [](const C3DFace& f) {
            return "<Panel corners=" + std::to_string(f.m_PntArray.GetSize()) +
                   " area=" + std::to_string(f.GetArea()) + ">";
        });

    m.def(
        "_convex_panels",
        [](const DoubleArray& seg) {
            C3DLineArray lines;
            DeepGuard<C3DLineArray> freeLines{lines};
            FillLines(seg, lines);
            C3DFaceArray faces;
            DeepGuard<C3DFaceArray> freeFaces{faces};
            {
                py::gil_scoped_release unlocked;
                C3DFace::GenFaceByLine(lines, faces);
            }
            return TakeFaces(faces);
        },
        py::arg("lines"));
    m.def(
        "_all_panels",
        [](const DoubleArray& seg) {
            C3DLineArray lines;
            DeepGuard<C3DLineArray> freeLines{lines};
            FillLines(seg, lines);
            C3DFaceArray panels, holes;
            DeepGuard<C3DFaceArray> freePanels{panels};
            DeepGuard<C3DFaceArray> freeHoles{holes};
            CArray<int, int> holeOf;
            {
                py::gil_scoped_release unlocked;
                rvn::GenPanelsByLine(lines, panels, holes, holeOf);
            }
            std::vector<int> owner(static_cast<size_t>(holes.GetSize()));
            for (int h = 0; h < holes.GetSize(); ++h)
                owner[static_cast<size_t>(h)] = holeOf[h];
            return py::make_tuple(TakeFaces(panels), TakeFaces(holes), owner);
        },
        py::arg("lines"));
}

}  // namespace rvnpy
