#include "engine/files/FileCalls.h"

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
        .writeDescriptor = [](int fd, const void* data,
                              std::size_t count) { return ::write(fd, data, count); },
        .truncateDescriptor = [](int fd, off_t length) { return ::ftruncate(fd, length); },
        .seekDescriptor = [](int fd, off_t offset,
                             int whence) { return ::lseek(fd, offset, whence); },
        .closeDescriptor = [](int fd) { return ::close(fd); },
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
