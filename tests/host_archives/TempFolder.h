// A folder made for one test under the system's temporary directory, removed afterwards, and
// files read whole.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace qxtest {

class TempFolder {
public:
    TempFolder()
        : path_((std::filesystem::temp_directory_path() /
                 ("qxtest-" + std::to_string(std::random_device()())))
                    .string()) {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::string& path() const { return path_; }
    // With the system's separator, as the host prints the paths it lists.
    std::string at(const std::string& relative) const {
        return (std::filesystem::path(path_) / relative).string();
    }
    // Writes a file, making its folders; answers its full path.
    std::string write(const std::string& relative, const std::string& content) const {
        std::filesystem::create_directories(std::filesystem::path(at(relative)).parent_path());
        std::ofstream(at(relative), std::ios::binary) << content;
        return at(relative);
    }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace qxtest
