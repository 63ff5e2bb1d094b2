// One .vcf file holding every card of a run. Each card goes in whole or not
// at all: a write that fails part-way is cut back off the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "contacts.vcf" for "/a/contacts.csv": the CSV's file name with ".vcf" in place
// of its extension.
std::string singleFileName(std::string_view csvPath);

class SingleVcfFile {
public:
    SingleVcfFile() = default;
    // Closes the file when close() was not called; logs a close that fails.
    ~SingleVcfFile();
    SingleVcfFile(const SingleVcfFile&) = delete;
    SingleVcfFile& operator=(const SingleVcfFile&) = delete;

    // Creates the file; false when it exists already or cannot be created.
    bool create(const std::string& path);
    // Appends one card; false, with the file as long as before, when it could
    // not be written whole. errno tells why.
    bool append(std::string_view card);
    // Closes the file; false, with errno telling why, when the close failed and
    // the cards written may not all be on disk. Call it before reporting the run.
    bool close();

    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    std::int64_t length_ = 0;
};
