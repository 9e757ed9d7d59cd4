#pragma once
// SimulatedPort: a SerialPort wired straight to a SimulatedAmplifier in the same process.
// The amplifier sees DTR directly. Its replies wait in an input queue, each byte
// available from the moment the amplifier sends it; reads wait on the Clock it is given,
// so with a fake clock a silent amplifier costs the configured time-out per read without
// any real waiting. Only the device name "sim" opens.

#include <deque>
#include <memory>
#include <string>

#include "SimulatedAmplifier.h"
#include "measure/SerialPort.h"

class Clock;

class SimulatedPort final : public SerialPort {
public:
    static constexpr const char* kDeviceName = "sim";

    // clock must outlive the port. The amplifier's selector follows DTR.
    SimulatedPort(Clock& clock, AmplifierFault fault = {}, std::uint64_t seed = 1,
                  const SampleParameters& sample = {});

    bool Open(const std::string& device) override;
    bool Configure(const SerialSettings& settings) override;
    int BytesWaiting() override;
    SerialRead ReadByte(int maxWaitMs = kConfiguredTimeout) override;
    SerialWrite WriteByte(unsigned char byte) override;
    bool SetDtr(bool raised) override;
    void Close() override;
    bool IsOpen() const override { return m_bOpen; }
    std::string ErrorText() const override { return m_strError; }

    // The instrument behind the port, for tests: its byte log, selector and readings.
    const SimulatedAmplifier& Amplifier() const { return m_amplifier; }
    bool Dtr() const { return m_bDtr; }
    const SerialSettings& Settings() const { return m_settings; }

private:
    struct PendingByte {
        unsigned char byte;
        long long availableAtMs;  // on m_clock
    };

    // False, with the reason kept, when the port is closed or the device has vanished.
    bool Usable();
    double SampleSeconds();

    Clock& m_clock;
    SimulatedAmplifier m_amplifier;
    SerialSettings m_settings;
    std::deque<PendingByte> m_input;
    bool m_bOpen = false;
    bool m_bDtr = false;
    long long m_nOpenedAtMs = 0;
    std::string m_strError;
};
