#include "engine/files/SingleVcfFile.h"

#include "engine/Text.h"
#include "engine/files/FileCalls.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

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
    return fd_ >= 0;
}

bool SingleVcfFile::append(std::string_view card) {
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    const std::size_t done = writeWhole(fd_, card);
    if (done < card.size()) {
        const int error = errno;
        // Half a card would read as a broken contact: the file goes back to
        // where this card began.
        if (done > 0) {
            (void)fileCalls().truncateDescriptor(fd_, length_);
            (void)fileCalls().seekDescriptor(fd_, length_, SEEK_SET);
        }
        errno = error;
        return false;
    }
    length_ += static_cast<std::int64_t>(card.size());
    return true;
}

bool SingleVcfFile::close() {
    if (fd_ < 0) {
        return true;
    }
    const bool closed = fileCalls().closeDescriptor(fd_) == 0;
    fd_ = -1;
    return closed;
}
