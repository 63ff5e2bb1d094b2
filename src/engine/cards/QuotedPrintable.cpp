#include "engine/cards/QuotedPrintable.h"

#include <array>

namespace {

bool isPrintable(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

// The bytes of the character that starts with `lead`; 1 for ASCII and for a
// byte that starts none.
std::size_t characterLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 3 : 1;
    }
    return lead >= 0xC0 ? 2 : 1;
}

} // namespace

void vcard::appendQuotedPrintable(std::string& out, std::string_view value, std::size_t used) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    static constexpr std::size_t kLineLimit = 76;
    std::array<char, 12> token{};
    for (std::size_t i = 0; i < value.size();) {
        // One token: a line break, a character's bytes, or one byte.
        std::size_t length = 0;
        const auto encode = [&](unsigned char c) {
            token[length++] = '=';
            token[length++] = kHex[c >> 4];
            token[length++] = kHex[c & 0x0F];
        };
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == '\r' || c == '\n') {
            encode('\r');
            encode('\n');
            i += c == '\r' && i + 1 < value.size() && value[i + 1] == '\n' ? 2 : 1;
        } else if (c == ' ') {
            // A blank that ends a line or the value, or starts a line, would be lost.
            const bool last = i + 1 == value.size() || value[i + 1] == '\r' || value[i + 1] == '\n';
            if (last || used == 0) {
                encode(c);
            } else {
                token[length++] = static_cast<char>(c);
            }
            ++i;
        } else if (c != '=' && isPrintable(c)) {
            token[length++] = static_cast<char>(c);
            ++i;
        } else {
            std::size_t bytes = characterLength(c);
            for (std::size_t k = 0; k < bytes && i < value.size(); ++k, ++i) {
                const auto byte = static_cast<unsigned char>(value[i]);
                if (k > 0 && (byte & 0xC0) != 0x80) {
                    break; // a broken character: what follows is a token of its own
                }
                encode(byte);
            }
        }
        // A soft line break before the token when it would not fit beside the "=".
        if (used > 0 && used + length + 1 > kLineLimit) {
            out += "=\r\n";
            used = 0;
            if (length == 1 && token[0] == ' ') {
                length = 0;
                encode(' ');
            }
        }
        out.append(token.data(), length);
        used += length;
    }
}
