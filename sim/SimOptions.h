#pragma once
// The command line of varkel-sim.

#include <cstdint>
#include <string>
#include <vector>

#include "AmplifierFault.h"

struct SimOptions {
    AmplifierFault fault;
    std::uint64_t seed = 1;
    std::string logPath;         // empty: no log
    std::string linkPath;        // empty: no stable link to the terminal
    std::string lineEnd = "\r";  // how replies end
    bool help = false;
};

struct SimOptionsResult {
    SimOptions options;
    std::string error;  // empty when the arguments were understood
};

// args excludes the program name.
SimOptionsResult ParseSimOptions(const std::vector<std::string>& args);
std::string SimUsage(const char* program);
