#pragma once
// The sampling interval as a person types it: checked the way the Setup dialog checks it,
// with the dialog's messages, so the window and the command line agree.

#include <string>

constexpr int kMinInterval = 2;    // s
constexpr int kMaxInterval = 600;  // s

struct IntervalCheck {
    bool ok = false;
    int value = 0;
    std::string message;  // "Please enter an integer." or the range message; empty when ok
};

// Blanks and tabs may stand before and after a base-10 integer with an optional sign; a
// value of 0 counts only when written with the digit 0 first. Then 2 .. 600.
IntervalCheck CheckIntervalText(const std::string& text);

// The integer test alone: true and *value set when text is an integer as above. A number
// too large for an int is still an integer; it comes back clamped, so the range test
// refuses it.
bool ParseDialogInteger(const std::string& text, long* value);
