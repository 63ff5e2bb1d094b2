// The choices a shell makes for an export before it starts.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// How a card is written. A new format is one more writer (cards/) and one
// more entry of kCardFormats.
enum class CardFormat {
    // The cards this converter has always written: LF line ends, lower-case
    // begin/version/end, a line only for values that are there.
    Classic,
    // Cards that strict readers accept: CR LF line ends, upper-case BEGIN,
    // VERSION and END, folded long lines, an FN and a full N on every card,
    // and a UID.
    Strict,
};

class CardWriter;
// The formats' writers, each defined in the writer's own file in cards/.
const CardWriter& classicCardWriter();
const CardWriter& strictCardWriter();

// A format as the command line, the settings and the window name it.
struct CardFormatInfo {
    CardFormat format;
    // The word on the command line (--format WORD) and in the settings.
    std::string_view word;
    // The window's label for it.
    std::string_view label;
    // The writer of its cards.
    const CardWriter& (*writer)();
};

inline constexpr std::array<CardFormatInfo, 2> kCardFormats = {{
    {CardFormat::Classic, "classic", "Classic vCard 3.0", &classicCardWriter},
    {CardFormat::Strict, "strict", "Strict vCard 3.0 (RFC 2426)", &strictCardWriter},
}};

// The entry of a format.
constexpr const CardFormatInfo& cardFormatInfo(CardFormat format) {
    for (const auto& info : kCardFormats) {
        if (info.format == format) {
            return info;
        }
    }
    return kCardFormats.front();
}

// The format a word names; none for an unknown word.
constexpr std::optional<CardFormat> parseCardFormat(std::string_view word) {
    for (const auto& info : kCardFormats) {
        if (info.word == word) {
            return info.format;
        }
    }
    return std::nullopt;
}

struct ExportOptions {
    CardFormat format = CardFormat::Classic;
    // Every card, in row order, in one .vcf named after the CSV file instead of
    // one file per contact.
    bool singleFile = false;
    // The values of the columns no pair takes go into each card's note as
    // "Column: value", so nothing of the file is left out.
    bool keepUnpaired = false;
    // The column whose value names each contact for good (a CRM's record id):
    // a card's UID comes from that value instead of the whole row, so that an
    // edited row keeps its UID. A row with no value there keeps the row's UID.
    std::optional<std::size_t> idColumn = std::nullopt;
};
