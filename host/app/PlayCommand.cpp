// qxhost play DATA: the scene in a window, with the real mouse, sound and time.
#include <ostream>

#include "app/Command.h"
#include "app/GameStateReport.h"
#include "app/PlayWindow.h"

namespace qxhost::app {

int runPlay(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    PlayOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if ((argument == "--scale" || argument == "--module") && i + 1 >= arguments.size()) {
            return usageError(err, "play: " + argument + " needs a value");
        }
        if (argument == "--scale") {
            const std::string& value = arguments[++i];
            if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
                return usageError(err, "play: --scale takes 1, 2, 3 or 4, not \"" + value + "\"");
            }
            options.scale = value[0] - '0';
        } else if (argument == "--module") {
            options.modulePath = arguments[++i];
        } else if (argument.rfind("--", 0) == 0) {
            return usageError(err, "play: unknown option " + argument);
        } else if (options.dataPath.empty()) {
            options.dataPath = argument;
        } else {
            return usageError(err, "play: unexpected argument " + argument);
        }
    }
    if (options.dataPath.empty()) {
        return usageError(err, "play: missing DATA argument");
    }
    PlayWindow window(options);
    if (!window.open()) {
        return failure(err, window.error());
    }
    out << "Playing " << options.dataPath
        << " (sound: " << window.session().media().soundSystem().backend()
        << "); close the window or press Escape to stop.\n"
        << std::flush;
    // Frames are paced to 60 a second; the scene itself follows the real clock.
    std::uint64_t next = SDL_GetTicks64();
    while (window.step()) {
        next += 1000 / 60;
        const std::uint64_t now = SDL_GetTicks64();
        if (next > now) {
            SDL_Delay(static_cast<Uint32>(next - now));
        } else {
            next = now;
        }
    }
    if (window.closedByUser()) {
        out << "The window was closed before play was pressed.\n";
    }
    printChosenTopics(out, doorTopics(window.session(), kUnwrittenWord));
    return kExitOk;
}

} // namespace qxhost::app
