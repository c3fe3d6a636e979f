#include "character_references.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kezo::keyphrase {
namespace {

struct Named {
    std::string_view name;
    std::uint32_t cp;
};

constexpr std::size_t kLongestName = 8;
constexpr std::size_t kMostDigits = 8;

// The names text is likely to carry: the markup characters, Latin-1, the typographic quotes,
// dashes and spaces, and the Greek letters of scientific writing.
constexpr Named kNames[] = {
    {"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
    {"apos", '\''},     {"nbsp", 0xA0},     {"iexcl", 0xA1},    {"cent", 0xA2},
    {"pound", 0xA3},    {"curren", 0xA4},   {"yen", 0xA5},      {"brvbar", 0xA6},
    {"sect", 0xA7},     {"uml", 0xA8},      {"copy", 0xA9},     {"ordf", 0xAA},
    {"laquo", 0xAB},    {"not", 0xAC},      {"shy", 0xAD},      {"reg", 0xAE},
    {"macr", 0xAF},     {"deg", 0xB0},      {"plusmn", 0xB1},   {"sup2", 0xB2},
    {"sup3", 0xB3},     {"acute", 0xB4},    {"micro", 0xB5},    {"para", 0xB6},
    {"middot", 0xB7},   {"cedil", 0xB8},    {"sup1", 0xB9},     {"ordm", 0xBA},
    {"raquo", 0xBB},    {"frac14", 0xBC},   {"frac12", 0xBD},   {"frac34", 0xBE},
    {"iquest", 0xBF},   {"Agrave", 0xC0},   {"Aacute", 0xC1},   {"Acirc", 0xC2},
    {"Atilde", 0xC3},   {"Auml", 0xC4},     {"Aring", 0xC5},    {"AElig", 0xC6},
    {"Ccedil", 0xC7},   {"Egrave", 0xC8},   {"Eacute", 0xC9},   {"Ecirc", 0xCA},
    {"Euml", 0xCB},     {"Igrave", 0xCC},   {"Iacute", 0xCD},   {"Icirc", 0xCE},
    {"Iuml", 0xCF},     {"ETH", 0xD0},      {"Ntilde", 0xD1},   {"Ograve", 0xD2},
    {"Oacute", 0xD3},   {"Ocirc", 0xD4},    {"Otilde", 0xD5},   {"Ouml", 0xD6},
    {"times", 0xD7},    {"Oslash", 0xD8},   {"Ugrave", 0xD9},   {"Uacute", 0xDA},
    {"Ucirc", 0xDB},    {"Uuml", 0xDC},     {"Yacute", 0xDD},   {"THORN", 0xDE},
    {"szlig", 0xDF},    {"agrave", 0xE0},   {"aacute", 0xE1},   {"acirc", 0xE2},
    {"atilde", 0xE3},   {"auml", 0xE4},     {"aring", 0xE5},    {"aelig", 0xE6},
    {"ccedil", 0xE7},   {"egrave", 0xE8},   {"eacute", 0xE9},   {"ecirc", 0xEA},
    {"euml", 0xEB},     {"igrave", 0xEC},   {"iacute", 0xED},   {"icirc", 0xEE},
    {"iuml", 0xEF},     {"eth", 0xF0},      {"ntilde", 0xF1},   {"ograve", 0xF2},
    {"oacute", 0xF3},   {"ocirc", 0xF4},    {"otilde", 0xF5},   {"ouml", 0xF6},
    {"divide", 0xF7},   {"oslash", 0xF8},   {"ugrave", 0xF9},   {"uacute", 0xFA},
    {"ucirc", 0xFB},    {"uuml", 0xFC},     {"yacute", 0xFD},   {"thorn", 0xFE},
    {"yuml", 0xFF},     {"OElig", 0x152},   {"oelig", 0x153},   {"Scaron", 0x160},
    {"scaron", 0x161},  {"Yuml", 0x178},    {"fnof", 0x192},    {"circ", 0x2C6},
    {"tilde", 0x2DC},   {"Alpha", 0x391},   {"Beta", 0x392},    {"Gamma", 0x393},
    {"Delta", 0x394},   {"Epsilon", 0x395}, {"Zeta", 0x396},    {"Eta", 0x397},
    {"Theta", 0x398},   {"Iota", 0x399},    {"Kappa", 0x39A},   {"Lambda", 0x39B},
    {"Mu", 0x39C},      {"Nu", 0x39D},      {"Xi", 0x39E},      {"Omicron", 0x39F},
    {"Pi", 0x3A0},      {"Rho", 0x3A1},     {"Sigma", 0x3A3},   {"Tau", 0x3A4},
    {"Upsilon", 0x3A5}, {"Phi", 0x3A6},     {"Chi", 0x3A7},     {"Psi", 0x3A8},
    {"Omega", 0x3A9},   {"alpha", 0x3B1},   {"beta", 0x3B2},    {"gamma", 0x3B3},
    {"delta", 0x3B4},   {"epsilon", 0x3B5}, {"zeta", 0x3B6},    {"eta", 0x3B7},
    {"theta", 0x3B8},   {"iota", 0x3B9},    {"kappa", 0x3BA},   {"lambda", 0x3BB},
    {"mu", 0x3BC},      {"nu", 0x3BD},      {"xi", 0x3BE},      {"omicron", 0x3BF},
    {"pi", 0x3C0},      {"rho", 0x3C1},     {"sigmaf", 0x3C2},  {"sigma", 0x3C3},
    {"tau", 0x3C4},     {"upsilon", 0x3C5}, {"phi", 0x3C6},     {"chi", 0x3C7},
    {"psi", 0x3C8},     {"omega", 0x3C9},   {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},
    {"rlm", 0x200F},    {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018},
    {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"ldquo", 0x201C},  {"rdquo", 0x201D},
    {"bdquo", 0x201E},  {"dagger", 0x2020}, {"Dagger", 0x2021}, {"bull", 0x2022},
    {"hellip", 0x2026}, {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033},
    {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"euro", 0x20AC},   {"trade", 0x2122},
    {"larr", 0x2190},   {"rarr", 0x2192},   {"minus", 0x2212},  {"infin", 0x221E},
    {"asymp", 0x2248},  {"ne", 0x2260},     {"le", 0x2264},     {"ge", 0x2265},
};

// kNames by name, for a binary search.
const std::array<Named, std::size(kNames)>& names_in_order() {
    static const std::array<Named, std::size(kNames)> sorted = [] {
        std::array<Named, std::size(kNames)> out{};
        std::copy(std::begin(kNames), std::end(kNames), out.begin());
        std::sort(out.begin(), out.end(),
                  [](const Named& a, const Named& b) { return a.name < b.name; });
        return out;
    }();
    return sorted;
}

int digit_value(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

}  // namespace

std::size_t character_reference(const char* data, std::size_t pos, std::size_t len,
                                std::uint32_t* cp) {
    std::size_t at = pos + 1;
    if (at < len && data[at] == '#') {
        const bool hex = at + 1 < len && (data[at + 1] == 'x' || data[at + 1] == 'X');
        at += hex ? 2 : 1;
        const std::size_t digits_from = at;
        std::uint32_t value = 0;
        for (int d;
             at < len && at - digits_from < kMostDigits && (d = digit_value(data[at], hex)) >= 0;
             ++at)
            value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
        if (at == digits_from || at >= len || data[at] != ';') return 0;
        if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
        *cp = value;
        return at + 1 - pos;
    }
    const std::size_t name_from = at;
    const auto in_name = [](char c) {
        const char lower = static_cast<char>(c | 0x20);
        return (lower >= 'a' && lower <= 'z') || (c >= '0' && c <= '9');
    };
    while (at < len && at - name_from <= kLongestName && in_name(data[at])) ++at;
    if (at == name_from || at - name_from > kLongestName || at >= len || data[at] != ';') return 0;
    const std::string_view name(data + name_from, at - name_from);
    const auto& names = names_in_order();
    const auto found =
        std::lower_bound(names.begin(), names.end(), name,
                         [](const Named& n, std::string_view v) { return n.name < v; });
    if (found == names.end() || found->name != name) return 0;
    *cp = found->cp;
    return at + 1 - pos;
}

}  // namespace kezo::keyphrase
