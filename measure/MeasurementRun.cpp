#include "MeasurementRun.h"

#include <cmath>
#include <string>

#include "Clock.h"
#include "PortMap.h"
#include "VarkelVersion.h"

namespace {
constexpr double kCurrentFloor = 1e-6;  // A
constexpr int kSettlingMs = 300;

const char* EndReasonText(RunEnd why) {
    switch (why) {
        case RunEnd::Signal: return "signal";
        case RunEnd::ReadingsDone: return "readings done";
        case RunEnd::WindowClosed: return "window closed";
        case RunEnd::Stopped: break;
    }
    return "stopped";
}
}  // namespace

MeasurementRun::MeasurementRun(MeasurementState& state, Readings& readings, SampleStore& store,
                               Clock& clock, const PortMap& ports, SerialPortFactory& factory)
    : m_state(state),
      m_readings(readings),
      m_store(store),
      m_clock(clock),
      m_link(state, readings, clock, ports, factory) {}

DataFileResult MeasurementRun::CreateDataFile(const std::string& path) {
    m_strDataFile = path;
    const DataFileResult created = m_dataFile.Create(path.c_str());
    // A record beside the emptied file would describe lines that are gone.
    if (created.ok) RemoveRunRecord(path);
    return created;
}

bool MeasurementRun::BeginMeasurement(int nPort, int nInterval) {
    return BeginMeasurementOn("COM" + std::to_string(nPort + 1), nInterval);
}

bool MeasurementRun::PreparePort(std::string* problem) {
    m_link.ConfigurePort();
    m_link.WaitMilliseconds(kSettlingMs);
    m_link.DiscardInput();
    if (m_link.WriteString("LOCL 1\r") == SerialWrite::Written) return true;
    *problem = "\"LOCL 1\" could not be sent: " + m_link.PortErrorText();
    return false;
}

bool MeasurementRun::BeginMeasurementOn(const std::string& portName, int nInterval) {
    StopMeasurement();  // never two ports at once
    m_strOpenError.clear();
    m_beginFailure = BeginFailure::None;
    if (!m_link.OpenPort(portName.c_str())) {
        m_strOpenError = m_link.OpenError();
        m_beginFailure = BeginFailure::PortNotOpened;
        return false;
    }
    // The amplifier is reached before anything of the previous run is touched, so a Start
    // that fails leaves its charts, counts and interval as they were.
    if (!PreparePort(&m_strOpenError)) {
        m_beginFailure = BeginFailure::AmplifierNotReached;
        ClosePort();
        return false;
    }
    m_strPortName = portName;
    m_strDevice = m_link.Device();
    m_state.ticksPerReading = nInterval;
    m_store.count = 0;
    m_state.tickCount = 0;
    // ConfigurePort leaves DTR low, which selects the voltage: the first reading must
    // expect the voltage whatever the previous run ended on.
    m_state.currentNext = false;
    m_state.measuring = 1;
    m_bWaitingForDevice = false;
    m_outages.clear();
    m_nReadingsTaken = 0;
    m_record = RunRecord();
    m_strRecordFile = m_strDataFile;
    m_record.programVersion = kVarkelVersion;
    m_record.port = m_strPortName;
    m_record.device = m_strDevice;
    m_record.intervalSeconds = nInterval;
    m_record.simulated = m_strDevice == PortMap::kSimulated;
    SetTimeZero();  // writes the record
    return true;
}

TickResult MeasurementRun::OnTimer() {
    TickResult result;
    if (!m_state.measuring) {
        // Lines of a run that has ended keep being tried, once a second, until written; its
        // record learns when the last of them is.
        if (m_dataFile.Pending() > 0) {
            const bool recordedRunWaited = m_dataFile.PendingFor(m_strRecordFile) > 0;
            RetryDataFile(result);
            if (recordedRunWaited && m_dataFile.PendingFor(m_strRecordFile) == 0) {
                WriteRecord(&result);
            }
        }
        return result;
    }
    if (++m_state.tickCount < m_state.ticksPerReading) return result;
    m_state.tickCount = 0;

    result.readingTaken = true;
    ++m_nReadingsTaken;
    if (m_bWaitingForDevice && !Reconnect(result)) {
        ++m_outages.back().missedReadings;
        result.waitingForDevice = true;
        result.outage = m_outages.back();
        result.reading.problem = "waiting for the device: " + result.deviceProblem;
        RetryDataFile(result);
        if (m_pfnRequestRepaint) m_pfnRequestRepaint();
        return result;
    }

    Readings& r = m_readings;
    result.reading =
        m_link.MeasureQuantity(&r.voltage, &r.voltagePhase, &r.current, &r.currentPhase);
    if (result.reading.portFailed) {
        // Nothing from this attempt is recorded; the run waits for the device.
        EnterWaiting(result);
        RetryDataFile(result);
    } else if (result.reading.Valid()) {
        RecordReading(result);
    } else {
        // No number came back: no sample and no line are made up from stale values, but
        // lines still waiting for the file get another chance.
        RetryDataFile(result);
    }
    // Once a tick, however the device went and came in it.
    if (result.deviceBack || result.deviceLost) WriteRecord(&result);
    if (m_pfnRequestRepaint) m_pfnRequestRepaint();
    return result;
}

