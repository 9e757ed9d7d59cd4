#include "SerialLink.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "Clock.h"
#include "PortMap.h"

namespace {
constexpr double kVoltageScale = 0.1;     // volts per unit of the voltage channel's reply
constexpr double kCurrentScale = 0.0001;  // amperes per unit of the current channel's reply
// A reply quoted in a message: enough to recognise it, short enough for the status bar.
constexpr std::size_t kQuotedReplyChars = 40;

bool IsScanfSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A reply shown to a person: printable characters kept, the rest escaped, length bounded.
std::string Printable(const char* text) {
    std::string out;
    for (const char* p = text; *p && out.size() < kQuotedReplyChars; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    if (std::strlen(text) > kQuotedReplyChars) out += "...";
    return out;
}
}  // namespace

bool ParseReplyNumber(const char* text, double* value) {
    const char* p = text;
    while (IsScanfSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
        if (*p == '+' || *p == '-') return false;
    }
    double parsed = 0.0;
    const char* end = p + std::strlen(p);
    const auto result = std::from_chars(p, end, parsed, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) return false;
    if (result.ec != std::errc() || result.ptr == p) return false;
    if (!std::isfinite(parsed)) return false;
    *value = negative ? -parsed : parsed;
    return true;
}

SerialLink::SerialLink(MeasurementState& state, Readings& readings, Clock& clock,
                       const PortMap& ports, SerialPortFactory& factory)
    : m_state(state), m_readings(readings), m_clock(clock), m_ports(ports), m_factory(factory) {}

bool SerialLink::OpenPort(const char* name) {
    m_state.port.reset();
    m_strOpenError.clear();
    m_bPortFailed = false;
    m_strDevice = m_ports.DeviceFor(name ? name : "");
    const std::string& device = m_strDevice;
    std::unique_ptr<SerialPort> port = m_factory.Create(device);
    if (!port) {
        m_strOpenError = device + ": no serial port can serve this device";
        return false;
    }
    if (!port->Open(device)) {
        m_strOpenError = port->ErrorText();
        if (m_strOpenError.empty()) m_strOpenError = device + ": could not be opened";
        return false;
    }
    m_state.port = std::move(port);
    return true;
}

void SerialLink::ConfigurePort() {
    // A pseudo-terminal or an adapter without modem lines refuses parts of this (DTR, RTS);
    // the readings still work, so the result decides nothing.
    if (m_state.port) m_state.port->Configure(SerialSettings{});
}

void SerialLink::DiscardInput() {
    if (!m_state.port || m_bPortFailed) return;
    const int waiting = m_state.port->BytesWaiting();
    if (waiting < 0) {
        m_bPortFailed = true;
        return;
    }
    for (int i = 0; i < waiting; ++i) {
        if (ReadByte() < 0) break;
    }
}

void SerialLink::WaitMilliseconds(int ms) {
    const long long start = m_clock.Milliseconds();
    for (long long left = ms; left > 0; left = start + ms - m_clock.Milliseconds()) {
        m_clock.Sleep(static_cast<int>(left));
    }
}

SerialWrite SerialLink::WriteByte(int b) {
    if (!m_state.port || m_bPortFailed) return SerialWrite::Failed;
    const SerialWrite written = m_state.port->WriteByte(static_cast<unsigned char>(b & 0xFF));
    if (written == SerialWrite::Failed) m_bPortFailed = true;
    return written;
}

int SerialLink::ReadByte(long long deadlineMs) {
    if (!m_state.port || m_bPortFailed) return kReadFailed;
    int maxWaitMs = SerialPort::kConfiguredTimeout;
    if (deadlineMs != kNoDeadline) {
        const long long left = deadlineMs - m_clock.Milliseconds();
        maxWaitMs = left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, INT_MAX));
    }
    const SerialRead read = m_state.port->ReadByte(maxWaitMs);
    switch (read.status) {
        case SerialRead::Status::Byte: return read.byte;
        case SerialRead::Status::TimedOut: return kReadTimedOut;
        case SerialRead::Status::Failed: break;
    }
    m_bPortFailed = true;
    return kReadFailed;
}

SerialWrite SerialLink::WriteString(const char* text) {
    for (const char* p = text; *p; ++p) {
        const SerialWrite written = WriteByte(static_cast<unsigned char>(*p));
        if (written != SerialWrite::Written) return written;
    }
    return SerialWrite::Written;
}

