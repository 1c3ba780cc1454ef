// A folder made for one test under the system's temporary directory, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace qxtest {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate = base / ("qxtest-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate.string();
            }
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }

    const std::string& path() const { return path_; }
    std::string at(const std::string& relative) const {
        return (std::filesystem::path(path_) / relative).string();
    }
    // Writes a file, making its folders; answers its full path.
    std::string write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path file = std::filesystem::path(path_) / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }
    std::string makeFolder(const std::string& relative) const {
        std::filesystem::create_directories(std::filesystem::path(path_) / relative);
        return at(relative);
    }

private:
    std::string path_;
};

} // namespace qxtest
