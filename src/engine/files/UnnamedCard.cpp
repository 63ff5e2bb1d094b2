#include "engine/files/UnnamedCard.h"

#include "engine/Text.h"
#include "engine/files/FileCalls.h"
#include "engine/files/Output.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

// Unnamed files written ahead and still open.
std::atomic<long> aheadOpen{0};

// Unnamed files are linked by their descriptor's name in /proc where the
// kernel does not link them by the descriptor itself: without /proc, files
// get hidden names instead.
bool unnamedFilesLinkable() {
    static const bool linkable = ::access("/proc/self/fd", X_OK) == 0;
    return linkable;
}

// A file system or kernel without unnamed files answers one of these.
bool noUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

} // namespace

long UnnamedCard::aheadLimit() {
    // A quarter of the descriptors the process may hold, so that the log,
    // the CSV file and the window keep theirs.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY) {
        return 256;
    }
    return std::min(256L, static_cast<long>(files.rlim_cur / 4));
}

UnnamedCard::UnnamedCard(UnnamedCard&& other) noexcept
    : folder_(std::move(other.folder_)), fd_(std::exchange(other.fd_, -1)),
      temp_(std::exchange(other.temp_, {})), error_(other.error_),
      ahead_(std::exchange(other.ahead_, false)) {}

UnnamedCard& UnnamedCard::operator=(UnnamedCard&& other) noexcept {
    if (this != &other) {
        discard();
        folder_ = std::move(other.folder_);
        fd_ = std::exchange(other.fd_, -1);
        temp_ = std::exchange(other.temp_, {});
        error_ = other.error_;
        ahead_ = std::exchange(other.ahead_, false);
    }
    return *this;
}

int UnnamedCard::write(std::string_view card) {
    if (!open()) {
        return errno;
    }
    if (writeWhole(fd_, card) != card.size()) {
        const int error = errno;
        discard();
        return error;
    }
    return 0;
}

UnnamedCard::Ahead UnnamedCard::writeAhead(std::string_view card, long limit) {
    if (!unnamedFilesLinkable()) {
        return Ahead::Never;
    }
    if (aheadOpen.fetch_add(1) >= limit) {
        --aheadOpen;
        return Ahead::Later;
    }
    fd_ = openUnnamed();
    if (fd_ < 0) {
        const int error = errno;
        --aheadOpen;
        if (noUnnamedFiles(error)) {
            return Ahead::Never;
        }
        if (error == EMFILE || error == ENFILE) {
            return Ahead::Later;
        }
        error_ = error;
        return Ahead::Done;
    }
    ahead_ = true;
    if (writeWhole(fd_, card) != card.size()) {
        error_ = errno;
        discard();
    }
    return Ahead::Done;
}

int UnnamedCard::linkAs(const std::string& path) {
    const int linked = temp_.empty()
                           ? fileCalls().linkDescriptor(fd_, path.c_str())
                           : fileCalls().linkFile((folder_ + temp_).c_str(), path.c_str());
    if (linked == 0) {
        return Created;
    }
    switch (errno) {
    case EEXIST:
        return AlreadyExists;
    case ENOENT:
    case ENOTDIR:
        return FolderMissing;
    default:
        return CreateFailed;
    }
}

int UnnamedCard::finish(const std::string& path) {
    const int fd = std::exchange(fd_, -1);
    if (std::exchange(ahead_, false)) {
        --aheadOpen;
    }
    if (fileCalls().closeDescriptor(fd) != 0) {
        const int error = errno;
        fileCalls().removeFile(path.c_str());
        discard();
        return error;
    }
    discard();
    return 0;
}

int UnnamedCard::openUnnamed() const {
    return fileCalls().openDescriptor(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

bool UnnamedCard::open() {
    if (unnamedFilesLinkable()) {
        fd_ = openUnnamed();
        if (fd_ >= 0 || !noUnnamedFiles(errno)) {
            return fd_ >= 0;
        }
    }
    // A file system without them: a hidden name of this process, taken back after.
    static std::atomic<std::uint64_t> serial{0};
    temp_ = text::fill(".olvenmark-%@-%@.tmp", static_cast<std::int64_t>(::getpid()),
                       static_cast<std::int64_t>(serial++));
    fd_ = fileCalls().openDescriptor((folder_ + temp_).c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        temp_.clear();
    }
    return fd_ >= 0;
}

void UnnamedCard::discard() {
    if (fd_ >= 0) {
        fileCalls().closeDescriptor(std::exchange(fd_, -1));
    }
    if (std::exchange(ahead_, false)) {
        --aheadOpen;
    }
    if (!temp_.empty()) {
        fileCalls().removeFile((folder_ + temp_).c_str());
        temp_.clear();
    }
}
