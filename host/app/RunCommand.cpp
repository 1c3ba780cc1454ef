// qxhost run DATA --script FILE --out DIR: the scene on a virtual clock, driven by a script,
// with screenshots, a contact sheet, the log and the game-state words written to DIR.
#include <filesystem>
#include <fstream>
#include <ostream>

#include "app/Command.h"
#include "app/ContactSheet.h"
#include "app/GameStateReport.h"
#include "app/Progress.h"
#include "app/ScriptRunner.h"
#include "media/PngCodec.h"

namespace qxhost::app {

namespace fs = std::filesystem;

namespace {

// After the script, a closing scene gets this long to finish its fade.
constexpr std::int32_t kClosingLimitMs = 2000;

struct RunArguments {
    std::string data;
    std::string script;
    std::string out;
    std::string module;
};

std::string parseRunArguments(const Arguments& arguments, RunArguments& run) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* option = argument == "--script"   ? &run.script
                              : argument == "--out"    ? &run.out
                              : argument == "--module" ? &run.module
                                                       : nullptr;
        if (option != nullptr) {
            if (i + 1 >= arguments.size()) {
                return "run: " + argument + " needs a value";
            }
            *option = arguments[++i];
        } else if (argument.rfind("--", 0) == 0) {
            return "run: unknown option " + argument;
        } else if (run.data.empty()) {
            run.data = argument;
        } else {
            return "run: unexpected argument " + argument;
        }
    }
    if (run.data.empty()) {
        return "run: missing DATA argument";
    }
    if (run.script.empty() || run.out.empty()) {
        return "run: --script FILE and --out DIR are required";
    }
    return "";
}

bool writeText(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

std::string logText(const Log& log) {
    std::string text;
    for (const LogLine& line : log.lines()) {
        std::string message = line.message;
        while (!message.empty() && message.back() == '\n') {
            message.pop_back();
        }
        text += '[';
        text += std::to_string(line.level);
        text += "] ";
        text += message;
        text += '\n';
    }
    return text;
}

} // namespace

int runRun(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    RunArguments run;
    if (const std::string problem = parseRunArguments(arguments, run); !problem.empty()) {
        return usageError(err, problem);
    }
    std::ifstream scriptFile(run.script);
    if (!scriptFile) {
        return failure(err, "cannot read script " + run.script);
    }
    const Script script = parseScript(scriptFile, run.script);
    if (!script.errors.empty()) {
        for (const std::string& error : script.errors) {
            err << error << "\n";
        }
        return failure(err, "script " + run.script + " has " +
                                std::to_string(script.errors.size()) + " error" +
                                (script.errors.size() == 1 ? "" : "s") + "; nothing was run");
    }
    std::error_code code;
    fs::create_directories(run.out, code);
    if (!fs::is_directory(run.out, code)) {
        return failure(err, "cannot make output folder " + run.out);
    }

    SessionOptions options;
    options.modulePath = run.module;
    options.dataPath = run.data;
    options.gameStateFill = kUnwrittenWord;
    SceneSession session(options);
    if (!session.start()) {
        return failure(err, session.error());
    }

    std::int64_t total = 0;
    for (const ScriptCommand& command : script.commands) {
        total += framesOf(command);
    }
    Progress progress(err, total);
    std::vector<Shot> shots;
    bool shotsSaved = true;
    ScriptHooks hooks;
    hooks.frameDone = [&progress] { progress.frameDone(); };
    hooks.shot = [&](const std::string& name) {
        shotsSaved =
            session.surface().savePng((fs::path(run.out) / (name + ".png")).string()) && shotsSaved;
        shots.push_back({name, screenRgb(session.surface())});
    };
    const ScriptOutcome outcome = runScript(session, script, hooks);
    bool closing = false;
    for (const DoorTopic& door : doorTopics(session, kUnwrittenWord)) {
        closing = closing || door.written;
    }
    if (closing) {
        finishClosing(session, kClosingLimitMs, hooks);
    }
    progress.finish();

    RunSummary summary;
    summary.finished = session.scene() == nullptr || !session.running();
    summary.frames = session.frameCount();
    summary.milliseconds = session.frameCount() * 1000LL / 60;
    const std::vector<DoorTopic> doors = doorTopics(session, kUnwrittenWord);
    session.endScene();

    const fs::path outDir(run.out);
    bool written = writeText(outDir / "log.txt", logText(session.host().log())) &&
                   writeText(outDir / "gamestate.json", gameStateJson(doors, summary));
    if (!shots.empty()) {
        const SheetImage sheet = makeContactSheet(shots, session.media().fonts().typeface());
        std::string error;
        if (!writeRgbPng((outDir / "contact-sheet.png").string(), sheet.width, sheet.height,
                         sheet.rgb.data(), sheet.width * 3, error)) {
            err << "qxhost: cannot write " << (outDir / "contact-sheet.png").string() << ": "
                << error << "\n";
            written = false;
        }
    }

    out << "Ran " << summary.frames << " frames (" << summary.milliseconds
        << " ms of scene time); the scene " << (summary.finished ? "finished" : "was still running")
        << ".\n";
    if (outcome.stoppedAtLine != 0 && outcome.skippedCommands > 0) {
        out << "The scene stopped at " << run.script << ":" << outcome.stoppedAtLine << "; "
            << outcome.skippedCommands << " later command"
            << (outcome.skippedCommands == 1 ? "" : "s") << " had no scene to drive.\n";
    }
    printChosenTopics(out, doors);
    out << "Wrote to " << run.out << ": " << shots.size() << " screenshot"
        << (shots.size() == 1 ? "" : "s") << (shots.empty() ? "" : ", contact-sheet.png")
        << ", log.txt, gamestate.json\n";
    if (!written || !shotsSaved) {
        return failure(err, "some output files in " + run.out + " could not be written");
    }
    return kExitOk;
}

} // namespace qxhost::app
