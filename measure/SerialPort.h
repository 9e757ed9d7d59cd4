#pragma once
// SerialPort: the byte-level port the serial link talks through. The desktop program uses
// one over the operating system's serial devices, the simulator provides an in-process
// one, and tests script their own. Every call blocks until it is done or timed out.

#include <memory>
#include <string>

enum class SerialParity { None, Even, Odd };

// Line settings, time-outs and queue sizes of the lock-in amplifier's link.
struct SerialSettings {
    int baudRate = 19200;
    int dataBits = 8;
    SerialParity parity = SerialParity::None;
    int stopBits = 2;
    bool hardwareFlowControl = false;
    bool softwareFlowControl = false;
    bool dtr = false;  // DTR and RTS start low
    bool rts = false;
    // Time-outs in milliseconds. Every exchange moves one byte at a time, so a read gives
    // up after readTotalMultiplierMs + readTotalConstantMs without a byte and a write after
    // writeTotalMultiplierMs + writeTotalConstantMs.
    int readIntervalTimeoutMs = 200;
    int readTotalMultiplierMs = 200;
    int readTotalConstantMs = 100;
    int writeTotalMultiplierMs = 200;
    int writeTotalConstantMs = 200;
    int inputQueueBytes = 8192;
    int outputQueueBytes = 1024;

    int ByteReadTimeoutMs() const { return readTotalMultiplierMs + readTotalConstantMs; }
    int ByteWriteTimeoutMs() const { return writeTotalMultiplierMs + writeTotalConstantMs; }
};

// Outcome of reading one byte. Failed means the device is gone (unplugged, hung up, I/O
// error): no later call on this port can succeed.
struct SerialRead {
    enum class Status { Byte, TimedOut, Failed };
    Status status = Status::TimedOut;
    unsigned char byte = 0;
};

// Outcome of writing one byte. A time-out leaves the port usable (the driver had no room in
// time, the byte was not queued); Failed means the device is gone.
enum class SerialWrite { Written, TimedOut, Failed };

// How long a read may wait: the configured byte time-out, or maxWaitMs when that is shorter
// and not negative.
constexpr int ByteWaitMs(int configuredMs, int maxWaitMs) {
    return maxWaitMs >= 0 && maxWaitMs < configuredMs ? maxWaitMs : configuredMs;
}

class SerialPort {
public:
    static constexpr int kConfiguredTimeout = -1;

    virtual ~SerialPort() = default;

    // Opens the device for exclusive use. On failure ErrorText() says why, naming the device.
    virtual bool Open(const std::string& device) = 0;
    // Applies line settings, time-outs and queue sizes; later reads and writes use them.
    virtual bool Configure(const SerialSettings& settings) = 0;
    // Bytes received and not yet read; -1 when the port can no longer be asked.
    virtual int BytesWaiting() = 0;
    // Waits for one byte at most the configured byte time-out, or maxWaitMs when that is
    // shorter and not negative (0: only a byte already received).
    virtual SerialRead ReadByte(int maxWaitMs = kConfiguredTimeout) = 0;
    // Sends one byte, waiting at most the configured write time-out.
    virtual SerialWrite WriteByte(unsigned char byte) = 0;
    // Raises (true) or lowers (false) the DTR line.
    virtual bool SetDtr(bool raised) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The last failure in words a person understands: device and the system's reason.
    virtual std::string ErrorText() const = 0;
};

// Makes the port object that serves a device name: the operating system's serial port for
// a device path, the simulated amplifier for "sim".
class SerialPortFactory {
public:
    virtual ~SerialPortFactory() = default;
    virtual std::unique_ptr<SerialPort> Create(const std::string& device) = 0;
};
