// Shared pieces of the Python bindings: the registration functions of each subsystem and the
// capture of the library's message-box texts, which the bindings turn into exceptions.
#ifndef RVN_PYTHON_BINDINGS_H
#define RVN_PYTHON_BINDINGS_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace rvnpy {

namespace py = pybind11;

void BindGeometry(py::module_& m);
void BindFaces(py::module_& m);
void BindSparse(py::module_& m);
void BindMaterials(py::module_& m);

// The library reports misuse of the skyline matrix through its message box. While a
// MessageCapture lives on a thread, the texts shown on that thread are collected instead of
// printed (the handler is installed once, at import, and forwards every other thread's
// messages to standard error as the library's default does).
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;
    const std::vector<std::string>& Texts() const { return m_texts; }

private:
    std::vector<std::string> m_texts;
    std::vector<std::string>* m_outer;
};
void InstallMessageHandler();

// Raises rvnbasecommon.SparseMatrixError with the first captured text, if any.
void ThrowIfMessage(const MessageCapture& capture);

// The Python exception types, created at import.
extern py::handle g_SparseMatrixError;
extern py::handle g_MechanismError;

// A C-contiguous float64 array of the given shape, whatever the caller passed.
using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

}  // namespace rvnpy

#endif  // RVN_PYTHON_BINDINGS_H
