#include "addresses.h"

#include <algorithm>

namespace kezo::keyphrase {
namespace {

bool is_alnum(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return (lower >= 'a' && lower <= 'z') || (c >= '0' && c <= '9');
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Where the address running from pos ends: at the next blank (or a character no address
// holds), less the punctuation that closes the sentence or clause around it.
std::size_t address_end(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && !is_blank(text[end]) && text[end] != '<' && text[end] != '>' &&
           text[end] != '"')
        ++end;
    while (end > pos &&
           std::string_view(".,;:!?)]}'").find(text[end - 1]) != std::string_view::npos)
        --end;
    return end;
}

// Whether an address may start at pos: not inside a word.
bool starts_apart(std::string_view text, std::size_t pos) {
    return pos == 0 || !is_alnum(text[pos - 1]);
}

void add_urls(std::string_view text, std::vector<ByteRange>& out) {
    for (std::size_t at = text.find("://"); at != std::string_view::npos;
         at = text.find("://", at + 3)) {
        std::size_t begin = at;
        while (begin > 0 && (is_alnum(text[begin - 1]) || text[begin - 1] == '+' ||
                             text[begin - 1] == '-' || text[begin - 1] == '.'))
            --begin;
        // A scheme starts with a letter and has two characters at least ("ftp", "https").
        while (begin < at && !((text[begin] | 0x20) >= 'a' && (text[begin] | 0x20) <= 'z')) ++begin;
        if (at - begin < 2 || !starts_apart(text, begin)) continue;
        const std::size_t end = address_end(text, at + 3);
        if (end > at + 3) out.push_back({begin, end});
    }
}

// Host names that start "www.": found by their first full stop, which text holds far fewer of
// than of the letter w.
void add_hosts(std::string_view text, std::vector<ByteRange>& out) {
    for (std::size_t dot = text.find('.', 3); dot != std::string_view::npos;
         dot = text.find('.', dot + 1)) {
        if (text.compare(dot - 3, 3, "www") != 0) continue;
        const std::size_t at = dot - 3;
        if (!starts_apart(text, at) || (at > 0 && text[at - 1] == '.')) continue;
        const std::size_t end = address_end(text, at + 4);
        if (end > at + 4 && is_alnum(text[at + 4])) out.push_back({at, end});
    }
}

void add_mail(std::string_view text, std::vector<ByteRange>& out) {
    const auto local = [](char c) {
        return is_alnum(c) || c == '.' || c == '_' || c == '%' || c == '+' || c == '-';
    };
    for (std::size_t at = text.find('@'); at != std::string_view::npos;
         at = text.find('@', at + 1)) {
        std::size_t begin = at;
        while (begin > 0 && local(text[begin - 1])) --begin;
        while (begin < at && !is_alnum(text[begin])) ++begin;  // "(.jane@" starts at 'j'
        std::size_t end = at + 1;
        bool dot = false;
        while (end < text.size() && (is_alnum(text[end]) || text[end] == '.' || text[end] == '-')) {
            dot = dot || (text[end] == '.' && end + 1 < text.size() && is_alnum(text[end + 1]));
            ++end;
        }
        while (end > at + 1 && !is_alnum(text[end - 1])) --end;  // "uni.edu." ends at 'u'
        if (begin == at || !dot || !starts_apart(text, begin)) continue;
        out.push_back({begin, end});
    }
}

bool is_letter(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'z';
}

// HTML elements whose tags text taken from the web or converted from documents keeps.
bool is_element(std::string_view name) {
    static constexpr std::string_view kElements[] = {
        "a",      "abbr",  "b",    "big",    "blockquote", "body", "br",   "center",
        "code",   "dd",    "div",  "dl",     "dt",         "em",   "font", "h1",
        "h2",     "h3",    "h4",   "h5",     "h6",         "head", "hr",   "html",
        "i",      "img",   "li",   "link",   "meta",       "ol",   "p",    "pre",
        "script", "small", "span", "strong", "style",      "sub",  "sup",  "table",
        "tbody",  "td",    "th",   "title",  "tr",         "tt",   "u",    "ul"};
    if (name.size() > 10) return false;
    char lower[10];
    for (std::size_t k = 0; k < name.size(); ++k) lower[k] = static_cast<char>(name[k] | 0x20);
    const std::string_view key(lower, name.size());
    for (const std::string_view element : kElements)
        if (element == key) return true;
    return false;
}

// Tags of HTML elements ("<A href="3.html#10">", "</p>", "<br/>"): '<', an optional '/', the
// name of an element and '>', or the name, a blank and attributes holding an '=' up to the next
// '>' (at most 512 bytes on, with no '<' between). A comparison such as "a<b and c>d" holds no
// '=' and stays text.
void add_markup(std::string_view text, std::vector<ByteRange>& out) {
    constexpr std::size_t kLongestTag = 512;
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        std::size_t name = at + 1;
        if (name < text.size() && text[name] == '/') ++name;
        std::size_t end = name;
        while (end < text.size() && (is_letter(text[end]) || (end > name && is_alnum(text[end]))))
            ++end;
        if (end == name || !is_element(text.substr(name, end - name))) continue;
        if (end < text.size() && text[end] == '/') ++end;  // "<br/>"
        if (end < text.size() && text[end] == '>') {
            out.push_back({at, end + 1});
            continue;
        }
        if (end >= text.size() || !is_blank(text[end]) || text[name - 1] == '/') continue;
        const std::size_t close =
            text.substr(0, std::min(text.size(), at + kLongestTag)).find('>', end);
        if (close == std::string_view::npos) continue;
        const std::string_view attributes = text.substr(end, close - end);
        if (attributes.find('<') != std::string_view::npos ||
            attributes.find('=') == std::string_view::npos)
            continue;
        out.push_back({at, close + 1});
    }
}

}  // namespace

std::vector<ByteRange> find_addresses_and_markup(std::string_view text) {
    std::vector<ByteRange> out;
    add_urls(text, out);
    add_hosts(text, out);
    add_mail(text, out);
    add_markup(text, out);
    if (out.size() < 2) return out;
    std::sort(out.begin(), out.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.begin < b.begin; });
    std::size_t kept = 0;  // overlapping ones merged ("http://jane@host.org", a tag's URL)
    for (std::size_t k = 1; k < out.size(); ++k) {
        if (out[k].begin < out[kept].end)
            out[kept].end = std::max(out[kept].end, out[k].end);
        else
            out[++kept] = out[k];
    }
    out.resize(kept + 1);
    return out;
}

}  // namespace kezo::keyphrase
