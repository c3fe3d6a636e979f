// Enumerations, result records and configuration classes.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdio>
#include <string>

#include "bindings.h"
#include "kezo/types.h"
#include "utf8_arguments.h"

namespace py = pybind11;

namespace kezo::python {

void bind_core_types(py::module_& m) {
    py::enum_<Language>(m, "Language", "ISO 639-1 language code.")
        .value("Auto", Language::Auto)
        .value("English", Language::English)
        .value("Spanish", Language::Spanish)
        .value("French", Language::French)
        .value("German", Language::German)
        .value("Italian", Language::Italian)
        .value("Portuguese", Language::Portuguese)
        .value("Dutch", Language::Dutch)
        .value("Russian", Language::Russian)
        .value("Chinese", Language::Chinese)
        .value("Japanese", Language::Japanese)
        .value("Korean", Language::Korean)
        .value("Arabic", Language::Arabic)
        .value("Indonesian", Language::Indonesian)
        .value("Twi", Language::Twi)
        .value("Akan", Language::Twi)
        .value("ak", Language::Twi)
        .value("Ga", Language::Ga)
        .value("ga", Language::Ga)
        .value("gaa", Language::Ga)
        .value("Ewe", Language::Ewe)
        .value("ee", Language::Ewe)
        .value("Hausa", Language::Hausa)
        .value("ha", Language::Hausa)
        .value("Fante", Language::Fante)
        .value("fat", Language::Fante)
        .def("__str__", [](Language lang) { return language_name(lang); });

    py::enum_<Algorithm>(m, "Algorithm", "Keyword extraction algorithm.")
        .value("TFIDF", Algorithm::TFIDF)
        .value("YAKE", Algorithm::YAKE)
        .value("TextRank", Algorithm::TextRank)
        .value("RAKE", Algorithm::RAKE);

    py::class_<Token>(m, "Token", "A token emitted by the tokenizer.")
        .def_readonly("text", &Token::text)
        .def_readonly("offset", &Token::offset)
        .def_readonly("pos", &Token::pos)
        .def_readonly("is_word", &Token::is_word)
        .def("__repr__", [](const Token& t) {
            return "<Token text='" + t.text + "' pos=" + std::to_string(t.pos) + ">";
        });

    py::class_<Sentence>(m, "Sentence", "A sentence token range.")
        .def_readonly("begin", &Sentence::begin)
        .def_readonly("end", &Sentence::end)
        .def("__repr__", [](const Sentence& s) {
            return "<Sentence begin=" + std::to_string(s.begin) + " end=" + std::to_string(s.end) +
                   ">";
        });

    py::class_<Keyword>(m, "Keyword", "A scored candidate keyword.")
        .def_readonly("text", &Keyword::text)
        .def_readonly("score", &Keyword::score)
        .def_readonly("count", &Keyword::count)
        .def_readonly("first_position", &Keyword::first_position)
        .def("__repr__",
             [](const Keyword& k) {
                 // %f of a finite double never exceeds a few hundred characters; the buffer is
                 // sized for the largest one (1e308 has 309 integer digits).
                 char score[400];
                 std::snprintf(score, sizeof score, "%f", k.score);
                 return "Keyword(text='" + k.text + "', score=" + score +
                        ", count=" + std::to_string(k.count) + ")";
             })
        .def("__iter__",
             [](const Keyword& k) { return py::iter(py::make_tuple(k.text, k.score)); });

    py::class_<TokenizerConfig>(m, "TokenizerConfig", "Tokenizer options.")
        .def(py::init<>())
        .def_readwrite("lowercase", &TokenizerConfig::lowercase)
        .def_readwrite("strip_accents", &TokenizerConfig::strip_accents)
        .def_readwrite("split_cjk", &TokenizerConfig::split_cjk)
        .def_readwrite("keep_numbers", &TokenizerConfig::keep_numbers)
        .def_readwrite("keep_punctuation", &TokenizerConfig::keep_punctuation)
        .def_readwrite("min_word_length", &TokenizerConfig::min_word_length);
}

void bind_extract_configs(py::module_& m) {
    py::class_<TFIDFConfig>(m, "TFIDFConfig")
        .def(py::init<>())
        .def_readwrite("min_n", &TFIDFConfig::min_n)
        .def_readwrite("max_n", &TFIDFConfig::max_n)
        .def_readwrite("total_documents", &TFIDFConfig::total_documents)
        .def_readwrite("top_k", &TFIDFConfig::top_k)
        .def_readwrite("smooth", &TFIDFConfig::smooth)
        .def_readwrite("sublinear_tf", &TFIDFConfig::sublinear_tf);

    py::class_<YAKEConfig>(m, "YAKEConfig")
        .def(py::init<>())
        .def_readwrite("min_n", &YAKEConfig::min_n)
        .def_readwrite("max_n", &YAKEConfig::max_n)
        .def_readwrite("top_k", &YAKEConfig::top_k)
        .def_readwrite("window", &YAKEConfig::window)
        .def_readwrite("product_mode", &YAKEConfig::product_mode);

    py::class_<TextRankConfig>(m, "TextRankConfig")
        .def(py::init<>())
        .def_readwrite("min_n", &TextRankConfig::min_n)
        .def_readwrite("max_n", &TextRankConfig::max_n)
        .def_readwrite("top_k", &TextRankConfig::top_k)
        .def_readwrite("window", &TextRankConfig::window)
        .def_readwrite("damping", &TextRankConfig::damping)
        .def_readwrite("max_iter", &TextRankConfig::max_iter)
        .def_readwrite("tol", &TextRankConfig::tol);

    py::class_<RAKEConfig>(m, "RAKEConfig")
        .def(py::init<>())
        .def_readwrite("min_phrase_length", &RAKEConfig::min_phrase_length)
        .def_readwrite("max_phrase_length", &RAKEConfig::max_phrase_length)
        .def_readwrite("top_k", &RAKEConfig::top_k)
        .def_readwrite("include_words", &RAKEConfig::include_words);

    // Reading `tokenizer` gives a view into the owning config (it keeps the owner alive);
    // assigning copies the value in.
    py::class_<ExtractConfig> extract_config(m, "ExtractConfig",
                                             "High-level config for a single algorithm.");
    extract_config.def(py::init<>())
        .def_readwrite("algorithm", &ExtractConfig::algorithm)
        .def_readwrite("language", &ExtractConfig::language)
        .def_readwrite("tokenizer", &ExtractConfig::tokenizer)
        .def_readwrite("top_k", &ExtractConfig::top_k)
        .def_readwrite("min_n", &ExtractConfig::min_n)
        .def_readwrite("max_n", &ExtractConfig::max_n);
    // As def_readwrite would bind it, except that the setter refuses malformed UTF-8: the id is
    // stored and read back as str.
    const py::cpp_function get_tenant_id(
        [](const ExtractConfig& c) -> const std::string& { return c.tenant_id; },
        py::is_method(extract_config));
    const py::cpp_function set_tenant_id(
        [](ExtractConfig& c, const std::string& tenant_id) {
            require_utf8(tenant_id, "tenant_id");
            c.tenant_id = tenant_id;
        },
        py::is_method(extract_config));
    extract_config.def_property("tenant_id", get_tenant_id, set_tenant_id,
                                py::return_value_policy::reference_internal);

    py::class_<EnsembleConfig, ExtractConfig>(m, "EnsembleConfig",
                                              "Config for the multi-algorithm ensemble.")
        .def(py::init<>())
        .def_readwrite("w_tfidf", &EnsembleConfig::w_tfidf)
        .def_readwrite("w_yake", &EnsembleConfig::w_yake)
        .def_readwrite("w_textrank", &EnsembleConfig::w_textrank)
        .def_readwrite("w_rake", &EnsembleConfig::w_rake);
}

}  // namespace kezo::python
