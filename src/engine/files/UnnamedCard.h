// The card on its way into a folder: written whole into a file that has no
// name yet, then linked under the first free name. A name in the folder thus
// holds a complete card or nothing, whenever the program is stopped, and a
// link never replaces a file that is there. A card never named goes with the
// object.
#pragma once

#include <string>
#include <string_view>

class UnnamedCard {
public:
    UnnamedCard() = default;
    explicit UnnamedCard(std::string folder) : folder_(std::move(folder)) {}
    ~UnnamedCard() { discard(); }
    UnnamedCard(UnnamedCard&& other) noexcept;
    UnnamedCard& operator=(UnnamedCard&& other) noexcept;

    // 0 once the card is written, else the errno that kept it out.
    int write(std::string_view card);
    // What a write ahead came to.
    enum class Ahead {
        // Written, or failed with the reason error() keeps.
        Done,
        // Not now (enough unnamed files are open): the card is written in its turn.
        Later,
        // The folder's file system has no unnamed files: no card need try again.
        Never,
    };
    // Writes the card before its turn, from a thread that makes cards: only
    // into a file without a name, and only while fewer than `limit` such
    // files are open.
    Ahead writeAhead(std::string_view card, long limit);
    // How many cards may wait in unnamed files at once under the process's
    // limit on open files.
    static long aheadLimit();
    // True when the card is in the file, waiting for its name.
    bool written() const { return fd_ >= 0; }
    // The errno of a write ahead that failed; 0 otherwise.
    int error() const { return error_; }
    // Gives the card the path as its name: Created, AlreadyExists,
    // FolderMissing, or CreateFailed with errno telling why.
    int linkAs(const std::string& path);
    // Closes the linked card; 0, or the errno of a close that failed, which
    // may have lost what was written: the name goes again then.
    int finish(const std::string& path);

private:
    // A new file without a name in the folder, or -1 with errno set.
    int openUnnamed() const;
    bool open();
    void discard();

    std::string folder_;
    int fd_ = -1;
    // The hidden name of the file where the file system has no unnamed files.
    std::string temp_;
    int error_ = 0;
    // True while the descriptor counts among the files written ahead.
    bool ahead_ = false;
};
