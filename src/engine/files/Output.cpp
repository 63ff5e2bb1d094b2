#include "engine/files/Output.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/TimeStamp.h"
#include "engine/files/FileCalls.h"
#include "engine/files/UnnamedCard.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace {

// What file naming already learnt about a run folder: for each name base, the
// lowest number that may still be free. Every name below it is taken, so the
// k-th contact of one name does not probe the k-1 names before it again.
struct NameMemory {
    std::string folder;
    std::unordered_map<std::string, std::int64_t> nextNumber;

    std::unordered_map<std::string, std::int64_t>& forFolder(const std::string& current) {
        if (current != folder) {
            folder = current;
            nextNumber.clear();
        }
        return nextNumber;
    }
};
NameMemory nameMemory;

// The marks that turn the direction of text around (U+200E, U+200F,
// U+202A to U+202E, U+2066 to U+2069, U+061C): in a file name they make
// "txt.exe" show as "exe.txt". The length of the one starting at `at`, or 0.
std::size_t directionMarkAt(std::string_view name, std::size_t at) {
    const auto byte = [&](std::size_t k) {
        return at + k < name.size() ? static_cast<unsigned char>(name[at + k]) : 0;
    };
    if (byte(0) == 0xD8 && byte(1) == 0x9C) {
        return 2;
    }
    if (byte(0) != 0xE2) {
        return 0;
    }
    const unsigned char second = byte(1);
    const unsigned char third = byte(2);
    const bool marks =
        (second == 0x80 && (third == 0x8E || third == 0x8F || (third >= 0xAA && third <= 0xAE))) ||
        (second == 0x81 && third >= 0xA6 && third <= 0xA9);
    return marks ? 3 : 0;
}

// Removes the bytes that would cut a path short, break it into folders or put
// a line break into a name, the marks that turn its direction around, and the
// dots in front that would hide the file.
std::string withoutUnsafeBytes(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (const std::size_t mark = directionMarkAt(name, i); mark > 0) {
            i += mark - 1;
            continue;
        }
        const char c = name[i];
        const auto u = static_cast<unsigned char>(c);
        if (c != '/' && u >= 0x20 && u != 0x7F && !(c == '.' && out.empty())) {
            out += c;
        }
    }
    return out;
}

// True when the name holds a letter or a digit of any script: a name of
// punctuation alone ("-!-", "...") names nobody.
bool namesSomeone(std::string_view base) {
    return std::any_of(base.begin(), base.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || std::isalnum(u) != 0;
    });
}

std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

} // namespace

std::string fileNameBase(std::string_view firstName, std::string_view lastName) {
    std::string joined;
    joined.reserve(firstName.size() + lastName.size());
    joined.append(firstName).append(lastName);
    std::string base = withoutUnsafeBytes(joined);
    constexpr std::size_t kLimit = 30;
    if (text::utf16Length(base) <= kLimit) {
        return base;
    }
    std::size_t units = 0;
    std::size_t bytes = 0;
    while (bytes < base.size()) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(base[bytes]));
        const std::size_t width = length == 4 ? 2 : 1;
        if (units + width > kLimit) {
            break;
        }
        units += width;
        bytes += length;
    }
    base.resize(std::min(bytes, base.size()));
    return base + "~";
}

std::string runFolderName() {
    return text::fill("Olvenmark_%@", timestamp::folderStamp(std::time(nullptr)));
}

std::optional<std::string> contactNameBase(const std::vector<std::string>& record) {
    const std::string& first = record.at(0);
    const std::string& last = record.at(1);
    if (first.empty() && last.empty()) {
        return std::nullopt;
    }
    std::string base = fileNameBase(first, last);
    if (!namesSomeone(base)) {
        return std::nullopt;
    }
    return base;
}

std::string namingFailureEntry(const std::exception& e) {
    return text::fill(logtext::kNamingException, text::exceptionName(e), e.what());
}

namespace {

// What one candidate name came to: taken by the card, taken by another file
// (the next candidate follows), or an end of the naming.
struct Attempt {
    int result;
    std::string path;
};

// The naming: Name.vcf, Name(1).vcf, Name(2).vcf... or no_nameN.vcf without a
// name base, each offered to `place` until one is not AlreadyExists.
template <class Place>
Attempt generateVCardFileName(const std::optional<std::string>& base, Place&& place) {
    if (!base) {
        for (;;) {
            std::string path =
                vcardOutputFolderPath + "/no_name" + std::to_string(g_unknownCount) + ".vcf";
            ++g_unknownCount;
            if (const int result = place(path); result != AlreadyExists) {
                return {result, std::move(path)};
            }
        }
    }
    auto& memory = nameMemory.forFolder(vcardOutputFolderPath);
    const auto known = memory.find(*base);
    if (known == memory.end()) {
        std::string plain = vcardOutputFolderPath + "/" + *base + ".vcf";
        if (const int result = place(plain); result != AlreadyExists) {
            if (result == Created) {
                memory.emplace(*base, 1);
            }
            return {result, std::move(plain)};
        }
    } else if (known->second > g_count) {
        g_count = known->second;
    }
    // The plain name is taken: the first free numbered name follows.
    for (;; ++g_count) {
        std::string numbered =
            vcardOutputFolderPath + "/" + *base + "(" + std::to_string(g_count) + ").vcf";
        if (const int result = place(numbered); result != AlreadyExists) {
            if (result == Created) {
                memory[*base] = g_count + 1;
                g_count = 1;
            }
            return {result, std::move(numbered)};
        }
    }
}

// A link the file system refuses for the name itself, not for the folder.
bool refusesTheName(int error) {
    return error == ENAMETOOLONG || error == EILSEQ || error == EINVAL;
}

// A card that could not be written into the folder at all.
PlacedCard writeFailed(int error) {
    const bool gone = error == ENOENT || error == ENOTDIR;
    return {gone ? PlacedCard::FolderGone : PlacedCard::Stopped, {}, error};
}

// Links the written card under the first free name of the base.
PlacedCard nameVcardFile(UnnamedCard& file, const std::optional<std::string>& base) {
    int linkError = 0;
    Attempt named = generateVCardFileName(base, [&](const std::string& path) {
        const int result = file.linkAs(path);
        linkError = errno;
        return result;
    });
    switch (named.result) {
    case Created:
        if (const int error = file.finish(named.path); error != 0) {
            return {PlacedCard::Stopped, std::move(named.path), error};
        }
        return {PlacedCard::Written, std::move(named.path), 0};
    case FolderMissing:
        return {PlacedCard::FolderGone, std::move(named.path), linkError};
    default:
        logOrConsole(text::fill(logtext::kCreateFileFailed, named.path));
        return {refusesTheName(linkError) ? PlacedCard::NameRefused : PlacedCard::Stopped,
                std::move(named.path), linkError};
    }
}

} // namespace

PlacedCard createVcardFile(std::string_view card, const std::optional<std::string>& base) {
    UnnamedCard file(vcardOutputFolderPath);
    if (const int error = file.write(card); error != 0) {
        return writeFailed(error);
    }
    return nameVcardFile(file, base);
}

PlacedCard placeVcardFile(UnnamedCard& file, std::string_view card,
                          const std::optional<std::string>& base) {
    if (file.error() != 0) {
        return writeFailed(file.error());
    }
    return file.written() ? nameVcardFile(file, base) : createVcardFile(card, base);
}
