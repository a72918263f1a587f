// The extension module rvnbasecommon._core: exception types and their translation, the
// message-box capture, and the registration of every subsystem.
#include <pybind11/pybind11.h>

#include <cstdio>

#include "BaseCommon/framework/CException.h"
#include "BaseCommon/framework/MessageBox.h"
#include "BaseCommon/matrix/MatrixExceptions.h"
#include "bindings.h"

namespace rvnpy {

py::handle g_SparseMatrixError;
py::handle g_MechanismError;

namespace {

thread_local std::vector<std::string>* t_capture = nullptr;

py::handle g_MisMatchError;
py::handle g_OutOfRangeError;

}  // namespace

MessageCapture::MessageCapture() : m_outer(t_capture) {
    t_capture = &m_texts;
}
MessageCapture::~MessageCapture() {
    t_capture = m_outer;
}

void InstallMessageHandler() {
    SetMessageBoxHandler([](const char* text, UINT, UINT) -> int {
        if (t_capture != nullptr) {
            t_capture->emplace_back(text != nullptr ? text : "");
        } else {
            std::fprintf(stderr, "rvnBaseCommon: %s\n", text != nullptr ? text : "");
        }
        return IDOK;
    });
}

void ThrowIfMessage(const MessageCapture& capture) {
    if (!capture.Texts().empty()) {
        PyErr_SetString(g_SparseMatrixError.ptr(), capture.Texts().front().c_str());
        throw py::error_already_set();
    }
}

}  // namespace rvnpy

using namespace rvnpy;

PYBIND11_MODULE(_core, m) {
    m.doc() =
        "Geometry, slab panels, skyline LDL^T solver, material tables and pile/soil "
        "springs of rvnBaseCommon.";

    // Exception hierarchy: the dense matrix's two exception types keep their message texts
    // (and OutOfRange its index pair); the skyline matrix's refusals carry the library's own
    // message; a factorisation that meets a zero pivot is a MechanismError.
    static py::exception<mtxkit::MisMatch> misMatch(m, "MisMatchError", PyExc_ValueError);
    static py::exception<mtxkit::OutOfRange> outOfRange(m, "OutOfRangeError", PyExc_IndexError);
    struct SparseTag {};
    struct MechanismTag {};
    static py::exception<SparseTag> sparseError(m, "SparseMatrixError", PyExc_RuntimeError);
    static py::exception<MechanismTag> mechanismError(m, "MechanismError", sparseError.ptr());
    g_MisMatchError = misMatch;
    g_OutOfRangeError = outOfRange;
    g_SparseMatrixError = sparseError;
    g_MechanismError = mechanismError;

    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const mtxkit::MisMatch& e) {
            PyErr_SetString(g_MisMatchError.ptr(), e.m_strMsg.c_str());
        } catch (const mtxkit::OutOfRange& e) {
            py::object exc = py::reinterpret_borrow<py::object>(g_OutOfRangeError)(e.m_strMsg);
            exc.attr("row") = e.m_nRow;
            exc.attr("col") = e.m_nCol;
            PyErr_SetObject(g_OutOfRangeError.ptr(), exc.ptr());
        } catch (const CMemoryException& e) {
            PyErr_SetString(PyExc_MemoryError, e.what());
        } catch (const CInvalidArgException& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });

    InstallMessageHandler();
    BindGeometry(m);
    BindFaces(m);
    BindSparse(m);
    BindMaterials(m);
}
