// The UTF-8 bytes of a Python str, or of every str of a sequence, for a call into the core,
// copied only when CPython does not hold them already.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>
#include <vector>

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

// The UTF-8 of every item of a sequence of texts, as a list of std::string would take them
// (str, or bytes taken as they are) but without copying each into a string of its own: an ASCII
// str and a bytes object are viewed where they are, any other str is encoded once into a bytes
// object held here. The items are held too, so the views stay valid while this object lives,
// with or without the interpreter lock, whatever is done to the sequence meanwhile. Make it with
// the lock held. TypeError for a str or bytes in place of the sequence or an item of another
// type, UnicodeEncodeError for a str holding a lone surrogate. Linear in the items; reads no
// text but the ones it encodes. Should this thread be unwound without the lock, what it holds
// is left as it is, never freed (as ReferenceAcrossRelease leaves its object).
class Utf8Texts {
  public:
    Utf8Texts(const pybind11::handle& sequence, const char* argument) {
        namespace py = pybind11;
        if (PyUnicode_Check(sequence.ptr()) || PyBytes_Check(sequence.ptr()) ||
            !PySequence_Check(sequence.ptr()))
            throw py::type_error(std::string(argument) + " must be a sequence of str, got " +
                                 Py_TYPE(sequence.ptr())->tp_name);
        // A tuple of the items holds each of them for the call: a list changed by another
        // thread while the core reads them frees nothing viewed here.
        items_ = py::reinterpret_steal<py::tuple>(PySequence_Tuple(sequence.ptr()));
        if (!items_) throw py::error_already_set();
        const Py_ssize_t count = PyTuple_GET_SIZE(items_.ptr());
        views_.reserve(static_cast<std::size_t>(count));
        for (Py_ssize_t k = 0; k < count; ++k) views_.push_back(view_of(items_[k], argument, k));
    }

    ~Utf8Texts() {
        if (PyGILState_Check()) return;  // dropped as usual
        items_.release();
        for (pybind11::object& encoded : encoded_) encoded.release();
    }
    Utf8Texts(const Utf8Texts&) = delete;
    Utf8Texts& operator=(const Utf8Texts&) = delete;

    const std::vector<std::string_view>& views() const { return views_; }

  private:
    std::string_view view_of(const pybind11::handle& item, const char* argument, Py_ssize_t k) {
        PyObject* const object = item.ptr();
        if (PyUnicode_Check(object)) {
            if (PyUnicode_IS_COMPACT_ASCII(object)) {
                // The str's own characters: no copy, nothing cached in it.
                return std::string_view(static_cast<const char*>(PyUnicode_DATA(object)),
                                        static_cast<std::size_t>(PyUnicode_GET_LENGTH(object)));
            }
            PyObject* const encoded = PyUnicode_AsUTF8String(object);
            if (encoded == nullptr) throw pybind11::error_already_set();
            encoded_.push_back(pybind11::reinterpret_steal<pybind11::object>(encoded));
            return bytes_view(encoded);
        }
        if (PyBytes_Check(object)) return bytes_view(object);
        throw pybind11::type_error(std::string(argument) + "[" + std::to_string(k) +
                                   "] must be str, got " + Py_TYPE(object)->tp_name);
    }

    static std::string_view bytes_view(PyObject* bytes) {
        return std::string_view(PyBytes_AS_STRING(bytes),
                                static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
    }

    pybind11::tuple items_;
    std::vector<pybind11::object> encoded_;  // of the strs that are not ASCII
    std::vector<std::string_view> views_;
};

}  // namespace kezo::python
