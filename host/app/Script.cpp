#include "app/Script.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <sstream>

#include "app/ContactSheet.h"

namespace qxhost::app {

namespace {

struct Syntax {
    const char* word;
    ScriptOp op;
    const char* arguments; // as shown in messages
    int numbers;           // numeric arguments, or -1 for a name
};

const Syntax kSyntax[] = {
    {"wait", ScriptOp::Wait, "MS", 1},    {"move", ScriptOp::Move, "X Y", 2},
    {"press", ScriptOp::Press, "", 0},    {"release", ScriptOp::Release, "", 0},
    {"click", ScriptOp::Click, "X Y", 2}, {"drag", ScriptOp::Drag, "X1 Y1 X2 Y2 MS", 5},
    {"shot", ScriptOp::Shot, "NAME", -1},
};

bool toNumber(const std::string& word, std::int32_t& value) {
    const char* end = word.data() + word.size();
    auto [last, error] = std::from_chars(word.data(), end, value);
    return error == std::errc() && last == end;
}

bool validShotName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name.front() == '.') {
        return false;
    }
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!plain) {
            return false;
        }
    }
    return true;
}

// Checks one number for its place: coordinates on the 640 x 480 screen, times within reason.
std::string rangeProblem(const ScriptCommand& command, std::size_t index) {
    const std::int32_t value = command.numbers[index];
    const bool isTime =
        (command.op == ScriptOp::Wait) || (command.op == ScriptOp::Drag && index == 4);
    if (isTime) {
        if (value < 0 || value > kLongestStep) {
            return "time " + std::to_string(value) + " is outside 0 to " +
                   std::to_string(kLongestStep) + " ms";
        }
        return "";
    }
    const bool isX = index % 2 == 0;
    const std::int32_t limit = isX ? 639 : 479;
    if (value < 0 || value > limit) {
        return std::string(isX ? "x " : "y ") + std::to_string(value) +
               " is outside the screen (0 to " + std::to_string(limit) + ")";
    }
    return "";
}

} // namespace

Script parseScript(std::istream& in, const std::string& fileName) {
    Script script;
    std::set<std::string> shotNames;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        const auto problem = [&](const std::string& message) {
            script.errors.push_back(fileName + ":" + std::to_string(line) + ": " + message);
        };
        if (const auto hash = text.find('#'); hash != std::string::npos) {
            text.erase(hash);
        }
        std::istringstream words(text);
        std::string word;
        if (!(words >> word)) {
            continue;
        }
        const Syntax* syntax = nullptr;
        for (const Syntax& candidate : kSyntax) {
            if (word == candidate.word) {
                syntax = &candidate;
            }
        }
        if (syntax == nullptr) {
            problem("unknown command \"" + word +
                    "\" (expected wait, move, press, release, click, drag or shot)");
            continue;
        }
        std::vector<std::string> arguments;
        for (std::string argument; words >> argument;) {
            arguments.push_back(argument);
        }
        const std::size_t expected =
            syntax->numbers < 0 ? 1 : static_cast<std::size_t>(syntax->numbers);
        const std::string usage =
            std::string(syntax->word) +
            (*syntax->arguments != 0 ? std::string(" ") + syntax->arguments : "");
        if (arguments.size() != expected) {
            problem(std::string(syntax->word) + " expects " +
                    (expected == 0 ? "no arguments" : "\"" + usage + "\"") + ", got " +
                    std::to_string(arguments.size()) + " argument" +
                    (arguments.size() == 1 ? "" : "s"));
            continue;
        }
        ScriptCommand command{syntax->op, line, {}, {}};
        std::string fault;
        if (syntax->numbers < 0) {
            command.name = arguments[0];
            if (!validShotName(command.name)) {
                fault = "shot name \"" + command.name +
                        "\" must be letters, digits, '-', '_' or '.', not starting with '.'";
            } else if (isSheetName(command.name) || !shotNames.insert(command.name).second) {
                fault = "shot name \"" + command.name + "\" is already used";
            } else if (command.name.size() > 5 &&
                       command.name.compare(command.name.size() - 5, 5, "-diff") == 0) {
                fault = "shot name \"" + command.name +
                        "\" ends in -diff, which --compare keeps for its pictures";
            }
        }
        for (std::size_t i = 0; fault.empty() && syntax->numbers > 0 && i < expected; ++i) {
            if (!toNumber(arguments[i], command.numbers[i])) {
                fault = "\"" + arguments[i] + "\" is not a whole number (" + usage + ")";
            } else {
                fault = rangeProblem(command, i);
            }
        }
        if (!fault.empty()) {
            problem(fault);
            continue;
        }
        script.commands.push_back(command);
    }
    return script;
}

std::int64_t framesOf(const ScriptCommand& command) {
    const auto framesFor = [](std::int64_t ms) { return (ms * 60 + 999) / 1000; };
    switch (command.op) {
    case ScriptOp::Wait: return framesFor(command.numbers[0]);
    case ScriptOp::Move:
    case ScriptOp::Press:
    case ScriptOp::Release: return 1;
    case ScriptOp::Click: return 3;
    case ScriptOp::Drag: return 3 + std::max<std::int64_t>(1, framesFor(command.numbers[4]));
    case ScriptOp::Shot: return 0;
    }
    return 0;
}

} // namespace qxhost::app
