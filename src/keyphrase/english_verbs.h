// English verbs that the part-of-speech model's treebank writes only as verbs ("detect",
// "require", "vary"), listed in en.verbs beside the models (scripts/make_verb_list.py). The model
// often reads a verb right after a noun as a noun of a compound ("the approach detects faults"),
// and the list tells such a verb from a plural noun ("feature sets"), whose base is no such verb.
#pragma once

#include <string_view>

namespace kezo::keyphrase {

// Whether lower, a lower-cased word, is a listed verb in its base form ("detect") or, with
// third_person, in its third-person form ("detects", "reaches", "varies"). The list is read from
// the tagger directory of the first call (tagger.h) and kept for the life of the process, as a
// loaded model is: call it once a model has been found there. No verb is listed when the file
// is missing or unreadable. Thread-safe; a hash lookup or three.
bool is_listed_verb(std::string_view lower, bool third_person);

}  // namespace kezo::keyphrase
