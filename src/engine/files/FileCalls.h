// The file-system calls that write vCards. Tests replace them to make a disk
// fill up or refuse every new file without mounting a file system.
#pragma once

#include <cstddef>
#include <cstdio>

struct FileCalls {
    // Opens a file as std::fopen does.
    std::FILE* (*open)(const char* path, const char* mode);
    // Writes as std::fwrite does: the count of whole items written.
    std::size_t (*write)(const void* data, std::size_t size, std::size_t count, std::FILE* file);
};

// The calls in use. A test may swap them before a run and puts them back after.
FileCalls& fileCalls();
// The standard library's calls.
FileCalls standardFileCalls();
