// app/: the qxhost program. Includes every host folder, the contract, the support layer's
// resource/ and the scene's screen layout (choice/ChoiceScreen.h); no other host folder
// includes app/.
//
// The subcommands of qxhost. Each lives in its own file and is listed once in the table
// of CommandLine.cpp; the dispatcher gives it its arguments (after the subcommand name)
// and two streams, and the subcommand answers the process's exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qxhost::app {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis; // arguments after the name, as shown in the usage line
    const char* summary;  // one line for the command list
    const char* details;  // further lines for "qxhost COMMAND --help", or null
    int (*run)(const Arguments& arguments, std::ostream& out, std::ostream& err);
};

// Exit statuses shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Writes "qxhost: <message>" as one line on err and answers kExitUsage.
int usageError(std::ostream& err, const std::string& message);
// Writes "qxhost: <message>" as one line on err and answers kExitFailure.
int failure(std::ostream& err, const std::string& message);

// The subcommands.
int runInfo(const Arguments& arguments, std::ostream& out, std::ostream& err);
int runCheck(const Arguments& arguments, std::ostream& out, std::ostream& err);
int runPlay(const Arguments& arguments, std::ostream& out, std::ostream& err);
int runRun(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace qxhost::app
