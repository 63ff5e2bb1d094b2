#include "engine/pair/ColumnWords.h"

#include <array>

namespace {

// The plain letters of U+00C0..U+00FF (the second byte of their UTF-8 form
// minus 0x80); an empty entry ends a word, as a sign does.
constexpr std::array<std::string_view, 64> kLatin1 = {
    "a", "a", "a", "a", "ae", "a", "ae", "c", "e", "e", "e", "e", "i",  "i", "i",  "i",
    "d", "n", "o", "o", "o",  "o", "oe", "",  "o", "u", "u", "u", "ue", "y", "th", "ss",
    "a", "a", "a", "a", "ae", "a", "ae", "c", "e", "e", "e", "e", "i",  "i", "i",  "i",
    "d", "n", "o", "o", "o",  "o", "oe", "",  "o", "u", "u", "u", "ue", "y", "th", "y"};

enum class CharClass { Separator, Lower, Upper, Digit, Letter };

} // namespace

std::vector<std::string> columnWords(std::string_view header) {
    std::vector<std::string> words;
    std::string word;
    CharClass last = CharClass::Separator;
    const auto end = [&] {
        if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    };
    for (std::size_t i = 0; i < header.size(); ++i) {
        const auto c = static_cast<unsigned char>(header[i]);
        CharClass now = CharClass::Separator;
        std::string_view piece;
        char ascii = 0;
        if (c >= 'a' && c <= 'z') {
            now = CharClass::Lower;
            ascii = static_cast<char>(c);
        } else if (c >= 'A' && c <= 'Z') {
            now = CharClass::Upper;
            ascii = static_cast<char>(c - 'A' + 'a');
        } else if (c >= '0' && c <= '9') {
            now = CharClass::Digit;
            ascii = static_cast<char>(c);
        } else if (c == 0xC3 && i + 1 < header.size()) {
            const auto next = static_cast<unsigned char>(header[i + 1]);
            if (next >= 0x80 && next <= 0xBF) {
                ++i;
                piece = kLatin1[next - 0x80];
                now = piece.empty() ? CharClass::Separator : CharClass::Letter;
            }
        } else if (c >= 0x80) {
            // Any other letter of another script stays as it is, within the word.
            now = CharClass::Letter;
            word += static_cast<char>(c);
            last = now;
            continue;
        }
        const bool letter =
            now == CharClass::Lower || now == CharClass::Upper || now == CharClass::Letter;
        const bool wasLetter =
            last == CharClass::Lower || last == CharClass::Upper || last == CharClass::Letter;
        if (now == CharClass::Separator || (now == CharClass::Upper && last == CharClass::Lower) ||
            (letter && last == CharClass::Digit) || (now == CharClass::Digit && wasLetter)) {
            end();
        }
        if (ascii != 0) {
            word += ascii;
        } else {
            word += piece;
        }
        last = now;
    }
    end();
    return words;
}
