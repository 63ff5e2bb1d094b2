// The floor a converter cannot beat: COUNT files of BYTES bytes each in a new
// folder, with one exclusive create, one write and one close per file.
//   floor COUNT BYTES FOLDER
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: floor COUNT BYTES FOLDER\n");
        return 2;
    }
    const long count = std::atol(argv[1]);
    const std::string bytes(static_cast<std::size_t>(std::atol(argv[2])), 'x');
    const std::string folder = std::string(argv[3]) + "/floor";
    std::filesystem::create_directories(folder);
    for (long i = 0; i < count; ++i) {
        const std::string path = folder + "/Contact" + std::to_string(i) + ".vcf";
        std::FILE* f = std::fopen(path.c_str(), "wx");
        if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
            std::fclose(f) != 0) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
