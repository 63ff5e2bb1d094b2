#include "engine/files/FileCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
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
