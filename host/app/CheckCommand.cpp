// qxhost check DATA: what a content author needs to fix in a data folder, one line each.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>

#include "app/Command.h"
#include "media/PngCodec.h"
#include "media/WavArchive.h"
#include "producer/TopicsFile.h"
#include "session/SceneSession.h"

namespace qxhost::app {

namespace fs = std::filesystem;

namespace {

constexpr char kMissingPrefix[] = "missing resource:<<";

class Findings {
public:
    // subject: the file or value concerned, shown first.
    void add(const std::string& subject, const std::string& what) {
        const bool atLine = !what.empty() && std::isdigit(static_cast<unsigned char>(what[0]));
        addLine(subject, subject + (atLine ? ":" : ": ") + what);
    }
    // A line that already names its subject ("FILE:LINE: what").
    void addLine(const std::string& subject, const std::string& line) {
        if (std::find(lines_.begin(), lines_.end(), line) == lines_.end()) {
            lines_.push_back(line);
        }
        subjects_.insert(fs::path(subject).filename().string());
    }
    // A log line that names a file already reported adds nothing new.
    bool covers(const std::string& message) const {
        return std::any_of(subjects_.begin(), subjects_.end(), [&](const std::string& name) {
            return message.find(name) != std::string::npos;
        });
    }
    const std::vector<std::string>& lines() const { return lines_; }
    int decodeFailures() const { return decodeFailures_; }
    void countDecodeFailure() { ++decodeFailures_; }

private:
    std::vector<std::string> lines_;
    std::set<std::string> subjects_;
    int decodeFailures_ = 0;
};

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string lowerExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Pictures and sounds are decoded here as well, so that a broken file is named even when
// the scene never asks for it.
void checkMediaFiles(const fs::path& choice, const std::string& shown, Findings& findings) {
    std::vector<fs::path> files;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(choice, code)) {
        if (entry.is_regular_file(code)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string subject = shown + "/" + file.filename().string();
        const std::string extension = lowerExtension(file);
        std::string error;
        std::string warning;
        if (extension == ".png") {
            const auto bytes = readFile(file);
            DecodedPicture picture;
            if (!decodePng(bytes.data(), bytes.size(), picture, error)) {
                findings.add(subject, "picture does not decode: " + error);
                findings.countDecodeFailure();
            } else if (!picture.warning.empty()) {
                findings.add(subject, picture.warning);
            }
        } else if (extension == ".wav") {
            WavLayout layout;
            if (!parseWav(readFile(file), layout, error, warning)) {
                findings.add(subject, "sound does not decode: " + error);
                findings.countDecodeFailure();
            } else if (!warning.empty()) {
                findings.add(subject, warning);
            }
        }
    }
}

// What a missing picture or sound costs the player, after "missing (...)".
std::string consequence(const std::string& file) {
    int n = 0;
    if (std::sscanf(file.c_str(), "manche%d.png", &n) == 1) {
        const int rounds = n - 1;
        return rounds >= 2   ? ", so the game has 2 rounds"
               : rounds == 1 ? ", so the game has 1 round: no round buttons, every door shown"
                             : ", so the screen has no background and every door is shown";
    }
    if (std::sscanf(file.c_str(), "pt%d.png", &n) == 1) {
        return ": door " + std::to_string(n) + " shows only its question mark";
    }
    static const std::pair<const char*, const char*> kButtons[] = {
        {"l", "the left arrow"},
        {"r", "the right arrow"},
        {"bl", "the previous-round button"},
        {"br", "the next-round button"}};
    for (const auto& [base, button] : kButtons) {
        if (file == std::string(base) + "_0.png") {
            return ": " + std::string(button) + " shows nothing until the pointer is over it";
        }
        if (file == std::string(base) + "_1.png") {
            return ": " + std::string(button) + " cannot be clicked";
        }
    }
    return "";
}

std::string withoutNewline(std::string message) {
    while (!message.empty() && message.back() == '\n') {
        message.pop_back();
    }
    return message;
}

// Sets the scene up as a host would and reports what it could not find or logged as failed.
bool checkScene(const std::string& data, const std::string& module, const std::string& shown,
                Findings& findings, std::string& error) {
    // A door map the host refuses is one of the layout's problems already.
    SessionOptions options;
    options.dataPath = data;
    options.modulePath = module;
    SceneSession session(options);
    if (!session.start()) {
        const std::string refused = recordProblem(session.layout());
        if (refused.empty() || session.error() != shown + "/values.txt: " + refused) {
            error = session.error();
            return false;
        }
        return true;
    }
    session.frame();
    session.endScene();
    for (const LogLine& line : session.host().log().lines()) {
        const std::string message = withoutNewline(line.message);
        if (message.rfind(kMissingPrefix, 0) == 0) {
            std::string path = message.substr(sizeof kMissingPrefix - 1);
            path = path.substr(0, path.find(">>"));
            const std::string file = path.substr(0, path.find('/'));
            // A bare "image" or "sound" is looked up inside a file that did not decode,
            // which has its own line already.
            if (path.find('/') == std::string::npos && findings.decodeFailures() > 0) {
                continue;
            }
            if (!findings.covers(file)) {
                findings.add(shown + "/" + file,
                             "missing (the scene looks up \"" + path + "\")" + consequence(file));
            }
        } else if (line.level >= qx::kLogError && !findings.covers(message)) {
            // Appended piece by piece: GCC 12 at -O3 misreads "[" + std::string as overlapping.
            std::string text(1, '[');
            text += std::to_string(line.level);
            text += "] ";
            text += message;
            findings.add("log", text);
        }
    }
    return true;
}

} // namespace

int runCheck(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    std::string data;
    std::string module;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--module" && i + 1 < arguments.size()) {
            module = arguments[++i];
        } else if (arguments[i].rfind("--", 0) == 0) {
            return usageError(err, "check: unknown option " + arguments[i]);
        } else if (data.empty()) {
            data = arguments[i];
        } else {
            return usageError(err, "check: unexpected argument " + arguments[i]);
        }
    }
    if (data.empty()) {
        return usageError(err, "check: missing DATA argument");
    }
    std::error_code code;
    const fs::path choice = fs::path(data) / "choice";
    if (!fs::is_directory(choice, code)) {
        return failure(err, "data folder " + data + ": has no folder \"choice\"");
    }
    const std::string shown = choice.string();

    Findings findings;
    checkMediaFiles(choice, shown, findings);
    const ChoiceLayout layout = readChoiceLayout(data);
    const std::string valuesFile = shown + "/values.txt";
    if (!layout.valuesFound) {
        findings.add(valuesFile, "missing: the screen has no doors and the default door map");
    }
    for (const std::string& problem : layout.problems) {
        findings.add(valuesFile, problem);
    }
    const std::string topicsFile = (fs::path(data) / "topics.txt").string();
    const TopicsFile topics = loadTopicsFile(topicsFile);
    for (const std::string& problem : topics.errors) {
        findings.addLine(topicsFile, problem);
    }
    if (topics.errors.empty() && topics.topics.empty()) {
        findings.add(topicsFile, "has no topics, so the topic bar stays empty");
    }

    std::string error;
    if (!checkScene(data, module, shown, findings, error)) {
        findings.add("scene", error);
    }
    for (const std::string& line : findings.lines()) {
        out << line << "\n";
    }
    const std::size_t count = findings.lines().size();
    if (count == 0) {
        out << data << ": no problems (" << layout.doors.size() << " doors, "
            << topics.topics.size() << " topics)\n";
        return kExitOk;
    }
    out << data << ": " << count << " problem" << (count == 1 ? "" : "s") << "\n";
    return kExitFailure;
}

} // namespace qxhost::app
