#include "SerialLink.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "Clock.h"
#include "PortMap.h"

namespace {
constexpr double kVoltageScale = 0.1;    // volts per unit of the voltage channel's reply
constexpr double kCurrentScale = 0.0001; // amperes per unit of the current channel's reply

bool IsScanfSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A reply shown to a person: printable characters kept, the rest escaped, length bounded.
std::string Printable(const char* text) {
    std::string out;
    for (const char* p = text; *p && out.size() < 40; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\r') {
            out += "\\r";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    if (std::strlen(text) > 40) out += "...";
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
    m_openError.clear();
    m_portFailed = false;
    const std::string device = m_ports.DeviceFor(name ? name : "");
    std::unique_ptr<SerialPort> port = m_factory.Create(device);
    if (!port) {
        m_openError = device + ": no serial port can serve this device";
        return false;
    }
    if (!port->Open(device)) {
        m_openError = port->ErrorText();
        if (m_openError.empty()) m_openError = device + ": could not be opened";
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
    if (!m_state.port || m_portFailed) return;
    const int waiting = m_state.port->BytesWaiting();
    if (waiting < 0) {
        m_portFailed = true;
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

void SerialLink::WriteByte(int b) {
    if (!m_state.port || m_portFailed) return;
    if (!m_state.port->WriteByte(static_cast<unsigned char>(b & 0xFF))) m_portFailed = true;
}

int SerialLink::ReadByte() {
    if (!m_state.port || m_portFailed) return -2;
    const SerialRead read = m_state.port->ReadByte();
    switch (read.status) {
        case SerialRead::Status::Byte: return read.byte;
        case SerialRead::Status::TimedOut: return -1;
        case SerialRead::Status::Failed: break;
    }
    m_portFailed = true;
    return -2;
}

void SerialLink::WriteString(const char* text) {
    for (const char* p = text; *p && !m_portFailed; ++p) WriteByte(static_cast<unsigned char>(*p));
}

ReplyEnd SerialLink::ReadLine(char* buffer) {
    int n = 0;
    ReplyEnd end = ReplyEnd::Overlong;
    while (n < kMaxReplyBytes) {
        const int b = ReadByte();
        if (b == -1) {
            end = ReplyEnd::TimedOut;
            break;
        }
        if (b == -2) {
            end = ReplyEnd::PortFailed;
            break;
        }
        buffer[n++] = static_cast<char>(b);
        if (b == '\r') {
            end = ReplyEnd::CarriageReturn;
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
bool SerialLink::Ask(const char* command, char* reply, double* value, const char* what,
                     ReadingOutcome& outcome) {
    DiscardInput();
    WriteString(command);
    const ReplyEnd end = m_portFailed ? ReplyEnd::PortFailed : ReadLine(reply);
    std::string problem;
    switch (end) {
        case ReplyEnd::PortFailed:
            outcome.portFailed = true;
            outcome.problem = PortErrorText();
            return false;
        case ReplyEnd::TimedOut:
            problem = reply[0] ? "its reply \"" + Printable(reply) + "\" broke off"
                               : "no reply came";
            break;
        case ReplyEnd::Overlong:
            problem = "its reply ran past " + std::to_string(kMaxReplyBytes) + " bytes";
            break;
        case ReplyEnd::CarriageReturn:
            if (ParseReplyNumber(reply, value)) return true;
            problem = "its reply \"" + Printable(reply) + "\" holds no finite number";
            break;
    }
    if (!outcome.problem.empty()) outcome.problem += "; ";
    outcome.problem += std::string("no valid ") + what + ": " + problem;
    return false;
}

ReadingOutcome SerialLink::MeasureQuantity(double* voltage, double* voltagePhase,
                                           double* current, double* currentPhase) {
    ReadingOutcome outcome;
    const double elapsed = m_clock.Milliseconds() * 0.001 - m_state.startTime;
    const bool readingCurrent = m_state.currentNext;
    char reply[kReplyBufferBytes];

    double amplitude = 0.0;
    outcome.amplitudeValid = Ask("OUTP ? 3\r", reply, &amplitude,
                                 readingCurrent ? "current amplitude" : "voltage amplitude",
                                 outcome);
    // A failed amplitude ends the reading here: asking for the phase now could read the
    // amplitude's late reply as the phase. The next reading drops whatever arrives late,
    // and, with no switch, asks for the same quantity again.
    if (!outcome.amplitudeValid) return outcome;
    double phase = 0.0;
    outcome.phaseValid = Ask("OUTP ? 4\r", reply, &phase,
                             readingCurrent ? "current phase" : "voltage phase", outcome);
    if (outcome.portFailed) return outcome;

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
