#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ostream>

#include "app/Printable.h"

namespace qxhost::app {

namespace {

const Command kCommands[] = {
    {"play", "DATA [--scale N] [--record FILE | --watch] [--overlay] [--module PATH]",
     "play the scene in a window",
     "Opens an SDL2 window (640 x 480 times N, N from 1 to 4) and runs the scene on DATA\n"
     "with the mouse and, when an audio device opens, sound. Like run, it gives the scene\n"
     "one frame per 1/60 s of its clock and at most one pointer input a frame, and shows\n"
     "the frames in real time. It ends when the scene stops (after play) or the window is\n"
     "closed (Escape closes it too), and prints the topic each door holds. Like run, it\n"
     "refuses a door map that would write outside the 64-word game state.\n"
     "  --record FILE   write the session as a run script to FILE, ending with\n"
     "                  \"shot final\", and the last screen to FILE with the extension\n"
     "                  .png: \"qxhost run DATA --script FILE --out DIR\" replays it to the\n"
     "                  same game state and DIR/final.png, pixel for pixel\n"
     "  --overlay       draw over the screen what the layout values and pictures place:\n"
     "                  each door's rectangle (its picture, or its question mark) and\n"
     "                  number in cyan, each text centre as a magenta cross, the topic\n"
     "                  bar's area in green, the play and round buttons' hit rectangles\n"
     "                  in orange, and the pointer's screen coordinates. The doors are\n"
     "                  those of the round shown; the scene's drawing is not changed\n"
     "  --watch         when a file in DATA or DATA/choice changes, print what changed\n"
     "                  and check the folder as \"qxhost check\" does; when it checks\n"
     "                  clean, tear the scene down and set it up again on the folder, in\n"
     "                  the same window; otherwise print check's lines and keep the last\n"
     "                  good scene running\n",
     runPlay},
    {"run",
     "DATA --script FILE --out DIR [--compare REFDIR] [--animation FILE.webp] [--overlay] "
     "[--module PATH]",
     "play a script on the scene, headless, and save what it shows",
     "Sets the scene up on the data folder DATA (it holds \"choice\" and topics.txt) and\n"
     "plays the script on a virtual clock, one frame (update, then draw) per 1/60 s.\n"
     "Script lines, '#' starts a comment:\n"
     "  wait MS              let MS milliseconds pass\n"
     "  move X Y             move the pointer (screen pixels, 640 x 480)\n"
     "  press | release      the mouse button, where the pointer is\n"
     "  click X Y            move, press, release\n"
     "  drag X1 Y1 X2 Y2 MS  press at X1 Y1, move to X2 Y2 over MS, release\n"
     "  shot NAME            save the screen as DIR/NAME.png\n"
     "Each input is followed by one frame. A script with errors is not run. After the\n"
     "script a closing scene gets up to 2 s to finish. DIR receives the shots as they\n"
     "are taken, contact-sheet.png (60 shots a sheet; contact-sheet-2.png and on for\n"
     "more), log.txt (every log line with its level), gamestate.json (the topic each\n"
     "door wrote into the game state) and report.html (all of it on one page that opens\n"
     "in a browser from the folder). A file that cannot be written is named, and the\n"
     "summary lists only the files written. The game state has 64 words; door N\n"
     "writes word 12 + entry N of portemap, and a map that would write outside them is\n"
     "refused before anything runs.\n"
     "  --compare REFDIR       compare each shot with REFDIR/NAME.png and gamestate.json\n"
     "                         with REFDIR's (an earlier run's DIR): one line each,\n"
     "                         identical or how many pixels differ and their box, with\n"
     "                         DIR/NAME-diff.png showing them; exit status 1 when anything\n"
     "                         differs or a shot is missing on either side\n"
     "  --animation FILE.webp  write every frame as an animated, lossless WebP at its\n"
     "                         real timing (unchanged frames merged)\n"
     "  --overlay              draw the layout over the shots and the animation (see\n"
     "                         qxhost play --help); without it they show the screen only\n"
     "  --module PATH          the .kpx (default: qxchoice.kpx beside qxhost)\n",
     runRun},
    {"check", "DATA [--module PATH]", "report what is missing or broken in a data folder",
     "Decodes every picture and sound in DATA/choice, reads the layout values with the\n"
     "scene's own reader (door positions, text centres, the door map, showframes) and\n"
     "the topics file, then sets the scene up on DATA and reports every resource it\n"
     "could not find and every failure logged. Files are found as the scene finds them\n"
     "(names match without regard to case). Diagnoses of the data (values that are not\n"
     "numbers or positions, a values file over 1 MB or with a name given twice, doors\n"
     "not set up, never written, off the screen or overlapping, text centres off the\n"
     "screen or on each other, door-map entries outside the 64-word game state or onto\n"
     "another door's word, pictures at a depth the scene draws wrongly or that are\n"
     "folders, files that are no regular files or over 64 MB, a topics file that is\n"
     "empty, has more than 100 topics, only xx and cd entries or lines ending in CR\n"
     "alone, missing pictures and what they cost) are check's: the scene logs only its\n"
     "lookups. One line per problem, naming the file or value; exit status 0 only when\n"
     "there is none.\n",
     runCheck},
    {"info", "MODULE", "show a module's dependencies and what it registers",
     "Loads MODULE (a .kpx file), prints its dependency list, calls init with this host\n"
     "and four null argument strings, lists the registry entries the module made, then\n"
     "calls release and shows that none of them remain. A file whose segments or\n"
     "sections do not lie inside it (cut short), or that is no regular file, is refused\n"
     "before the system loader sees it.\n",
     runInfo},
};

bool isHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h" || argument == "help";
}

const Command* findCommand(const std::string& name) {
    for (const Command& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

void printUsage(std::ostream& out) {
    out << "Usage: qxhost COMMAND [ARGUMENTS]\n"
           "\n"
           "The reference host of the qxchoice scene module.\n"
           "\n"
           "Commands:\n";
    std::size_t width = 0;
    for (const Command& command : kCommands) {
        width = std::max(width, std::strlen(command.name));
    }
    // Names in one column, summaries in the next; the arguments are in each command's help.
    for (const Command& command : kCommands) {
        std::string name = command.name;
        name.resize(width + 2, ' ');
        out << "  " << name << command.summary << "\n";
    }
    out << "\n"
           "Run \"qxhost COMMAND --help\" for a command's arguments and details.\n";
}

void printCommandHelp(const Command& command, std::ostream& out) {
    std::string summary = command.summary;
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    out << "Usage: qxhost " << command.name << " " << command.synopsis << "\n\n"
        << summary << ".\n";
    if (command.details != nullptr) {
        out << "\n" << command.details;
    }
}

} // namespace

int usageError(std::ostream& err, const std::string& message) {
    err << "qxhost: " << printable(message) << " (see qxhost --help)\n";
    return kExitUsage;
}

int failure(std::ostream& err, const std::string& message) {
    err << "qxhost: " << printable(message) << "\n";
    return kExitFailure;
}

int runCommandLine(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        return usageError(err, "no command given");
    }
    const std::string& name = arguments.front();
    if (isHelp(name)) {
        if (arguments.size() > 1) {
            if (const Command* command = findCommand(arguments[1])) {
                printCommandHelp(*command, out);
                return kExitOk;
            }
            return usageError(err, "unknown command \"" + arguments[1] + "\"");
        }
        printUsage(out);
        return kExitOk;
    }
    const Command* command = findCommand(name);
    if (command == nullptr) {
        return usageError(err, "unknown command \"" + name + "\"");
    }
    Arguments rest(arguments.begin() + 1, arguments.end());
    for (const std::string& argument : rest) {
        if (argument == "--help" || argument == "-h") {
            printCommandHelp(*command, out);
            return kExitOk;
        }
    }
    return command->run(rest, out, err);
}

} // namespace qxhost::app
