// Result records made with the C API: a tuple type (tuple or a subclass adding no fields, such
// as a NamedTuple) checked once per call, its instances filled in place. A list of records
// costs about a fifth of building plain tuples and converting them in Python.
#pragma once

#include <pybind11/pybind11.h>

namespace kezo::python {

// The type of `record`: tuple when None, else the tuple subclass it is. TypeError for any
// other object, or a subclass with fields of its own.
inline PyTypeObject* record_type(const pybind11::object& record) {
    if (record.is_none()) return &PyTuple_Type;
    if (!PyType_Check(record.ptr()) ||
        !PyType_IsSubtype(reinterpret_cast<PyTypeObject*>(record.ptr()), &PyTuple_Type))
        throw pybind11::type_error("record must be a subclass of tuple");
    auto* type = reinterpret_cast<PyTypeObject*>(record.ptr());
    if (type->tp_basicsize != PyTuple_Type.tp_basicsize)
        throw pybind11::type_error("record must add no fields to tuple");
    return type;
}

// A new, empty instance of type (from record_type) with room for `size` items, or null when
// memory runs out. Every item must be set before the record is used.
inline PyObject* new_record(PyTypeObject* type, Py_ssize_t size) {
    return type == &PyTuple_Type ? PyTuple_New(size) : type->tp_alloc(type, size);
}

// Takes a finished record (or tuple) of immutable atoms out of the cyclic garbage collector's
// sight: a tuple holding only str, float, int and such tuples can be in no reference cycle, so
// the collector has nothing to find in it (CPython itself drops such plain tuples from its
// lists when it first walks them). A batch of results holds tens of thousands of them, which
// each collection would walk otherwise. Every item must be set; lock held. One call a record:
// PyObject_GC_UnTrack itself passes over an object no longer tracked.
inline void untrack_atomic_record(PyObject* record) {
    PyObject_GC_UnTrack(record);
}

// Holds off the cyclic garbage collector's automatic runs for its lifetime, leaving the state
// the collector was in before (off stays off). Python 3.10 and later; nothing before. An
// explicit gc.collect() still runs. Lock held throughout.
class AutomaticCollectionPause {
  public:
#if PY_VERSION_HEX >= 0x030A0000
    AutomaticCollectionPause() : was_enabled_(PyGC_Disable() != 0) {}
    ~AutomaticCollectionPause() {
        if (was_enabled_) PyGC_Enable();
    }
#else
    AutomaticCollectionPause() {}  // nothing to hold off (and no unused-variable warning)
#endif
    AutomaticCollectionPause(const AutomaticCollectionPause&) = delete;
    AutomaticCollectionPause& operator=(const AutomaticCollectionPause&) = delete;

#if PY_VERSION_HEX >= 0x030A0000
  private:
    bool was_enabled_;
#endif
};

// The int objects int_object shares, by value (64 KiB of pointers, filled as values occur),
// and whether the running interpreter has been told to forget them when it ends.
constexpr unsigned long long kSharedInts = 1 << 13;
inline PyObject* shared_ints[kSharedInts] = {};
inline bool shared_ints_forgotten_at_exit = false;

// A new reference to an int object of value: below kSharedInts one object per value for the
// life of the interpreter, made when first asked for (CPython does the same up to 256), a new
// one above. The records of one text hold dozens of offsets and positions, which then cost no
// allocation; an int never changes, so sharing one shows in no value. Lock held; null when
// memory runs out.
inline PyObject* int_object(unsigned long long value) {
    if (value >= kSharedInts) return PyLong_FromUnsignedLongLong(value);
    PyObject*& object = shared_ints[value];
    if (object == nullptr) {
        // An interpreter started again in the same process makes its own.
        if (!shared_ints_forgotten_at_exit) {
            if (Py_AtExit([] {
                    for (PyObject*& shared : shared_ints) shared = nullptr;
                    shared_ints_forgotten_at_exit = false;
                }) != 0)
                return PyLong_FromUnsignedLongLong(value);  // no room left: nothing shared
            shared_ints_forgotten_at_exit = true;
        }
        object = PyLong_FromUnsignedLongLong(value);
        if (object == nullptr) return nullptr;
    }
    Py_INCREF(object);
    return object;
}

}  // namespace kezo::python
