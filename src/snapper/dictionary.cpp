// Edit distance and BK-tree dictionary building.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "distance_kernel.h"
#include "kezo/snapper.h"
#include "kezo/unicode.h"
#include "pattern_distance.h"
#include "term_index.h"

namespace kezo {
namespace {

using snapper_detail::count_symbols_up_to;
using snapper_detail::PatternDistance;
using snapper_detail::to_symbols;

// Buffers reused across the insertions of one build.
struct BuildScratch {
    PatternDistance pattern;
    std::vector<std::uint32_t> term;
};

void insert_with(TenantFuzzySnapper::TenantDictionary& dict,
                 TenantFuzzySnapper::DictionaryTerm term, BuildScratch& scratch) {
    if (dict.nodes.empty()) {
        dict.nodes.push_back({std::move(term), {}});
        return;
    }
    to_symbols(term.normalized, scratch.term);
    const bool use_pattern = scratch.pattern.prepare(scratch.term);
    std::size_t index = 0;
    for (;;) {
        const std::string& key = dict.nodes[index].term.normalized;
        // An empty term (insert_term accepts one) is as far from a key as the key is long.
        const int d = use_pattern ? scratch.pattern.distance_to(key)
                                  : static_cast<int>(count_symbols_up_to(key, SIZE_MAX - 1));
        auto& children = dict.nodes[index].children;
        auto it = children.find(d);
        if (it != children.end()) {
            index = it->second;
            continue;
        }
        children.emplace(d, dict.nodes.size());
        dict.nodes.push_back({std::move(term), {}});
        return;
    }
}

}  // namespace

int TenantFuzzySnapper::edit_distance(const std::string& a, const std::string& b) {
    std::vector<std::uint32_t> symbols;
    to_symbols(a, symbols);
    PatternDistance pattern;
    if (!pattern.prepare(symbols)) return static_cast<int>(count_symbols_up_to(b, SIZE_MAX - 1));
    return pattern.distance_to(b);
}

void TenantFuzzySnapper::insert_term(TenantDictionary& dict, DictionaryTerm term) {
    BuildScratch scratch;
    insert_with(dict, std::move(term), scratch);
}

std::shared_ptr<TenantFuzzySnapper::TenantDictionary> TenantFuzzySnapper::build_dictionary(
    const std::vector<std::string>& terms, std::size_t max_terms, std::size_t max_token_length,
    std::size_t* rejected) {
    auto dict = std::make_shared<TenantDictionary>();
    dict->nodes.reserve(std::min(terms.size(), max_terms));
    std::size_t memory = 40;
    std::size_t accepted = 0;
    std::size_t refused = 0;
    BuildScratch scratch;
    std::size_t i = 0;
    for (; i < terms.size() && accepted < max_terms; ++i) {
        const std::string& term = terms[i];
        if (term.empty() || count_symbols_up_to(term, max_token_length) > max_token_length) {
            ++refused;
            continue;
        }
        std::string lower = unicode::to_lower(term);
        if (lower.empty() || count_symbols_up_to(lower, max_token_length) > max_token_length) {
            ++refused;
            continue;
        }
        memory += 120 + lower.size() + term.size();
        insert_with(*dict, DictionaryTerm{std::move(lower), term}, scratch);
        ++accepted;
    }
    refused += terms.size() - i;  // the terms never looked at once the cap was reached
    dict->memory_bytes = memory;
    dict->term_count = accepted;
    dict->index = NearestTermIndex::build(*dict);
    if (rejected != nullptr) *rejected = refused;
    return dict;
}

}  // namespace kezo
