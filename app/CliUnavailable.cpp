// Stand-ins for the headless modes while app/cli is not part of the build: they say so and
// fail, so the window program still links.

#include <iostream>

#include "cli/CliModes.h"

int RunRecord(const CommandLine&) {
    std::cerr << "varkel: --record is not available in this build\n";
    return 1;
}

int RunPlot(int, char**, const CommandLine&) {
    std::cerr << "varkel: --plot is not available in this build\n";
    return 1;
}
