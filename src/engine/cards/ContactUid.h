// UIDs for cards: the same row of the same CSV gets the same UID in every run,
// and no two cards of one run share one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uid {

// SHA-1 over bytes handed in pieces, so that a UID's name is hashed where it
// lies instead of being copied together first; with the processor's SHA
// instructions where it has them.
class Sha1 {
public:
    Sha1();
    // Without the SHA instructions when `portable`, whatever the processor has.
    explicit Sha1(bool portable);

    void update(std::string_view bytes);
    // update(texts[i]) on each *hashes[i]: where all use the SHA instructions,
    // their blocks go through them side by side, n in about the time of two.
    template <std::size_t n>
    static void updateSideBySide(Sha1* const (&hashes)[n], std::string_view (&texts)[n]);
    std::array<std::uint8_t, 20> digest();
    // A 64-bit hash of the bytes so far, for a hash table.
    std::uint64_t fingerprint() const;

private:
    void (*block_)(std::uint32_t (&h)[5], const unsigned char* block);
    std::uint32_t h_[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    unsigned char buffer_[64] = {};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

// The SHA-1 digest of the bytes, with the processor's SHA instructions where
// it has them.
std::array<std::uint8_t, 20> sha1(std::string_view bytes);
// The same digest without them, whatever the processor has.
std::array<std::uint8_t, 20> portableSha1(std::string_view bytes);

// A name-based (version 5) UUID in lower-case hex, "xxxxxxxx-xxxx-5xxx-...",
// of the row's text and how many identical rows came before it in the file.
std::string rowUuid(std::string_view rowText, std::uint64_t earlierIdenticalRows);
// The same written over `out`, keeping its buffer.
void rowUuidInto(std::string& out, std::string_view rowText, std::uint64_t earlierIdenticalRows);

// A row's UID in two steps: its text hashed once, which also tells identical
// rows apart, then the count of identical rows before it.
class RowHash {
public:
    explicit RowHash(std::string_view rowText);
    // The RowHash of each text, in order, four hashed at a time.
    static void hashAll(const std::vector<std::string_view>& texts, std::vector<RowHash>& hashes);
    // Equal for rows of equal text; for RowOccurrences.
    std::uint64_t fingerprint() const;
    // rowUuid of the row and the count, written over `out`.
    void uuidInto(std::string& out, std::uint64_t earlierIdenticalRows) const;

private:
    // Its name space hashed, not yet its text.
    RowHash();

    Sha1 hash_;
};

// Counts identical rows as a run meets them, for rowUuid.
class RowOccurrences {
public:
    // How many times this exact text was met before. The text must stay valid
    // for the life of the object.
    std::uint64_t countBefore(std::string_view rowText);
    // The same with the row's RowHash fingerprint, already made.
    std::uint64_t countBefore(std::string_view rowText, std::uint64_t fingerprint);
    // Makes room for so many rows at once rather than growing row by row.
    void reserve(std::size_t rows);
    // Asks the processor to fetch the table's place for the fingerprint, so
    // that a count made soon after, perhaps under a lock, finds it in the
    // cache. Only while nothing can grow the table: after reserve() for every row.
    void prefetch(std::uint64_t fingerprint) const {
        if (!slots_.empty()) {
            __builtin_prefetch(slots_.data() + (fingerprint & (slots_.size() - 1)));
        }
    }

private:
    // Each distinct text in the order met, with how often it was met.
    struct Entry {
        std::uint64_t hash = 0;
        std::string_view text;
        std::uint64_t count = 0;
    };
    // An open-addressing table of small slots that lead to the entries: a
    // run counts every row of its file, each at a place of its own, so the
    // table is kept small enough for the processor's cache.
    struct Slot {
        // High bits of the hash, which tell most texts apart without their entry.
        std::uint32_t tag = 0;
        // The entry's index plus one; 0 for a free slot.
        std::uint32_t entry = 0;
    };
    void grow(std::size_t capacity);

    std::vector<Slot> slots_;
    std::vector<Entry> entries_;
};

} // namespace uid
