#include "MeasurementRun.h"

#include <cmath>
#include <string>

#include "Clock.h"

namespace {
constexpr double kCurrentFloor = 1e-6;                  // A
constexpr int kSettlingMs = 300;
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
    return m_dataFile.Create(path.c_str());
}

bool MeasurementRun::BeginMeasurement(int nPort, int nInterval) {
    return BeginMeasurementOn("COM" + std::to_string(nPort + 1), nInterval);
}

bool MeasurementRun::BeginMeasurementOn(const std::string& portName, int nInterval) {
    StopMeasurement();  // never two ports at once
    m_openError.clear();
    if (!m_link.OpenPort(portName.c_str())) {
        m_openError = m_link.OpenError();
        return false;
    }
    m_state.ticksPerReading = nInterval;
    m_link.ConfigurePort();
    m_link.WaitMilliseconds(kSettlingMs);
    m_link.DiscardInput();
    m_store.count = 0;
    m_state.tickCount = 0;
    // ConfigurePort leaves DTR low, which selects the voltage: the first reading must
    // expect the voltage whatever the previous run ended on.
    m_state.currentNext = false;
    m_state.measuring = 1;
    m_readingsTaken = 0;
    SetTimeZero();
    m_link.WriteString("LOCL 1\r");
    if (m_link.PortFailed()) {
        m_openError = m_link.PortErrorText();
        m_state.port->Close();
        m_state.port.reset();
        m_state.measuring = 0;
        return false;
    }
    return true;
}

TickResult MeasurementRun::OnTimer() {
    TickResult result;
    if (!m_state.measuring) return result;
    if (++m_state.tickCount < m_state.ticksPerReading) return result;
    m_state.tickCount = 0;

    result.readingTaken = true;
    ++m_readingsTaken;
    Readings& r = m_readings;
    result.reading = m_link.MeasureQuantity(&r.voltage, &r.voltagePhase, &r.current,
                                            &r.currentPhase);
    if (result.reading.portFailed) {
        // The device is gone (adapter pulled, cable cut): nothing more can be measured, and
        // nothing from this attempt is recorded.
        result.runEnded = true;
        result.runEndReason = result.reading.problem;
        m_state.port->Close();
        m_state.port.reset();
        m_state.measuring = 0;
        result.file = m_dataFile.Flush();
    } else if (result.reading.Valid()) {
        if (!(r.current >= kCurrentFloor)) r.current = kCurrentFloor;  // also catches NaN
        r.impedance = r.voltage / r.current;
        r.impedancePhase = r.voltagePhase - r.currentPhase;
        result.sampleStored =
            AddSample(m_store, r.elapsedSeconds * kMinutesPerSecond, r.impedance, r.impedancePhase);
        result.storeFull = !result.sampleStored;
        result.file = m_dataFile.AppendDataLine(m_strDataFile.c_str(), r.elapsedSeconds,
                                                r.voltage, r.voltagePhase, r.current,
                                                r.currentPhase, r.impedance, r.impedancePhase);
    } else {
        // No number came back: no sample and no line are made up from stale values, but
        // lines still waiting for the file get another chance.
        result.file = m_dataFile.Flush();
    }
    if (m_requestRepaint) m_requestRepaint();
    return result;
}

void MeasurementRun::StopMeasurement() {
    if (!m_state.measuring) return;
    m_link.WriteString("LOCL 0\r");
    if (m_state.port) m_state.port->Close();
    m_state.port.reset();
    m_state.measuring = 0;
    m_dataFile.Flush();
}

void MeasurementRun::SetTimeZero() { m_state.startTime = m_clock.Milliseconds() * 0.001; }

int MeasurementRun::SecondsToNextReading() const {
    return m_state.measuring ? m_state.ticksPerReading - m_state.tickCount : 0;
}

DataFile::Status MeasurementRun::FlushDataFile() { return m_dataFile.Flush(); }
