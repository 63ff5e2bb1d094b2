#include "engine/files/Output.h"

#include "engine/RunState.h"
#include "engine/Text.h"
#include "engine/TimeStamp.h"
#include "engine/files/FileCalls.h"
#include "engine/log/Console.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

// The last file createFile made on this thread, still open, so that writing the
// contact costs no second open. Closed when the thread ends at the latest.
// Plain descriptors: a card is one write, stdio's buffer would only be copied.
struct ReservedFile {
    std::string path;
    int fd = -1;

    void release() {
        if (fd >= 0) {
            fileCalls().closeDescriptor(fd);
            fd = -1;
        }
        path.clear();
    }
    ~ReservedFile() { release(); }
};
thread_local ReservedFile reserved;

// What file naming already learnt about a run folder: for each name base, the
// lowest number that may still be free. Every name below it is taken, so the
// k-th contact of one name does not probe the k-1 names before it again.
struct NameMemory {
    std::string folder;
    std::unordered_map<std::string, std::int64_t> nextNumber;

    std::unordered_map<std::string, std::int64_t>& forFolder(const std::string& current) {
        if (current != folder) {
            folder = current;
            nextNumber.clear();
        }
        return nextNumber;
    }
};
NameMemory nameMemory;

std::string parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Removes the bytes that would cut a path short, break it into folders or put
// a line break into a name.
std::string withoutUnsafeBytes(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c != '/' && u >= 0x20 && u != 0x7F) {
            out += c;
        }
    }
    return out;
}

std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

} // namespace

std::string fileNameBase(std::string_view firstName, std::string_view lastName) {
    std::string joined;
    joined.reserve(firstName.size() + lastName.size());
    joined.append(firstName).append(lastName);
    std::string base = withoutUnsafeBytes(joined);
    constexpr std::size_t kLimit = 30;
    if (text::utf16Length(base) <= kLimit) {
        return base;
    }
    std::size_t units = 0;
    std::size_t bytes = 0;
    while (bytes < base.size()) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(base[bytes]));
        const std::size_t width = length == 4 ? 2 : 1;
        if (units + width > kLimit) {
            break;
        }
        units += width;
        bytes += length;
    }
    base.resize(std::min(bytes, base.size()));
    return base + "~";
}

std::string runFolderName() {
    return text::fill("Olvenmark_%@", timestamp::folderStamp(std::time(nullptr)));
}

int createFile(const std::string& path) {
    try {
        reserved.release();
        // As fopen("wx") would: the permissions the umask leaves of 0666.
        const int fd =
            fileCalls().openDescriptor(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            reserved.path = path;
            reserved.fd = fd;
            return Created;
        }
        const int error = errno;
        std::error_code ec;
        if (!fs::exists(parentOf(path), ec)) {
            return FolderMissing;
        }
        if (error == EEXIST || fs::exists(fs::symlink_status(path, ec))) {
            return AlreadyExists;
        }
        logOrConsole(text::fill(logtext::kCreateFileFailed, path));
        return CreateFailed;
    } catch (const std::exception& e) {
        logOrConsole(text::fill(logtext::kCreateFileException, text::exceptionName(e), e.what()));
        return CreateFailed;
    }
}

std::optional<std::string> contactNameBase(const std::vector<std::string>& record) {
    const std::string& first = record.at(0);
    const std::string& last = record.at(1);
    if (first.empty() && last.empty()) {
        return std::nullopt;
    }
    return fileNameBase(first, last);
}

std::string namingFailureEntry(const std::exception& e) {
    return text::fill(logtext::kNamingException, text::exceptionName(e), e.what());
}

namespace {

// What one candidate path means for the naming: a final answer (the path, none
// when it could not be created, or kStopRun), or on to the next candidate.
struct Attempt {
    bool final;
    std::optional<std::string> answer;
};

Attempt attempt(const std::string& path) {
    switch (createFile(path)) {
    case Created:
        return {true, path};
    case CreateFailed:
        return {true, std::nullopt};
    case FolderMissing:
        return {true, std::string(kStopRun)};
    default:
        return {false, std::nullopt};
    }
}

std::optional<std::string> reserveNameless() {
    for (;;) {
        const std::string path =
            vcardOutputFolderPath + "/no_name" + std::to_string(g_unknownCount) + ".vcf";
        ++g_unknownCount;
        if (Attempt a = attempt(path); a.final) {
            return a.answer;
        }
    }
}

std::optional<std::string> reserveNamed(const std::string& base) {
    auto& memory = nameMemory.forFolder(vcardOutputFolderPath);
    const auto known = memory.find(base);
    if (known == memory.end()) {
        const std::string plain = vcardOutputFolderPath + "/" + base + ".vcf";
        if (Attempt a = attempt(plain); a.final) {
            if (a.answer == plain) {
                memory.emplace(base, 1);
            }
            return a.answer;
        }
    } else if (known->second > g_count) {
        g_count = known->second;
    }
    // The plain name is taken: the first free numbered name follows.
    for (;; ++g_count) {
        const std::string numbered =
            vcardOutputFolderPath + "/" + base + "(" + std::to_string(g_count) + ").vcf";
        if (Attempt a = attempt(numbered); a.final) {
            if (a.answer == numbered) {
                memory[base] = g_count + 1;
                g_count = 1;
            }
            return a.answer;
        }
    }
}

} // namespace

std::optional<std::string> reserveVCardFile(const std::optional<std::string>& base) {
    try {
        return base ? reserveNamed(*base) : reserveNameless();
    } catch (const std::exception& e) {
        console::log(namingFailureEntry(e));
        return std::string(kStopRun);
    }
}

std::optional<std::string> generateVCardFileName(const std::vector<std::string>& record) {
    try {
        return reserveVCardFile(contactNameBase(record));
    } catch (const std::exception& e) {
        console::log(namingFailureEntry(e));
        return std::string(kStopRun);
    }
}

bool createVcardFile(const std::optional<std::string>& text, const std::string& path) {
    try {
        int fd = -1;
        const bool ours = reserved.fd >= 0 && reserved.path == path;
        if (ours) {
            fd = reserved.fd; // the empty file just reserved for this contact
            reserved.fd = -1;
            reserved.path.clear();
        } else {
            fd = fileCalls().openDescriptor(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                                            0666);
        }
        if (fd < 0) {
            logOrConsole(text::fill(logtext::kWriteVCardFailed, path));
            return false;
        }
        if (!text) {
            fileCalls().closeDescriptor(fd);
            return false;
        }
        const bool written = writeWhole(fd, *text) == text->size();
        const int writeError = errno;
        const bool closed = fileCalls().closeDescriptor(fd) == 0;
        if (!written || !closed) {
            const int error = written ? errno : writeError;
            // A cut-off vCard would pass for a contact: the file this run created
            // and could not fill goes again.
            if (ours) {
                std::remove(path.c_str());
            }
            throw std::system_error(error, std::generic_category(), "writing " + path);
        }
        return true;
    } catch (const std::exception& e) {
        logOrConsole(text::fill(logtext::kWriteVCardException, text::exceptionName(e), e.what()));
        return false;
    }
}

void releaseReservedFile() {
    reserved.release();
}
