// Registration steps of the kezo_native module, called in order by the module initialiser.
#pragma once

#include <pybind11/pybind11.h>

namespace kezo::python {

// Language and Algorithm enumerations and the Token, Sentence, Keyword, TokenizerConfig classes.
void bind_core_types(pybind11::module_& m);
// tokenize, split_sentences, detect_language, language_code, language_name.
void bind_text_functions(pybind11::module_& m);
// is_stopword ... is_tenant_stopword.
void bind_stopword_functions(pybind11::module_& m);
// TFIDFConfig, YAKEConfig, TextRankConfig, RAKEConfig, ExtractConfig, EnsembleConfig.
void bind_extract_configs(pybind11::module_& m);
// extract_keywords ... rake_extract.
void bind_extract_functions(pybind11::module_& m);
// Tenant dictionary service classes and functions.
void bind_snapper(pybind11::module_& m);

}  // namespace kezo::python
