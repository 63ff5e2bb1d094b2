#include "engine/read/CsvLoad.h"

#include "engine/Text.h"
#include "engine/files/FileCalls.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"
#include "engine/read/CsvTexts.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
// How much of a text is looked at to tell text from control characters.
constexpr std::size_t kControlSample = 64 * 1024;

// The five bytes Windows-1252 leaves undefined; browsers read them as the C1
// characters of the same number, and so does this reader.
bool isUndefinedIn1252(unsigned char c) {
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// The bytes converted to UTF-8 by iconv; none when they do not fit the encoding.
std::optional<std::string> toUtf8(std::string_view bytes, const char* from) {
    const iconv_t converter = iconv_open("UTF-8", from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    const bool windows1252 = std::string_view(from) == "WINDOWS-1252";
    std::string out(bytes.size() + bytes.size() / 8 + 64, '\0');
    std::size_t written = 0;
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    bool fits = true;
    while (inLeft > 0) {
        char* outAt = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t result = iconv(converter, &in, &inLeft, &outAt, &outLeft);
        written = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (errno == EILSEQ && windows1252 && isUndefinedIn1252(*in)) {
            out.resize(std::max(out.size(), written + 2));
            out[written++] = '\xC2';
            out[written++] = *in;
            ++in;
            --inLeft;
        } else {
            fits = false;
            break;
        }
    }
    iconv_close(converter);
    if (!fits) {
        return std::nullopt;
    }
    out.resize(written);
    return out;
}

// Windows-1252's reading of each byte from 0x80 up, in UTF-8, made by iconv once.
const std::array<std::string, 128>& windows1252HighBytes() {
    static const std::array<std::string, 128> table = [] {
        std::array<std::string, 128> readings;
        for (std::size_t i = 0; i < readings.size(); ++i) {
            const char byte = static_cast<char>(0x80 + i);
            readings[i] = toUtf8(std::string_view(&byte, 1), "WINDOWS-1252").value_or("\uFFFD");
        }
        return readings;
    }();
    return table;
}

// Bytes that are UTF-8 but for some stray bytes, a row pasted from an older
// program mostly, read byte by byte.
struct Utf8Reading {
    // Well-formed sequences of two bytes or more.
    std::size_t multibyte = 0;
    // Bytes that begin no well-formed sequence.
    std::size_t stray = 0;
    // The text, each stray byte read as Windows-1252; filled on request.
    std::string text;
    // Where in the text each stray byte's reading starts.
    std::vector<std::size_t> strayAt;
};

Utf8Reading readUtf8(std::string_view bytes, bool withText) {
    Utf8Reading reading;
    if (withText) {
        reading.text.reserve(bytes.size() + bytes.size() / 16);
    }
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t ascii = i;
        while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) {
            ++ascii;
        }
        if (withText) {
            reading.text.append(bytes, i, ascii - i);
        }
        if (ascii == bytes.size()) {
            break;
        }
        i = ascii;
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length > 0 && i + length <= bytes.size() &&
            text::isValidUtf8(bytes.substr(i, length))) {
            ++reading.multibyte;
            if (withText) {
                reading.text.append(bytes, i, length);
            }
            i += length;
            continue;
        }
        ++reading.stray;
        if (withText) {
            reading.strayAt.push_back(reading.text.size());
            reading.text += windows1252HighBytes()[lead - 0x80];
        }
        ++i;
    }
    return reading;
}

// False when more than a quarter of the text's beginning is NUL or other
// control characters than tabs and line breaks; with `noNul`, for bytes that
// were not UTF-8 already, a single NUL byte is enough.
bool looksLikeText(std::string_view text, bool noNul) {
    if (noNul && text.find('\0') != std::string_view::npos) {
        return false;
    }
    const std::string_view sample = text.substr(0, kControlSample);
    std::size_t controls = 0;
    for (const unsigned char c : sample) {
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) {
            ++controls;
        }
    }
    return controls * 4 <= sample.size();
}

DecodedCsv refused(std::string encoding, std::string failure) {
    return {std::nullopt, std::move(encoding), std::move(failure)};
}

DecodedCsv notInEncoding(std::string_view name) {
    return refused({}, text::fill(csvtext::kReasonNotInEncoding, name));
}

// UTF-8, a stray byte read as Windows-1252 rather than the file refused.
DecodedCsv decodeUtf8(std::string bytes) {
    if (text::isValidUtf8(bytes)) {
        return {std::move(bytes), std::string(csvtext::kUtf8), {}};
    }
    Utf8Reading reading = readUtf8(bytes, true);
    return {std::move(reading.text), std::string(csvtext::kUtf8), {}, std::move(reading.strayAt)};
}

// Whether bytes that are not all UTF-8 hold UTF-8 at all: one well-formed
// sequence of several bytes is enough. A file that is UTF-8 but for a row
// pasted from an older program keeps its UTF-8, however long that row.
bool holdsUtf8(std::string_view bytes) {
    return readUtf8(bytes, false).multibyte > 0;
}

// UTF-16 without a byte-order mark, told by its zero bytes: in text of Latin
// letters nearly every unit has one, always in the same half, and the other
// half none. True for big-endian.
std::optional<bool> zeroByteOrder(std::string_view bytes) {
    const std::string_view sample = bytes.substr(0, std::min(bytes.size(), kControlSample) & ~1U);
    std::size_t zeros[2] = {0, 0};
    for (std::size_t i = 0; i < sample.size(); ++i) {
        zeros[i % 2] += sample[i] == '\0' ? 1 : 0;
    }
    const std::size_t units = sample.size() / 2;
    for (const std::size_t half : {0, 1}) {
        if (units >= 4 && zeros[half] * 4 >= units * 3 && zeros[1 - half] * 16 <= units) {
            return half == 0;
        }
    }
    return std::nullopt;
}

