// The Qt serial backend against varkel-sim on a real pseudo-terminal: line settings as the
// terminal reports them, bytes both ways, time-outs, and a device that hangs up.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "SimProcess.h"
#include "TempDir.h"
#include "platform/serial/DeviceAccessHint.h"
#include "platform/serial/QtSerialPort.h"
#include "sim/PseudoTerminal.h"

namespace {
// Reads a reply that is on its way, up to its "\r"; the bytes read. A byte time-out alone does
// not end it (a loaded machine may be slow to deliver): only a failed read, or no "\r" within
// kReplyLimit of the call.
constexpr auto kReplyLimit = std::chrono::seconds(10);

std::string ReadReply(SerialPort& port) {
    const auto deadline = std::chrono::steady_clock::now() + kReplyLimit;
    std::string reply;
    while (reply.size() < 200 && std::chrono::steady_clock::now() < deadline) {
        const SerialRead read = port.ReadByte();
        if (read.status == SerialRead::Status::TimedOut) continue;
        if (read.status == SerialRead::Status::Failed) break;
        reply.push_back(static_cast<char>(read.byte));
        if (read.byte == '\r') break;
    }
    return reply;
}

bool WriteText(SerialPort& port, const std::string& text) {
    for (const char c : text) {
        if (port.WriteByte(static_cast<unsigned char>(c)) != SerialWrite::Written) return false;
    }
    return true;
}

class QtSerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.Start()) << m_sim.Error(); }

    void OpenAndConfigure(const SerialSettings& settings = {}) {
        ASSERT_TRUE(m_port.Open(m_sim.DevicePath())) << m_port.ErrorText();
        ASSERT_TRUE(m_port.Configure(settings)) << m_port.ErrorText();
    }

    SimProcess m_sim;
    QtSerialPort m_port;
};

TEST_F(QtSerialPortOnPty, ConfiguresTheLineAsTheAmplifierNeeds) {
    // Our own descriptor, opened before the port takes the device exclusively.
    const int fd = ::open(m_sim.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    OpenAndConfigure();
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::close(fd);

    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u) << "two stop bits";
    EXPECT_EQ(t.c_cflag & PARENB, 0u) << "no parity";
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u) << "no hardware flow control";
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u) << "no software flow control";
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw input";
    EXPECT_EQ(t.c_oflag & OPOST, 0u) << "raw output";
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR), 0u) << "carriage returns pass unchanged";
}

TEST_F(QtSerialPortOnPty, AsksForTheAmplitudeAndReadsTheNumberBack) {
    OpenAndConfigure();
    ASSERT_TRUE(WriteText(m_port, "OUTP ? 3\r"));
    const std::string reply = ReadReply(m_port);
    ASSERT_FALSE(reply.empty());
    EXPECT_EQ(reply.back(), '\r');
    char* end = nullptr;
    const double value = std::strtod(reply.c_str(), &end);
    EXPECT_EQ(end, reply.c_str() + reply.size() - 1) << reply;
    EXPECT_NEAR(value, 1.0, 1e-3);  // 0.1 V on the voltage channel, in units of 0.1 V
}

TEST_F(QtSerialPortOnPty, BytesWaitingCountsBytesStillInTheDriver) {
    const int fd = ::open(m_sim.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    OpenAndConfigure();
    EXPECT_EQ(m_port.BytesWaiting(), 0);
    ASSERT_TRUE(WriteText(m_port, "OUTP ? 3\r"));
    // Wait, without reading, until the reply has arrived in the terminal.
    pollfd ready{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 5000), 1);
    ::close(fd);
    const int waiting = m_port.BytesWaiting();
    const std::string reply = ReadReply(m_port);
    EXPECT_GT(waiting, 1);
    EXPECT_EQ(waiting, static_cast<int>(reply.size())) << reply;
    EXPECT_EQ(m_port.BytesWaiting(), 0);
}

