#include "SimulatedPort.h"

#include "measure/Clock.h"

SimulatedPort::SimulatedPort(Clock& clock, AmplifierFault fault, std::uint64_t seed,
                             const SampleParameters& sample)
    : m_clock(clock), m_amplifier(SampleModel(sample, seed), SelectorDrive::Dtr, fault) {}

bool SimulatedPort::Open(const std::string& device) {
    if (device != kDeviceName) {
        m_strError = device + ": not a simulated device (only \"" + kDeviceName + "\" is)";
        return false;
    }
    if (m_amplifier.HungUp()) {
        m_strError = device + ": the simulated amplifier has disconnected";
        return false;
    }
    if (m_bOpen) {
        m_strError = device + ": already open";
        return false;
    }
    m_bOpen = true;
    m_nOpenedAtMs = m_clock.Milliseconds();
    m_strError.clear();
    return true;
}

bool SimulatedPort::Configure(const SerialSettings& settings) {
    if (!Usable()) return false;
    m_settings = settings;
    return SetDtr(settings.dtr);
}

bool SimulatedPort::Usable() {
    if (!m_bOpen) {
        m_strError = std::string(kDeviceName) + ": the port is not open";
        return false;
    }
    if (m_amplifier.HungUp()) {
        m_strError = std::string(kDeviceName) + ": the simulated amplifier has disconnected";
        return false;
    }
    return true;
}

double SimulatedPort::SampleSeconds() { return (m_clock.Milliseconds() - m_nOpenedAtMs) * 0.001; }

int SimulatedPort::BytesWaiting() {
    if (!Usable()) return -1;
    const long long now = m_clock.Milliseconds();
    int count = 0;
    for (const PendingByte& pending : m_input) {
        if (pending.availableAtMs > now) break;
        ++count;
    }
    return count;
}

SerialRead SimulatedPort::ReadByte(int maxWaitMs) {
    if (!Usable()) return {SerialRead::Status::Failed, 0};
    const int timeoutMs = ByteWaitMs(m_settings.ByteReadTimeoutMs(), maxWaitMs);
    const long long now = m_clock.Milliseconds();
    if (m_input.empty() || m_input.front().availableAtMs - now > timeoutMs) {
        // Nothing arrives while we wait: replies come only in answer to writes.
        m_clock.Sleep(timeoutMs);
        return {SerialRead::Status::TimedOut, 0};
    }
    const PendingByte next = m_input.front();
    m_input.pop_front();
    if (next.availableAtMs > now) m_clock.Sleep(next.availableAtMs - now);
    return {SerialRead::Status::Byte, next.byte};
}

SerialWrite SimulatedPort::WriteByte(unsigned char byte) {
    if (!Usable()) return SerialWrite::Failed;
    const AmplifierReply reply = m_amplifier.Receive(byte, SampleSeconds());
    if (m_amplifier.HungUp()) {
        Usable();  // records why
        return SerialWrite::Failed;
    }
    long long availableAtMs = m_clock.Milliseconds() + reply.delayMs;
    for (const char c : reply.bytes) {
        m_input.push_back({static_cast<unsigned char>(c), availableAtMs});
        availableAtMs += reply.byteGapMs;
    }
    return SerialWrite::Written;
}

bool SimulatedPort::SetDtr(bool raised) {
    if (!Usable()) return false;
    m_bDtr = raised;
    m_amplifier.SetDtr(raised);
    return true;
}

void SimulatedPort::Close() {
    m_bOpen = false;
    m_input.clear();
}
