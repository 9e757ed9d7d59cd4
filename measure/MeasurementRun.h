#pragma once
// The measurement run: begun on a port with an interval, driven by one tick a second,
// taking one reading every ticksPerReading ticks and recording it in memory and in the
// data file, and stopped with "LOCL 0\r".
//
// A run outlives its device: when the port fails mid-run (adapter pulled, device hung up,
// I/O error), the run waits, tries to open the same port again at every due reading, and
// goes on where it was when the device is back: same data file, same time zero, same
// interval, the voltage first. A mere time-out is a failed reading, never a lost device.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DataFile.h"
#include "MeasurementState.h"
#include "RunRecord.h"
#include "SampleStore.h"
#include "SerialLink.h"

// One stretch of a run without its device, in clock milliseconds (and calendar time for
// the run record).
struct Outage {
    long long lostMs = 0;
    long long backMs = -1;            // -1 while the device is still gone
    std::int64_t missedReadings = 0;  // due readings that could not be taken meanwhile,
                                      // the one that found the device gone included
    long long lostUtcMs = 0;
    long long backUtcMs = -1;
};

// Why a run ended, as its record says it.
enum class RunEnd { Stopped, Signal, ReadingsDone, WindowClosed };

// What one tick did, for the window's status bar or the command line's output.
struct TickResult {
    bool readingTaken = false;      // a reading was due and was attempted (also while waiting)
    ReadingOutcome reading;         // its outcome when one was taken
    bool sampleStored = false;      // a sample went into the store
    bool storeFull = false;         // the store refused the sample (the file still got its line)
    bool fileTouched = false;       // the data file was written to or retried: see file
    DataFile::Status file;          // the data file after this tick
    bool deviceBack = false;        // the port opened again in this tick: see endedOutage
    bool deviceLost = false;        // the port failed in this tick (also right after it came
                                    // back); the run now waits for it
    bool waitingForDevice = false;  // after this tick the run still waits for its device
    std::string deviceProblem;      // why the device was lost, or why it did not open again
    Outage endedOutage;             // with deviceBack: the outage that ended
    Outage outage;                  // while waiting: the outage going on
    std::string recordProblem;      // the run record could not be written in this tick
};

class MeasurementRun {
public:
    // Why the last Begin failed.
    enum class BeginFailure {
        None,
        PortNotOpened,        // the device could not be opened
        AmplifierNotReached,  // it opened, but "LOCL 1\r" could not be sent
    };

    MeasurementRun(MeasurementState& state, Readings& readings, SampleStore& store, Clock& clock,
                   const PortMap& ports, SerialPortFactory& factory);

    // Called after every reading, valid or not, so the view repaints.
    void SetRepaintRequest(std::function<void()> requestRepaint) {
        m_pfnRequestRepaint = std::move(requestRepaint);
    }

    // Starts a new data file at path, replacing any file of that name (and the run record
    // that described it), unless an earlier run's lines still wait for that file (refused,
    // linesWaiting set). The path is kept in m_strDataFile even when creating fails.
    DataFileResult CreateDataFile(const std::string& path);

    // Opens "COM<nPort+1>" and begins a run with nInterval seconds between readings.
    // Returns false with nothing else changed when the port cannot be opened or the
    // amplifier cannot be reached; BeginError() then says which and OpenError() why. A run
    // always begins with a voltage reading.
    bool BeginMeasurement(int nPort, int nInterval);
    // As BeginMeasurement, for a port named directly ("COM2", a device path, "sim").
    bool BeginMeasurementOn(const std::string& portName, int nInterval);
    const std::string& OpenError() const { return m_strOpenError; }
    BeginFailure BeginError() const { return m_beginFailure; }

    // The one-second tick. While idle it only retries lines still waiting for a data file.
    TickResult OnTimer();

    // Sends "LOCL 0\r" (when the device is there), closes the port, goes idle, writes any
    // pending lines it can, lets go of the data file and closes the run record with why
    // (or "device gone" when the device was still gone). Does nothing while idle.
    void StopMeasurement(RunEnd why = RunEnd::Stopped);

    // Sets the run's time zero to now; during a run, the run record's start follows it.
    void SetTimeZero();

    bool IsMeasuring() const { return m_state.measuring != 0; }
    bool IsWaitingForDevice() const { return IsMeasuring() && m_bWaitingForDevice; }
    // The port as chosen ("COM2", a device path, "sim") and the device it maps to.
    const std::string& PortName() const { return m_strPortName; }
    const std::string& DevicePath() const { return m_strDevice; }
    // Every outage of the current (or last) run, oldest first.
    const std::vector<Outage>& Outages() const { return m_outages; }
    // Readings attempted since the run began, those missed while waiting included.
    std::int64_t ReadingsTaken() const { return m_nReadingsTaken; }
    // Whole seconds until the next reading is due (ticks left), 0 while idle.
    int SecondsToNextReading() const;
    // Lines waiting for a data file, the file the oldest of them waits for, and what the
    // latest attempt to write them said.
    std::size_t PendingLines() const { return m_dataFile.Pending(); }
    std::string PendingFile() const { return m_dataFile.PendingPath(); }
    const DataFile::Status& LastFileStatus() const { return m_lastFileStatus; }
    // Lines of the current (or last) run on disk in its data file.
    std::int64_t LinesWritten() const { return m_dataFile.LinesWrittenTo(m_strRecordFile); }
    // Writes pending lines if it can; the command line calls it before exiting.
    DataFile::Status FlushDataFile();
    // The run record as last written (or tried), and why the last write failed (empty when
    // it did not). A record that cannot be written never stops the run.
    const RunRecord& Record() const { return m_record; }
    const std::string& RecordProblem() const { return m_strRecordProblem; }

    std::string m_strDataFile;  // full path of the current run's data file

private:
    // Configure, settle, discard input, "LOCL 1\r": the amplifier under remote control.
    // False, with why in *problem, when the command could not be sent.
    bool PreparePort(std::string* problem);
    // Opens the port again after an outage; true once the amplifier is reached.
    bool Reconnect(TickResult& result);
    void EnterWaiting(TickResult& result);
    void RecordReading(TickResult& result);
    void ClosePort();
    // Closes the port and goes idle; the data file is flushed and released.
    void EndRun(RunEnd why);
    void RetryDataFile(TickResult& result);
    // Brings the record up to date and writes it beside its run's data file (none without
    // one); a failure is kept in m_strRecordProblem and, given a tick, reported in it.
    void WriteRecord(TickResult* tick = nullptr);

    MeasurementState& m_state;
    Readings& m_readings;
    SampleStore& m_store;
    Clock& m_clock;
    SerialLink m_link;
    DataFile m_dataFile;
    DataFile::Status m_lastFileStatus{true, 0, {}};
    std::function<void()> m_pfnRequestRepaint;
    std::string m_strOpenError;
    BeginFailure m_beginFailure = BeginFailure::None;
    std::string m_strPortName;
    std::string m_strDevice;
    bool m_bWaitingForDevice = false;
    std::vector<Outage> m_outages;
    std::int64_t m_nReadingsTaken = 0;
    RunRecord m_record;
    // The data file the record belongs to: the last run's, which may still have lines
    // waiting after the next Start has named a new file in m_strDataFile.
    std::string m_strRecordFile;
    std::string m_strRecordProblem;
};
