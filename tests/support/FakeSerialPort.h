#pragma once
// A scripted serial port: it logs every byte written and every DTR change, answers each
// command line with what the test's responder says, and can time out, fail or vanish. The
// state lives in a FakeLine the test keeps, so it outlives the port the run closes.

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "measure/Clock.h"
#include "measure/SerialPort.h"

struct FakeLine {
    struct Byte {
        unsigned char value;
        long long availableAtMs;  // on the port's clock; 0 with no clock
    };
    std::string wire;    // every byte written, in order
    std::string dtrLog;  // "H" / "L" per SetDtr call
    bool dtr = false;
    std::deque<Byte> input;  // bytes received and not read yet
    Clock* clock = nullptr;  // set by the factory: when injected bytes arrive
    int byteGapMs = 0;       // each injected byte arrives this long after the one before
    // Reply to a complete command line (with its '\r'); the DTR level is the selector's.
    std::function<std::string(const std::string& command, bool dtr)> responder;
    bool openFails = false;
    std::string openError = "/dev/fake: Permission denied";
    bool vanished = false;       // the device is gone: reads, writes and queries fail
    int vanishAfterWrites = -1;  // vanish once this many bytes have been written
    bool writesTimeOut = false;  // the driver never has room: every write times out
    bool dtrRefused = false;     // like a pseudo-terminal without modem lines
    int opens = 0;
    int closes = 0;
    bool open = false;
    SerialSettings settings;
    bool configured = false;
    std::string pendingCommand;

    void Inject(const std::string& bytes) {
        long long at = clock ? clock->Milliseconds() : 0;
        if (!input.empty() && input.back().availableAtMs > at) at = input.back().availableAtMs;
        for (const char c : bytes) {
            at += byteGapMs;
            input.push_back({static_cast<unsigned char>(c), at});
        }
    }
    // Pulled out: gone, and it cannot be opened until it is plugged in again.
    void Unplug() {
        vanished = true;
        openFails = true;
        openError = "/dev/fake: No such file or directory";
    }
    void Plug() {
        vanished = false;
        openFails = false;
        input.clear();
        pendingCommand.clear();
    }
};

class FakeSerialPort final : public SerialPort {
public:
    FakeSerialPort(std::shared_ptr<FakeLine> line, Clock* clock)
        : m_pLine(std::move(line)), m_pClock(clock) {}

    bool Open(const std::string& device) override {
        m_strDevice = device;
        m_bOpenFailed = m_pLine->openFails;
        if (m_bOpenFailed) return false;
        ++m_pLine->opens;
        m_pLine->open = true;
        return true;
    }
    bool Configure(const SerialSettings& settings) override {
        m_pLine->settings = settings;
        m_pLine->configured = true;
        m_pLine->dtr = settings.dtr;
        return true;
    }
    int BytesWaiting() override {
        if (m_pLine->vanished) return -1;
        int arrived = 0;
        for (const FakeLine::Byte& b : m_pLine->input) {
            if (b.availableAtMs > Now()) break;
            ++arrived;
        }
        return arrived;
    }
    SerialRead ReadByte(int maxWaitMs = kConfiguredTimeout) override {
        if (m_pLine->vanished) return {SerialRead::Status::Failed, 0};
        const int waitMs = ByteWaitMs(m_pLine->settings.ByteReadTimeoutMs(), maxWaitMs);
        if (m_pLine->input.empty() || m_pLine->input.front().availableAtMs - Now() > waitMs) {
            if (m_pClock) m_pClock->Sleep(waitMs);
            return {SerialRead::Status::TimedOut, 0};
        }
        const FakeLine::Byte b = m_pLine->input.front();
        m_pLine->input.pop_front();
        if (m_pClock && b.availableAtMs > Now())
            m_pClock->Sleep(static_cast<int>(b.availableAtMs - Now()));
        return {SerialRead::Status::Byte, b.value};
    }
    SerialWrite WriteByte(unsigned char byte) override {
        if (m_pLine->vanished) return SerialWrite::Failed;
        if (m_pLine->writesTimeOut) {
            if (m_pClock) m_pClock->Sleep(m_pLine->settings.ByteWriteTimeoutMs());
            return SerialWrite::TimedOut;
        }
        m_pLine->wire += static_cast<char>(byte);
        if (m_pLine->vanishAfterWrites >= 0 &&
            static_cast<int>(m_pLine->wire.size()) >= m_pLine->vanishAfterWrites) {
            m_pLine->vanished = true;
        }
        m_pLine->pendingCommand += static_cast<char>(byte);
        if (byte == '\r') {
            if (m_pLine->responder)
                m_pLine->Inject(m_pLine->responder(m_pLine->pendingCommand, m_pLine->dtr));
            m_pLine->pendingCommand.clear();
        }
        return SerialWrite::Written;
    }
    bool SetDtr(bool raised) override {
        m_pLine->dtrLog += raised ? 'H' : 'L';
        m_pLine->dtr = raised;
        return !m_pLine->dtrRefused;
    }
    void Close() override {
        if (m_pLine->open) ++m_pLine->closes;
        m_pLine->open = false;
    }
    bool IsOpen() const override { return m_pLine->open; }
    std::string ErrorText() const override {
        if (m_bOpenFailed) return m_pLine->openError;
        if (m_pLine->vanished) return m_strDevice + ": the device is no longer there";
        if (m_pLine->writesTimeOut) return m_strDevice + ": a write timed out";
        return m_pLine->openError;
    }

private:
    long long Now() const { return m_pClock ? m_pClock->Milliseconds() : 0; }

    std::shared_ptr<FakeLine> m_pLine;
    Clock* m_pClock;
    std::string m_strDevice;
    bool m_bOpenFailed = false;
};

class FakePortFactory final : public SerialPortFactory {
public:
    FakePortFactory(std::shared_ptr<FakeLine> line, Clock* clock)
        : m_pLine(std::move(line)), m_pClock(clock) {
        m_pLine->clock = clock;
    }
    std::unique_ptr<SerialPort> Create(const std::string& device) override {
        lastDevice = device;
        return std::make_unique<FakeSerialPort>(m_pLine, m_pClock);
    }
    std::string lastDevice;

private:
    std::shared_ptr<FakeLine> m_pLine;
    Clock* m_pClock;
};

// An amplifier that answers like the instrument: the voltage channel (DTR low) replies
// voltageReply to "OUTP ? 3\r", the current channel currentReply; phases likewise.
inline std::function<std::string(const std::string&, bool)> Amplifier(std::string voltageReply,
                                                                      std::string voltagePhase,
                                                                      std::string currentReply,
                                                                      std::string currentPhase) {
    return [=](const std::string& command, bool dtr) -> std::string {
        if (command == "OUTP ? 3\r") return (dtr ? currentReply : voltageReply) + "\r";
        if (command == "OUTP ? 4\r") return (dtr ? currentPhase : voltagePhase) + "\r";
        return {};
    };
}