void MeasurementRun::RecordReading(TickResult& result) {
    Readings& r = m_readings;
    if (!(r.current >= kCurrentFloor)) r.current = kCurrentFloor;  // also catches NaN
    r.impedance = r.voltage / r.current;
    r.impedancePhase = r.voltagePhase - r.currentPhase;
    result.sampleStored =
        AddSample(m_store, r.elapsedSeconds * kMinutesPerSecond, r.impedance, r.impedancePhase);
    result.storeFull = !result.sampleStored;
    result.fileTouched = true;
    result.file = m_dataFile.AppendDataLine(m_strDataFile.c_str(), r.elapsedSeconds, r.voltage,
                                            r.voltagePhase, r.current, r.currentPhase, r.impedance,
                                            r.impedancePhase);
    m_lastFileStatus = result.file;
}

void MeasurementRun::RetryDataFile(TickResult& result) {
    result.fileTouched = true;
    result.file = m_dataFile.Flush();
    m_lastFileStatus = result.file;
}

void MeasurementRun::EnterWaiting(TickResult& result) {
    ClosePort();
    m_bWaitingForDevice = true;
    Outage outage;
    outage.lostMs = m_clock.Milliseconds();
    outage.lostUtcMs = m_clock.UtcMilliseconds();
    outage.missedReadings = 1;
    m_outages.push_back(outage);
    result.deviceLost = true;
    result.waitingForDevice = true;
    result.deviceProblem = result.reading.problem;
    result.outage = outage;
}

bool MeasurementRun::Reconnect(TickResult& result) {
    if (!m_link.OpenPort(m_strPortName.c_str())) {
        result.deviceProblem = m_link.OpenError();
        return false;
    }
    const long long openedMs = m_clock.Milliseconds();
    const long long openedUtcMs = m_clock.UtcMilliseconds();
    if (!PreparePort(&result.deviceProblem)) {
        ClosePort();
        return false;
    }
    // As at the start: DTR is low again, so the next reading is the voltage.
    m_state.currentNext = false;
    m_bWaitingForDevice = false;
    Outage& outage = m_outages.back();
    outage.backMs = openedMs;
    outage.backUtcMs = openedUtcMs;
    result.deviceBack = true;
    result.endedOutage = outage;
    return true;
}

void MeasurementRun::ClosePort() {
    if (m_state.port) m_state.port->Close();
    m_state.port.reset();
}

void MeasurementRun::EndRun(RunEnd why) {
    ClosePort();
    m_state.measuring = 0;
    m_lastFileStatus = m_dataFile.Flush();
    m_dataFile.Release();
    m_record.endedUtcMs = m_clock.UtcMilliseconds();
    m_record.endReason = m_bWaitingForDevice ? "device gone" : EndReasonText(why);
    m_bWaitingForDevice = false;
    WriteRecord();
}

void MeasurementRun::StopMeasurement(RunEnd why) {
    if (!m_state.measuring) return;
    // With the device gone there is nothing to release from remote control.
    if (m_state.port) m_link.WriteString("LOCL 0\r");
    EndRun(why);
}

void MeasurementRun::SetTimeZero() {
    m_state.startTime = m_clock.Milliseconds() * kSecondsPerMillisecond;
    // While idle the record still describes the last run, whose start has not moved.
    if (!m_state.measuring) return;
    m_record.startedUtcMs = m_clock.UtcMilliseconds();
    WriteRecord();
}

void MeasurementRun::WriteRecord(TickResult* tick) {
    // A run begun without a data file has nothing to keep a record beside: an empty path
    // would put ".json" into whatever the current folder is.
    if (m_strRecordFile.empty()) return;
    m_record.readingsAttempted = m_nReadingsTaken;
    m_record.linesWritten = m_dataFile.LinesWrittenTo(m_strRecordFile);
    m_record.linesWaiting = static_cast<std::int64_t>(m_dataFile.PendingFor(m_strRecordFile));
    m_record.outages.clear();
    for (const Outage& outage : m_outages) {
        m_record.outages.push_back({outage.lostUtcMs, outage.backUtcMs});
    }
    std::string problem;
    m_strRecordProblem =
        WriteRunRecord(m_strRecordFile, m_record, &problem) ? std::string() : problem;
    if (tick) tick->recordProblem = m_strRecordProblem;
}

int MeasurementRun::SecondsToNextReading() const {
    return m_state.measuring ? m_state.ticksPerReading - m_state.tickCount : 0;
}

DataFile::Status MeasurementRun::FlushDataFile() {
    m_lastFileStatus = m_dataFile.Flush();
    return m_lastFileStatus;
}
