#include "carddav/ServerText.h"

#include <curl/curl.h>

#include <algorithm>

namespace carddav {

namespace {

constexpr std::string_view kCut = "…";
constexpr std::string_view kHidden = "[hidden]";

// The length of the well-formed UTF-8 character of a printable code point at
// `at` (tab and controls excluded); 0 when the byte there starts none.
std::size_t printableCharacter(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned lead = byte(at);
    if (lead >= 0x20 && lead < 0x7f) {
        return 1;
    }
    const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    if (length == 0 || lead > 0xf4) {
        return 0;
    }
    unsigned code = lead & (0x7f >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3f);
    }
    const bool shortest = code >= (length == 2 ? 0x80u : length == 3 ? 0x800u : 0x10000u);
    const bool control = code < 0xa0; // C1: 8-bit escape sequences to many terminals
    const bool surrogate = code >= 0xd800 && code < 0xe000;
    return shortest && !control && !surrogate && code <= 0x10ffff ? length : 0;
}

std::string base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        for (std::size_t k = 1; k < 3 && i + k < bytes.size(); ++k) {
            group |= static_cast<unsigned>(static_cast<unsigned char>(bytes[i + k]))
                     << (16 - 8 * k);
        }
        const std::size_t digits = std::min<std::size_t>(4, bytes.size() - i + 1);
        for (std::size_t k = 0; k < digits; ++k) {
            out += kDigits[(group >> (18 - 6 * k)) & 0x3f];
        }
    }
    return out; // without the "=" padding
}

} // namespace

std::string printable(std::string_view text, std::size_t max) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = printableCharacter(text, at);
        std::string piece(text.substr(at, length));
        if (length == 0) {
            static constexpr char kHex[] = "0123456789abcdef";
            const auto byte = static_cast<unsigned char>(text[at]);
            piece = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xf]};
        }
        if (out.size() + piece.size() > max) {
            return out + std::string(kCut);
        }
        out += piece;
        at += std::max<std::size_t>(length, 1);
    }
    return out;
}

ServerText::ServerText(const std::string& user, const std::string& password) {
    if (password.empty()) {
        return;
    }
    const std::string credentials = base64(user + ":" + password);
    secrets_ = {password, credentials,
                credentials + std::string((4 - credentials.size() % 4) % 4, '=')};
    if (char* escaped =
            curl_easy_escape(nullptr, password.c_str(), static_cast<int>(password.size()))) {
        secrets_.emplace_back(escaped);
        curl_free(escaped);
    }
    std::sort(secrets_.begin(), secrets_.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

std::string ServerText::operator()(std::string_view text, std::size_t max) const {
    std::string hidden(text);
    for (const auto& secret : secrets_) {
        for (auto at = hidden.find(secret); at != std::string::npos;
             at = hidden.find(secret, at + kHidden.size())) {
            hidden.replace(at, secret.size(), kHidden);
        }
    }
    return printable(hidden, max);
}

} // namespace carddav
