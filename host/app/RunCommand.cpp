// qxhost run DATA --script FILE --out DIR: the scene on a virtual clock, driven by a script,
// with screenshots, a contact sheet, the log, the game-state words and report.html written to
// DIR; on request an animation of every frame and a comparison with an earlier run.
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/Command.h"
#include "app/ContactSheet.h"
#include "app/GameStateReport.h"
#include "app/LayoutOverlay.h"
#include "app/Printable.h"
#include "app/Progress.h"
#include "app/RunReport.h"
#include "app/ScriptRunner.h"
#include "app/ShotComparison.h"
#include "app/WebpAnimation.h"
#include "archives/HostFile.h"
#include "media/PngCodec.h"

namespace qxhost::app {

namespace fs = std::filesystem;

namespace {

// A script of a million lines; anything longer is not one (a device, a mistaken file).
constexpr std::uint64_t kLargestScript = 16 * 1024 * 1024;

// After the script, a closing scene gets this long to finish its fade.
constexpr std::int32_t kClosingLimitMs = 2000;

struct RunArguments {
    std::string data;
    std::string script;
    std::string out;
    std::string module;
    std::string compare;
    std::string animation;
    bool overlay = false;
};

std::string parseRunArguments(const Arguments& arguments, RunArguments& run) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* option = argument == "--script"      ? &run.script
                              : argument == "--out"       ? &run.out
                              : argument == "--module"    ? &run.module
                              : argument == "--compare"   ? &run.compare
                              : argument == "--animation" ? &run.animation
                                                          : nullptr;
        if (option != nullptr) {
            if (i + 1 >= arguments.size()) {
                return "run: " + argument + " needs a value";
            }
            *option = arguments[++i];
        } else if (argument == "--overlay") {
            run.overlay = true;
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
    if (!run.compare.empty()) {
        std::error_code code;
        if (!fs::is_directory(run.compare, code)) {
            return "run: --compare " + run.compare + " is not a folder";
        }
        if (fs::equivalent(run.compare, run.out, code)) {
            return "run: --compare needs an earlier run's folder, not --out itself";
        }
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

// The animation's address as seen from report.html in the output folder.
std::string animationAddress(const std::string& animation, const std::string& out) {
    std::error_code code;
    const fs::path relative =
        fs::relative(fs::absolute(animation, code), fs::absolute(out, code), code);
    return urlPath(
        (code || relative.empty() ? fs::absolute(animation, code) : relative).generic_string());
}

} // namespace

int runRun(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    RunArguments run;
    if (const std::string problem = parseRunArguments(arguments, run); !problem.empty()) {
        return usageError(err, problem);
    }
    // A script may come through a pipe, so it is not held to regular files; its size is held.
    std::ifstream scriptFile(run.script, std::ios::binary);
    if (!scriptFile) {
        return failure(err, "cannot read script " + run.script);
    }
    std::string scriptText;
    char chunk[64 * 1024];
    while (scriptFile.read(chunk, sizeof chunk) || scriptFile.gcount() > 0) {
        scriptText.append(chunk, static_cast<std::size_t>(scriptFile.gcount()));
        if (scriptText.size() > kLargestScript) {
            return failure(err, "script " + run.script + " is more than the " +
                                    sizeText(kLargestScript) + " a script may hold");
        }
    }
    std::istringstream scriptLines(scriptText);
    const Script script = parseScript(scriptLines, run.script);
    if (!script.errors.empty()) {
        for (const std::string& error : script.errors) {
            err << printable(error) << "\n";
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
    const fs::path outDir(run.out);

    SessionOptions options;
    options.modulePath = run.module;
    options.dataPath = run.data;
    options.gameStateFill = kUnwrittenWord;
    SceneSession session(options);
    if (!session.start()) {
        return failure(err, session.error());
    }
    for (const std::string& warning : session.warnings()) {
        err << "qxhost: " << printable(warning) << "\n";
    }

    std::int64_t total = 0;
    for (const ScriptCommand& command : script.commands) {
        total += framesOf(command);
    }
    Progress progress(err, total);
    // Every output is written as the run makes it, and only what was written is claimed.
    std::vector<std::string> failures;
    std::unique_ptr<WebpAnimation> animation;
    if (!run.animation.empty()) {
        animation = std::make_unique<WebpAnimation>(run.animation);
    }
    std::optional<RunComparison> comparison;
    if (!run.compare.empty()) {
        comparison.emplace(run.compare, outDir);
    }
    std::optional<LayoutOverlay> overlay;
    std::vector<std::uint16_t> overlaid;
    if (run.overlay) {
        overlay.emplace(run.data, session.resources(), session.media().fonts().typeface());
        session.host().log().setObserver(
            [&overlay](const LogLine& line) { overlay->observe(line); });
    }
    // What the shots and the animation show: the screen, or a copy with the overlay on it.
    const auto shown = [&]() -> const std::vector<std::uint16_t>& {
        if (!overlay) {
            return session.surface().pixels();
        }
        overlay->draw(session.surface(), session.pointerX(), session.pointerY(), overlaid);
        return overlaid;
    };
    ContactSheets sheets(outDir, session.media().fonts().typeface());
    RunReport report;
    ScriptHooks hooks;
    hooks.frameDone = [&] {
        progress.frameDone();
        if (animation) {
            animation->addFrame(shown(), session.now());
        }
    };
    hooks.shot = [&](const std::string& name) {
        const std::vector<std::uint8_t> rgb = screenRgb(shown());
        std::string error;
        const std::string file = (outDir / (name + ".png")).string();
        if (writeRgbPng(file, Surface::kWidth, Surface::kHeight, rgb.data(), Surface::kWidth * 3,
                        error)) {
            report.shots.push_back(name);
        } else {
            failures.push_back("cannot write " + file + ": " + error);
        }
        if (comparison) {
            comparison->compareShot(name, rgb);
        }
        sheets.add(name, rgb);
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
    sheets.finish();
    failures.insert(failures.end(), sheets.failures().begin(), sheets.failures().end());

    report.data = run.data;
    report.script = run.script;
    report.summary.finished = session.scene() == nullptr || !session.running();
    report.summary.frames = session.frameCount();
    report.summary.milliseconds = session.frameCount() * 1000LL / 60;
    report.doors = doorTopics(session, kUnwrittenWord);
    session.endScene();
    session.host().log().setObserver(nullptr);

    const std::string gameState = gameStateJson(report.doors, report.summary);
    report.log = logText(session.host().log());
    std::vector<std::string> written;
    const auto save = [&](const std::string& name, const std::string& text) {
        if (writeText(outDir / name, text)) {
            written.push_back(name);
        } else {
            failures.push_back("cannot write " + (outDir / name).string());
        }
    };
    save("log.txt", report.log);
    save("gamestate.json", gameState);
    if (animation) {
        // The last frame shows until the next one would have been drawn.
        const auto end = static_cast<std::int32_t>((report.summary.frames + 1) * 1000 / 60);
        if (animation->finish(end)) {
            report.animation = animationAddress(run.animation, run.out);
        } else {
            failures.push_back("animation " + run.animation + ": " + animation->error());
        }
    }
    if (comparison) {
        comparison->finish(gameState);
        report.compareFolder = run.compare;
        report.compareLines = comparison->lines();
        report.comparisons = comparison->shots();
    }
    save("report.html", reportHtml(report));

    out << "Ran " << report.summary.frames << " frames (" << report.summary.milliseconds
        << " ms of scene time); the scene "
        << (report.summary.finished ? "finished" : "was still running") << ".\n";
    if (outcome.stoppedAtLine != 0 && outcome.skippedCommands > 0) {
        out << "The scene stopped at " << printable(run.script) << ":" << outcome.stoppedAtLine
            << "; " << outcome.skippedCommands << " later command"
            << (outcome.skippedCommands == 1 ? "" : "s") << " had no scene to drive.\n";
    }
    printChosenTopics(out, report.doors);
    const std::size_t shots = report.shots.size();
    const std::size_t sheetCount = sheets.written().size();
    out << "Wrote to " << printable(run.out) << ": " << shots << " screenshot"
        << (shots == 1 ? "" : "s");
    if (sheetCount == 1) {
        out << ", " << sheets.written().front();
    } else if (sheetCount > 1) {
        out << ", " << sheetCount << " contact sheets (contact-sheet*.png)";
    }
    for (const std::string& name : written) {
        out << ", " << name;
    }
    out << "\n";
    if (!report.animation.empty()) {
        out << "Animation: " << printable(run.animation) << " (" << animation->frames()
            << " distinct frames)\n";
    }
    if (comparison) {
        out << "Compared with " << printable(run.compare) << ":\n";
        for (const std::string& line : comparison->lines()) {
            out << "  " << printable(line) << "\n";
        }
        const std::int32_t n = comparison->differences();
        out << (n == 0 ? std::string("No differences.")
                       : std::to_string(n) + (n == 1 ? " difference." : " differences."))
            << "\n";
    }
    for (const std::string& problem : failures) {
        err << "qxhost: " << printable(problem) << "\n";
    }
    if (!failures.empty()) {
        return failure(err, std::to_string(failures.size()) + " output file" +
                                (failures.size() == 1 ? "" : "s") + " could not be written");
    }
    return comparison && comparison->anyDifference() ? kExitFailure : kExitOk;
}

} // namespace qxhost::app
