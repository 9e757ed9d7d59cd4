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
    std::string wire;              // every byte written, in order
    std::string dtrLog;            // "H" / "L" per SetDtr call
    bool dtr = false;
    std::deque<unsigned char> input;  // bytes waiting to be read
    // Reply to a complete command line (with its '\r'); the DTR level is the selector's.
    std::function<std::string(const std::string& command, bool dtr)> responder;
    bool openFails = false;
    std::string openError = "/dev/fake: Permission denied";
    bool vanished = false;         // the device is gone: reads, writes and queries fail
    int vanishAfterWrites = -1;    // vanish once this many bytes have been written
    bool dtrRefused = false;       // like a pseudo-terminal without modem lines
    int opens = 0;
    int closes = 0;
    bool open = false;
    SerialSettings settings;
    bool configured = false;
    std::string pendingCommand;

    void Inject(const std::string& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }
};

class FakeSerialPort final : public SerialPort {
public:
    FakeSerialPort(std::shared_ptr<FakeLine> line, Clock* clock) : m_line(std::move(line)), m_clock(clock) {}

    bool Open(const std::string& device) override {
        m_device = device;
        if (m_line->openFails) return false;
        ++m_line->opens;
        m_line->open = true;
        return true;
    }
    bool Configure(const SerialSettings& settings) override {
        m_line->settings = settings;
        m_line->configured = true;
        m_line->dtr = settings.dtr;
        return true;
    }
    int BytesWaiting() override { return m_line->vanished ? -1 : static_cast<int>(m_line->input.size()); }
    SerialRead ReadByte() override {
        if (m_line->vanished) return {SerialRead::Status::Failed, 0};
        if (m_line->input.empty()) {
            if (m_clock) m_clock->Sleep(m_line->settings.ByteReadTimeoutMs());
            return {SerialRead::Status::TimedOut, 0};
        }
        const unsigned char b = m_line->input.front();
        m_line->input.pop_front();
        return {SerialRead::Status::Byte, b};
    }
    bool WriteByte(unsigned char byte) override {
        if (m_line->vanished) return false;
        m_line->wire += static_cast<char>(byte);
        if (m_line->vanishAfterWrites >= 0 &&
            static_cast<int>(m_line->wire.size()) >= m_line->vanishAfterWrites) {
            m_line->vanished = true;
        }
        m_line->pendingCommand += static_cast<char>(byte);
        if (byte == '\r') {
            if (m_line->responder) m_line->Inject(m_line->responder(m_line->pendingCommand, m_line->dtr));
            m_line->pendingCommand.clear();
        }
        return true;
    }
    bool SetDtr(bool raised) override {
        m_line->dtrLog += raised ? 'H' : 'L';
        m_line->dtr = raised;
        return !m_line->dtrRefused;
    }
    void Close() override {
        if (m_line->open) ++m_line->closes;
        m_line->open = false;
    }
    bool IsOpen() const override { return m_line->open; }
    std::string ErrorText() const override {
        if (m_line->vanished) return m_device + ": the device is no longer there";
        return m_line->openError;
    }

private:
    std::shared_ptr<FakeLine> m_line;
    Clock* m_clock;
    std::string m_device;
};

class FakePortFactory final : public SerialPortFactory {
public:
    FakePortFactory(std::shared_ptr<FakeLine> line, Clock* clock) : m_line(std::move(line)), m_clock(clock) {}
    std::unique_ptr<SerialPort> Create(const std::string& device) override {
        lastDevice = device;
        return std::make_unique<FakeSerialPort>(m_line, m_clock);
    }
    std::string lastDevice;

private:
    std::shared_ptr<FakeLine> m_line;
    Clock* m_clock;
};

// An amplifier that answers like the instrument: the voltage channel (DTR low) replies
// voltageReply to "OUTP ? 3\r", the current channel currentReply; phases likewise.
inline std::function<std::string(const std::string&, bool)> Amplifier(
    std::string voltageReply, std::string voltagePhase, std::string currentReply,
    std::string currentPhase) {
    return [=](const std::string& command, bool dtr) -> std::string {
        if (command == "OUTP ? 3\r") return (dtr ? currentReply : voltageReply) + "\r";
        if (command == "OUTP ? 4\r") return (dtr ? currentPhase : voltagePhase) + "\r";
        return {};
    };
}
