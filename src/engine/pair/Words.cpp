#include "engine/pair/Words.h"

#include <array>

namespace words {

namespace {

// The plain letters of U+00C0..U+00FF (the second byte of their UTF-8 form
// minus 0x80); an empty entry (× and ÷) is a sign, not a letter.
constexpr std::array<std::string_view, 64> kLatin1 = {
    "a", "a", "a", "a", "ae", "a", "ae", "c", "e", "e", "e", "e", "i",  "i", "i",  "i",
    "d", "n", "o", "o", "o",  "o", "oe", "",  "o", "u", "u", "u", "ue", "y", "th", "ss",
    "a", "a", "a", "a", "ae", "a", "ae", "c", "e", "e", "e", "e", "i",  "i", "i",  "i",
    "d", "n", "o", "o", "o",  "o", "oe", "",  "o", "u", "u", "u", "ue", "y", "th", "y"};

enum class CharClass { Separator, Lower, Upper, Digit, Letter };

// One character of a text as the words see it.
struct Char {
    CharClass kind = CharClass::Separator;
    // Its lower-case plain form; empty for a separator.
    std::string_view plain;
    // The bytes it took.
    std::size_t size = 1;
};

constexpr std::array<char, 128> kAscii = [] {
    std::array<char, 128> lower{};
    for (int c = 0; c < 128; ++c) {
        lower[static_cast<std::size_t>(c)] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return lower;
}();

Char charAt(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::string_view self(&kAscii[c & 0x7F], 1);
    if (c >= 'a' && c <= 'z') {
        return {CharClass::Lower, self};
    }
    if (c >= 'A' && c <= 'Z') {
        return {CharClass::Upper, self};
    }
    if (c >= '0' && c <= '9') {
        return {CharClass::Digit, self};
    }
    if (c == 0xC3 && i + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (next >= 0x80 && next <= 0xBF) {
            const std::string_view plain = kLatin1[next - 0x80];
            return {plain.empty() ? CharClass::Separator : CharClass::Letter, plain, 2};
        }
    }
    if (c >= 0x80) {
        // A letter of another script stays as it is, within its word.
        return {CharClass::Letter, text.substr(i, 1)};
    }
    return {};
}

bool isLetter(CharClass c) {
    return c == CharClass::Lower || c == CharClass::Upper || c == CharClass::Letter;
}

// The text cut to kMaxText bytes, never inside a UTF-8 character.
std::string_view bounded(std::string_view text) {
    if (text.size() <= kMaxText) {
        return text;
    }
    std::size_t cut = kMaxText;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return text.substr(0, cut);
}

} // namespace

std::vector<std::string> split(std::string_view text) {
    text = bounded(text);
    std::vector<std::string> words;
    std::string word;
    CharClass last = CharClass::Separator;
    for (std::size_t i = 0; i < text.size();) {
        const Char c = charAt(text, i);
        i += c.size;
        const bool wordEnds = c.kind == CharClass::Separator ||
                              (c.kind == CharClass::Upper && last == CharClass::Lower) ||
                              (isLetter(c.kind) && last == CharClass::Digit) ||
                              (c.kind == CharClass::Digit && isLetter(last));
        if (wordEnds && !word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
        word += c.plain;
        last = c.kind;
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

std::string key(std::string_view text) {
    std::string joined;
    for (const std::string& word : split(text)) {
        joined += word;
    }
    return joined;
}

std::string folded(std::string_view text) {
    text = bounded(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Char c = charAt(text, i);
        out += c.kind == CharClass::Separator ? text.substr(i, c.size) : c.plain;
        i += c.size;
    }
    return out;
}

} // namespace words
