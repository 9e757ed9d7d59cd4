#include "SimulatedAmplifier.h"

#include <charconv>
#include <utility>

namespace {
constexpr char kReturn = '\r';
}  // namespace

std::string FormatReplyNumber(double value) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    std::string reply(text, result.ptr);
    reply.push_back(kReturn);
    return reply;
}

SimulatedAmplifier::SimulatedAmplifier(SampleModel model, SelectorDrive drive, AmplifierFault fault)
    : m_model(std::move(model)), m_drive(drive), m_fault(fault) {}

void SimulatedAmplifier::SetDtr(bool raised) {
    if (m_drive == SelectorDrive::Dtr) m_channel = raised ? Channel::Current : Channel::Voltage;
}

bool SimulatedAmplifier::FaultActive() const {
    return m_fault.mode != FaultMode::None && m_nReadings >= m_fault.afterReadings;
}

AmplifierReply SimulatedAmplifier::Receive(unsigned char byte, double seconds) {
    if (m_bHungUp) return {};
    m_strReceived.push_back(static_cast<char>(byte));
    if (m_fault.mode == FaultMode::Hangup && FaultActive()) {
        m_bHungUp = true;
        return {};
    }
    if (byte != kReturn) {
        // A runaway line must not grow without bound; it is no command anyway.
        if (m_strLine.size() < kMaxCommandBytes) {
            m_strLine.push_back(static_cast<char>(byte));
        } else {
            m_bLineTooLong = true;
        }
        return {};
    }
    const std::string command = std::exchange(m_strLine, {});
    if (std::exchange(m_bLineTooLong, false)) return {};
    return Execute(command, seconds);
}

AmplifierReply SimulatedAmplifier::Execute(const std::string& command, double seconds) {
    if (command == "LOCL 1") {
        m_bRemoteLocked = true;
        if (m_drive == SelectorDrive::ReadingOrder) m_channel = Channel::Voltage;
        return {};
    }
    if (command == "LOCL 0") {
        m_bRemoteLocked = false;
        return {};
    }
    const bool voltage = m_channel == Channel::Voltage;
    if (command == "OUTP ? 3") {
        const Phasor p = voltage ? m_model.Voltage(seconds) : m_model.Current(seconds);
        return Answer(p.amplitude / (voltage ? kVoltageScale : kCurrentScale));
    }
    if (command == "OUTP ? 4") {
        const Phasor p = voltage ? m_model.Voltage(seconds) : m_model.Current(seconds);
        AmplifierReply reply = Answer(p.phaseDegrees);
        ++m_nReadings;
        if (m_drive == SelectorDrive::ReadingOrder) {
            m_channel = voltage ? Channel::Current : Channel::Voltage;
        }
        return reply;
    }
    return {};
}

AmplifierReply SimulatedAmplifier::Answer(double value) const {
    std::string number = FormatReplyNumber(value);
    number.pop_back();
    if (!FaultActive()) return {number + m_strLineEnd, 0};
    switch (m_fault.mode) {
        case FaultMode::Silent: return {};
        case FaultMode::Garbage: return {"ERR?\r", 0};
        case FaultMode::NotANumber: return {"nan\r", 0};
        case FaultMode::Infinite: return {"inf\r", 0};
        case FaultMode::Overlong: {
            static constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
            std::string bytes;
            for (int i = 0; i < AmplifierFault::kOverlongReplyBytes; ++i) {
                bytes.push_back(kAlphabet[i % (sizeof kAlphabet - 1)]);
            }
            bytes.push_back(kReturn);
            return {bytes, 0};
        }
        case FaultMode::Slow: return {number + m_strLineEnd, m_fault.delayMs};
        case FaultMode::Trickle: {
            std::string bytes = number;
            bytes.resize(AmplifierFault::kTrickleReplyBytes, '0');
            const int gapMs = m_fault.delayMs > 0 ? m_fault.delayMs : AmplifierFault::kTrickleGapMs;
            return {bytes, gapMs, gapMs};
        }
        case FaultMode::None:
        case FaultMode::Hangup: break;
    }
    return {number + m_strLineEnd, 0};
}
