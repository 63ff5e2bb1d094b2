#include "engine/cards/ContactUid.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define OLVENMARK_SHA_INSTRUCTIONS 1
#endif

namespace uid {

namespace {

using BlockFunction = void (*)(std::uint32_t (&h)[5], const unsigned char* block);

// The rounds in four loops of twenty, the message schedule in a ring of
// sixteen words: no branch per round.
void portableBlock(std::uint32_t (&h)[5], const unsigned char* p) {
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i, p += 4) {
        w[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
               (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
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
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
}

#ifdef OLVENMARK_SHA_INSTRUCTIONS
#define OLVENMARK_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

// The state of a block as the SHA extensions keep it: A to D in one register,
// the E of the next four rounds with their words, A to D before the last four
// rounds, and the last sixteen message words.
struct ShaState {
    __m128i abcd;
    __m128i e;
    __m128i before;
    __m128i m[4];
};

// Rounds 4g to 4g + 3; from the fifth step on, their words come from the
// sixteen before them. The function and constant change every five steps.
template <int g> OLVENMARK_SHA_TARGET inline __attribute__((always_inline)) void step(ShaState& s) {
    if constexpr (g >= 4) {
        s.m[g & 3] = _mm_sha1msg2_epu32(
            _mm_xor_si128(_mm_sha1msg1_epu32(s.m[g & 3], s.m[(g + 1) & 3]), s.m[(g + 2) & 3]),
            s.m[(g + 3) & 3]);
    }
    if constexpr (g > 0) {
        s.e = _mm_sha1nexte_epu32(s.before, s.m[g & 3]);
    }
    s.before = s.abcd;
    s.abcd = _mm_sha1rnds4_epu32(s.abcd, s.e, g / 5);
}

// One step of every lane: the lanes' dependency chains are independent, so
// the processor works on one while another waits for its last instruction.
template <int g, std::size_t n>
OLVENMARK_SHA_TARGET inline __attribute__((always_inline)) void stepLanes(ShaState (&s)[n]) {
    for (std::size_t lane = 0; lane < n; ++lane) {
        step<g>(s[lane]);
    }
}

template <std::size_t n, int... g>
OLVENMARK_SHA_TARGET inline __attribute__((always_inline)) void
steps(ShaState (&s)[n], std::integer_sequence<int, g...>) {
    (stepLanes<g>(s), ...);
}

// A block of each of n hashes with the SHA extensions: four rounds an
// instruction, the message schedule four words at a time.
template <std::size_t n>
OLVENMARK_SHA_TARGET inline __attribute__((always_inline)) void
laneBlocks(std::uint32_t* const (&h)[n], const unsigned char* const (&p)[n]) {
    // Reverses the sixteen bytes: big-endian words, the first in the top lane.
    const __m128i reverse = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcdStart[n];
    __m128i eStart[n];
    ShaState s[n]{};
    for (std::size_t lane = 0; lane < n; ++lane) {
        abcdStart[lane] =
            _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h[lane])), 0x1B);
        eStart[lane] = _mm_set_epi32(static_cast<int>(h[lane][4]), 0, 0, 0);
        for (int i = 0; i < 4; ++i) {
            s[lane].m[i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p[lane] + 16 * i)), reverse);
        }
        s[lane].abcd = abcdStart[lane];
        s[lane].e = _mm_add_epi32(eStart[lane], s[lane].m[0]);
    }
    steps(s, std::make_integer_sequence<int, 20>{});
    for (std::size_t lane = 0; lane < n; ++lane) {
        const __m128i e = _mm_sha1nexte_epu32(s[lane].before, eStart[lane]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(h[lane]),
                         _mm_shuffle_epi32(_mm_add_epi32(s[lane].abcd, abcdStart[lane]), 0x1B));
        h[lane][4] = static_cast<std::uint32_t>(_mm_extract_epi32(e, 3));
    }
}

OLVENMARK_SHA_TARGET void instructionBlock(std::uint32_t (&h)[5], const unsigned char* p) {
    laneBlocks<1>({h}, {p});
}

// A block of each of n hashes side by side: their dependency chains
// interleave, and n blocks take about the time of two.
template <std::size_t n>
OLVENMARK_SHA_TARGET void instructionBlocks(std::uint32_t* const (&h)[n],
                                            const unsigned char* const (&p)[n]) {
    laneBlocks<n>(h, p);
}

