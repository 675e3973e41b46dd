#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace zelmar::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        const auto base = std::filesystem::temp_directory_path();
        do
            path_ = base / ("zelmar-tables-" + std::to_string(seed()));
        while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path() const { return path_.string(); }
    std::string File(const std::string& relative) const { return (path_ / relative).string(); }

    // Writes the bytes exactly, creating the folders on the way.
    std::string Write(const std::string& relative, const std::string& bytes) const {
        const auto file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }
    std::string MakeFolder(const std::string& relative) const {
        std::filesystem::create_directories(path_ / relative);
        return (path_ / relative).string();
    }

private:
    std::filesystem::path path_;
};

} // namespace zelmar::testing
