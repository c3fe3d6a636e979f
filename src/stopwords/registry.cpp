// The stopword registry: normalisation, process-wide custom additions, per-tenant lists, the
// combined test used by the extraction algorithms, and the thread's active tenant.
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "builtin_tables.h"
#include "kezo/unicode.h"

namespace kezo::stopwords {

using detail::kTableCount;

thread_local std::string kActiveTenant;

namespace {

// Custom additions of one table index. Words live in a deque, whose elements never move when it
// grows, so the views that get() hands out stay valid for the life of the process (words are
// never removed). The set indexes the same strings for constant-time lookup.
struct CustomList {
    std::deque<std::string> words;
    std::unordered_set<std::string_view> index;
};

// One tenant's words for one table index, with a set of views into them. Move-only: moving the
// vector hands over its buffer, so the strings (and the views) stay where they are.
struct TenantList {
    std::vector<std::string> words;
    std::unordered_set<std::string_view> index;

    TenantList() = default;
    TenantList(TenantList&&) noexcept = default;
    TenantList& operator=(TenantList&&) noexcept = default;
    TenantList(const TenantList&) = delete;
    TenantList& operator=(const TenantList&) = delete;

    bool contains(std::string_view word) const { return index.count(word) != 0; }
};

using TenantLists = std::array<TenantList, kTableCount>;

struct Registry {
    // The one reader-writer lock over the custom lists and the tenant map.
    std::shared_mutex mutex;
    std::array<CustomList, kTableCount> custom;
    std::unordered_map<std::string, TenantLists> tenants;
    // Bit i is set once the custom list of index i is non-empty. Lets is_stop answer a miss
    // without the lock when there is nothing beyond the built-in table to look at.
    std::atomic<std::uint32_t> custom_nonempty{0};
};

// Created when the library loads and never destroyed: views of custom words and threads still
// running while the process exits never see a destroyed registry.
Registry& registry() {
    static Registry* const instance = new Registry();
    return *instance;
}

[[maybe_unused]] const Registry& kCreateAtLoad = registry();

// True when to_lower would change some byte of word. Walks the text as to_lower does.
bool needs_lowering(std::string_view word) noexcept {
    const char* data = word.data();
    const std::size_t len = word.size();
    std::size_t pos = 0;
    while (pos < len) {
        const auto b = static_cast<unsigned char>(data[pos]);
        if (b < 0x80) {
            if (b >= 'A' && b <= 'Z') return true;
            ++pos;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t n = unicode::decode_utf8(data, pos, len, &cp);
        if (n == 0) {
            ++pos;
            continue;
        }
        if (unicode::to_lower_code_point(cp) != cp) return true;
        pos += n;
    }
    return false;
}

// Lowers word in place; no copy when there is nothing to lower.
void normalize_in_place(std::string& word) {
    if (needs_lowering(word)) word = unicode::to_lower(word);
}

// The normal form of word as a view: word itself when already normal (no allocation),
// otherwise the lowered copy kept in storage.
std::string_view normalized_view(std::string_view word, std::string& storage) {
    if (!needs_lowering(word)) return word;
    storage = unicode::to_lower(std::string(word));
    return storage;
}

TenantList make_tenant_list(std::vector<std::string> words) {
    TenantList list;
    list.words.reserve(words.size());
    for (std::string& word : words) {
        normalize_in_place(word);
        if (!word.empty()) list.words.push_back(std::move(word));
    }
    // Views are taken only after the vector is complete: no reallocation can move them.
    list.index.reserve(list.words.size());
    for (const std::string& word : list.words) list.index.insert(word);
    return list;
}

}  // namespace

std::string normalize(std::string_view word) {
    if (!needs_lowering(word)) return std::string(word);
    return unicode::to_lower(std::string(word));
}

std::vector<std::string_view> get(Language lang) {
    const int index = table_index(lang);
    if (index < 0) return {};
    const LangTable& table = detail::kBuiltinTables[index];
    std::vector<std::string_view> words;
    Registry& reg = registry();
    std::shared_lock lock(reg.mutex);
    const CustomList& custom = reg.custom[index];
    words.reserve(table.size + custom.words.size());  // one allocation for both parts
    for (std::uint64_t k = 0; k < table.size; ++k) words.emplace_back(table.words[k]);
    for (const std::string& word : custom.words) words.emplace_back(word);
    return words;
}

void add(Language lang, std::string word) {
    const int index = table_index(lang);
    if (index < 0) return;
    // Normalised before the lock is taken: the exclusive section only appends.
    normalize_in_place(word);
    Registry& reg = registry();
    std::unique_lock lock(reg.mutex);
    CustomList& custom = reg.custom[index];
    const std::string& stored = custom.words.emplace_back(std::move(word));
    try {
        custom.index.insert(stored);
    } catch (...) {
        custom.words.pop_back();  // keep the list and its index in step
        throw;
    }
    reg.custom_nonempty.fetch_or(std::uint32_t{1} << index);
}

void load_tenant(std::string tenant_id, Language lang, std::vector<std::string> words) {
    const int index = table_index(lang);
    if (index < 0 || tenant_id.empty()) return;
    TenantList list = make_tenant_list(std::move(words));
    Registry& reg = registry();
    {
        std::unique_lock lock(reg.mutex);
        TenantLists& lists = reg.tenants.try_emplace(std::move(tenant_id)).first->second;
        std::swap(lists[index], list);
    }
    // list now holds the replaced words, freed here outside the lock.
}

void clear_tenant(std::string_view tenant_id, Language lang) {
    const int index = table_index(lang);
    if (index < 0 || tenant_id.empty()) return;
    const std::string key(tenant_id);
    TenantList old;
    Registry& reg = registry();
    {
        std::unique_lock lock(reg.mutex);
        auto it = reg.tenants.find(key);
        if (it == reg.tenants.end()) return;
        std::swap(it->second[index], old);
    }
}

bool is_tenant_stop(std::string_view tenant_id, Language lang, std::string_view word) {
    const int index = table_index(lang);
    if (index < 0 || tenant_id.empty() || word.empty()) return false;
    std::string storage;
    const std::string_view normal = normalized_view(word, storage);
    const std::string key(tenant_id);
    Registry& reg = registry();
    std::shared_lock lock(reg.mutex);
    auto it = reg.tenants.find(key);
    return it != reg.tenants.end() && it->second[index].contains(normal);
}

bool contains_dynamic(const std::vector<std::string>& list, std::string_view word) noexcept {
    // string_view equality compares the lengths first, then the bytes.
    for (const std::string& entry : list)
        if (std::string_view(entry) == word) return true;
    return false;
}

bool is_stop(Language lang, std::string_view word) {
    if (word.empty()) return true;
    const int index = table_index(lang);
    if (index < 0) return false;
    std::string storage;
    const std::string_view normal = normalized_view(word, storage);
    if (detail::builtin_contains(index, normal)) return true;  // no lock

    Registry& reg = registry();
    const std::string& tenant = kActiveTenant;
    const bool has_custom = (reg.custom_nonempty.load() >> index) & 1u;
    if (!has_custom && tenant.empty()) return false;

    std::shared_lock lock(reg.mutex);
    const CustomList& custom = reg.custom[index];
    if (!custom.words.empty() && custom.index.count(normal) != 0) return true;
    if (tenant.empty()) return false;
    auto it = reg.tenants.find(tenant);
    return it != reg.tenants.end() && it->second[index].contains(normal);
}

bool is_builtin_stop(Language lang, std::string_view word) {
    if (word.empty()) return true;
    const int index = table_index(lang);
    if (index < 0) return false;
    std::string storage;
    return detail::builtin_contains(index, normalized_view(word, storage));
}

bool has_dynamic_stops(Language lang) noexcept {
    const int index = table_index(lang);
    if (index < 0) return false;
    return !kActiveTenant.empty() || ((registry().custom_nonempty.load() >> index) & 1u);
}

ScopedTenant::ScopedTenant(std::string_view tenant_id) : previous_(std::move(kActiveTenant)) {
    kActiveTenant = tenant_id;
}

ScopedTenant::~ScopedTenant() {
    kActiveTenant = std::move(previous_);
}

}  // namespace kezo::stopwords