// True when the processor has the SHA extensions and the SSE levels they come with.
bool hasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_SSE4_1) == 0 || (c & bit_SSSE3) == 0) {
        return false;
    }
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 && (b & bit_SHA) != 0;
}
#endif

// The block function of this processor, chosen once.
BlockFunction fastestBlock() {
#ifdef OLVENMARK_SHA_INSTRUCTIONS
    static const BlockFunction chosen = hasShaInstructions() ? instructionBlock : portableBlock;
    return chosen;
#else
    return portableBlock;
#endif
}

} // namespace

Sha1::Sha1() : block_(fastestBlock()) {}

Sha1::Sha1(bool portable) : block_(portable ? portableBlock : fastestBlock()) {}

void Sha1::update(std::string_view bytes) {
    length_ += bytes.size();
    if (buffered_ > 0) {
        const std::size_t take = std::min(bytes.size(), 64 - buffered_);
        std::memcpy(buffer_ + buffered_, bytes.data(), take);
        buffered_ += take;
        bytes.remove_prefix(take);
        if (buffered_ < 64) {
            return;
        }
        block_(h_, buffer_);
        buffered_ = 0;
    }
    for (; bytes.size() >= 64; bytes.remove_prefix(64)) {
        block_(h_, reinterpret_cast<const unsigned char*>(bytes.data()));
    }
    std::memcpy(buffer_, bytes.data(), bytes.size());
    buffered_ = bytes.size();
}

template <std::size_t n>
void Sha1::updateSideBySide(Sha1* const (&hashes)[n], std::string_view (&texts)[n]) {
#ifdef OLVENMARK_SHA_INSTRUCTIONS
    const bool sideBySide = std::all_of(
        hashes, hashes + n, [](const Sha1* hash) { return hash->block_ == instructionBlock; });
    if (sideBySide) {
        std::uint32_t* states[n];
        const unsigned char* blocks[n];
        // Each first fills the block it has begun; when all are full, they go together.
        bool allFull = true;
        for (std::size_t i = 0; i < n; ++i) {
            Sha1& hash = *hashes[i];
            if (hash.buffered_ > 0) {
                const std::size_t take = std::min(texts[i].size(), 64 - hash.buffered_);
                std::memcpy(hash.buffer_ + hash.buffered_, texts[i].data(), take);
                hash.buffered_ += take;
                hash.length_ += take;
                texts[i].remove_prefix(take);
            }
            allFull = allFull && hash.buffered_ == 64;
            states[i] = hash.h_;
            blocks[i] = hash.buffer_;
        }
        if (allFull) {
            instructionBlocks<n>(states, blocks);
        }
        for (Sha1* hash : hashes) {
            if (hash->buffered_ == 64) {
                if (!allFull) {
                    hash->block_(hash->h_, hash->buffer_);
                }
                hash->buffered_ = 0;
            }
        }
        // Each now has nothing buffered or nothing more to hash.
        while (std::all_of(texts, texts + n,
                           [](std::string_view text) { return text.size() >= 64; })) {
            for (std::size_t i = 0; i < n; ++i) {
                blocks[i] = reinterpret_cast<const unsigned char*>(texts[i].data());
                texts[i].remove_prefix(64);
                hashes[i]->length_ += 64;
            }
            instructionBlocks<n>(states, blocks);
        }
    }
#endif
    for (std::size_t i = 0; i < n; ++i) {
        hashes[i]->update(texts[i]);
    }
}

