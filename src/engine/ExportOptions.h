// The choices a shell makes for an export before it starts.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
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
    // vCard 2.1 for older readers (Outlook's import, phones, car kits): bare
    // TYPE parameters, values outside printable ASCII in quoted-printable UTF-8.
    Version21,
    // vCard 4.0 (RFC 6350) for current address books and servers.
    Version40,
};

class CardWriter;
class PhoneForm;
// The formats' writers, each defined in the writer's own file in cards/.
const CardWriter& classicCardWriter();
const CardWriter& strictCardWriter();
const CardWriter& version21CardWriter();
const CardWriter& version40CardWriter();

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

inline constexpr std::array<CardFormatInfo, 4> kCardFormats = {{
    {CardFormat::Classic, "classic", "Classic vCard 3.0", &classicCardWriter},
    {CardFormat::Strict, "strict", "Strict vCard 3.0 (RFC 2426)", &strictCardWriter},
    {CardFormat::Version21, "2.1", "vCard 2.1 (Outlook, older phones, car kits)",
     &version21CardWriter},
    {CardFormat::Version40, "4.0", "vCard 4.0 (RFC 6350)", &version40CardWriter},
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
    // Every telephone number rewritten in international form by a shell's
    // PhoneForm; none: numbers as they stand.
    std::shared_ptr<const PhoneForm> phoneForm = nullptr;
    // Rows of one person become one card: rows that share an e-mail address,
    // or that have the same name and share a telephone number.
    bool merge = false;
    // The column whose value names each contact for good (a CRM's record id):
    // a card's UID comes from that value instead of the whole row, so that an
    // edited row keeps its UID. A row with no value there keeps the row's UID.
    std::optional<std::size_t> idColumn = std::nullopt;
};
