// The kezo_native extension module: a thin layer over the core library.
#include "bindings.h"

PYBIND11_MODULE(kezo_native, m) {
    using namespace kezo::python;
    m.doc() = "Kezo \u2014 multi-language NLP keyword extraction (C++ core)";
    bind_core_types(m);
    bind_text_functions(m);
    bind_stopword_functions(m);
    bind_extract_configs(m);
    bind_extract_functions(m);
    m.attr("__version__") = "0.3.0";
    m.attr("name") = "kezo";
    bind_snapper(m);
    bind_language_id(m);
    bind_keyphrase(m);
    bind_snap_batch(m);
    bind_pickle_support(m);
    bind_dictionary_load(m);
    translate_core_errors(m);
    bind_keyphrase_spans(m);
    bind_words(m);
    bind_methods_yake_rake(m);
    bind_methods_textrank_tfidf(m);
    bind_tagger(m);
    bind_corpus_counting(m);
    bind_batch_extraction(m);
    bind_tfidf_corpus(m);
}
