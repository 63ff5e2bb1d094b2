// Helpers the engine tests share: a temporary HOME and folder, real files
// written and read back, and a client that records what the engine calls.
#pragma once

#include "engine/ConvertorClient.h"
#include "engine/newConvertor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

namespace fs = std::filesystem;

// A record with these named values, every other one empty, and further values.
inline ContactRecord
contactRecord(std::initializer_list<std::pair<property::Position, std::string>> values,
              std::vector<TypedValue> more = {}) {
    ContactRecord r;
    r.named.resize(property::kCount);
    for (const auto& [p, v] : values) {
        r.named[p] = v;
    }
    r.more = std::move(more);
    return r;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("olvenmark-test-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        // Read-only folders made by a test must not stop the clean-up.
        for (auto it = fs::recursive_directory_iterator(path_, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

private:
    fs::path path_;
};

// Points HOME at a temporary folder for the life of the object.
class TempHome {
public:
    TempHome() {
        if (const char* old = std::getenv("HOME")) {
            old_ = old;
        }
        setenv("HOME", dir_.str().c_str(), 1);
    }
    ~TempHome() { setenv("HOME", old_.c_str(), 1); }

    const fs::path& path() const { return dir_.path(); }
    fs::path logFile() const { return dir_.path() / "Olvenmark v1.0" / "Error.log"; }

private:
    TempDir dir_;
    std::string old_;
};

inline void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The file names in a folder, sorted.
inline std::vector<std::string> listFolder(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The single run folder the engine made inside a destination.
inline fs::path onlySubfolder(const fs::path& destination) {
    for (const auto& entry : fs::directory_iterator(destination)) {
        if (entry.is_directory()) {
            return entry.path();
        }
    }
    return {};
}

// Records every call the engine makes; a hook may act on each progress call.
class RecordingClient : public ConvertorClient {
public:
    void addCSVHeadersToComboBox(const std::vector<std::string>& h) override { headers = h; }
    void addVcardPropertiesToComboBox(const std::vector<std::string>& p) override {
        properties = p;
    }
    void notify(float increment) override {
        increments.push_back(increment);
        if (onNotify) {
            onNotify(increments.size());
        }
    }
    void finalNotify(const RunReport& r) override { reports.push_back(r); }

    std::vector<std::string> headers;
    std::vector<std::string> properties;
    std::vector<float> increments;
    std::vector<RunReport> reports;
    std::function<void(std::size_t)> onNotify;
};

// A converter in a temporary HOME and folder: write a CSV, load and pair it,
// run it into a destination and read back what it wrote.
class EngineTest : public ::testing::Test {
protected:
    TempHome home;
    TempDir dir;
    RecordingClient client;
    std::shared_ptr<newConvertor> convertor = std::make_shared<newConvertor>();

    // Loads the text as contacts.csv; with a pairing, step 2 must take it.
    std::int64_t load(const std::string& text,
                      const std::map<std::string, std::string>& pairing = {}) {
        const auto path = dir.path() / "contacts.csv";
        writeFile(path, text);
        const auto n = convertor->startStep1(path.string(), &client);
        if (!pairing.empty()) {
            EXPECT_TRUE(convertor->startStep2(pairing));
        }
        return n;
    }
    fs::path destination() const { return dir.path() / "out"; }
    void run(std::stop_token token = {}) {
        fs::create_directories(destination());
        convertor->startStep3(token, destination().string());
    }
    fs::path runFolder() const { return onlySubfolder(destination()); }
    std::string log() const { return readFile(home.logFile()); }
    const RunReport& report() const {
        EXPECT_EQ(client.reports.size(), 1u);
        return client.reports.back();
    }
};

} // namespace testsupport
