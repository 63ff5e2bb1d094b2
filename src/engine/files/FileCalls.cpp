#include "engine/files/FileCalls.h"

FileCalls standardFileCalls() {
    return {
        [](const char* path, const char* mode) { return std::fopen(path, mode); },
        [](const void* data, std::size_t size, std::size_t count, std::FILE* file) {
            return std::fwrite(data, size, count, file);
        },
    };
}

FileCalls& fileCalls() {
    static FileCalls calls = standardFileCalls();
    return calls;
}
