// One .vcf file holding every card of a run. The cards are gathered and go to
// the file in writes of about a mebibyte; a write that fails part-way is cut
// back to the last card that went in whole, so no card is ever half there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "contacts.vcf" for "/a/contacts.csv": the CSV's file name with ".vcf" in place
// of its extension.
std::string singleFileName(std::string_view csvPath);

class SingleVcfFile {
public:
    // How many bytes of cards are gathered before they are written.
    static constexpr std::size_t kWriteSize = std::size_t{1} << 20;

    SingleVcfFile() = default;
    // Closes the file when close() was not called; logs a close that fails.
    ~SingleVcfFile();
    SingleVcfFile(const SingleVcfFile&) = delete;
    SingleVcfFile& operator=(const SingleVcfFile&) = delete;

    // Creates the file; false when it exists already or cannot be created.
    bool create(const std::string& path);
    // Adds one card, the card of `row`. False when a write failed, errno
    // telling why: unwritten() cards of those added are then not in the file.
    bool append(std::string_view card, std::int64_t row);
    // Writes the cards gathered and closes the file; false, with errno telling
    // why, when the write or the close failed and cards may not all be on disk.
    // Call it before reporting the run.
    bool close();

    // After a failed write: the cards added that are not in the file, and the
    // row of the first of them.
    std::int64_t unwritten() const { return unwritten_; }
    std::int64_t firstUnwrittenRow() const { return firstUnwrittenRow_; }

    const std::string& path() const { return path_; }

private:
    // Writes the gathered cards; false when they did not all go in whole.
    bool flush();

    // Where a gathered card ends in the buffer, and its row.
    struct Gathered {
        std::size_t end;
        std::int64_t row;
    };

    std::string path_;
    int fd_ = -1;
    // The bytes in the file: every card that went in whole.
    std::int64_t length_ = 0;
    std::string buffer_;
    std::vector<Gathered> gathered_;
    std::int64_t unwritten_ = 0;
    std::int64_t firstUnwrittenRow_ = 0;
};