std::array<std::uint8_t, 20> Sha1::digest() {
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

std::array<std::uint8_t, 20> sha1(std::string_view bytes) {
    Sha1 hash;
    hash.update(bytes);
    return hash.digest();
}

std::array<std::uint8_t, 20> portableSha1(std::string_view bytes) {
    Sha1 hash(true);
    hash.update(bytes);
    return hash.digest();
}

std::string rowUuid(std::string_view rowText, std::uint64_t earlierIdenticalRows) {
    std::string out;
    rowUuidInto(out, rowText, earlierIdenticalRows);
    return out;
}

void rowUuidInto(std::string& out, std::string_view rowText, std::uint64_t earlierIdenticalRows) {
    RowHash(rowText).uuidInto(out, earlierIdenticalRows);
}

RowHash::RowHash() {
    // This system's own namespace, so its UIDs cannot meet those of other name spaces.
    static constexpr std::uint8_t kNamespace[16] = {0x6f, 0x1c, 0x3a, 0x52, 0x8e, 0x4d, 0x4b, 0x27,
                                                    0x9a, 0x05, 0xd1, 0x73, 0xc2, 0x48, 0xe6, 0x0b};
    hash_.update(std::string_view(reinterpret_cast<const char*>(kNamespace), sizeof kNamespace));
}

RowHash::RowHash(std::string_view rowText) : RowHash() {
    hash_.update(rowText);
}

void RowHash::hashAll(const std::vector<std::string_view>& texts, std::vector<RowHash>& hashes) {
    hashes.assign(texts.size(), RowHash());
    std::size_t i = 0;
    for (; i + 4 <= texts.size(); i += 4) {
        Sha1* const group[4] = {&hashes[i].hash_, &hashes[i + 1].hash_, &hashes[i + 2].hash_,
                                &hashes[i + 3].hash_};
        std::string_view parts[4] = {texts[i], texts[i + 1], texts[i + 2], texts[i + 3]};
        Sha1::updateSideBySide(group, parts);
    }
    for (; i + 2 <= texts.size(); i += 2) {
        Sha1* const pair[2] = {&hashes[i].hash_, &hashes[i + 1].hash_};
        std::string_view parts[2] = {texts[i], texts[i + 1]};
        Sha1::updateSideBySide(pair, parts);
    }
    if (i < texts.size()) {
        hashes[i].hash_.update(texts[i]);
    }
}

std::uint64_t RowHash::fingerprint() const {
    return hash_.fingerprint();
}

void RowHash::uuidInto(std::string& out, std::uint64_t earlierIdenticalRows) const {
    Sha1 hash = hash_;
    char count[24];
    count[0] = '#';
    const auto end = std::to_chars(count + 1, count + sizeof count, earlierIdenticalRows).ptr;
    hash.update(std::string_view(count, static_cast<std::size_t>(end - count)));
    auto bytes = hash.digest();
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x50);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    static constexpr char kHex[] = "0123456789abcdef";
    out.resize(36);
    std::size_t at = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            out[at++] = '-';
        }
        out[at++] = kHex[bytes[i] >> 4];
        out[at++] = kHex[bytes[i] & 0x0F];
    }
}

std::uint64_t Sha1::fingerprint() const {
    // The state already mixes every whole block; the length and the bytes
    // still buffered are folded in.
    std::uint64_t h = length_;
    const auto mix = [&h](std::uint64_t word) {
        h = (h ^ word) * 0xBF58476D1CE4E5B9ULL;
        h ^= h >> 31;
    };
    mix((std::uint64_t{h_[0]} << 32) | h_[1]);
    mix((std::uint64_t{h_[2]} << 32) | h_[3]);
    mix(h_[4]);
    for (std::size_t i = 0; i < buffered_; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, buffer_ + i, std::min<std::size_t>(8, buffered_ - i));
        mix(word);
    }
    return h ^ (h >> 29);
}

void RowOccurrences::reserve(std::size_t rows) {
    std::size_t capacity = 16;
    while (capacity < rows * 2) {
        capacity *= 2;
    }
    if (capacity > slots_.size()) {
        grow(capacity);
    }
    entries_.reserve(rows);
}

void RowOccurrences::grow(std::size_t capacity) {
    slots_.assign(capacity, Slot{});
    const std::size_t mask = capacity - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::size_t at = entries_[i].hash & mask;
        while (slots_[at].entry != 0) {
            at = (at + 1) & mask;
        }
        slots_[at] = {static_cast<std::uint32_t>(entries_[i].hash >> 32),
                      static_cast<std::uint32_t>(i + 1)};
    }
}

std::uint64_t RowOccurrences::countBefore(std::string_view rowText) {
    return countBefore(rowText, RowHash(rowText).fingerprint());
}

std::uint64_t RowOccurrences::countBefore(std::string_view rowText, std::uint64_t hash) {
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        grow(std::max<std::size_t>(16, slots_.size() * 2));
    }
    const std::size_t mask = slots_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.entry == 0) {
            // Rows are texts of a loaded file: far fewer than 2^32 of them.
            entries_.push_back({hash, rowText, 1});
            slot = {tag, static_cast<std::uint32_t>(entries_.size())};
            return 0;
        }
        if (slot.tag == tag) {
            Entry& entry = entries_[slot.entry - 1];
            if (entry.hash == hash && entry.text == rowText) {
                return entry.count++;
            }
        }
    }
}

} // namespace uid
