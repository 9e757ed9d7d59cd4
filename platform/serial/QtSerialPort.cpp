#include "QtSerialPort.h"

#include <algorithm>
#include <climits>
#include <optional>

#include <QDeadlineTimer>
#include <QSerialPort>

#include "DeviceAccessHint.h"

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace {
std::optional<QSerialPort::DataBits> DataBitsOf(int bits) {
    switch (bits) {
    case 5: return QSerialPort::Data5;
    case 6: return QSerialPort::Data6;
    case 7: return QSerialPort::Data7;
    case 8: return QSerialPort::Data8;
    default: return std::nullopt;
    }
}

QSerialPort::Parity ParityOf(SerialParity parity) {
    switch (parity) {
    case SerialParity::Even: return QSerialPort::EvenParity;
    case SerialParity::Odd: return QSerialPort::OddParity;
    case SerialParity::None: break;
    }
    return QSerialPort::NoParity;
}

bool IsTimeout(QSerialPort::SerialPortError error) {
    return error == QSerialPort::NoError || error == QSerialPort::TimeoutError;
}
}  // namespace

QtSerialPort::QtSerialPort() : m_port(std::make_unique<QSerialPort>()) {}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::Open(const std::string& device) {
    Close();
    m_device = device;
    m_lost = false;
    m_error.clear();
    m_port->setPortName(QString::fromStdString(device));
    if (m_port->open(QIODevice::ReadWrite)) {
        m_port->clearError();
        return true;
    }
    const std::string reason = m_port->errorString().toStdString();
    m_error = device + ": " + reason;
    if (m_port->error() == QSerialPort::PermissionError) {
        // Qt reports a device another program holds as a permission error too; only a
        // file we may not use calls for the group advice.
        const std::string path = device.starts_with('/') ? device : "/dev/" + device;
        if (!MayUseDevice(path)) {
            const std::string hint = DeviceAccessHint(path);
            if (!hint.empty()) m_error += ". " + hint;
        } else {
            m_error = device + ": the device is in use by another program (" + reason + ")";
        }
    }
    return false;
}

bool QtSerialPort::IsOpen() const { return m_port->isOpen(); }

bool QtSerialPort::Configure(const SerialSettings& settings) {
    if (!IsOpen() || m_lost) {
        m_error = m_device + ": the port is not open";
        return false;
    }
    const auto dataBits = DataBitsOf(settings.dataBits);
    if (!dataBits || (settings.stopBits != 1 && settings.stopBits != 2)) {
        m_error = m_device + ": unsupported line settings";
        return false;
    }
    const QSerialPort::FlowControl flow = settings.hardwareFlowControl   ? QSerialPort::HardwareControl
                                          : settings.softwareFlowControl ? QSerialPort::SoftwareControl
                                                                         : QSerialPort::NoFlowControl;
    const bool lineSet = m_port->setBaudRate(settings.baudRate) && m_port->setDataBits(*dataBits) &&
                         m_port->setParity(ParityOf(settings.parity)) &&
                         m_port->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
                         m_port->setFlowControl(flow);
    if (!lineSet) {
        m_error = m_device + ": cannot apply the line settings: " + m_port->errorString().toStdString();
        m_port->clearError();
        return false;
    }
    m_port->setReadBufferSize(settings.inputQueueBytes);
    m_readTimeoutMs = settings.ByteReadTimeoutMs();
    m_writeTimeoutMs = settings.ByteWriteTimeoutMs();
    // A pseudo-terminal has no modem lines: these fail there, harmlessly.
    m_port->setDataTerminalReady(settings.dtr);
    if (!settings.hardwareFlowControl) m_port->setRequestToSend(settings.rts);
    m_port->clearError();
    return true;
}

bool QtSerialPort::DeviceLost() {
    m_lost = true;
    std::string reason = m_port->errorString().toStdString();
#if defined(Q_OS_UNIX)
    // A hung-up terminal reads end-of-file, which leaves Qt with a stale errno as its
    // reason; the descriptor itself tells what happened.
    pollfd state{m_port->handle(), POLLIN, 0};
    if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        reason = "the device hung up or was disconnected";
    }
