// The file-system calls that read the CSV file and write vCards and the error log. Tests replace
// them to make a disk fill up, refuse every new file or fail a close, without mounting a file
// system or needing a user that permissions apply to.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <system_error>

// Plain function pointers: one indirect call per file operation, none per byte.
struct FileCalls {
    // Opens a file as std::fopen does.
    std::FILE* (*open)(const char* path, const char* mode);
    // Writes as std::fwrite does: the count of whole items written.
    std::size_t (*write)(const void* data, std::size_t size, std::size_t count, std::FILE* file);
    // Closes as std::fclose does: 0, or EOF with errno set.
    int (*close)(std::FILE* file);

    // Opens a descriptor as POSIX open does: the descriptor, or -1 with errno set.
    int (*openDescriptor)(const char* path, int flags, mode_t mode);
    // Reads as POSIX read does: the bytes read, 0 at the end, or -1.
    ssize_t (*readDescriptor)(int fd, void* data, std::size_t count);
    // Writes as POSIX write does: the bytes written (maybe fewer), or -1.
    ssize_t (*writeDescriptor)(int fd, const void* data, std::size_t count);
    // Cuts a file to a length as ftruncate does.
    int (*truncateDescriptor)(int fd, off_t length);
    // Moves the file position as lseek does.
    off_t (*seekDescriptor)(int fd, off_t offset, int whence);
    // Closes a descriptor as POSIX close does.
    int (*closeDescriptor)(int fd);

    // Makes a second name for a file as linkat(AT_FDCWD, from, AT_FDCWD, to,
    // AT_SYMLINK_FOLLOW) does: 0, or -1 with errno set; never replaces `to`.
    int (*linkFile)(const char* from, const char* to);
    // Gives an open file without a name (O_TMPFILE) the name `to`, as
    // linkat(fd, "", AT_FDCWD, to, AT_EMPTY_PATH) does: 0, or -1 with errno
    // set; never replaces `to`.
    int (*linkDescriptor)(int fd, const char* to);
    // Removes a name as POSIX unlink does.
    int (*removeFile)(const char* path);

    // Creates a folder and its parents as std::filesystem::create_directories does.
    void (*makeFolders)(const std::string& path, std::error_code& error);
    // Creates one folder as std::filesystem::create_directory does: true when
    // this call created it, false when it was there already or on an error.
    bool (*makeFolder)(const std::string& path, std::error_code& error);
};

// The calls the CSV reader, the run's vCard files and run folder use. A test may swap them
// before a run and puts them back after.
FileCalls& fileCalls();
// The calls the error log uses; apart, so a test can fail the cards' disk and
// still read the log.
FileCalls& logFileCalls();
// The standard library's and the system's calls.
FileCalls standardFileCalls();

// Writes the bytes to the descriptor through fileCalls(), a short write
// continued; the count written, with errno telling why when it is fewer.
std::size_t writeWhole(int fd, std::string_view bytes);
