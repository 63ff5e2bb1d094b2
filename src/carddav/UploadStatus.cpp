#include "carddav/UploadStatus.h"

#include "engine/cards/ContactUid.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace carddav {

namespace {

constexpr std::string_view kFirstLine = "Olvenmark upload status 1";

std::string hex(const std::array<std::uint8_t, 20>& bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const auto byte : bytes) {
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    return out;
}

// The data folder of this system: $XDG_DATA_HOME/Olvenmark/uploads, where
// XDG_DATA_HOME defaults to ~/.local/share (and is ignored unless absolute).
std::filesystem::path statusFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base;
    if (data != nullptr && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home != nullptr ? home : "") / ".local" / "share";
    }
    return base / "Olvenmark" / "uploads";
}

// A field on one line: backslash, tab and line breaks escaped.
std::string escaped(std::string_view field) {
    std::string out;
    for (const char c : field) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The fields of a line, unescaped.
std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') {
            fields.emplace_back();
        } else if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            fields.back() += line[i];
        }
    }
    return fields;
}

} // namespace

UploadStatus::UploadStatus(const std::string& csvPath, std::string bookUrl)
    : bookUrl_(std::move(bookUrl)) {
    // One name however the file was named: "./c.csv", "c.csv", through a link.
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(csvPath, ec);
    const auto canonical = std::filesystem::weakly_canonical(absolute, ec);
    csvPath_ = (ec ? absolute.lexically_normal() : canonical).string();
    path_ = (statusFolder() / (hex(uid::sha1(csvPath_ + "\n" + bookUrl_)) + ".status")).string();
}

std::string UploadStatus::digestOf(std::string_view card) {
    return hex(uid::sha1(card));
}

RememberedCards UploadStatus::read() const {
    std::ifstream in(path_, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kFirstLine) {
        return {};
    }
    // The file names the CSV file and the address book it is for: a file
    // made for another pair (copied, or a name that happens to be the same)
    // says nothing about this one.
    const std::vector<std::string> expected[] = {{"csv", csvPath_}, {"book", bookUrl_}};
    for (const auto& fields : expected) {
        if (!std::getline(in, line) || fieldsOf(line) != fields) {
            return {};
        }
    }
    RememberedCards cards;
    while (std::getline(in, line)) {
        auto fields = fieldsOf(line);
        if (fields.size() == 5 && fields[0] == "card" && !fields[1].empty()) {
            cards[fields[1]] = {std::move(fields[2]), std::move(fields[3]), std::move(fields[4])};
        }
    }
    return cards;
}

bool UploadStatus::write(const RememberedCards& cards, std::string& error) const {
    std::ostringstream text;
    text << kFirstLine << "\ncsv\t" << escaped(csvPath_) << "\nbook\t" << escaped(bookUrl_) << "\n";
    for (const auto& [uid, card] : cards) {
        text << "card\t" << escaped(uid) << '\t' << escaped(card.url) << '\t' << escaped(card.etag)
             << '\t' << escaped(card.digest) << '\n';
    }
    const std::string bytes = text.str();
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string temporary = path_ + ".XXXXXX";
    const int fd = ec ? -1 : mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot write in " + folder.string() + ": " +
                (ec ? ec.message() : std::string(std::strerror(errno)));
        return false;
    }
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        ok = n > 0 || (n < 0 && errno == EINTR);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    // On disk before it takes the old file's place, so that a crash leaves one or the other.
    ok = ok && fsync(fd) == 0;
    const int saved = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        error = "cannot write " + path_ + ": " + std::strerror(ok ? errno : saved);
        std::remove(temporary.c_str());
        return false;
    }
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
        fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace carddav
