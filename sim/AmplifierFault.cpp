#include "AmplifierFault.h"

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<FaultMode, const char*>, 9> kNames{{
    {FaultMode::None, "none"},
    {FaultMode::Silent, "silent"},
    {FaultMode::Garbage, "garbage"},
    {FaultMode::NotANumber, "nan"},
    {FaultMode::Infinite, "inf"},
    {FaultMode::Overlong, "overlong"},
    {FaultMode::Slow, "slow"},
    {FaultMode::Hangup, "hangup"},
    {FaultMode::Trickle, "trickle"},
}};
}  // namespace

std::optional<FaultMode> FaultModeFromName(std::string_view name) {
    for (const auto& [mode, text] : kNames) {
        if (name == text) return mode;
    }
    return std::nullopt;
}

const char* FaultModeName(FaultMode mode) {
    for (const auto& [candidate, text] : kNames) {
        if (candidate == mode) return text;
    }
    return "none";
}