TEST_F(QtSerialPortOnPty, AReadWithoutReplyTimesOut) {
    SerialSettings quick;  // 50 ms per byte keeps the test short
    quick.readTotalMultiplierMs = 0;
    quick.readTotalConstantMs = 50;
    OpenAndConfigure(quick);
    ASSERT_TRUE(WriteText(m_port, "LOCL 1\r"));  // no reply
    EXPECT_EQ(m_port.ReadByte().status, SerialRead::Status::TimedOut);
    EXPECT_TRUE(m_port.IsOpen());
    // A time-out is no failure: the port still works.
    ASSERT_TRUE(WriteText(m_port, "OUTP ? 4\r"));
    EXPECT_FALSE(ReadReply(m_port).empty());
}

TEST_F(QtSerialPortOnPty, ThePtyHasNoDtrButStillWorks) {
    OpenAndConfigure();
    m_port.SetDtr(true);  // refused on a pseudo-terminal; must not break the port
    ASSERT_TRUE(WriteText(m_port, "OUTP ? 3\r"));
    EXPECT_FALSE(ReadReply(m_port).empty());
}

TEST_F(QtSerialPortOnPty, ClosingAndReopeningKeepsTheDevice) {
    OpenAndConfigure();
    m_port.Close();
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(m_port.ReadByte().status, SerialRead::Status::Failed);
    EXPECT_EQ(m_port.BytesWaiting(), -1);
    EXPECT_EQ(m_port.WriteByte('x'), SerialWrite::Failed);
    OpenAndConfigure();
    ASSERT_TRUE(WriteText(m_port, "OUTP ? 3\r"));
    EXPECT_FALSE(ReadReply(m_port).empty());
}

TEST_F(QtSerialPortOnPty, ASecondPortCannotOpenTheDeviceInUse) {
    OpenAndConfigure();
    QtSerialPort second;
    EXPECT_FALSE(second.Open(m_sim.DevicePath()));
    EXPECT_NE(second.ErrorText().find(m_sim.DevicePath()), std::string::npos) << second.ErrorText();
    EXPECT_NE(second.ErrorText().find("in use"), std::string::npos) << second.ErrorText();
    EXPECT_EQ(second.ErrorText().find("group"), std::string::npos)
        << "no permission advice for a busy device";
}

TEST(QtSerialPort, AMissingDeviceIsNamedWithTheReason) {
    QtSerialPort port;
    const std::string device = "/dev/varkel-no-such-tty";
    EXPECT_FALSE(port.Open(device));
    EXPECT_FALSE(port.IsOpen());
    const std::string text = port.ErrorText();
    EXPECT_EQ(text.find(device + ": "), 0u) << text;
    EXPECT_GT(text.size(), device.size() + 4) << "the system's reason follows the name";
}

TEST(QtSerialPortHangup, EveryCallFailsOnceTheDeviceHasGone) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", "hangup", "--fault-after", "0"})) << sim.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(sim.DevicePath())) << port.ErrorText();
    ASSERT_TRUE(port.Configure(SerialSettings{}));
    WriteText(port, "OUTP ? 3\r");  // the first byte makes the device vanish
    EXPECT_EQ(port.ReadByte().status, SerialRead::Status::Failed);
    EXPECT_EQ(port.ReadByte().status, SerialRead::Status::Failed);
    EXPECT_EQ(port.BytesWaiting(), -1);
    EXPECT_EQ(port.WriteByte('x'), SerialWrite::Failed);
    EXPECT_NE(port.ErrorText().find(sim.DevicePath()), std::string::npos) << port.ErrorText();
    EXPECT_NE(port.ErrorText().find("hung up"), std::string::npos) << port.ErrorText();
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(QtSerialPort, APermissionErrorAdvisesWhichGroupToJoin) {
    TempDir dir;
    const std::string path = dir.File("ttyLocked");
    { std::ofstream(path) << ""; }
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::access(path.c_str(), R_OK | W_OK) == 0)
        GTEST_SKIP() << "running as a user no permission stops";
    QtSerialPort port;
    EXPECT_FALSE(port.Open(path));
    const std::string text = port.ErrorText();
    EXPECT_EQ(text.find(path + ": "), 0u) << text;
    EXPECT_NE(text.find(DeviceAccessHint(path)), std::string::npos) << text;
    EXPECT_NE(text.find("group"), std::string::npos) << text;
}

