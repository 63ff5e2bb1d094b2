#include "engine/cards/ContactUid.h"

#include <bit>
#include <cstring>

namespace uid {

std::array<std::uint8_t, 20> sha1(std::string_view bytes) {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    // The message, a 0x80 byte, zeros, and the bit length, in 64-byte blocks.
    const std::uint64_t bitLength = static_cast<std::uint64_t>(bytes.size()) * 8;
    std::string padded(bytes);
    padded += static_cast<char>(0x80);
    while (padded.size() % 64 != 56) {
        padded += '\0';
    }
    for (int shift = 56; shift >= 0; shift -= 8) {
        padded += static_cast<char>((bitLength >> shift) & 0xFF);
    }
    for (std::size_t block = 0; block < padded.size(); block += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(padded.data() + block + 4 * i);
            w[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                   (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
        }
        for (int i = 16; i < 80; ++i) {
            w[i] = std::rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f = 0;
            std::uint32_t k = 0;
            if (i < 20) {
                f = (b & c) | (~b & d), k = 0x5A827999;
            } else if (i < 40) {
                f = b ^ c ^ d, k = 0x6ED9EBA1;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d, k = 0xCA62C1D6;
            }
            const std::uint32_t next = std::rotl(a, 5) + f + e + k + w[i];
            e = d, d = c, c = std::rotl(b, 30), b = a, a = next;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
    }
    std::array<std::uint8_t, 20> digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) {
        digest[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    }
    return digest;
}

std::string rowUuid(std::string_view rowText, std::uint64_t earlierIdenticalRows) {
    // This system's own namespace, so its UIDs cannot meet those of other name spaces.
    static constexpr std::uint8_t kNamespace[16] = {0x6f, 0x1c, 0x3a, 0x52, 0x8e, 0x4d, 0x4b, 0x27,
                                                    0x9a, 0x05, 0xd1, 0x73, 0xc2, 0x48, 0xe6, 0x0b};
    std::string name(reinterpret_cast<const char*>(kNamespace), sizeof kNamespace);
    name += rowText;
    name += '#';
    name += std::to_string(earlierIdenticalRows);
    auto bytes = sha1(name);
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x50);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(36);
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            out += '-';
        }
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0x0F];
    }
    return out;
}

} // namespace uid
