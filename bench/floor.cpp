// The floor a converter cannot beat: COUNT files of BYTES bytes each in a new
// folder, with one exclusive create, one write and one close per file, straight
// system calls without stdio's buffer; or, with "one-file CSV", reading the CSV
// whole, finding its rows and writing COUNT pieces of BYTES bytes into one file
// made by one exclusive create, through a buffer of one mebibyte.
//   floor COUNT BYTES FOLDER [one-file CSV]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Writes all of the bytes; false on a failure.
bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads the CSV whole and counts its rows: line ends outside double quotes.
long rowsOf(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    std::vector<char> text(static_cast<std::size_t>(std::filesystem::file_size(path)));
    std::size_t done = 0;
    for (ssize_t n = 0;
         done < text.size() && (n = ::read(fd, text.data() + done, text.size() - done)) > 0;) {
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    long rows = 0;
    bool quoted = false;
    const char* const end = text.data() + done;
    for (const char* at = text.data(); at < end;) {
        const char* lineEnd = static_cast<const char*>(std::memchr(at, '\n', end - at));
        lineEnd = lineEnd == nullptr ? end : lineEnd;
        // Each quote in the piece turns a quoted field on or off.
        for (auto q = static_cast<const char*>(std::memchr(at, '"', lineEnd - at)); q != nullptr;
             q = static_cast<const char*>(std::memchr(q + 1, '"', lineEnd - q - 1))) {
            quoted = !quoted;
        }
        rows += quoted ? 0 : 1;
        at = lineEnd + 1;
    }
    return rows;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool oneFile = argc == 6 && std::string(argv[4]) == "one-file";
    if (argc != 4 && !oneFile) {
        std::fprintf(stderr, "usage: floor COUNT BYTES FOLDER [one-file CSV]\n");
        return 2;
    }
    const long count = std::atol(argv[1]);
    const std::string bytes(static_cast<std::size_t>(std::atol(argv[2])), 'x');
    const std::string folder = std::string(argv[3]) + "/floor";
    std::filesystem::create_directories(folder);
    if (oneFile) {
        if (rowsOf(argv[5]) < 0) {
            std::perror(argv[5]);
            return 1;
        }
        const std::string path = folder + "/contacts.vcf";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        std::string buffer;
        buffer.reserve((std::size_t{1} << 20) + bytes.size());
        bool written = fd >= 0;
        for (long i = 0; written && i < count; ++i) {
            buffer += bytes;
            if (buffer.size() >= (std::size_t{1} << 20)) {
                written = writeAll(fd, buffer.data(), buffer.size());
                buffer.clear();
            }
        }
        written = written && writeAll(fd, buffer.data(), buffer.size());
        if (!written || ::close(fd) != 0) {
            std::perror(path.c_str());
            return 1;
        }
        return 0;
    }
    for (long i = 0; i < count; ++i) {
        const std::string path = folder + "/Contact" + std::to_string(i) + ".vcf";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 ||
            ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            ::close(fd) != 0) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