ReplyEnd SerialLink::ReadLine(char* buffer, long long deadlineMs) {
    int n = 0;
    ReplyEnd end = ReplyEnd::Overlong;
    while (n < kMaxReplyBytes) {
        const bool pastDeadline = deadlineMs != kNoDeadline && m_clock.Milliseconds() >= deadlineMs;
        const int b = pastDeadline ? kReadTimedOut : ReadByte(deadlineMs);
        if (b == kReadTimedOut) {
            const bool deadlineReached =
                deadlineMs != kNoDeadline && m_clock.Milliseconds() >= deadlineMs;
            end = deadlineReached && n > 0 ? ReplyEnd::TooSlow : ReplyEnd::TimedOut;
            break;
        }
        if (b == kReadFailed) {
            end = ReplyEnd::PortFailed;
            break;
        }
        if (b == '\n' && n == 0) continue;
        buffer[n++] = static_cast<char>(b);
        if (b == '\r' || b == '\n') {
            end = ReplyEnd::LineEnd;
            break;
        }
    }
    buffer[n] = '\0';
    return end;
}

std::string SerialLink::PortErrorText() const {
    std::string text = m_state.port ? m_state.port->ErrorText() : std::string();
    return text.empty() ? "the serial port stopped answering" : text;
}

// Sends one query and reads its reply into *value. Input left over from an earlier reply
// is dropped first, so a reply that arrived late can never answer this query.
SerialLink::Answer SerialLink::Ask(const char* command, char* reply, double* value,
                                   const char* what, ReadingOutcome& outcome) {
    DiscardInput();
    const long long deadline = m_clock.Milliseconds() + kReplyLimitMs;
    const SerialWrite sent = m_bPortFailed ? SerialWrite::Failed : WriteString(command);
    const ReplyEnd end = sent == SerialWrite::Failed     ? ReplyEnd::PortFailed
                         : sent == SerialWrite::TimedOut ? ReplyEnd::TimedOut
                                                         : ReadLine(reply, deadline);
    if (end == ReplyEnd::PortFailed) {
        outcome.portFailed = true;
        outcome.problem = PortErrorText();
        return Answer::PortFailed;
    }
    std::string problem;
    Answer answer = Answer::NoNumber;
    if (sent == SerialWrite::TimedOut) {
        problem = "the query could not be sent (" + PortErrorText() + ")";
        answer = Answer::NotSent;
    } else {
        switch (end) {
            case ReplyEnd::PortFailed:  // handled above
            case ReplyEnd::TimedOut:
                problem =
                    reply[0] ? "its reply \"" + Printable(reply) + "\" broke off" : "no reply came";
                break;
            case ReplyEnd::TooSlow:
                problem = "its reply did not end within " + std::to_string(kReplyLimitMs) +
                          " ms (\"" + Printable(reply) + "\" so far)";
                break;
            case ReplyEnd::Overlong:
                problem = "its reply ran past " + std::to_string(kMaxReplyBytes) + " bytes";
                break;
            case ReplyEnd::LineEnd:
                if (ParseReplyNumber(reply, value)) return Answer::Number;
                problem = "its reply \"" + Printable(reply) + "\" holds no finite number";
                break;
        }
    }
    if (!outcome.problem.empty()) outcome.problem += "; ";
    outcome.problem += std::string("no valid ") + what + ": " + problem;
    return answer;
}

ReadingOutcome SerialLink::MeasureQuantity(double* voltage, double* voltagePhase, double* current,
                                           double* currentPhase) {
    ReadingOutcome outcome;
    const double elapsed = m_clock.Milliseconds() * kSecondsPerMillisecond - m_state.startTime;
    const bool readingCurrent = m_state.currentNext;
    char reply[kReplyBufferBytes];

    double amplitude = 0.0;
    outcome.amplitudeValid =
        Ask("OUTP ? 3\r", reply, &amplitude,
            readingCurrent ? "current amplitude" : "voltage amplitude", outcome) == Answer::Number;
    // A failed amplitude ends the reading here: asking for the phase now could read the
    // amplitude's late reply as the phase. The next reading drops whatever arrives late,
    // and, with no switch, asks for the same quantity again.
    if (!outcome.amplitudeValid) return outcome;
    double phase = 0.0;
    const Answer phaseAnswer = Ask("OUTP ? 4\r", reply, &phase,
                                   readingCurrent ? "current phase" : "voltage phase", outcome);
    outcome.phaseValid = phaseAnswer == Answer::Number;
    // A phase query that did not go out leaves the amplifier's reading unfinished: no switch.
    if (phaseAnswer == Answer::PortFailed || phaseAnswer == Answer::NotSent) return outcome;

    // A reading counts whole or not at all, so the values shown and written always belong
    // together.
    if (outcome.Valid()) {
        if (readingCurrent) {
            *current = amplitude * kCurrentScale;
            *currentPhase = phase;
        } else {
            *voltage = amplitude * kVoltageScale;
            *voltagePhase = phase;
        }
        m_readings.elapsedSeconds = elapsed;
    }

    // Both queries went out, so the amplifier has finished this reading: after a current the
    // selector goes back to the voltage (DTR low), after a voltage to the current (DTR high).
    // A pseudo-terminal has no DTR; the simulator on the other end then follows the reading
    // order instead, so the refusal is not a failure.
    m_state.port->SetDtr(!readingCurrent);
    m_state.currentNext = !readingCurrent;
    return outcome;
}
