// The UTF-8 bytes of a Python str for a call into the core, copied only when CPython does not
// hold them already.
#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

namespace kezo::python {

// An ASCII str is its own UTF-8: the view points into it, no copy. Any other str is encoded
// once into a bytes object owned here. The view stays valid while this object and the str live,
// with or without the interpreter lock; make it with the lock held. A str holding a lone
// surrogate raises UnicodeEncodeError.
class Utf8Text {
  public:
    explicit Utf8Text(const pybind11::str& text) {
        PyObject* str = text.ptr();
        if (PyUnicode_IS_COMPACT_ASCII(str)) {
            Py_ssize_t size = 0;
            const char* data = PyUnicode_AsUTF8AndSize(str, &size);
            if (data == nullptr) throw pybind11::error_already_set();
            view_ = std::string_view(data, static_cast<std::size_t>(size));
            return;
        }
        owner_ = pybind11::reinterpret_steal<pybind11::object>(PyUnicode_AsUTF8String(str));
        if (!owner_) throw pybind11::error_already_set();
        view_ = std::string_view(PyBytes_AS_STRING(owner_.ptr()),
                                 static_cast<std::size_t>(PyBytes_GET_SIZE(owner_.ptr())));
    }

    std::string_view view() const { return view_; }

  private:
    pybind11::object owner_;
    std::string_view view_;
};

}  // namespace kezo::python
