#include "archives/HostFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace qxhost {

namespace fs = std::filesystem;

std::string sizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kMegabyte = 1024 * 1024;
    if (bytes < kMegabyte) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    // Hundredths rounded up, so that a size just over a limit never reads as the limit.
    const std::uint64_t part = bytes % kMegabyte * 100;
    const std::uint64_t hundredths =
        bytes / kMegabyte * 100 + part / kMegabyte + (part % kMegabyte != 0 ? 1 : 0);
    std::string text = std::to_string(hundredths / 100);
    if (hundredths % 100 != 0) {
        text += "." + std::to_string(hundredths % 100 / 10);
        if (hundredths % 10 != 0) {
            text += std::to_string(hundredths % 10);
        }
    }
    return text + " MB";
}

bool isRegularFile(const std::string& path) {
    std::error_code code;
    return fs::is_regular_file(fs::status(path, code));
}

std::vector<std::string> nonRegularFiles(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        const std::string name = it->path().filename().string();
        std::error_code kind;
        const fs::file_status status = it->status(kind);
        if (!name.empty() && name[0] != '.' && !fs::is_regular_file(status) &&
            !fs::is_directory(status)) {
            paths.push_back(it->path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool readHostFile(const std::string& path, std::uint64_t limit, std::string& bytes,
                  std::string& problem) {
    bytes.clear();
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    if (!fs::exists(status)) {
        problem = "is missing";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        problem = fs::is_directory(status)
                      ? "is a folder, not a file"
                      : "is not a regular file (a FIFO, a device or a socket), so it is not read";
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, code);
    if (!code && size > limit) {
        problem = "is " + sizeText(size) + ", more than the " + sizeText(limit) +
                  " the host reads, so it is not read";
        return false;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (file == nullptr) {
        problem = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    // The size is read again as the file is: it may have grown since it was measured.
    char chunk[64 * 1024];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
        if (bytes.size() + got > limit) {
            bytes.clear();
            problem = "is more than the " + sizeText(limit) + " the host reads, so it is not read";
            return false;
        }
        bytes.append(chunk, got);
    }
    if (std::ferror(file.get()) != 0) {
        bytes.clear();
        problem = "cannot be read";
        return false;
    }
    return true;
}

} // namespace qxhost
