#pragma once
// How the simulated amplifier misbehaves, for tests of everything that talks to it.
// A fault touches only the replies to the two output queries ("OUTP ? 3", "OUTP ? 4") and
// starts once the amplifier has answered a number of good readings.

#include <optional>
#include <string>
#include <string_view>

enum class FaultMode {
    None,        // answers every query with a number
    Silent,      // never replies
    Garbage,     // replies a line that holds no number: "ERR?\r"
    NotANumber,  // replies "nan\r"
    Infinite,    // replies "inf\r"
    Overlong,    // replies kOverlongReplyBytes letters and digits, then "\r"
    Slow,        // replies correctly, but only after delayMs
    Hangup,      // the device vanishes: the first byte after the good readings is its last
    Trickle,     // replies kTrickleReplyBytes digits, one every delayMs (250 by default),
                 // and never ends the line
};

struct AmplifierFault {
    static constexpr int kOverlongReplyBytes = 150;
    static constexpr int kTrickleReplyBytes = 41;
    static constexpr int kTrickleGapMs = 250;

    FaultMode mode = FaultMode::None;
    int afterReadings = 0;  // good readings before the fault starts
    int delayMs = 0;        // reply delay of FaultMode::Slow, milliseconds
};

// "none", "silent", "garbage", "nan", "inf", "overlong", "slow", "hangup", "trickle"; empty
// when the name is none of them.
std::optional<FaultMode> FaultModeFromName(std::string_view name);
const char* FaultModeName(FaultMode mode);
