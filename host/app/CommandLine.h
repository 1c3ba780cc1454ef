// The qxhost command line: picks the subcommand and prints help.
#pragma once

#include "app/Command.h"

namespace qxhost::app {

// Runs "qxhost ARGS..." (without the program name) and answers the exit status.
int runCommandLine(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace qxhost::app
