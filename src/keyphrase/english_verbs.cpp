#include "english_verbs.h"

#include <fstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "kezo/tagger.h"
#include "words.h"

namespace kezo::keyphrase {
namespace {

// The words of the file, one per line, and a set viewing them.
struct VerbList {
    std::vector<std::string> words;
    std::unordered_set<std::string_view> set;

    VerbList() {
        std::ifstream in(tagger_directory() + "/en.verbs", std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) words.push_back(line);
        }
        set.reserve(words.size());
        for (const std::string& word : words) set.insert(word);  // words no longer change
    }
};

bool listed(std::string_view word) {
    static const VerbList verbs;
    return verbs.set.count(word) > 0;
}

}  // namespace

bool is_listed_verb(std::string_view lower, bool third_person) {
    if (!third_person) return listed(lower);
    if (!ends_after(lower, "s")) return false;
    if (listed(lower.substr(0, lower.size() - 1))) return true;  // detects
    if (ends_after(lower, "es") && listed(lower.substr(0, lower.size() - 2)))
        return true;  // reaches
    return ends_after(lower, "ies") &&
           listed(std::string(lower.substr(0, lower.size() - 3)) + "y");  // varies
}

}  // namespace kezo::keyphrase
