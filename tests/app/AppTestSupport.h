// Paths of the built module and demo data, and qxhost commands run in-process.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/CommandLine.h"

namespace qxtest {

inline std::string binaryDir() {
    const char* dir = std::getenv("QX_BINARY_DIR");
    return dir != nullptr ? dir : ".";
}
inline std::string sourceDir() { return QX_TEST_SOURCE_DIR; }
inline std::string modulePath() { return binaryDir() + "/qxchoice.kpx"; }
inline std::string demoData() { return binaryDir() + "/data/demo"; }

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

inline CommandResult qxhost(const qxhost::app::Arguments& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = qxhost::app::runCommandLine(arguments, out, err);
    return {status, out.str(), err.str()};
}

} // namespace qxtest
