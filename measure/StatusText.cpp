#include "StatusText.h"

#include "MeasurementState.h"
#include "NumberFormat.h"

namespace {
constexpr const char* kTitleLine = "Varkel Lock-in amplifier driver";
}

std::string FormatStatusLine(const Readings& r) {
    std::string line = "Time=";
    AppendFixed(line, r.elapsedSeconds, 3, 6);
    line += " s, Voltage=";
    AppendFixed(line, r.voltage * 1000.0, 1);
    line += " mV, ";
    AppendFixed(line, r.voltagePhase, 3);
    line += ", Current=";
    AppendFixed(line, r.current * 1000000.0, 1);
    line += " uA, ";
    AppendFixed(line, r.currentPhase, 3);
    line += ", Impedance=";
    AppendFixed(line, r.impedance, 1);
    line += " Ohm, ";
    AppendFixed(line, r.impedancePhase, 3);
    return line;
}

std::string FormatStatusText(const Readings& readings) {
    std::string text = kTitleLine;
    text += '\n';
    text += FormatStatusLine(readings);
    if (text.size() > kStatusTextMax) text.resize(kStatusTextMax);
    return text;
}

std::string CountOf(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}
