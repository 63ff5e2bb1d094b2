#include "engine/cards/ContactUid.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace uid {

namespace {

// SHA-1 over bytes handed in pieces, so that a UID's name is hashed where it
// lies instead of being copied together first.
class Sha1 {
public:
    void update(std::string_view bytes) {
        length_ += bytes.size();
        if (buffered_ > 0) {
            const std::size_t take = std::min(bytes.size(), 64 - buffered_);
            std::memcpy(buffer_ + buffered_, bytes.data(), take);
            buffered_ += take;
            bytes.remove_prefix(take);
            if (buffered_ < 64) {
                return;
            }
            block(buffer_);
            buffered_ = 0;
        }
        for (; bytes.size() >= 64; bytes.remove_prefix(64)) {
            block(reinterpret_cast<const unsigned char*>(bytes.data()));
        }
        std::memcpy(buffer_, bytes.data(), bytes.size());
        buffered_ = bytes.size();
    }

    std::array<std::uint8_t, 20> digest() {
        // A 0x80 byte, zeros up to 56 bytes into a block, then the bit length.
        const std::uint64_t bits = length_ * 8;
        unsigned char tail[72] = {0x80};
        const std::size_t zeros = (buffered_ < 56 ? 56 : 120) - buffered_ - 1;
        for (int i = 0; i < 8; ++i) {
            tail[1 + zeros + static_cast<std::size_t>(i)] =
                static_cast<unsigned char>(bits >> (56 - 8 * i));
        }
        update(std::string_view(reinterpret_cast<const char*>(tail), 1 + zeros + 8));
        std::array<std::uint8_t, 20> out{};
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = static_cast<std::uint8_t>(h_[i / 4] >> (24 - 8 * (i % 4)));
        }
        return out;
    }

private:
    // The rounds in four loops of twenty, the message schedule in a ring of
    // sixteen words: no branch per round.
    void block(const unsigned char* p) {
        std::uint32_t w[16];
        for (int i = 0; i < 16; ++i, p += 4) {
            w[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                   (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
        }
        std::uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
        const auto word = [&w](int i) {
            if (i < 16) {
                return w[i];
            }
            const std::uint32_t next =
                std::rotl(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
            w[i & 15] = next;
            return next;
        };
        const auto round = [&](std::uint32_t f, std::uint32_t k, int i) {
            const std::uint32_t next = std::rotl(a, 5) + f + e + k + word(i);
            e = d, d = c, c = std::rotl(b, 30), b = a, a = next;
        };
        int i = 0;
        for (; i < 20; ++i) {
            round((b & c) | (~b & d), 0x5A827999, i);
        }
        for (; i < 40; ++i) {
            round(b ^ c ^ d, 0x6ED9EBA1, i);
        }
        for (; i < 60; ++i) {
            round((b & c) | (b & d) | (c & d), 0x8F1BBCDC, i);
        }
        for (; i < 80; ++i) {
            round(b ^ c ^ d, 0xCA62C1D6, i);
        }
        h_[0] += a, h_[1] += b, h_[2] += c, h_[3] += d, h_[4] += e;
    }

    std::uint32_t h_[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    unsigned char buffer_[64] = {};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

} // namespace

std::array<std::uint8_t, 20> sha1(std::string_view bytes) {
    Sha1 hash;
    hash.update(bytes);
    return hash.digest();
}

std::string rowUuid(std::string_view rowText, std::uint64_t earlierIdenticalRows) {
    // This system's own namespace, so its UIDs cannot meet those of other name spaces.
    static constexpr std::uint8_t kNamespace[16] = {0x6f, 0x1c, 0x3a, 0x52, 0x8e, 0x4d, 0x4b, 0x27,
                                                    0x9a, 0x05, 0xd1, 0x73, 0xc2, 0x48, 0xe6, 0x0b};
    Sha1 hash;
    hash.update(std::string_view(reinterpret_cast<const char*>(kNamespace), sizeof kNamespace));
    hash.update(rowText);
    hash.update("#");
    hash.update(std::to_string(earlierIdenticalRows));
    auto bytes = hash.digest();
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
