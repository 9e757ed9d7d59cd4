#pragma once
// QtSerialPort: the SerialPort over the operating system's serial devices (COMn on
// Windows, /dev/tty* elsewhere, pseudo-terminals included), through QSerialPort in
// blocking mode: every call waits with waitForReadyRead / waitForBytesWritten and needs
// no running event loop. The device is opened for exclusive use.
//
// Once the device has gone (adapter pulled, terminal hung up) every later call fails at
// once instead of waiting out its time-out again.

#include <memory>
#include <string>

#include "measure/SerialPort.h"

class QDeadlineTimer;
class QSerialPort;

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;

    // device: a path ("/dev/ttyS0", "/dev/pts/3") or a system name ("COM1", "ttyUSB0").
    bool Open(const std::string& device) override;
    // Line settings, time-outs and the input buffer size. QSerialPort has no output queue
    // to size, so outputQueueBytes has no effect. DTR and RTS are set as asked where the
    // device has them; a pseudo-terminal has no modem lines, which is not an error.
    bool Configure(const SerialSettings& settings) override;
    // Bytes buffered by Qt plus those still in the system's driver.
    int BytesWaiting() override;
    SerialRead ReadByte(int maxWaitMs = kConfiguredTimeout) override;
    // The byte is handed to the driver within the write time-out, or not sent at all;
    // bytes written before are never discarded.
    SerialWrite WriteByte(unsigned char byte) override;
    // False where the device has no DTR line (pseudo-terminals) or has gone.
    bool SetDtr(bool raised) override;
    void Close() override;
    bool IsOpen() const override;
    std::string ErrorText() const override { return m_strError; }

private:
    // Records the port's current error as the device gone; always returns false.
    bool DeviceLost();
    bool TimedOutOrLost();
    SerialWrite WriteTimedOut();
    // Written once the driver can take a byte; else why not.
    SerialWrite WaitUntilWritable(const QDeadlineTimer& deadline);

    std::unique_ptr<QSerialPort> m_pPort;
    std::string m_strDevice;
    std::string m_strError;
    int m_nReadTimeoutMs = SerialSettings{}.ByteReadTimeoutMs();
    int m_nWriteTimeoutMs = SerialSettings{}.ByteWriteTimeoutMs();
    bool m_bLost = false;
};
