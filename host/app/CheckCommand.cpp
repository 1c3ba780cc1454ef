// qxhost check DATA: what a content author needs to fix in a data folder, one line each.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>

#include "app/Command.h"
#include "app/Printable.h"
#include "archives/ArchiveTypes.h"
#include "archives/HostFile.h"
#include "choice/ChoiceScreen.h"
#include "media/PngCodec.h"
#include "media/WavArchive.h"
#include "producer/TopicsFile.h"
#include "session/ChoiceFolder.h"
#include "session/SceneSession.h"

namespace qxhost::app {

namespace fs = std::filesystem;

namespace {

constexpr char kMissingPrefix[] = "missing resource:<<";
constexpr std::int64_t kScreenWidth = qx::screen::kWidth;
constexpr std::int64_t kScreenHeight = qx::screen::kHeight;
// The topic bar makes buttons for this many producer entries; "xx" and "cd" get none.
constexpr std::size_t kBarSlots = 100;

std::string folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// Characters that may stand on either side of a file name inside a message.
bool isNameBoundary(char c) {
    return std::string_view("/\\ \"':<>(),\n").find(c) != std::string_view::npos;
}

// Whether the text names the file as a whole name, not as a part of a longer one.
bool namesFile(const std::string& text, const std::string& name) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if ((at == 0 || isNameBoundary(text[at - 1])) &&
            (end == text.size() || isNameBoundary(text[end]))) {
            return true;
        }
    }
    return false;
}

class Findings {
public:
    // subject: the file or value concerned, shown first. A file name found in the archive's way
    // (without regard to case) covers later lines about the same file.
    void add(const std::string& subject, const std::string& what) {
        const bool atLine = !what.empty() && std::isdigit(static_cast<unsigned char>(what[0]));
        addLine(subject, subject + (atLine ? ":" : ": ") + what);
    }
    // A line that already names its subject ("FILE:LINE: what").
    void addLine(const std::string& subject, const std::string& line) {
        note(line);
        files_.insert(folded(fs::path(subject).filename().string()));
    }
    // A line about no file.
    void note(const std::string& line) {
        // A set beside the list: data of thousands of doors gives thousands of lines.
        if (seen_.insert(line).second) {
            lines_.push_back(line);
        }
    }
    bool coversFile(const std::string& file) const { return files_.count(folded(file)) != 0; }
    // A log line that names a file already reported adds nothing new.
    bool coversMessage(const std::string& message) const {
        const std::string text = folded(message);
        return std::any_of(files_.begin(), files_.end(),
                           [&](const std::string& name) { return namesFile(text, name); });
    }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    std::set<std::string> seen_;
    std::set<std::string> files_;
};

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

