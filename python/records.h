// Result records made with the C API: a tuple type (tuple or a subclass adding no fields, such
// as a NamedTuple) checked once per call, its instances filled in place. A list of records
// costs about a fifth of building plain tuples and converting them in Python.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstring>

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

// Objects shared by value across the records of every call (an int, a float, a tuple never
// changes, so sharing one shows in no value), and whether the running interpreter has been told
// to forget them when it ends: an interpreter started again in the same process makes its own.
constexpr unsigned long long kSharedInts = 1 << 13;
inline PyObject* shared_ints[kSharedInts] = {};  // by value, filled as values occur (64 KiB)
constexpr unsigned kSharedPairBits = 13, kSharedFloatBits = 11;
struct SharedPair {
    std::uint64_t start = 0, end = 0;
    PyObject* pair = nullptr;
};
inline SharedPair shared_pairs[1u << kSharedPairBits] = {};  // the last made in each slot
struct SharedFloat {
    std::uint64_t bits = 0;
    PyObject* value = nullptr;
};
inline SharedFloat shared_floats[1u << kSharedFloatBits] = {};  // the last made in each slot
inline bool shared_objects_forgotten_at_exit = false;

// Whether objects may be shared: the interpreter has been told to forget them at exit (told
// now if not yet). False when it has no room left for that: nothing is shared then. Lock held.
inline bool sharing_objects() {
    if (shared_objects_forgotten_at_exit) return true;
    if (Py_AtExit([] {
            for (PyObject*& shared : shared_ints) shared = nullptr;
            for (SharedPair& shared : shared_pairs) shared = SharedPair();
            for (SharedFloat& shared : shared_floats) shared = SharedFloat();
            shared_objects_forgotten_at_exit = false;
        }) != 0)
        return false;
    shared_objects_forgotten_at_exit = true;
    return true;
}

// A new reference to an int object of value: below kSharedInts one object per value for the
// life of the interpreter, made when first asked for (CPython does the same up to 256), a new
// one above. The records of one text hold dozens of offsets and positions, which then cost no
// allocation. Lock held; null when memory runs out.
inline PyObject* int_object(unsigned long long value) {
    if (value >= kSharedInts) return PyLong_FromUnsignedLongLong(value);
    PyObject*& object = shared_ints[value];
    if (object == nullptr) {
        if (!sharing_objects()) return PyLong_FromUnsignedLongLong(value);
        object = PyLong_FromUnsignedLongLong(value);
        if (object == nullptr) return nullptr;
    }
    Py_INCREF(object);
    return object;
}

// A new reference to the tuple (start, end) of ints, an atomic record (untracked): the one made
// last for its slot when that is the same pair, else a new one, kept for the slot in turn.
// Spans of many texts begin and end at the same offsets (a first word, a title), and a shared
// pair costs neither its making nor its freeing. A hash and a compare. Lock held; null when
// memory runs out.
inline PyObject* pair_object(std::uint64_t start, std::uint64_t end) {
    SharedPair* slot = nullptr;
    if (sharing_objects()) {
        const std::uint64_t hash = start * 0x9E3779B97F4A7C15ull ^ end * 0xC2B2AE3D27D4EB4Full;
        slot = &shared_pairs[hash >> (64 - kSharedPairBits)];
        if (slot->pair != nullptr && slot->start == start && slot->end == end) {
            Py_INCREF(slot->pair);
            return slot->pair;
        }
    }
    PyObject* const pair = PyTuple_New(2);
    if (pair == nullptr) return nullptr;
    for (Py_ssize_t k = 0; k < 2; ++k) {
        PyObject* const offset = int_object(k == 0 ? start : end);
        if (offset == nullptr) {
            Py_DECREF(pair);  // its empty items are null
            return nullptr;
        }
        PyTuple_SET_ITEM(pair, k, offset);
    }
    untrack_atomic_record(pair);
    if (slot != nullptr) {
        PyObject* const old = slot->pair;
        Py_INCREF(pair);
        *slot = {start, end, pair};
        Py_XDECREF(old);  // a pair of ints: frees nothing else
    }
    return pair;
}

// A new reference to a float of value: the one made last for its slot when it has the same
// bits, else a new one, kept for the slot in turn. Scaled weights repeat across texts (the best
// phrase of each scores 1, and ratios of the same counts recur). Lock held; null when memory
// runs out.
inline PyObject* float_object(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    SharedFloat* slot = nullptr;
    if (sharing_objects()) {
        slot = &shared_floats[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kSharedFloatBits)];
        if (slot->value != nullptr && slot->bits == bits) {
            Py_INCREF(slot->value);
            return slot->value;
        }
    }
    PyObject* const made = PyFloat_FromDouble(value);
    if (made != nullptr && slot != nullptr) {
        PyObject* const old = slot->value;
        Py_INCREF(made);
        *slot = {bits, made};
        Py_XDECREF(old);
    }
    return made;
}

}  // namespace kezo::python