// UTF-16 in the order its byte-order mark gives; without one, in the order
// its zero bytes give, else big-endian only when the first unit starts with a
// zero byte.
DecodedCsv decodeUtf16(std::string_view bytes) {
    bool bigEndian =
        zeroByteOrder(bytes).value_or(bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] != '\0');
    if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom)) {
        bigEndian = bytes.starts_with(kUtf16BeBom);
        bytes.remove_prefix(2);
    }
    auto text = toUtf8(bytes, bigEndian ? "UTF-16BE" : "UTF-16LE");
    if (!text) {
        return notInEncoding("UTF-16");
    }
    return {std::move(text), std::string(bigEndian ? csvtext::kUtf16Be : csvtext::kUtf16Le), {}};
}

DecodedCsv decodeWindows1252(std::string_view bytes) {
    auto text = toUtf8(bytes, "WINDOWS-1252");
    if (!text) {
        return notInEncoding(csvtext::kWindows1252);
    }
    return {std::move(text), std::string(csvtext::kWindows1252), {}};
}

// Kept out of line: inlined, GCC 12 warns of a comparison it cannot follow.
[[gnu::noinline]] DecodedCsv decodeAsChosen(std::string bytes, CsvEncodingChoice choice) {
    switch (choice) {
    case CsvEncodingChoice::Utf8:
        return decodeUtf8(std::move(bytes));
    case CsvEncodingChoice::Utf16:
        return decodeUtf16(bytes);
    case CsvEncodingChoice::Windows1252:
        return decodeWindows1252(bytes);
    case CsvEncodingChoice::Auto:
        break;
    }
    const std::string_view head(bytes);
    if (head.starts_with(kUtf8Bom)) {
        return decodeUtf8(std::move(bytes));
    }
    if (head.starts_with(kUtf16LeBom) || head.starts_with(kUtf16BeBom) || zeroByteOrder(head)) {
        return decodeUtf16(bytes);
    }
    if (text::isValidUtf8(bytes)) {
        return {std::move(bytes), std::string(csvtext::kUtf8), {}};
    }
    if (holdsUtf8(bytes)) {
        return decodeUtf8(std::move(bytes));
    }
    return decodeWindows1252(bytes);
}

std::string cannotRead(int error) {
    return text::fill(csvtext::kReasonNotReadable, text::systemReason(error));
}

} // namespace

DecodedCsv decodeCsvText(std::string bytes, CsvEncodingChoice choice) {
    DecodedCsv decoded = decodeAsChosen(std::move(bytes), choice);
    if (decoded.text) {
        // The byte-order mark goes, even written twice, as some tools that
        // re-save a file do: it is no part of the first column's name.
        std::size_t marks = 0;
        while (decoded.text->compare(marks, kUtf8Bom.size(), kUtf8Bom) == 0) {
            marks += kUtf8Bom.size();
        }
        decoded.text->erase(0, marks);
        for (std::size_t& at : decoded.strayBytes) {
            at -= marks;
        }
    }
    // A NUL byte tells a binary file from one in Windows-1252, unless the user
    // chose the encoding: then, as in UTF-8, the run drops it from the values.
    const bool guessed1252 = choice == CsvEncodingChoice::Auto &&
                             std::string_view(decoded.encoding) == csvtext::kWindows1252;
    if (decoded.text && !looksLikeText(*decoded.text, guessed1252)) {
        return refused(decoded.encoding, std::string(csvtext::kReasonNotText));
    }
    return decoded;
}

namespace {

// The file's bytes, read whole; none, with the reason, when it cannot be read.
std::optional<std::string> readWhole(const std::string& path, std::string& reason) {
    // Not blocking, so that a named pipe is refused rather than waited on.
    const int fd = fileCalls().openDescriptor(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        reason = cannotRead(errno);
        console::log(logtext::kOpenCsvFailed);
        return std::nullopt;
    }
    const auto fail = [&](std::string why) {
        reason = std::move(why);
        fileCalls().closeDescriptor(fd);
        return std::nullopt;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return fail(cannotRead(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return fail(S_ISDIR(info.st_mode)
                        ? cannotRead(EISDIR)
                        : text::fill(csvtext::kReasonNotReadable, csvtext::kReasonNotRegular));
    }
    // One byte more than the file holds: the read that finds the end needs
    // room, and a byte read into it means the file grew.
    const auto expected = static_cast<std::size_t>(info.st_size);
    std::string bytes(expected + 1, '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n =
            fileCalls().readDescriptor(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return fail(cannotRead(errno));
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    // A file cut or written to while it was read would give a part of it, or
    // parts of two versions, as if it were the whole.
    struct stat after {};
    const std::size_t now =
        ::fstat(fd, &after) == 0 ? static_cast<std::size_t>(after.st_size) : filled;
    if (filled != expected || now != expected) {
        return fail(text::fill(csvtext::kReasonChanged, expected, now));
    }
    fileCalls().closeDescriptor(fd);
    bytes.resize(filled);
    return bytes;
}

} // namespace

DecodedCsv getCsvFileData(const std::string& path, CsvEncodingChoice choice) {
    try {
        std::string reason;
        std::optional<std::string> bytes = readWhole(path, reason);
        if (!bytes) {
            return refused({}, std::move(reason));
        }
        return decodeCsvText(std::move(*bytes), choice);
    } catch (const std::exception& e) {
        // A file too big for memory, mostly.
        logOrConsole(text::fill(logtext::kCsvReadException, text::exceptionName(e), e.what()));
        return refused({}, text::fill(csvtext::kReasonFailed, e.what()));
    }
}
