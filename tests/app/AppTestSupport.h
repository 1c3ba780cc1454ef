// Paths of the built module and demo data, files read whole, and qxhost commands run
// in-process.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "host_archives/TempFolder.h"
#include "host_media/MediaTestSupport.h"

namespace qxtest {

inline std::string binaryDir() {
    const char* dir = std::getenv("QX_BINARY_DIR");
    return dir != nullptr ? dir : ".";
}
inline std::string sourceDir() { return QX_TEST_SOURCE_DIR; }
inline std::string modulePath() { return binaryDir() + "/qxchoice.kpx"; }
inline std::string demoData() { return binaryDir() + "/data/demo"; }

// Copies the demo data to `to`, for a test to break; answers `to`.
inline std::string copyDemo(const std::string& to) {
    std::filesystem::copy(demoData(), to, std::filesystem::copy_options::recursive);
    return to;
}

// Each of `lines` somewhere in `text`.
inline void expectHas(const std::string& text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    }
}

struct CommandResult {
    int status;
    std::string out;
    std::string err;
};

// Replaces each line of a text file that starts with `start` by `with`.
inline void replaceLine(const std::string& file, const std::string& start,
                        const std::string& with) {
    std::ifstream in(file);
    std::string text;
    for (std::string line; std::getline(in, line);) {
        text += (line.rfind(start, 0) == 0 ? with : line) + "\n";
    }
    in.close();
    std::ofstream(file) << text;
}

inline void writePng(const std::string& path, const mediatest::PngPicture& picture) {
    const std::vector<std::uint8_t> bytes = mediatest::makePng(picture);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A picture of one grey at 8 bits (grey), 24 (colour) or 32 (colour and alpha) per pixel.
inline void writePicture(const std::string& path, int bits, int width = 40, int height = 40) {
    const int type = bits == 8    ? PNG_COLOR_TYPE_GRAY
                     : bits == 24 ? PNG_COLOR_TYPE_RGB
                                  : PNG_COLOR_TYPE_RGBA;
    writePng(path,
             {width, height, type, 8,
              std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * bits / 8), 128)});
}

inline CommandResult qxhost(const qxhost::app::Arguments& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = qxhost::app::runCommandLine(arguments, out, err);
    return {status, out.str(), err.str()};
}

// The arguments of "qxhost run" on the built module; `more` goes after them.
inline qxhost::app::Arguments runArguments(const std::string& data, const std::string& script,
                                           const std::string& out,
                                           const qxhost::app::Arguments& more = {}) {
    qxhost::app::Arguments arguments = {"run",   data, "--script", script,
                                        "--out", out,  "--module", modulePath()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

inline CommandResult run(const std::string& data, const std::string& script, const std::string& out,
                         const qxhost::app::Arguments& more = {}) {
    return qxhost(runArguments(data, script, out, more));
}

} // namespace qxtest
