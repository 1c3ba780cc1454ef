// demogen --out DIR --values FILE --font FILE
// Writes the demo "choice" folder into DIR, creating it when needed.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "demogen/ChoiceFolder.h"

int main(int argc, char** argv) {
    std::string out, values, font;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--out")
            out = argv[i + 1];
        else if (option == "--values")
            values = argv[i + 1];
        else if (option == "--font")
            font = argv[i + 1];
    }
    if (out.empty() || values.empty() || font.empty() || argc % 2 == 0) {
        std::fprintf(stderr, "usage: demogen --out DIR --values FILE --font FILE\n");
        return 2;
    }
    try {
        std::filesystem::create_directories(out);
        demogen::writeChoiceFolder(out, values, font);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demogen: %s\n", e.what());
        return 1;
    }
    return 0;
}
