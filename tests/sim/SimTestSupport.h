#pragma once
// Small helpers shared by the simulator tests: sending a command line to an amplifier
// and reading replies as numbers.

#include <cmath>
#include <cstdlib>
#include <string>

#include "sim/SimulatedAmplifier.h"

// Sends every byte of command at time seconds; returns the concatenated replies.
inline std::string Send(SimulatedAmplifier& amplifier, const std::string& command,
                        double seconds = 0.0) {
    std::string replies;
    for (const char c : command) {
        replies += amplifier.Receive(static_cast<unsigned char>(c), seconds).bytes;
    }
    return replies;
}

// The number a reply line holds; the reply must be the number and "\r", nothing else.
inline double ReplyValue(const std::string& reply) {
    if (reply.empty() || reply.back() != '\r') return std::nan("");
    const std::string text = reply.substr(0, reply.size() - 1);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return (end == text.c_str() + text.size() && !text.empty()) ? value : std::nan("");
}
