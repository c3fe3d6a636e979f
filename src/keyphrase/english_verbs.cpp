#include "english_verbs.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "kezo/tagger.h"

namespace kezo::keyphrase {
namespace {

// The list, sorted, one word per line of the file.
std::vector<std::string> read_list() {
    std::vector<std::string> verbs;
    std::ifstream in(tagger_directory() + "/en.verbs", std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) verbs.push_back(line);
    std::sort(verbs.begin(), verbs.end());
    return verbs;
}

bool listed(std::string_view word) {
    static const std::vector<std::string> verbs = read_list();
    return std::binary_search(verbs.begin(), verbs.end(), word,
                              [](std::string_view a, std::string_view b) { return a < b; });
}

bool ends_with(std::string_view word, std::string_view end) {
    return word.size() > end.size() && word.compare(word.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool is_listed_verb(std::string_view lower, bool third_person) {
    if (!third_person) return listed(lower);
    if (!ends_with(lower, "s")) return false;
    if (listed(lower.substr(0, lower.size() - 1))) return true;  // detects
    if (ends_with(lower, "es") && listed(lower.substr(0, lower.size() - 2)))
        return true;  // reaches
    return ends_with(lower, "ies") &&
           listed(std::string(lower.substr(0, lower.size() - 3)) + "y");  // varies
}

}  // namespace kezo::keyphrase