TEST(DeviceAccessHint, NamesTheOwningGroupOnlyWhenAccessIsDenied) {
    TempDir dir;
    const std::string path = dir.File("ttyFake");
    { std::ofstream(path) << ""; }
    EXPECT_EQ(DeviceAccessHint(path), "");  // we may use it
    EXPECT_TRUE(MayUseDevice(path));
    EXPECT_EQ(DeviceAccessHint(dir.File("missing")), "");  // nothing to advise on
    EXPECT_TRUE(MayUseDevice(dir.File("missing")));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::access(path.c_str(), R_OK | W_OK) == 0)
        GTEST_SKIP() << "running as a user no permission stops";
    EXPECT_FALSE(MayUseDevice(path));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);
    const std::string hint = DeviceAccessHint(path);
    EXPECT_NE(hint.find(std::string("\"") + owner->gr_name + "\""), std::string::npos) << hint;
    EXPECT_NE(hint.find(path), std::string::npos) << hint;
}
}  // namespace

namespace {
// A terminal whose other end nobody reads fills up: a write must then give up after its
// time-out instead of blocking the caller, and the port must work again once drained.
TEST(QtSerialPortWrite, GivesUpWhenTheLineIsFullAndRecovers) {
    PseudoTerminal terminal;  // our own pair: nobody reads the master until we do
    ASSERT_TRUE(terminal.Open()) << terminal.Error();
    QtSerialPort port;
    ASSERT_TRUE(port.Open(terminal.SlavePath())) << port.ErrorText();
    SerialSettings settings;
    settings.writeTotalMultiplierMs = 0;
    settings.writeTotalConstantMs = 50;
    ASSERT_TRUE(port.Configure(settings));

    constexpr int kLimit = 4 << 20;  // far beyond any terminal buffer
    int written = 0;
    SerialWrite last = SerialWrite::Written;
    while (written < kLimit && (last = port.WriteByte('x')) == SerialWrite::Written) ++written;
    ASSERT_LT(written, kLimit) << "the line never filled";
    // A full line is a time-out, not a lost device: the port stays usable.
    EXPECT_EQ(last, SerialWrite::TimedOut);
    EXPECT_NE(port.ErrorText().find("timed out"), std::string::npos) << port.ErrorText();
    EXPECT_TRUE(port.IsOpen());

    char buffer[4096];
    long drained = 0;
    // The terminal hands the rest on as room frees up. Read until every byte reported sent
    // has come, or until nothing more came for a long while (then the check below fails).
    for (pollfd more{terminal.MasterFd(), POLLIN, 0};
         drained < written && ::poll(&more, 1, 5000) == 1;) {
        const ssize_t got = ::read(terminal.MasterFd(), buffer, sizeof buffer);
        if (got <= 0) break;
        drained += got;
    }
    // Nothing beyond them either: a byte that timed out must not trickle out late.
    for (pollfd more{terminal.MasterFd(), POLLIN, 0}; ::poll(&more, 1, 300) == 1;) {
        const ssize_t got = ::read(terminal.MasterFd(), buffer, sizeof buffer);
        if (got <= 0) break;
        drained += got;
    }
    EXPECT_EQ(drained, written) << "exactly the bytes reported sent went out";
    EXPECT_EQ(port.WriteByte('y'), SerialWrite::Written);
    pollfd ready{terminal.MasterFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 5000), 1);
    ASSERT_EQ(::read(terminal.MasterFd(), buffer, sizeof buffer), 1);
    EXPECT_EQ(buffer[0], 'y');
}
}  // namespace
