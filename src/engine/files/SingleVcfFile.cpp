#include "engine/files/SingleVcfFile.h"

#include "engine/Text.h"
#include "engine/files/FileCalls.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

std::string singleFileName(std::string_view csvPath) {
    std::string name = text::lastPathComponent(csvPath);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0) {
        name.resize(dot);
    }
    return name + ".vcf";
}

SingleVcfFile::~SingleVcfFile() {
    // A close that fails can lose cards already counted as written; nobody is
    // left to ask, so the log hears of it.
    if (fd_ >= 0 && !close()) {
        logOrConsole(text::fill(logtext::kSingleFileCloseFailed, path_, text::systemReason(errno)));
    }
}

bool SingleVcfFile::create(const std::string& path) {
    close();
    fd_ = fileCalls().openDescriptor(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    path_ = path;
    length_ = 0;
    buffer_.clear();
    buffer_.reserve(kWriteSize + kWriteSize / 8);
    gathered_.clear();
    unwritten_ = 0;
    return fd_ >= 0;
}

bool SingleVcfFile::append(std::string_view card, std::int64_t row) {
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    buffer_.append(card);
    gathered_.push_back({buffer_.size(), row});
    return buffer_.size() < kWriteSize || flush();
}

bool SingleVcfFile::flush() {
    const std::size_t done = writeWhole(fd_, buffer_);
    if (done == buffer_.size()) {
        length_ += static_cast<std::int64_t>(done);
        buffer_.clear();
        gathered_.clear();
        return true;
    }
    const int error = errno;
    // The cards that went in whole stay; half a card would read as a broken
    // contact, so the file goes back to where the first card not whole began.
    const auto whole =
        std::upper_bound(gathered_.begin(), gathered_.end(), done,
                         [](std::size_t bytes, const Gathered& g) { return bytes < g.end; });
    const std::size_t kept = whole == gathered_.begin() ? 0 : std::prev(whole)->end;
    length_ += static_cast<std::int64_t>(kept);
    if (done > kept) {
        (void)fileCalls().truncateDescriptor(fd_, length_);
        (void)fileCalls().seekDescriptor(fd_, length_, SEEK_SET);
    }
    unwritten_ = gathered_.end() - whole;
    firstUnwrittenRow_ = whole->row;
    buffer_.clear();
    gathered_.clear();
    errno = error;
    return false;
}

bool SingleVcfFile::close() {
    if (fd_ < 0) {
        return true;
    }
    const bool written = buffer_.empty() || flush();
    const int error = errno;
    const bool closed = fileCalls().closeDescriptor(fd_) == 0;
    fd_ = -1;
    if (!written) {
        errno = error;
    }
    return written && closed;
}
