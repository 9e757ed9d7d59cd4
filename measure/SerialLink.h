#pragma once
// The conversation with the lock-in amplifier: opening and preparing the port, writing its
// commands byte by byte, reading replies line by line, and switching DTR after every
// reading so the external selector alternates between voltage and current.
//
// Every call blocks the caller until it is done or timed out. Nothing here shows anything
// to a person: failures come back as values with text for a person.

#include <string>

#include "MeasurementState.h"

class Clock;
class PortMap;
class SerialPortFactory;

// How one reply line ended.
enum class ReplyEnd {
    LineEnd,     // the line ended with '\r' or '\n' (kept in the text)
    TimedOut,    // no byte within the read time-out: the reply ends there
    Overlong,    // kMaxReplyBytes without a line end; the rest is left for the next read
    TooSlow,     // the reply's deadline passed before its line ended
    PortFailed,  // the port stopped answering (device gone)
};

// What one reading achieved.
struct ReadingOutcome {
    bool amplitudeValid = false;  // the amplitude reply held a finite number
    bool phaseValid = false;      // the phase reply held a finite number
    bool portFailed = false;      // the device is gone; nothing more can be read from it
    std::string problem;          // for a person, empty when all went well

    bool Valid() const { return amplitudeValid && phaseValid && !portFailed; }
};

class SerialLink {
public:
    static constexpr int kMaxReplyBytes = 100;
    static constexpr int kReplyBufferBytes = 256;  // one buffer serves both replies
    // A reply must have ended this long after its query began. At 19,200 bit/s even a
    // 100-byte reply needs 57 ms; one that trickles in for longer is abandoned, so it cannot
    // hold the caller for up to kMaxReplyBytes byte time-outs.
    static constexpr int kReplyLimitMs = 1000;
    static constexpr long long kNoDeadline = -1;

    SerialLink(MeasurementState& state, Readings& readings, Clock& clock, const PortMap& ports,
               SerialPortFactory& factory);

    // Opens "COM1" .. "COM4" (through the port map) or a device named directly. On failure
    // state.port stays null and OpenError() says why, naming the device.
    bool OpenPort(const char* name);
    const std::string& OpenError() const { return m_strOpenError; }
    // The device the last OpenPort tried, as the port map gave it.
    const std::string& Device() const { return m_strDevice; }

    // 19,200 bit/s, 8 data bits, no parity, 2 stop bits, no flow control, DTR and RTS low,
    // 300 ms per byte read, 400 ms per byte write, queues 8192 / 1024.
    void ConfigurePort();
    // Reads and drops every byte waiting in the input queue.
    void DiscardInput();
    // Sleeps ms milliseconds on the clock.
    void WaitMilliseconds(int ms);
    SerialWrite WriteByte(int b);
    // ReadByte's results besides a byte.
    static constexpr int kReadTimedOut = -1;
    static constexpr int kReadFailed = -2;  // the port failed
    // The byte read, 0 .. 255; kReadTimedOut or kReadFailed. Waits at most the byte
    // time-out, and not past deadlineMs on the clock when one is given.
    int ReadByte(long long deadlineMs = kNoDeadline);
    // One byte per write, in order, without the NUL; stops at the first byte that cannot
    // be written and says why (Written when every byte went out).
    SerialWrite WriteString(const char* text);
    // Fills buffer (at least kMaxReplyBytes + 1 bytes) with one reply, NUL-terminated, its
    // line end ('\r' or '\n') kept before the NUL. A '\n' that arrives before anything
    // else is the rest of an earlier "\r\n" and is skipped. With a deadline (clock
    // milliseconds), a line that has not ended by then is given up as TooSlow.
    ReplyEnd ReadLine(char* buffer, long long deadlineMs = kNoDeadline);
    // One reading of the quantity currentNext names: the amplitude, then the phase, then DTR
    // switched and currentNext inverted. The four variables change only when both replies
    // hold finite numbers. A failed amplitude ends the reading without the phase query and
    // without a switch; see ReadingOutcome.
    ReadingOutcome MeasureQuantity(double* voltage, double* voltagePhase, double* current,
                                   double* currentPhase);

    // True once a write or read found the port failed since the port was opened.
    bool PortFailed() const { return m_bPortFailed; }
    std::string PortErrorText() const;

private:
    enum class Answer { Number, NoNumber, NotSent, PortFailed };
    Answer Ask(const char* command, char* reply, double* value, const char* what,
               ReadingOutcome& outcome);

    MeasurementState& m_state;
    Readings& m_readings;
    Clock& m_clock;
    const PortMap& m_ports;
    SerialPortFactory& m_factory;
    std::string m_strOpenError;
    std::string m_strDevice;
    bool m_bPortFailed = false;
};

// Reads a reply the way "%lf" would (leading blanks, optional sign, decimal or exponent
// form) without depending on the process locale. Returns false for text that holds no
// number, and for nan and inf, which are no measurement.
bool ParseReplyNumber(const char* text, double* value);
