// qxhost play DATA: the scene in a window, with the real mouse and sound, 60 frames a second.
#include <filesystem>
#include <ostream>

#include "app/Command.h"
#include "app/GameStateReport.h"
#include "app/PlayWindow.h"
#include "app/Printable.h"

namespace qxhost::app {

namespace {

struct PlayArguments {
    PlayOptions window;
    std::string record;
};

std::string parsePlayArguments(const Arguments& arguments, PlayArguments& play) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue =
            argument == "--scale" || argument == "--module" || argument == "--record";
        if (takesValue && i + 1 >= arguments.size()) {
            return "play: " + argument + " needs a value";
        }
        if (argument == "--scale") {
            const std::string& value = arguments[++i];
            if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
                return "play: --scale takes 1, 2, 3 or 4, not \"" + value + "\"";
            }
            play.window.scale = value[0] - '0';
        } else if (argument == "--module") {
            play.window.modulePath = arguments[++i];
        } else if (argument == "--record") {
            play.record = arguments[++i];
            play.window.record = true;
            if (std::filesystem::path(play.record).extension() == ".png") {
                return "play: --record names the script; the last screen goes beside it as .png";
            }
        } else if (argument == "--overlay") {
            play.window.overlay = true;
        } else if (argument == "--watch") {
            play.window.watch = true;
        } else if (argument.rfind("--", 0) == 0) {
            return "play: unknown option " + argument;
        } else if (play.window.dataPath.empty()) {
            play.window.dataPath = argument;
        } else {
            return "play: unexpected argument " + argument;
        }
    }
    if (play.window.watch && play.window.record) {
        return "play: --record and --watch do not go together (a replay cannot reload)";
    }
    return play.window.dataPath.empty() ? "play: missing DATA argument" : "";
}

// Frames follow real time: frame n is shown n/60 s after the first. A machine that falls
// far behind (a suspended process, a slow debug build) starts counting afresh.
void paceFrames(PlayWindow& window) {
    std::uint64_t start = SDL_GetTicks64();
    for (std::uint64_t frame = 1; window.step(); ++frame) {
        std::uint64_t due = start + frame * 1000 / 60;
        const std::uint64_t now = SDL_GetTicks64();
        if (now > due + 250) {
            start = now - frame * 1000 / 60;
            due = now;
        }
        if (due > now) {
            SDL_Delay(static_cast<Uint32>(due - now));
        }
    }
}

} // namespace

int runPlay(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    PlayArguments play;
    if (const std::string problem = parsePlayArguments(arguments, play); !problem.empty()) {
        return usageError(err, problem);
    }
    play.window.watchOutput = &out;
    PlayWindow window(play.window);
    if (!window.open()) {
        return failure(err, window.error());
    }
    for (const std::string& warning : window.session().warnings()) {
        err << "qxhost: " << printable(warning) << "\n";
    }
    out << "Playing " << play.window.dataPath
        << " (sound: " << window.session().media().soundSystem().description() << ")"
        << (play.window.watch ? "; watching it for changes" : "")
        << "; close the window or press Escape to stop.\n"
        << std::flush;
    paceFrames(window);
    if (window.closedByUser()) {
        out << "The window was closed before play was pressed.\n";
    }
    printChosenTopics(out, doorTopics(window.session(), kUnwrittenWord));
    if (!play.record.empty()) {
        const std::string picture =
            std::filesystem::path(play.record).replace_extension(".png").string();
        if (!window.saveRecording(play.record, picture)) {
            return failure(err, window.error());
        }
        out << "Recorded " << window.recordedFrames() << " frames to " << play.record
            << "; the last screen is " << picture << ".\n";
    }
    return kExitOk;
}

} // namespace qxhost::app
