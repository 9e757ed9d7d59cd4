// Any byte stream as the amplifier's replies, time-outs and a dying port included, through
// ReadLine and MeasureQuantity. Checks what the rest of the program relies on: replies stay
// bounded and terminated, readings stay finite, the selector alternates, nothing hangs.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "FakeClock.h"
#include "measure/PortMap.h"
#include "measure/SerialLink.h"

namespace {

// Reads come from the fuzz input. 0xFF is an escape: the byte after it says whether it
// stands for a literal 0xFF, a read time-out, or the port failing.
class StreamPort final : public SerialPort {
public:
    StreamPort(const std::uint8_t* data, std::size_t size, Clock& clock)
        : m_data(data), m_size(size), m_clock(clock) {}
    bool Open(const std::string&) override { return true; }
    bool Configure(const SerialSettings& settings) override {
        m_settings = settings;
        return true;
    }
    int BytesWaiting() override {
        if (m_failed) return -1;
        // Some of what is left, as if it had already arrived.
        return m_pos < m_size ? static_cast<int>((m_size - m_pos) % 7) : 0;
    }
    SerialRead ReadByte(int maxWaitMs) override {
        if (m_failed) return {SerialRead::Status::Failed, 0};
        if (m_pos >= m_size) return TimeOut(maxWaitMs);
        std::uint8_t b = m_data[m_pos++];
        if (b == 0xFF && m_pos < m_size) {
            const std::uint8_t kind = m_data[m_pos++] % 3;
            if (kind == 1) return TimeOut(maxWaitMs);
            if (kind == 2) {
                m_failed = true;
                return {SerialRead::Status::Failed, 0};
            }
        }
        return {SerialRead::Status::Byte, b};
    }
    SerialWrite WriteByte(unsigned char) override {
        return m_failed ? SerialWrite::Failed : SerialWrite::Written;
    }
    bool SetDtr(bool) override { return !m_failed; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    std::string ErrorText() const override { return "fuzz: port failed"; }

private:
    SerialRead TimeOut(int maxWaitMs) {
        m_clock.Sleep(ByteWaitMs(m_settings.ByteReadTimeoutMs(), maxWaitMs));
        return {SerialRead::Status::TimedOut, 0};
    }
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_failed = false;
    Clock& m_clock;
    SerialSettings m_settings;
};

class StreamFactory final : public SerialPortFactory {
public:
    StreamFactory(const std::uint8_t* data, std::size_t size, Clock& clock)
        : m_data(data), m_size(size), m_clock(clock) {}
    std::unique_ptr<SerialPort> Create(const std::string&) override {
        return std::make_unique<StreamPort>(m_data, m_size, m_clock);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    Clock& m_clock;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool measure = data[0] & 1;
    FakeClock clock;
    StreamFactory factory(data + 1, size - 1, clock);
    PortMap ports;
    MeasurementState state;
    Readings readings;
    SerialLink link(state, readings, clock, ports, factory);
    if (!link.OpenPort("COM1")) std::abort();
    link.ConfigurePort();

    // Each reading reads at most two replies of 100 bytes, so the input runs out well
    // within this many readings; a loop that did not end would show up as a time-out.
    const int readingsToTry = static_cast<int>(size / 2) + 2;
    for (int i = 0; i < readingsToTry && !link.PortFailed(); ++i) {
        if (measure) {
            const bool before = state.currentNext;
            const ReadingOutcome outcome =
                link.MeasureQuantity(&readings.voltage, &readings.voltagePhase, &readings.current,
                                     &readings.currentPhase);
            // The selector moves on exactly when both queries went out.
            if (!outcome.portFailed && (state.currentNext != before) != outcome.amplitudeValid) {
                std::abort();
            }
            if (outcome.Valid() != outcome.problem.empty()) std::abort();
            for (double v : {readings.voltage, readings.voltagePhase, readings.current,
                             readings.currentPhase, readings.elapsedSeconds}) {
                if (!std::isfinite(v)) std::abort();
            }
        } else {
            char buffer[SerialLink::kReplyBufferBytes];
            std::memset(buffer, 'x', sizeof buffer);
            const ReplyEnd end = link.ReadLine(buffer);
            // A reply may hold NUL bytes, so look at raw bytes, not C strings.
            const int max = SerialLink::kMaxReplyBytes;
            if (!std::memchr(buffer, '\0', max + 1)) std::abort();
            // The first line end, if any: the reply must stop right after it. A leading '\n'
            // is skipped, never kept.
            const char* cr = static_cast<const char*>(std::memchr(buffer, '\r', max));
            const char* lf = static_cast<const char*>(std::memchr(buffer, '\n', max));
            const char* lineEnd = !cr ? lf : !lf ? cr : std::min(cr, lf);
            if (buffer[0] == '\n') std::abort();
            if (end == ReplyEnd::LineEnd && (!lineEnd || lineEnd[1] != '\0')) std::abort();
            if (end == ReplyEnd::Overlong && (lineEnd || buffer[max] != '\0')) std::abort();
        }
    }
    return 0;
}
