// The UTF-8 bytes of a Python str, or of every str of a sequence, for a call into the core,
// copied only when CPython does not hold them already.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kezo::python {

// The UTF-8 of the str `str`: an ASCII str is its own UTF-8, viewed where it is (no copy,
// nothing cached in it); any other str is encoded once into a new bytes object left in *owner,
// which the view points into. A str holding a lone surrogate raises UnicodeEncodeError. Lock
// held.
inline std::string_view utf8_of_str(PyObject* str, pybind11::object* owner) {
    if (PyUnicode_IS_COMPACT_ASCII(str))
        return std::string_view(static_cast<const char*>(PyUnicode_DATA(str)),
                                static_cast<std::size_t>(PyUnicode_GET_LENGTH(str)));
    *owner = pybind11::reinterpret_steal<pybind11::object>(PyUnicode_AsUTF8String(str));
    if (!*owner) throw pybind11::error_already_set();
    return std::string_view(PyBytes_AS_STRING(owner->ptr()),
                            static_cast<std::size_t>(PyBytes_GET_SIZE(owner->ptr())));
}

// The UTF-8 of one str (utf8_of_str), owned here when it had to be encoded. The view stays
// valid while this object and the str live, with or without the interpreter lock; make it with
// the lock held.
class Utf8Text {
  public:
    explicit Utf8Text(const pybind11::str& text) : view_(utf8_of_str(text.ptr(), &owner_)) {}

    std::string_view view() const { return view_; }

  private:
    pybind11::object owner_;  // declared first: set before view_ is
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
            pybind11::object encoded;
            const std::string_view view = utf8_of_str(object, &encoded);
            if (encoded) encoded_.push_back(std::move(encoded));
            return view;
        }
        if (PyBytes_Check(object))
            return std::string_view(PyBytes_AS_STRING(object),
                                    static_cast<std::size_t>(PyBytes_GET_SIZE(object)));
        throw pybind11::type_error(std::string(argument) + "[" + std::to_string(k) +
                                   "] must be str, got " + Py_TYPE(object)->tp_name);
    }

    pybind11::tuple items_;
    std::vector<pybind11::object> encoded_;  // of the strs that are not ASCII
    std::vector<std::string_view> views_;
};

}  // namespace kezo::python