#endif
    m_error = m_device + ": " + reason + "; the port can no longer be used";
    return false;
}

bool QtSerialPort::TimedOutOrLost() {
    if (IsTimeout(m_port->error())) {
        m_port->clearError();
        return true;
    }
    return DeviceLost();
}

int QtSerialPort::BytesWaiting() {
    if (!IsOpen() || m_lost) return -1;
    qint64 waiting = m_port->bytesAvailable();
#if defined(Q_OS_UNIX)
    int inDriver = 0;
    if (::ioctl(m_port->handle(), FIONREAD, &inDriver) != 0) {
        m_lost = true;
        m_error = m_device + ": " + std::strerror(errno) + "; the port can no longer be used";
        return -1;
    }
    waiting += inDriver;
#else
    // Pulls whatever the driver holds into Qt's buffer without waiting.
    if (!m_port->waitForReadyRead(0) && !TimedOutOrLost()) return -1;
    waiting = m_port->bytesAvailable();
#endif
    return static_cast<int>(std::min<qint64>(waiting, INT_MAX));
}

SerialRead QtSerialPort::ReadByte(int maxWaitMs) {
    if (!IsOpen() || m_lost) return {SerialRead::Status::Failed, 0};
    const QDeadlineTimer deadline(ByteWaitMs(m_readTimeoutMs, maxWaitMs));
    for (;;) {
        char byte = 0;
        if (m_port->bytesAvailable() > 0 && m_port->getChar(&byte)) {
            return {SerialRead::Status::Byte, static_cast<unsigned char>(byte)};
        }
        if (deadline.hasExpired()) return {SerialRead::Status::TimedOut, 0};
        if (!m_port->waitForReadyRead(static_cast<int>(deadline.remainingTime())) && !TimedOutOrLost()) {
            return {SerialRead::Status::Failed, 0};
        }
    }
}

SerialWrite QtSerialPort::WaitUntilWritable(const QDeadlineTimer& deadline) {
#if defined(Q_OS_UNIX)
    // Queue the byte only once the driver has room for it: a byte that cannot go out in
    // time is then never queued, and nothing already handed to the driver is thrown away.
    for (;;) {
        pollfd room{m_port->handle(), POLLOUT, 0};
        const int ready = ::poll(&room, 1, static_cast<int>(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return WriteTimedOut();
        if (ready < 0 || (room.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            DeviceLost();
            return SerialWrite::Failed;
        }
        return SerialWrite::Written;
    }
#else
    (void)deadline;
    return SerialWrite::Written;
#endif
}

SerialWrite QtSerialPort::WriteTimedOut() {
    m_error = m_device + ": a write timed out";
    return SerialWrite::TimedOut;
}

SerialWrite QtSerialPort::WriteByte(unsigned char byte) {
    if (!IsOpen() || m_lost) return SerialWrite::Failed;
    const QDeadlineTimer deadline(m_writeTimeoutMs);
    if (const SerialWrite room = WaitUntilWritable(deadline); room != SerialWrite::Written) {
        return room;
    }
    const char c = static_cast<char>(byte);
    if (m_port->write(&c, 1) != 1) {
        DeviceLost();
        return SerialWrite::Failed;
    }
    while (m_port->bytesToWrite() > 0) {
        if (m_port->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) continue;
        if (!TimedOutOrLost()) return SerialWrite::Failed;
        if (deadline.hasExpired()) {
            // A byte that could not go out in time must not go out late, after its command.
            // (Where the driver's room could not be checked first, this also drops what the
            // driver still holds.)
            m_port->clear(QSerialPort::Output);
            return WriteTimedOut();
        }
    }
    return SerialWrite::Written;
}

bool QtSerialPort::SetDtr(bool raised) {
    if (!IsOpen() || m_lost) return false;
    const bool set = m_port->setDataTerminalReady(raised);
    if (!set) {
        m_error = m_device + ": cannot set DTR: " + m_port->errorString().toStdString();
        m_port->clearError();
    }
    return set;
}

void QtSerialPort::Close() {
    if (m_port->isOpen()) m_port->close();
    m_port->clearError();
}
