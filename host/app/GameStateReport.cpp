#include "app/GameStateReport.h"

#include <cstdio>
#include <ostream>

#include "app/Printable.h"

namespace qxhost::app {

namespace {

// Bytes that are not UTF-8 are taken as Latin-1 (U+0080 to U+00FF), the likeliest meaning
// of such a byte in a title, so that the file stays valid JSON.
std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    const auto escape = [&quoted](unsigned code) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
        quoted += buffer;
    };
    forEachUtf8(
        text,
        [&](std::string_view sequence) {
            const auto c = static_cast<unsigned char>(sequence[0]);
            if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += sequence;
            } else if (c == '\n') {
                quoted += "\\n";
            } else if (c < 0x20) {
                escape(c);
            } else {
                quoted += sequence;
            }
        },
        escape);
    return quoted + "\"";
}

std::string oneLine(std::string title) {
    for (char& c : title) {
        if (c == '\n') {
            c = ' ';
        }
    }
    return title;
}

} // namespace

std::vector<DoorTopic> doorTopics(const SceneSession& session, qx::Handle fill) {
    std::vector<DoorTopic> doors;
    for (int door : session.layout().writingDoors()) {
        const int word = doorWord(session.layout(), door);
        DoorTopic topic{door, word, false, "", ""};
        if (word >= 0 && word < kGameStateWords) {
            const qx::Handle value = session.gameState()[static_cast<std::size_t>(word)];
            topic.written = value != fill;
            if (topic.written) {
                topic.code = session.codeOf(value);
                topic.title = session.titleOf(value);
            }
        }
        doors.push_back(topic);
    }
    return doors;
}

std::string gameStateJson(const std::vector<DoorTopic>& doors, const RunSummary& summary) {
    std::string json = "{\n";
    json += "  \"finished\": " + std::string(summary.finished ? "true" : "false") + ",\n";
    json += "  \"frames\": " + std::to_string(summary.frames) + ",\n";
    json += "  \"time_ms\": " + std::to_string(summary.milliseconds) + ",\n";
    json += "  \"doors\": [";
    for (std::size_t i = 0; i < doors.size(); ++i) {
        const DoorTopic& d = doors[i];
        json += i == 0 ? "\n" : ",\n";
        json += "    {\"door\": " + std::to_string(d.door) +
                ", \"word\": " + std::to_string(d.word) +
                ", \"written\": " + (d.written ? "true" : "false") +
                ", \"code\": " + (d.code.empty() ? "null" : jsonString(d.code)) +
                ", \"title\": " + (d.title.empty() ? "null" : jsonString(d.title)) + "}";
    }
    json += doors.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

void printChosenTopics(std::ostream& out, const std::vector<DoorTopic>& doors) {
    bool any = false;
    for (const DoorTopic& d : doors) {
        any = any || d.written;
    }
    if (!any) {
        out << "No topics chosen: the scene wrote nothing into the game state.\n";
        return;
    }
    out << "Chosen topics:\n";
    for (const DoorTopic& d : doors) {
        out << "  door " << d.door << " (word " << d.word << "): ";
        if (!d.written) {
            out << "not written\n";
        } else if (d.code.empty()) {
            out << "empty\n";
        } else {
            out << printable(oneLine(d.title)) << " [" << printable(d.code) << "]\n";
        }
    }
}

} // namespace qxhost::app
