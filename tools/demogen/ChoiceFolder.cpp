#include "demogen/ChoiceFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "demogen/Art.h"
#include "demogen/DemoLayout.h"
#include "demogen/PngFile.h"
#include "demogen/Sounds.h"
#include "demogen/ValuesFile.h"
#include "demogen/WavFile.h"

namespace demogen {

namespace {

std::string twoDigits(int n) {
    std::string digits = n < 10 ? "0" : "";
    digits += std::to_string(n);
    return digits;
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        throw std::runtime_error(path + ": cannot read the file");
    return text.str();
}

} // namespace

const std::vector<std::string>& choiceFolderFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> names;
        for (int round = 1; round <= 3; ++round)
            names.push_back("manche" + twoDigits(round) + ".png");
        for (int door = 1; door <= kDoorCount; ++door)
            names.push_back("pt" + std::to_string(door) + ".png");
        for (const char* name :
             {"qmark.png", "cursor.png", "lmask.png", "rmask.png", "l_0.png", "l_1.png", "r_0.png",
              "r_1.png", "bl_0.png", "bl_1.png", "br_0.png", "br_1.png", "playbutton.png",
              "clicked.wav", "selected.wav", "deleted.wav", "values.txt"})
            names.emplace_back(name);
        return names;
    }();
    return files;
}

void writeChoiceFolder(const std::string& folder, const std::string& valuesPath,
                       const std::string& fontPath) {
    // The values file sits in the "choice" folder of its data folder.
    const std::vector<std::string> problems =
        checkLayout(std::filesystem::path(valuesPath).parent_path().parent_path().string());
    if (!problems.empty()) {
        std::string message = valuesPath + " does not fit the demo pictures:";
        for (const std::string& problem : problems)
            message += "\n  " + problem;
        throw std::runtime_error(message);
    }
    const Glyphs glyphs(fontPath);
    const std::string dir = folder + "/";

    for (int round = 1; round <= 3; ++round)
        writePng(dir + "manche" + twoDigits(round) + ".png", roundBackground(round),
                 PngKind::Rgb24);
    for (int door = 1; door <= kDoorCount; ++door)
        writePng(dir + "pt" + std::to_string(door) + ".png", doorPicture(door, glyphs),
                 PngKind::Rgb24);
    writePng(dir + "qmark.png", questionMark(glyphs), PngKind::Rgba32);
    writePng(dir + "cursor.png", cursorPicture(), PngKind::Rgb24);
    writePng(dir + "lmask.png", edgeMask(false), PngKind::Rgba32);
    writePng(dir + "rmask.png", edgeMask(true), PngKind::Rgba32);
    for (int look = 0; look < 2; ++look) {
        std::string suffix = "_";
        suffix += std::to_string(look);
        suffix += ".png";
        writePng(dir + "l" + suffix, arrowButton(false, look == 1), PngKind::Rgba32);
        writePng(dir + "r" + suffix, arrowButton(true, look == 1), PngKind::Rgba32);
        writePng(dir + "bl" + suffix, roundButton(false, look == 1), PngKind::Rgba32);
        writePng(dir + "br" + suffix, roundButton(true, look == 1), PngKind::Rgba32);
    }
    writePng(dir + "playbutton.png", playButtonStrip(glyphs), PngKind::Rgb24,
             {{"frames", std::to_string(kPlayFrames)}});

    writeWav(dir + "clicked.wav", clickSound(), kSampleRate);
    writeWav(dir + "selected.wav", selectedSound(), kSampleRate);
    writeWav(dir + "deleted.wav", deletedSound(), kSampleRate);

    const std::string values = readWhole(valuesPath);
    std::ofstream out(dir + "values.txt", std::ios::binary);
    out << values;
    if (!out)
        throw std::runtime_error(dir + "values.txt: cannot write the file");
}

} // namespace demogen
