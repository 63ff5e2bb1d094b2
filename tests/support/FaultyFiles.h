// Disk faults made through the engine's file calls, exact on every run: a disk
// that fills up after so many bytes, new files refused, closes that fail.
#pragma once

#include "engine/files/FileCalls.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace testsupport {

// Swaps one set of file calls (the run's by default, or logFileCalls()) for the
// life of the object and puts the previous calls back after. One at a time, for
// files written from one thread at a time.
class FaultyFiles {
public:
    explicit FaultyFiles(FileCalls& calls = fileCalls()) : calls_(calls), saved_(calls) {}
    ~FaultyFiles() { calls_ = saved_; }

    // Writes go through until `bytes` in all are written; the write that would
    // pass that point is cut short there and fails with `error`, as do later ones.
    FaultyFiles& writesFailAfter(std::size_t bytes, int error = ENOSPC) {
        room = bytes;
        writeError = error;
        calls_.write = [](const void* data, std::size_t size, std::size_t count, std::FILE* f) {
            const std::size_t done = std::fwrite(data, 1, take(size * count), f);
            return done < size * count ? failWith(writeError, done / size) : count;
        };
        calls_.writeDescriptor = [](int fd, const void* data, std::size_t count) {
            const std::size_t fits = take(count);
            // A short write first; the next one finds the disk full.
            return fits == 0 && count > 0 ? failWith<ssize_t>(writeError, -1)
                                          : ::write(fd, data, fits);
        };
        return *this;
    }

    // Every open, for reading or writing, fails with `error`.
    FaultyFiles& createFails(int error = EACCES) {
        openError = error;
        calls_.open = [](const char*, const char*) {
            return failWith<std::FILE*>(openError, nullptr);
        };
        calls_.openDescriptor = [](const char*, int, mode_t) { return failWith(openError, -1); };
        return *this;
    }

    // The first read gives at most `first` bytes; then another program cuts or
    // grows the file to `size` bytes, and later reads see it so.
    FaultyFiles& fileResizedWhileRead(std::size_t first, off_t size) {
        firstRead = first;
        resizeTo = size;
        calls_.readDescriptor = [](int fd, void* data, std::size_t count) {
            if (resizeTo < 0) {
                return ::read(fd, data, count);
            }
            const ssize_t n = ::read(fd, data, std::min(count, firstRead));
            // Through the descriptor's name, as the program holding the file would.
            if (::truncate(("/proc/self/fd/" + std::to_string(fd)).c_str(), resizeTo) != 0) {
                return failWith<ssize_t>(EBADF, -1);
            }
            resizeTo = -1;
            return n;
        };
        return *this;
    }

    // Every read fails with `error`.
    FaultyFiles& readsFail(int error = EIO) {
        readError = error;
        calls_.readDescriptor = [](int, void*, std::size_t) {
            return failWith<ssize_t>(readError, -1);
        };
        return *this;
    }

    // Every new name for a file is refused with `error`.
    FaultyFiles& linksFail(int error) {
        linkError = error;
        calls_.linkFile = [](const char*, const char*) { return failWith(linkError, -1); };
        calls_.linkDescriptor = [](int, const char*) { return failWith(linkError, -1); };
        return *this;
    }

    // Files without a name are refused, as on a file system that has none.
    FaultyFiles& noUnnamedFiles() {
        calls_.openDescriptor = [](const char* path, int flags, mode_t mode) {
            return (flags & O_TMPFILE) == O_TMPFILE ? failWith(EOPNOTSUPP, -1)
                                                    : ::open(path, flags, mode);
        };
        return *this;
    }

    // Every close releases the file but reports `error`, as a late write-back does.
    FaultyFiles& closeFails(int error = EIO) {
        closeError = error;
        calls_.close = [](std::FILE* f) {
            std::fclose(f);
            return failWith(closeError, EOF);
        };
        calls_.closeDescriptor = [](int fd) {
            ::close(fd);
            return failWith(closeError, -1);
        };
        return *this;
    }

private:
    // What the faults need; the calls are plain functions, so it lives here.
    inline static std::size_t room = 0, firstRead = 0;
    inline static off_t resizeTo = -1;
    inline static int writeError = 0, openError = 0, closeError = 0, readError = 0, linkError = 0;

    // Sets errno as a failing call does and gives its result.
    template <class T> static T failWith(int error, T result) {
        errno = error;
        return result;
    }
    // Takes up to `wanted` bytes from the room left on the disk.
    static std::size_t take(std::size_t wanted) {
        const std::size_t fits = std::min(wanted, room);
        room -= fits;
        return fits;
    }

    FileCalls& calls_;
    FileCalls saved_;
};

} // namespace testsupport
