#include "engine/files/FileCalls.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

FileCalls standardFileCalls() {
    return {
        .open = [](const char* path, const char* mode) { return std::fopen(path, mode); },
        .write = [](const void* data, std::size_t size, std::size_t count,
                    std::FILE* file) { return std::fwrite(data, size, count, file); },
        .close = [](std::FILE* file) { return std::fclose(file); },
        .openDescriptor = [](const char* path, int flags,
                             mode_t mode) { return ::open(path, flags, mode); },
        .readDescriptor = [](int fd, void* data,
                             std::size_t count) { return ::read(fd, data, count); },
        .writeDescriptor = [](int fd, const void* data,
                              std::size_t count) { return ::write(fd, data, count); },
        .truncateDescriptor = [](int fd, off_t length) { return ::ftruncate(fd, length); },
        .seekDescriptor = [](int fd, off_t offset,
                             int whence) { return ::lseek(fd, offset, whence); },
        .closeDescriptor = [](int fd) { return ::close(fd); },
        .linkFile =
            [](const char* from, const char* to) {
                return ::linkat(AT_FDCWD, from, AT_FDCWD, to, AT_SYMLINK_FOLLOW);
            },
        .linkDescriptor =
            [](int fd, const char* to) {
                // Kernels before 6.10 link by the descriptor only for a process
                // with CAP_DAC_READ_SEARCH and answer ENOENT to others, which
                // link the descriptor's name in /proc instead; the first such
                // answer decides for the rest of the run.
                static std::atomic<bool> direct{true};
                if (direct.load(std::memory_order_relaxed)) {
                    const int linked = ::linkat(fd, "", AT_FDCWD, to, AT_EMPTY_PATH);
                    if (linked == 0 || errno != ENOENT) {
                        return linked;
                    }
                }
                const std::string proc = "/proc/self/fd/" + std::to_string(fd);
                const int linked =
                    ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, to, AT_SYMLINK_FOLLOW);
                if (linked == 0) {
                    direct.store(false, std::memory_order_relaxed);
                }
                return linked;
            },
        .removeFile = [](const char* path) { return ::unlink(path); },
        .makeFolders =
            [](const std::string& path, std::error_code& error) {
                std::filesystem::create_directories(path, error);
            },
        .makeFolder =
            [](const std::string& path, std::error_code& error) {
                return std::filesystem::create_directory(path, error);
            },
    };
}

FileCalls& fileCalls() {
    static FileCalls calls = standardFileCalls();
    return calls;
}

FileCalls& logFileCalls() {
    static FileCalls calls = standardFileCalls();
    return calls;
}

std::size_t writeWhole(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = fileCalls().writeDescriptor(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC; // a disk that takes nothing more
            }
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}
