// Tenant snapping against brute force. A query and a small dictionary made of near edits of it
// (and of other input bytes, malformed UTF-8 included) are loaded under a policy drawn from the
// input; edit_distance must equal a plain dynamic-programming table over code points, snap_term
// must return a term at the smallest distance within the bound (the first loaded one on an exact
// match) or the query itself, and the dictionary's counts must match the term filters.
// Input: the query and the terms first; the options are taken from the last bytes.
#include <algorithm>
#include <cctype>
#include <climits>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "kezo/snapper.h"
#include "kezo/unicode.h"

using namespace kezo;
using kezo::fuzz::pick;
using kezo::fuzz::symbols;

namespace {

constexpr const char* kTenant = "fuzz-snap";
constexpr std::size_t kMaxQueryBytes = 200;  // past the 64 symbols of the bit-parallel kernel

int reference_distance(const std::string& a, const std::string& b) {
    const std::vector<std::uint32_t> x = symbols(a), y = symbols(b);
    std::vector<std::vector<int>> d(x.size() + 1, std::vector<int>(y.size() + 1));
    for (std::size_t i = 0; i <= x.size(); ++i) d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= y.size(); ++j) d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= x.size(); ++i)
        for (std::size_t j = 1; j <= y.size(); ++j)
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
    return d[x.size()][y.size()];
}

// The byte pieces of text, one per symbol, so edits keep malformed bytes whole.
std::vector<std::string> pieces(const std::string& text) {
    std::vector<std::string> out;
    fuzz::for_each_symbol(text, [&](std::size_t pos, std::size_t n, std::uint32_t) {
        out.push_back(text.substr(pos, n ? n : 1));
    });
    return out;
}

// The query after up to four edits of one symbol each: delete, insert, substitute, transpose
// or change the case of an ASCII letter.
std::string near_edit(FuzzedDataProvider& in, const std::string& query) {
    static const char* const kAlphabet[] = {"a",      "e",      "A",      " ",
                                            "\u00e9", "\u00c9", "\u4e2d", "\u0391",
                                            "\xff",   "\xc3",   "\u00c3", "\xed\xa0\x80"};
    std::vector<std::string> p = pieces(query);
    const std::vector<std::string> source = p;
    const int edits = in.ConsumeIntegralInRange(0, 4);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, p.size());
        const std::string piece =
            !source.empty() && in.ConsumeBool()
                ? source[in.ConsumeIntegralInRange<std::size_t>(0, source.size() - 1)]
                : pick(in, kAlphabet);
        switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0:
                if (at < p.size()) p.erase(p.begin() + at);
                break;
            case 1:
                p.insert(p.begin() + at, piece);
                break;
            case 2:
                if (at < p.size()) p[at] = piece;
                break;
            case 3:
                if (at + 1 < p.size()) std::swap(p[at], p[at + 1]);
                break;
            default:
                if (at < p.size() && p[at].size() == 1 && std::isalpha(p[at][0]))
                    p[at][0] = static_cast<char>(p[at][0] ^ 0x20);
        }
    }
    std::string out;
    for (const std::string& s : p) out += s;
    return out;
}

struct Entry {
    std::string term, lowered;
    int distance;  // to the lowered query
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    TenantCachePolicy policy;
    static const std::size_t kMaxTerms[] = {0, 1, 2, 3, 8, 50000};
    static const std::size_t kMaxLengths[] = {0, 1, 3, 8, 64, 128, 1000};
    static const int kBounds[] = {-1, 0, 1, 2, 3, 5, 64, INT_MAX};
    policy.max_terms_per_tenant = pick(in, kMaxTerms);
    policy.max_token_length = pick(in, kMaxLengths);
    policy.max_updates_per_minute = 0;
    const int bound = pick(in, kBounds);
    const std::string query =
        in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, kMaxQueryBytes));
    std::vector<std::string> terms(in.ConsumeIntegralInRange(0, 24));
    for (std::string& t : terms)
        t = in.ConsumeBool() ? near_edit(in, query) : in.ConsumeRandomLengthString(80);

    // Brute force: the terms that pass the filters, in order, with their distances.
    const std::string lowered_query = unicode::to_lower(query);
    const std::size_t max_length = policy.max_token_length;
    std::vector<Entry> accepted;
    std::size_t refused = 0, memory = 40;
    for (const std::string& t : terms) {
        const std::string lowered = unicode::to_lower(t);
        const int d = reference_distance(lowered_query, lowered);
        FUZZ_CHECK(TenantFuzzySnapper::edit_distance(lowered_query, lowered) == d);
        FUZZ_CHECK(TenantFuzzySnapper::edit_distance(lowered, lowered_query) == d);
        if (accepted.size() == policy.max_terms_per_tenant || t.empty() ||
            symbols(t).size() > max_length || symbols(lowered).size() > max_length) {
            ++refused;
            continue;
        }
        accepted.push_back({t, lowered, d});
        memory += 120 + lowered.size() + t.size();
    }

    global_snapper.set_cache_policy(policy);
    const std::uint64_t rejected_before =
        global_snapper.get_tenant_metrics(kTenant).rejected_updates;
    global_snapper.load_tenant_dictionary(kTenant, terms);
    const TenantMetrics metrics = global_snapper.get_tenant_metrics(kTenant);
    FUZZ_CHECK(metrics.loaded && metrics.dictionary_terms == accepted.size());
    FUZZ_CHECK(metrics.memory_bytes == memory);
    FUZZ_CHECK(metrics.rejected_updates - rejected_before == refused);
    const std::vector<std::string> loaded = global_snapper.list_loaded_tenants();
    FUZZ_CHECK((std::find(loaded.begin(), loaded.end(), kTenant) != loaded.end()) ==
               !accepted.empty());

    const std::string result = global_snapper.snap_term(kTenant, query, bound);
    const bool looked_up = bound >= 0 && !query.empty() && !accepted.empty() &&
                           (max_length == 0 || symbols(query).size() <= max_length);
    int best = INT_MAX;
    for (const Entry& e : accepted) best = std::min(best, e.distance);
    if (!looked_up || best > bound) {
        FUZZ_CHECK(result == query);
    } else if (best == 0) {
        const auto first = std::find_if(accepted.begin(), accepted.end(),
                                        [](const Entry& e) { return e.distance == 0; });
        FUZZ_CHECK(result == first->term);
    } else {
        FUZZ_CHECK(std::any_of(accepted.begin(), accepted.end(), [&](const Entry& e) {
            return e.term == result && e.distance == best;
        }));
    }
    return 0;
}
