#include "QtSerialPort.h"

#include <algorithm>
#include <climits>
#include <optional>

#include <QDeadlineTimer>
#include <QSerialPort>

#include "DeviceAccessHint.h"

#if defined(Q_OS_UNIX)
#include <poll.h>
#include <sys/ioctl.h>
#include <cerrno>
#include <cstring>
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

QtSerialPort::QtSerialPort() : m_pPort(std::make_unique<QSerialPort>()) {}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::Open(const std::string& device) {
    Close();
    m_strDevice = device;
    m_bLost = false;
    m_strError.clear();
    m_pPort->setPortName(QString::fromStdString(device));
    if (m_pPort->open(QIODevice::ReadWrite)) {
        m_pPort->clearError();
        return true;
    }
    const std::string reason = m_pPort->errorString().toStdString();
    m_strError = device + ": " + reason;
    if (m_pPort->error() == QSerialPort::PermissionError) {
        // Qt reports a device another program holds as a permission error too; only a
        // file we may not use calls for the group advice.
        const std::string path = device.starts_with('/') ? device : "/dev/" + device;
        if (!MayUseDevice(path)) {
            const std::string hint = DeviceAccessHint(path);
            if (!hint.empty()) m_strError += ". " + hint;
        } else {
            m_strError = device + ": the device is in use by another program (" + reason + ")";
        }
    }
    return false;
}

bool QtSerialPort::IsOpen() const { return m_pPort->isOpen(); }

bool QtSerialPort::Configure(const SerialSettings& settings) {
    if (!IsOpen() || m_bLost) {
        m_strError = m_strDevice + ": the port is not open";
        return false;
    }
    const auto dataBits = DataBitsOf(settings.dataBits);
    if (!dataBits || (settings.stopBits != 1 && settings.stopBits != 2)) {
        m_strError = m_strDevice + ": unsupported line settings";
        return false;
    }
    const QSerialPort::FlowControl flow =
        settings.hardwareFlowControl   ? QSerialPort::HardwareControl
        : settings.softwareFlowControl ? QSerialPort::SoftwareControl
                                       : QSerialPort::NoFlowControl;
    const bool lineSet = m_pPort->setBaudRate(settings.baudRate) &&
                         m_pPort->setDataBits(*dataBits) &&
                         m_pPort->setParity(ParityOf(settings.parity)) &&
                         m_pPort->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop
                                                                     : QSerialPort::OneStop) &&
                         m_pPort->setFlowControl(flow);
    if (!lineSet) {
        m_strError = m_strDevice +
                     ": cannot apply the line settings: " + m_pPort->errorString().toStdString();
        m_pPort->clearError();
        return false;
    }
    m_pPort->setReadBufferSize(settings.inputQueueBytes);
    m_nReadTimeoutMs = settings.ByteReadTimeoutMs();
    m_nWriteTimeoutMs = settings.ByteWriteTimeoutMs();
    // A pseudo-terminal has no modem lines: these fail there, harmlessly.
    m_pPort->setDataTerminalReady(settings.dtr);
    if (!settings.hardwareFlowControl) m_pPort->setRequestToSend(settings.rts);
    m_pPort->clearError();
    return true;
}

bool QtSerialPort::DeviceLost() {
    m_bLost = true;
    std::string reason = m_pPort->errorString().toStdString();
#if defined(Q_OS_UNIX)
    // A hung-up terminal reads end-of-file, which leaves Qt with a stale errno as its
    // reason; the descriptor itself tells what happened.
    pollfd state{m_pPort->handle(), POLLIN, 0};
    if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        reason = "the device hung up or was disconnected";
    }
#endif
    m_strError = m_strDevice + ": " + reason + "; the port can no longer be used";
    return false;
}

bool QtSerialPort::TimedOutOrLost() {
    if (IsTimeout(m_pPort->error())) {
        m_pPort->clearError();
        return true;
    }
    return DeviceLost();
}

int QtSerialPort::BytesWaiting() {
    if (!IsOpen() || m_bLost) return -1;
    qint64 waiting = m_pPort->bytesAvailable();
#if defined(Q_OS_UNIX)
    int inDriver = 0;
    if (::ioctl(m_pPort->handle(), FIONREAD, &inDriver) != 0) {
        m_bLost = true;
        m_strError = m_strDevice + ": " + std::strerror(errno) + "; the port can no longer be used";
        return -1;
    }
    waiting += inDriver;
#else
    // Pulls whatever the driver holds into Qt's buffer without waiting.
    if (!m_pPort->waitForReadyRead(0) && !TimedOutOrLost()) return -1;
    waiting = m_pPort->bytesAvailable();
#endif
    return static_cast<int>(std::min<qint64>(waiting, INT_MAX));
}

SerialRead QtSerialPort::ReadByte(int maxWaitMs) {
    if (!IsOpen() || m_bLost) return {SerialRead::Status::Failed, 0};
    const QDeadlineTimer deadline(ByteWaitMs(m_nReadTimeoutMs, maxWaitMs));
    for (;;) {
        char byte = 0;
        if (m_pPort->bytesAvailable() > 0 && m_pPort->getChar(&byte)) {
            return {SerialRead::Status::Byte, static_cast<unsigned char>(byte)};
        }
        if (deadline.hasExpired()) return {SerialRead::Status::TimedOut, 0};
        if (!m_pPort->waitForReadyRead(static_cast<int>(deadline.remainingTime())) &&
            !TimedOutOrLost()) {
            return {SerialRead::Status::Failed, 0};
        }
    }
}

SerialWrite QtSerialPort::WaitUntilWritable(const QDeadlineTimer& deadline) {
#if defined(Q_OS_UNIX)
    // Queue the byte only once the driver has room for it: a byte that cannot go out in
    // time is then never queued, and nothing already handed to the driver is thrown away.
    for (;;) {
        pollfd room{m_pPort->handle(), POLLOUT, 0};
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
    m_strError = m_strDevice + ": a write timed out";
    return SerialWrite::TimedOut;
}

SerialWrite QtSerialPort::WriteByte(unsigned char byte) {
    if (!IsOpen() || m_bLost) return SerialWrite::Failed;
    const QDeadlineTimer deadline(m_nWriteTimeoutMs);
    if (const SerialWrite room = WaitUntilWritable(deadline); room != SerialWrite::Written) {
        return room;
    }
    const char c = static_cast<char>(byte);
    if (m_pPort->write(&c, 1) != 1) {
        DeviceLost();
        return SerialWrite::Failed;
    }
    while (m_pPort->bytesToWrite() > 0) {
        if (m_pPort->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) continue;
        if (!TimedOutOrLost()) return SerialWrite::Failed;
        if (deadline.hasExpired()) {
            // A byte that could not go out in time must not go out late, after its command.
            // (Where the driver's room could not be checked first, this also drops what the
            // driver still holds.)
            m_pPort->clear(QSerialPort::Output);
            return WriteTimedOut();
        }
    }
    return SerialWrite::Written;
}

bool QtSerialPort::SetDtr(bool raised) {
    if (!IsOpen() || m_bLost) return false;
    const bool set = m_pPort->setDataTerminalReady(raised);
    if (!set) {
        m_strError = m_strDevice + ": cannot set DTR: " + m_pPort->errorString().toStdString();
        m_pPort->clearError();
    }
    return set;
}

void QtSerialPort::Close() {
    if (m_pPort->isOpen()) m_pPort->close();
    m_pPort->clearError();
}
