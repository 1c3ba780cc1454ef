#include <iostream>

#include "app/CommandLine.h"

int main(int argc, char** argv) {
    qxhost::app::Arguments arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return qxhost::app::runCommandLine(arguments, std::cout, std::cerr);
}
