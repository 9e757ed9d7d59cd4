// varkel-bench-soak: a long run, time-compressed. The measurement core records from the
// in-process simulated amplifier on a clock that jumps a second per tick, far past the
// sample store's capacity, into a real data file. Prints the readings, the time each took,
// and the process's resident memory early in the run and at its end, which should match:
// nothing may grow with the number of readings but the file.
//
// usage: varkel-bench-soak [READINGS] [DATAFILE]   (default 100000, a file in /dev/shm or /tmp)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "measure/Clock.h"
#include "measure/MeasurementRun.h"
#include "measure/PortMap.h"
#include "sim/SimulatedPort.h"

namespace {

class JumpingClock final : public Clock {
public:
    long long Milliseconds() override { return m_nNow; }
    void Sleep(int ms) override { m_nNow += ms; }
    void Advance(long long ms) { m_nNow += ms; }

private:
    long long m_nNow = 0;
};

class SimFactory final : public SerialPortFactory {
public:
    explicit SimFactory(Clock& clock) : m_clock(clock) {}
    std::unique_ptr<SerialPort> Create(const std::string&) override {
        return std::make_unique<SimulatedPort>(m_clock);
    }

private:
    Clock& m_clock;
};

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const long readings = argc > 1 ? std::atol(argv[1]) : 100000;
    const std::string dir = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    const std::string path = argc > 2 ? argv[2] : dir + "/varkel-soak.txt";

    JumpingClock clock;
    SimFactory factory(clock);
    PortMap ports;
    MeasurementState state;
    Readings values;
    auto store = std::make_unique<SampleStore>();
    MeasurementRun run(state, values, *store, clock, ports, factory);
    if (!run.CreateDataFile(path).ok || !run.BeginMeasurementOn("sim", 2)) {
        std::fprintf(stderr, "varkel-bench-soak: cannot start: %s\n", run.OpenError().c_str());
        return 1;
    }

    long rssEarly = 0;
    long invalid = 0;
    long pendingMax = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < readings; ++i) {
        TickResult tick;
        for (int t = 0; t < 2; ++t) {
            clock.Advance(1000);
            tick = run.OnTimer();
        }
        if (!tick.reading.Valid()) ++invalid;
        if (static_cast<long>(tick.file.pending) > pendingMax)
            pendingMax = static_cast<long>(tick.file.pending);
        if (i == 1000) rssEarly = ResidentKiB();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.StopMeasurement();
    const long rssEnd = ResidentKiB();
    long lines = 0;
    {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) ++lines;
    }
    std::printf(
        "soak readings=%ld file_lines=%ld stored=%d invalid=%ld pending_max=%ld "
        "us_per_reading=%.1f rss_kib_after_1000=%ld rss_kib_end=%ld\n",
        readings, lines, store->count, invalid, pendingMax, seconds * 1e6 / readings, rssEarly,
        rssEnd);
    if (argc <= 2) std::filesystem::remove(path);
    return lines == readings ? 0 : 1;
}
