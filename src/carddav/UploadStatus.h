// What an upload put where, kept for the next upload of the same CSV file into
// the same address book: each card's UID, URL, entity tag and a digest of the
// card sent. One small file per CSV path and address book URL in the user's
// data folder ($XDG_DATA_HOME/Olvenmark/uploads, else ~/.local/share/...),
// replaced whole by each write, so that it is never read half written.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace carddav {

struct RememberedCard {
    // Where the card is, as the server answered for it.
    std::string url;
    // Its entity tag when it was put; empty when the server gave none.
    std::string etag;
    // The SHA-1 of the card as it was sent, in hex.
    std::string digest;

    bool operator==(const RememberedCard&) const = default;
};

// Remembered cards by UID.
using RememberedCards = std::map<std::string, RememberedCard>;

class UploadStatus {
public:
    // The status of uploads of the CSV file at `csvPath` (made absolute) into
    // the address book at `bookUrl`.
    UploadStatus(const std::string& csvPath, std::string bookUrl);

    // The cards the status file names; none when there is no file, it cannot
    // be read, or it was written for another CSV file or address book.
    RememberedCards read() const;
    // Replaces the status file with these cards: written beside it, synced and
    // renamed over it. False, with the reason in `error`, when it could not be.
    bool write(const RememberedCards& cards, std::string& error) const;

    const std::string& path() const { return path_; }

    // The SHA-1 of a card, in hex, as the status keeps it.
    static std::string digestOf(std::string_view card);

private:
    std::string csvPath_;
    std::string bookUrl_;
    std::string path_;
};

} // namespace carddav
