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

// Additions beyond the core module, registered after everything above, in this order.
// identify_language: ranked language guesses with confidences.
void bind_language_id(pybind11::module_& m);
// KeyphraseConfig and extract_keyphrases: the keyphrase pipeline.
void bind_keyphrase(pybind11::module_& m);
// SnapMatch, snap_term_detailed and snap_terms: detailed and batch snapping.
void bind_snap_batch(pybind11::module_& m);
// Private factories that let pickle rebuild the records Python cannot construct.
void bind_pickle_support(pybind11::module_& m);
// install_tenant_dictionary: a dictionary load without the interpreter lock.
void bind_dictionary_load(pybind11::module_& m);
// Logic errors escaping the core become RuntimeErrors that say so (registers no names).
void translate_core_errors(pybind11::module_& m);
// extract_keyphrases_spanned: keyphrases with the spans of their occurrences.
void bind_keyphrase_spans(pybind11::module_& m);
// words: lower-cased word tokens as a list of str.
void bind_words(pybind11::module_& m);
// The YAKE and RAKE methods (bind_methods_yake_rake.cpp).
void bind_methods_yake_rake(pybind11::module_& m);
// TextRankMethodConfig, TfidfMethodConfig, textrank_keyphrases, tfidf_keyphrases.
void bind_methods_textrank_tfidf(pybind11::module_& m);
// set_tagger_directory, tagger_directory, has_tagger, tag_words, tag_text: part-of-speech tags.
void bind_tagger(pybind11::module_& m);
// DocumentFrequencyTable, count_document_frequency: corpus statistics counted on many threads.
void bind_corpus_counting(pybind11::module_& m);
// spanned_keyphrases_batch: many texts through one spanned extraction on native threads.
void bind_batch_extraction(pybind11::module_& m);
// tfidf_corpus_keyphrases: a corpus counted and its own texts extracted by tf-idf in one call.
void bind_tfidf_corpus(pybind11::module_& m);

}  // namespace kezo::python