// Pictures and sounds are decoded here as well, so that a broken file is named even when
// the scene never asks for it. They are read as the archives read them, within their limits.
void checkMediaFiles(const ChoiceFolder& folder, Findings& findings) {
    for (const ChoiceFolder::Entry& entry : folder.entries()) {
        const bool png = entry.type == kPngType;
        if (!png && entry.type != kWavType) {
            continue;
        }
        std::string bytes;
        std::string error;
        std::string warning;
        if (!readHostFile(entry.path, kLargestFile, bytes, error)) {
            findings.add(entry.path, error);
            continue;
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        if (png) {
            DecodedPicture picture;
            if (!decodePng(data, bytes.size(), picture, error)) {
                findings.add(entry.path, "picture does not decode: " + error);
            } else if (!picture.warning.empty()) {
                findings.add(entry.path, picture.warning);
            }
        } else {
            WavLayout layout;
            if (!parseWav(std::vector<std::uint8_t>(data, data + bytes.size()), layout, error,
                          warning)) {
                findings.add(entry.path, "sound does not decode: " + error);
            } else if (!warning.empty()) {
                findings.add(entry.path, warning);
            }
        }
    }
}

// How the scene draws a picture, which decides the depths that work.
enum class Drawn { Background, Alpha, Cursor, Plain };

// The pictures the scene looks up, found the scene's way; those it draws wrongly at their
// depth, and those that are folders, are named with what the player sees.
void checkPictures(ChoiceFolder& folder, const std::string& shown, const ChoiceLayout& layout,
                   int rounds, Findings& findings) {
    std::vector<std::pair<std::string, Drawn>> pictures = {
        {"qmark.png", Drawn::Alpha},     {"lmask.png", Drawn::Alpha},
        {"rmask.png", Drawn::Alpha},     {"cursor.png", Drawn::Cursor},
        {"l_0.png", Drawn::Alpha},       {"l_1.png", Drawn::Alpha},
        {"r_0.png", Drawn::Alpha},       {"r_1.png", Drawn::Alpha},
        {"playbutton.png", Drawn::Plain}};
    for (int n = 1; n <= 3; ++n) {
        pictures.emplace_back("manche0" + std::to_string(n) + ".png", Drawn::Background);
    }
    if (rounds > 1) {
        for (const char* look : {"bl_0.png", "bl_1.png", "br_0.png", "br_1.png"}) {
            pictures.emplace_back(look, Drawn::Alpha);
        }
    }
    for (int door : layout.doors) {
        pictures.emplace_back("pt" + std::to_string(door) + ".png", Drawn::Plain);
    }
    for (const auto& [name, drawn] : pictures) {
        const ChoiceFolder::Picture picture = folder.picture(name.c_str());
        const std::string subject = picture.path.empty() ? shown + "/" + name : picture.path;
        const std::string bits = "is a " + std::to_string(picture.bitsPerPixel) + "-bit picture";
        using Status = ChoiceFolder::Picture::Status;
        if (picture.status == Status::Folder) {
            findings.add(subject, "is a folder, not a picture (the scene looks up \"" + name +
                                      "/image\" in it and finds nothing)" + consequence(name));
        } else if (picture.status != Status::Found) {
            continue;
        } else if (drawn == Drawn::Background && picture.bitsPerPixel == 32) {
            findings.add(subject, bits + ": the scene cannot convert a picture with alpha to "
                                         "the screen's 16 bits once, so it converts it again at "
                                         "every frame, about 30 times slower; save it as 24-bit");
        } else if (drawn == Drawn::Alpha && picture.bitsPerPixel == 24) {
            findings.add(subject, bits + ": the scene draws it as an alpha picture, which takes "
                                         "32 bits (colour and alpha) or 8 (a white mask), so it "
                                         "shows as stripes");
        } else if (drawn == Drawn::Cursor &&
                   (picture.bitsPerPixel == 32 || picture.bitsPerPixel == 8)) {
            findings.add(subject, bits + ": the cursor is drawn from a 16- or 24-bit picture "
                                         "whose black pixels are transparent, so the scene "
                                         "shows no cursor");
        }
    }
}

struct Box {
    std::int64_t x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool meets(const Box& o) const {
        return !empty() && !o.empty() && x < o.x + o.width && o.x < x + width &&
               y < o.y + o.height && o.y < y + height;
    }
    bool inside(const Box& o) const {
        return x >= o.x && y >= o.y && x + width <= o.x + o.width && y + height <= o.y + o.height;
    }
    std::string text() const {
        return std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(x) +
               "," + std::to_string(y);
    }
};

// The round a door is shown in (0 to 2), or -1 when it is never shown. With fewer than two
// rounds every door is shown.
int roundOf(int door, int rounds) {
    if (rounds < 2) {
        return 0;
    }
    const int round = qx::screen::roundOf(door);
    return round < rounds ? round : -1;
}

struct PlacedDoor {
    int number;
    int round;
    Box box;          // the picture, or the question mark without one
    qx::Point centre; // of the held topic's text
};

std::string valueName(const char* prefix, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%2.2i", prefix, n);
    return name;
}

std::vector<PlacedDoor> placeDoors(ChoiceFolder& folder, const ChoiceLayout& layout, int rounds) {
    const ChoiceFolder::Picture mark = folder.picture("qmark.png");
    using Status = ChoiceFolder::Picture::Status;
    std::vector<PlacedDoor> doors;
    for (const qx::DoorValues& values : layout.walk) {
        if (!values.setUp()) {
            continue;
        }
        const qx::Point at = values.position.point;
        const std::string name = "pt" + std::to_string(values.number) + ".png";
        const ChoiceFolder::Picture picture = folder.picture(name.c_str());
        Box box;
        if (picture.status == Status::Found) {
            box = {at.x, at.y, picture.width, picture.height};
        } else if (mark.status == Status::Found) {
            box = {std::int64_t{at.x} + mark.width / 2, std::int64_t{at.y} + mark.height / 2,
                   mark.width, mark.height};
        }
        doors.push_back(
            {values.number, roundOf(values.number, rounds), box, values.textCentre.point});
    }
    return doors;
}

// Doors that are never shown, off the screen or on top of each other, and text centres off
// the screen.
void checkPlaces(const std::vector<PlacedDoor>& doors, int rounds, const std::string& valuesFile,
                 Findings& findings) {
    const Box screen{0, 0, kScreenWidth, kScreenHeight};
    for (const PlacedDoor& door : doors) {
        const std::string porte = valueName("porte", door.number);
        const std::string n = std::to_string(door.number);
        if (door.round < 0) {
            findings.add(valuesFile, porte + ": door " + n + " belongs to no round of the " +
                                         std::to_string(rounds) +
                                         " the game has, so it is never shown");
            continue;
        }
        if (!door.box.empty() && !door.box.meets(screen)) {
            findings.add(valuesFile, porte + ": door " + n + " (" + door.box.text() +
                                         ") lies off the screen, so it is never seen and cannot "
                                         "be clicked");
        } else if (!door.box.empty() && !door.box.inside(screen)) {
            findings.add(valuesFile, porte + ": door " + n + " (" + door.box.text() +
                                         ") reaches past the edge of the screen, so part of it "
                                         "is not seen");
        }
        for (const PlacedDoor& other : doors) {
            if (other.number < door.number && other.round == door.round &&
                door.box.meets(other.box)) {
                findings.add(valuesFile, porte + ": door " + n + " overlaps door " +
                                             std::to_string(other.number) +
                                             ", shown with it: a press where they overlap "
                                             "reaches door " +
                                             n);
            }
        }
        const qx::Point c = door.centre;
        const std::string centre = valueName("textcenter", door.number) + ": " +
                                   std::to_string(c.x) + "," + std::to_string(c.y);
        if (c.y < 0 || c.y >= kScreenHeight) {
            findings.add(valuesFile, centre + " lies off the screen, so the topic put into door " +
                                         n + " is shown where it cannot be seen");
        } else if (c.x < 0 || c.x >= kScreenWidth) {
            findings.add(valuesFile, centre +
                                         " lies off the screen; the scene moves the topic put "
                                         "into door " +
                                         n + " to the edge of the screen");
        }
    }
}

// Two doors shown together whose topics' texts overlap even for the narrowest title: a
// text is centred on its door's centre (moved inside the screen's width) and is one line high.
void checkTextOverlap(const std::vector<PlacedDoor>& doors, SceneSession& session,
                      const std::string& valuesFile, Findings& findings) {
    Producer* producer = session.producer();
    qx::Font* font = producer != nullptr ? producer->fontFor("AlternateFont") : nullptr;
    if (font == nullptr || font->renderer == nullptr || producer->count() == 0) {
        return;
    }
    std::int64_t narrowest = INT64_MAX;
    for (std::int32_t i = 0; i < producer->count(); ++i) {
        const std::string title = producer->titleOf(producer->itemAt(i));
        narrowest = std::min<std::int64_t>(narrowest, font->renderer->measure(title.c_str()));
    }
    const std::int64_t height = font->description()[qx::kFontLineHeight];
    const auto left = [narrowest](const PlacedDoor& door) {
        return std::clamp<std::int64_t>(door.centre.x - narrowest / 2, 0,
                                        std::max<std::int64_t>(0, kScreenWidth - narrowest));
    };
    for (const PlacedDoor& door : doors) {
        for (const PlacedDoor& other : doors) {
            if (other.number >= door.number || other.round != door.round || door.round < 0) {
                continue;
            }
            const std::int64_t dx = left(door) - left(other);
            const std::int64_t dy = std::int64_t{door.centre.y} - other.centre.y;
            if (std::abs(dx) < narrowest && std::abs(dy) < height) {
                findings.add(valuesFile,
                             valueName("textcenter", door.number) + ": the topic put into door " +
                                 std::to_string(door.number) + " is drawn over the one in door " +
                                 std::to_string(other.number) +
                                 " (their text "
                                 "centres are closer than a title)");
            }
        }
    }
}

// The bar's share of the topics: the first 100 entries, of which "xx" and "cd" get no button.
void checkTopics(const TopicsFile& topics, const std::string& file, Findings& findings) {
    for (const std::string& problem : topics.errors) {
        findings.addLine(file, problem);
    }
    if (topics.loneCarriageReturnLine != 0) {
        findings.add(file, std::to_string(topics.loneCarriageReturnLine) +
                               ": lines end in a carriage return alone, which ends no line "
                               "here, so the lines after it are read as part of this one");
    }
    // Titles and codes reach the scene as C strings: a NUL byte ends them early.
    for (const TopicRecord& topic : topics.topics) {
        for (const auto& [what, text] : {std::pair{"title", &topic.title}, {"code", &topic.code}}) {
            if (const std::size_t nul = text->find('\0'); nul != std::string::npos) {
                findings.add(file, std::to_string(topic.line) + ": the " + what +
                                       " holds a NUL byte after " + std::to_string(nul) +
                                       " bytes; the scene takes only those");
            }
        }
    }
    const std::size_t count = topics.topics.size();
    if (count > kBarSlots) {
        findings.add(file, "has " + std::to_string(count) + " topics; the bar takes the first " +
                               std::to_string(kBarSlots) + ", so the " +
                               std::to_string(count - kBarSlots) + " from line " +
                               std::to_string(topics.topics[kBarSlots].line) + " on get no button");
    }
    const bool buttons = std::any_of(
        topics.topics.begin(), topics.topics.begin() + std::min(count, kBarSlots),
        [](const TopicRecord& topic) { return topic.code != "xx" && topic.code != "cd"; });
    if (topics.errors.empty() && count == 0) {
        findings.add(file, "has no topics, so the topic bar stays empty");
    } else if (count > 0 && !buttons) {
        findings.add(file, "has only \"xx\" and \"cd\" entries among the topics the bar takes, "
                           "which get no button, so the topic bar stays empty");
    }
}

std::string withoutNewline(std::string message) {
    while (!message.empty() && message.back() == '\n') {
        message.pop_back();
    }
    return message;
}

// The values archive refuses a values file check has named already (too large to read).
bool refusedValues(const LogLine& line, const std::string& valuesFile, const Findings& findings) {
    return line.format == "ArchiveFactory %s returned NULL.\n" && line.values.size() == 1 &&
           line.values[0] == kValuesFactory &&
           findings.coversFile(fs::path(valuesFile).filename().string());
}

// Sets the scene up as a host would and reports what it could not find or logged as failed.
bool checkScene(const std::string& data, const std::string& module, const std::string& shown,
                const std::vector<PlacedDoor>& doors, const std::string& valuesFile,
                Findings& findings, std::string& error) {
    // A door map the host refuses is one of the layout's problems already.
    SessionOptions options;
    options.dataPath = data;
    options.modulePath = module;
    SceneSession session(options);
    if (!session.start()) {
        const std::string refused = ": " + recordProblem(session.layout());
        const std::string& said = session.error();
        if (refused.size() == 2 || said.size() < refused.size() ||
            said.compare(said.size() - refused.size(), refused.size(), refused) != 0) {
            error = session.error();
            return false;
        }
        return true;
    }
    session.frame();
    checkTextOverlap(doors, session, valuesFile, findings);
    session.endScene();
    for (const LogLine& line : session.host().log().lines()) {
        const std::string message = withoutNewline(line.message);
        if (message.rfind(kMissingPrefix, 0) == 0) {
            std::string path = message.substr(sizeof kMissingPrefix - 1);
            path = path.substr(0, path.find(">>"));
            // A bare "image" or "*" is looked up inside a file found already, which did not
            // decode or is a folder: that has its own line.
            if (path.find('/') == std::string::npos) {
                continue;
            }
            const std::string file = path.substr(0, path.find('/'));
            if (!findings.coversFile(file)) {
                findings.add(shown + "/" + file,
                             "missing (the scene looks up \"" + path + "\")" + consequence(file));
            }
        } else if (line.level >= qx::kLogError && !findings.coversMessage(message) &&
                   !refusedValues(line, valuesFile, findings)) {
            // Appended piece by piece: GCC 12 at -O3 misreads "[" + std::string as overlapping.
            std::string text = "log: [";
            text += std::to_string(line.level);
            text += "] ";
            text += message;
            findings.note(text);
        }
    }
    return true;
}

int roundsFound(ChoiceFolder& folder) {
    int rounds = 0;
    while (rounds < 3) {
        const std::string name = "manche0" + std::to_string(rounds + 1) + ".png";
        if (folder.picture(name.c_str()).status != ChoiceFolder::Picture::Status::Found) {
            break;
        }
        ++rounds;
    }
    return rounds;
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
    for (const std::string& path : nonRegularFiles(shown)) {
        findings.add(path, kNotRegularFile);
    }
    const ChoiceLayout layout = readChoiceLayout(data);
    std::vector<PlacedDoor> doors;
    int rounds = 0;
    {
        ChoiceFolder folder(data);
        checkMediaFiles(folder, findings);
        rounds = roundsFound(folder);
        checkPictures(folder, shown, layout, rounds, findings);
        doors = placeDoors(folder, layout, rounds);
    }
    const std::string valuesFile =
        layout.valuesFound ? layout.valuesPaths.front() : shown + "/values.txt";
    if (!layout.valuesFound && !findings.coversFile("values.txt")) {
        findings.add(valuesFile, "missing: the screen has no doors and the default door map");
    }
    for (std::size_t i = 1; i < layout.valuesPaths.size(); ++i) {
        findings.add(layout.valuesPaths[i],
                     "is a second values file: a value given in both is read from " +
                         fs::path(valuesFile).filename().string());
    }
    for (const std::string& problem : layout.problems) {
        findings.add(valuesFile, problem);
    }
    checkPlaces(doors, rounds, valuesFile, findings);
    const std::string topicsFile = (fs::path(data) / "topics.txt").string();
    const TopicsFile topics = loadTopicsFile(topicsFile);
    checkTopics(topics, topicsFile, findings);

    std::string error;
    if (!checkScene(data, module, shown, doors, valuesFile, findings, error)) {
        findings.note("scene: " + error);
    }
    for (const std::string& line : findings.lines()) {
        out << printable(line) << "\n";
    }
    const std::size_t count = findings.lines().size();
    if (count == 0) {
        out << printable(data) << ": no problems (" << layout.doors.size() << " doors, "
            << topics.topics.size() << " topics)\n";
        return kExitOk;
    }
    out << printable(data) << ": " << count << " problem" << (count == 1 ? "" : "s") << "\n";
    return kExitFailure;
}

} // namespace qxhost::app
