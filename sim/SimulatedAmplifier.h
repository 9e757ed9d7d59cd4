#pragma once
// SimulatedAmplifier: the lock-in amplifier and the channel selector in front of it, as
// seen from the serial line. It takes the bytes the computer sends, one at a time; a
// carriage return ends a command line, which it then acts on:
//   "OUTP ? 3"  replies the amplitude of the selected channel: volts / 0.1 on the voltage
//               channel, amperes / 0.0001 on the current channel
//   "OUTP ? 4"  replies the phase of the selected channel in degrees
//   "LOCL 1", "LOCL 0"  switch the remote lock, no reply
// Anything else gets no reply. Every reply is a decimal number ended by "\r" (or the line
// end the amplifier is set to), formatted the same in every locale.
//
// The selector is either driven by DTR (low = voltage, high = current) or, where no modem
// lines exist, follows the reading order: it switches after each "OUTP ? 4" and "LOCL 1"
// puts it back on the voltage.

#include <string>

#include "AmplifierFault.h"
#include "SampleModel.h"

enum class SelectorDrive {
    Dtr,           // SetDtr moves the selector
    ReadingOrder,  // the selector switches after every complete reading
};

enum class Channel { Voltage, Current };

// Bytes to send back: the first delayMs after the command, each further one byteGapMs
// after the one before.
struct AmplifierReply {
    std::string bytes;
    int delayMs = 0;
    int byteGapMs = 0;
};

class SimulatedAmplifier {
public:
    static constexpr double kVoltageScale = 0.1;     // volts per reply unit
    static constexpr double kCurrentScale = 0.0001;  // amperes per reply unit
    // A command line longer than this is no command; the excess is not kept.
    static constexpr std::size_t kMaxCommandBytes = 64;

    SimulatedAmplifier(SampleModel model, SelectorDrive drive, AmplifierFault fault = {});

    // Takes one byte received at time seconds (the sample model's clock). Returns what the
    // amplifier sends back, empty for most bytes. After a hang-up nothing is taken.
    AmplifierReply Receive(unsigned char byte, double seconds);

    // The DTR line; moves the selector only with SelectorDrive::Dtr.
    void SetDtr(bool raised);
    // How replies end: "\r" (the default), "\n" or "\r\n", as the instrument can be set.
    void SetLineEnd(std::string lineEnd) { m_strLineEnd = std::move(lineEnd); }

    Channel Selected() const { return m_channel; }
    bool RemoteLocked() const { return m_bRemoteLocked; }
    // Complete readings so far: "OUTP ? 4" commands received.
    int Readings() const { return m_nReadings; }
    // True once the device has vanished (FaultMode::Hangup).
    bool HungUp() const { return m_bHungUp; }
    // Every byte taken, in order.
    const std::string& ReceivedBytes() const { return m_strReceived; }

private:
    AmplifierReply Execute(const std::string& command, double seconds);
    AmplifierReply Answer(double value) const;
    bool FaultActive() const;

    SampleModel m_model;
    SelectorDrive m_drive;
    AmplifierFault m_fault;
    Channel m_channel = Channel::Voltage;
    bool m_bRemoteLocked = false;
    bool m_bHungUp = false;
    bool m_bLineTooLong = false;
    int m_nReadings = 0;
    std::string m_strLine;
    std::string m_strReceived;
    std::string m_strLineEnd = "\r";
};

// The reply text of a value: the shortest decimal form with six significant digits and
// "\r", e.g. "1.00213\r"; independent of the locale.
std::string FormatReplyNumber(double value);
