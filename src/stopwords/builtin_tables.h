// The eighteen built-in stopword lists (internal to the stopwords subsystem).
//
// Every list is a constant array of string literals, constant-initialised, so it is usable
// from any static initialiser. Entries are stored normalised (lower case) and unsorted; a list
// may hold duplicates and entries of several words separated by one blank.
#pragma once

#include "kezo/stopwords.h"

namespace kezo::stopwords::detail {

// The bounds are the entry counts; a definition with another number of entries does not compile.
extern const char* const kEnglishWords[127];
extern const char* const kSpanishWords[229];
extern const char* const kFrenchWords[180];
extern const char* const kGermanWords[231];
extern const char* const kItalianWords[174];
extern const char* const kPortugueseWords[181];
extern const char* const kDutchWords[102];
extern const char* const kRussianWords[197];
extern const char* const kChineseWords[97];
extern const char* const kJapaneseWords[80];
extern const char* const kKoreanWords[81];
extern const char* const kArabicWords[104];
extern const char* const kIndonesianWords[624];
extern const char* const kTwiWords[235];
extern const char* const kGaWords[37];
extern const char* const kEweWords[34];
extern const char* const kHausaWords[35];
extern const char* const kFanteWords[38];

// Number of built-in tables: one per language value 1..18, at index value - 1.
inline constexpr int kTableCount = 18;

// The built-in tables in table-index order.
extern const LangTable kBuiltinTables[kTableCount];

// True when the built-in table at index (0..17) holds exactly the bytes of word. Same answer
// as contains_static on that table, through a hash index built once on first use.
bool builtin_contains(int index, std::string_view word) noexcept;

}  // namespace kezo::stopwords::detail
