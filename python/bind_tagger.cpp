// Part-of-speech tagging: the model directory, tags of pre-split words, and the tagged words of
// a text with code-point offsets. Tagging runs without the interpreter lock.
#include <pybind11/pybind11.h>

#include <string>
#include <string_view>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/tagger.h"
#include "records.h"
#include "utf8_text.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

// One str per tag, made once and shared by every result.
const std::vector<py::str>& tag_strings() {
    static const auto* const strings = [] {
        auto* made = new std::vector<py::str>();
        for (std::size_t k = 0; k < kUposCount; ++k)
            made->emplace_back(upos_name(static_cast<Upos>(k)));
        return made;
    }();
    return *strings;
}

std::shared_ptr<const Tagger> model_of(Language language) {
    return without_gil([&] { return load_tagger(language); });
}

py::list tag_words(const py::sequence& words, Language language) {
    // A tuple of the items holds the str objects whose UTF-8 the views point into while the
    // lock is released, whatever happens to the caller's sequence meanwhile.
    const ReferenceAcrossRelease items(
        py::reinterpret_steal<py::object>(PySequence_Tuple(words.ptr())));
    if (items.ptr() == nullptr) throw py::error_already_set();
    const auto n = static_cast<std::size_t>(PyTuple_GET_SIZE(items.ptr()));
    std::vector<std::string_view> views(n);
    for (std::size_t k = 0; k < n; ++k) {
        PyObject* item = PyTuple_GET_ITEM(items.ptr(), static_cast<Py_ssize_t>(k));
        if (!PyUnicode_Check(item))
            throw py::type_error("words[" + std::to_string(k) + "] is " + Py_TYPE(item)->tp_name +
                                 ", not str");
        Py_ssize_t size = 0;
        const char* data = PyUnicode_AsUTF8AndSize(item, &size);
        if (data == nullptr) throw py::error_already_set();
        views[k] = std::string_view(data, static_cast<std::size_t>(size));
    }
    const auto model = model_of(language);
    std::vector<Upos> tags;
    without_gil([&] { model->tag(views, &tags); });
    const auto& strings = tag_strings();
    py::list result(n);
    for (std::size_t k = 0; k < n; ++k) {
        PyObject* tag = strings[static_cast<std::size_t>(tags[k])].ptr();
        Py_INCREF(tag);
        PyList_SET_ITEM(result.ptr(), static_cast<Py_ssize_t>(k), tag);
    }
    return result;
}

py::list tag_text(const py::str& text, Language language, const py::object& record) {
    PyTypeObject* const type = record_type(record);
    const Utf8Text utf8(text);
    const std::string_view bytes = utf8.view();
    const auto model = model_of(language);
    const std::vector<TaggedWord> tagged =
        without_gil([&] { return model->tag_text(std::string(bytes)); });
    const auto& strings = tag_strings();
    py::list result(tagged.size());
    // Words come in order and do not overlap: one pass turns byte offsets into code points.
    std::size_t byte = 0, code_points = 0;
    const auto advance = [&](std::size_t target) {
        for (; byte < target; ++byte)
            if ((static_cast<unsigned char>(bytes[byte]) & 0xC0) != 0x80) ++code_points;
        return code_points;
    };
    for (std::size_t k = 0; k < tagged.size(); ++k) {
        const TaggedWord& w = tagged[k];
        const std::size_t start = advance(w.start);
        const std::size_t end = advance(w.end);
        PyObject* word = PyUnicode_Substring(text.ptr(), static_cast<Py_ssize_t>(start),
                                             static_cast<Py_ssize_t>(end));
        if (word == nullptr) throw py::error_already_set();
        PyObject* tag = strings[static_cast<std::size_t>(w.upos)].ptr();
        Py_INCREF(tag);
        PyObject* item = new_record(type, 4);
        if (item == nullptr) {
            Py_DECREF(word);
            Py_DECREF(tag);
            throw py::error_already_set();
        }
        PyTuple_SET_ITEM(item, 0, word);
        PyTuple_SET_ITEM(item, 1, tag);
        PyTuple_SET_ITEM(item, 2, PyLong_FromSize_t(start));
        PyTuple_SET_ITEM(item, 3, PyLong_FromSize_t(end));
        if (PyTuple_GET_ITEM(item, 2) == nullptr || PyTuple_GET_ITEM(item, 3) == nullptr) {
            Py_DECREF(item);
            throw py::error_already_set();
        }
        PyList_SET_ITEM(result.ptr(), static_cast<Py_ssize_t>(k), item);
    }
    return result;
}

}  // namespace

void bind_tagger(py::module_& m) {
    m.def("set_tagger_directory", &set_tagger_directory, py::arg("directory"),
          "Set the folder the part-of-speech models (<code>.kzt) are read from. Languages\n"
          "already loaded keep their model.");
    m.def("tagger_directory", &tagger_directory,
          "The folder the part-of-speech models are read from ('' when none is set).");
    m.def("has_tagger", &has_tagger, py::arg("language"),
          "Whether the model folder holds a part-of-speech model for `language`.");
    m.def("tag_words", &tag_words, py::arg("words"), py::arg("language"),
          "The UPOS tag of each word of `words` (a sequence of str, one sentence or more), as a\n"
          "list of str. The language's model is read on first use; an unusable model file\n"
          "raises RuntimeError. Tags without the interpreter lock.");
    m.def("tag_text", &tag_text, py::arg("text"), py::arg("language"),
          py::arg("record") = py::none(),
          "The words and punctuation of `text` with their UPOS tags: a list of (text, upos,\n"
          "start, end) tuples (instances of `record`, a tuple subclass such as a NamedTuple,\n"
          "when given), start and end being code-point offsets into `text`. Ideographs come\n"
          "one per character (Korean: blank-separated words). Tags without the lock.");
}

}  // namespace kezo::python
