#pragma once
// A measurement run without a window: the same core the window drives, ticked on whole
// seconds, reporting on two streams instead of a status bar. Free of Qt, so tests drive it
// with a scripted port and a fake clock.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

class Clock;
class PortMap;
class SerialPortFactory;

struct RecordRequest {
    std::string file;           // data file, created empty (an existing one is replaced)
    std::string port;           // "COM1".."COM4" (through the port map), a device path, or "sim"
    int interval = 2;           // seconds between readings, 2 .. 600
    std::int64_t readings = 0;  // stop after this many readings attempted; 0: until stopped
};

// Exit statuses of a recording.
constexpr int kExitSuccess = 0;     // ended as asked, device present, every line on disk
constexpr int kExitFailure = 1;     // file not created or not written, port not opened
constexpr int kExitDeviceGone = 3;  // ended while the device was still gone after a dropout

// Runs one recording and returns the process exit status: kExitSuccess when it ended after
// the readings asked for or on a stop request with the device present and every line on
// disk; kExitFailure when the file could not be created, the port could not be opened or
// the amplifier reached, or lines could not be written; kExitDeviceGone when it ended while
// waiting for a device that had gone (a dropout mid-run does not end the run: it waits for
// the device and goes on). out gets the status line of every recorded reading; err gets
// every failure and warning as it happens. stopRequested is polled at least every 50 ms of
// clock time while waiting for the next tick.
int RunRecording(const RecordRequest& request, const PortMap& ports, SerialPortFactory& factory,
                 Clock& clock, std::ostream& out, std::ostream& err,
                 const std::function<bool()>& stopRequested);
