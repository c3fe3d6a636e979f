// Stopwords: the built-in per-language tables, process-wide custom additions, and tenant lists
// that apply only on a thread where that tenant is active.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kezo/language.h"

namespace kezo::stopwords {

// A built-in list: static NUL-terminated UTF-8 entries, stored normalised.
struct LangTable {
    const char* const* words;
    std::uint64_t size;
};

// Table of a language: Auto -> 0 (English), 1..18 -> value - 1, anything else -> -1.
int table_index(Language lang) noexcept;

// True when some entry of table has exactly the bytes of word (word must already be normalised).
// A linear scan; is_stop answers the same question for the built-in tables through a hash index.
bool contains_static(const LangTable& table, std::string_view word) noexcept;

// Built-in entries in table order, then custom additions in the order added. Empty when the
// language has no table. Views of custom words stay valid for the life of the process.
std::vector<std::string_view> get(Language lang);

// Normal form of every stored and looked-up word: the lower-cased word, nothing else.
std::string normalize(std::string_view word);

// Appends normalize(word) to the process-wide custom list of lang's table (duplicates and the
// empty word included); no-op for a language without a table.
void add(Language lang, std::string word);

// Replaces tenant_id's stopwords for lang (normalised, empty forms skipped).
// No-op for an empty tenant id or a language without a table.
void load_tenant(std::string tenant_id, Language lang, std::vector<std::string> words);

// Empties tenant_id's list for lang; no-op when the tenant was never loaded.
void clear_tenant(std::string_view tenant_id, Language lang);

// True when the normalised word is in tenant_id's list for lang. False for an empty tenant id or
// word, a language without a table, or a tenant never loaded. Tenant ids compare byte for byte.
bool is_tenant_stop(std::string_view tenant_id, Language lang, std::string_view word);

// Linear scan of list for an entry with the same bytes as word.
bool contains_dynamic(const std::vector<std::string>& list, std::string_view word) noexcept;

// Combined test: empty word -> true; no table -> false; then built-in (lock-free), custom, and
// the thread's active tenant's list, all on the normalised word. Words with nothing to lower are
// looked up without a copy; a miss takes the shared lock only when the language has custom
// words or a tenant is active.
bool is_stop(Language lang, std::string_view word);

// The built-in part of is_stop: true for the empty word and for a word of lang's built-in table
// (normalised first). Lock-free; its answer for a language and word never changes.
bool is_builtin_stop(Language lang, std::string_view word);

// False when is_stop(lang, word) is is_builtin_stop(lang, word) for every word on this thread
// now: lang has no custom words and no tenant is active. Lock-free, constant time.
bool has_dynamic_stops(Language lang) noexcept;

// The tenant whose stopwords apply on this thread; empty means none.
extern thread_local std::string kActiveTenant;

// Activates a tenant on this thread for the guard's lifetime and restores the previous one after.
class ScopedTenant {
  public:
    explicit ScopedTenant(std::string_view tenant_id);
    ~ScopedTenant();
    ScopedTenant(const ScopedTenant&) = delete;
    ScopedTenant& operator=(const ScopedTenant&) = delete;

  private:
    std::string previous_;
};

}  // namespace kezo::stopwords
