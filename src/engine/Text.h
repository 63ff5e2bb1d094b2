// Small text helpers shared by the engine, the log and the window.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace text {

namespace detail {
inline std::string toText(std::string_view s) {
    return std::string(s);
}
inline std::string toText(const char* s) {
    return std::string(s);
}
inline std::string toText(const std::string& s) {
    return s;
}
template <class T>
requires std::is_arithmetic_v<T> std::string toText(T n) {
    return std::to_string(n);
}
std::string fill(std::string_view format, const std::vector<std::string>& args);
} // namespace detail

// Fills "%@" and "%d" in order with the arguments and turns "%%" into "%",
// so the system's messages can be written in the code exactly as they read.
template <class... Args> std::string fill(std::string_view format, const Args&... args) {
    return detail::fill(format, {detail::toText(args)...});
}

// A readable name for the exception's type, such as "std::out_of_range".
std::string exceptionName(const std::exception& e);

// An ASCII digit.
constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// An ASCII letter, or any byte of a UTF-8 sequence (ä, é, ñ ...).
constexpr bool isLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0x80;
}

// The text without the blanks and tabs around it.
std::string_view trimmed(std::string_view s);

// Length of a UTF-8 text in UTF-16 code units.
std::size_t utf16Length(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

// A count with its thousands grouped: "1,000".
std::string grouped(std::int64_t count);

// The system's words for an errno value ("No space left on device").
std::string systemReason(int error);

// Last component of a slash-separated path ("contacts.csv" for "/a/contacts.csv").
std::string lastPathComponent(std::string_view path);

} // namespace text
