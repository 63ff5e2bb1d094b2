// The floor a converter cannot beat: COUNT files of BYTES bytes each in a new
// folder, with one exclusive create, one write and one close per file, straight
// system calls without stdio's buffer; or,
// with "one-file", the same COUNT writes of BYTES bytes into one file made by
// one exclusive create, as a single-file export writes its cards.
//   floor COUNT BYTES FOLDER [one-file]
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "one-file")) {
        std::fprintf(stderr, "usage: floor COUNT BYTES FOLDER [one-file]\n");
        return 2;
    }
    const long count = std::atol(argv[1]);
    const std::string bytes(static_cast<std::size_t>(std::atol(argv[2])), 'x');
    const std::string folder = std::string(argv[3]) + "/floor";
    std::filesystem::create_directories(folder);
    if (argc == 5) {
        const std::string path = folder + "/contacts.vcf";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        for (long i = 0; fd >= 0 && i < count; ++i) {
            if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
                std::perror(path.c_str());
                return 1;
            }
        }
        if (fd < 0 || ::close(fd) != 0) {
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
