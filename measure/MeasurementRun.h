#pragma once
// The measurement run: begun on a port with an interval, driven by one tick a second,
// taking one reading every ticksPerReading ticks and recording it in memory and in the
// data file, and stopped with "LOCL 0\r".

#include <functional>
#include <string>

#include "DataFile.h"
#include "MeasurementState.h"
#include "SampleStore.h"
#include "SerialLink.h"

// What one tick did, for the window's status bar or the command line's output.
struct TickResult {
    bool readingTaken = false;   // a reading was due and was attempted
    ReadingOutcome reading;      // its outcome when one was taken
    bool sampleStored = false;   // a sample went into the store
    bool storeFull = false;      // the store refused the sample (the file still got its line)
    DataFile::Status file;       // the data file after this tick's line
    bool runEnded = false;       // the port failed: the run has been ended
    std::string runEndReason;    // why, for a person
};

class MeasurementRun {
public:
    MeasurementRun(MeasurementState& state, Readings& readings, SampleStore& store, Clock& clock,
                   const PortMap& ports, SerialPortFactory& factory);

    // Called after every reading, valid or not, and when the run ends by itself, so the
    // view repaints.
    void SetRepaintRequest(std::function<void()> requestRepaint) {
        m_requestRepaint = std::move(requestRepaint);
    }

    // Starts a new data file at path, replacing any file of that name. The path is kept in
    // m_strDataFile even when creating fails.
    DataFileResult CreateDataFile(const std::string& path);

    // Opens "COM<nPort+1>" and begins a run with nInterval seconds between readings.
    // Returns false with nothing else changed when the port cannot be opened; OpenError()
    // then says why. A run always begins with a voltage reading.
    bool BeginMeasurement(int nPort, int nInterval);
    // As BeginMeasurement, for a port named directly ("COM2", a device path, "sim").
    bool BeginMeasurementOn(const std::string& portName, int nInterval);
    const std::string& OpenError() const { return m_openError; }

    // The one-second tick. Does nothing while idle.
    TickResult OnTimer();

    // Sends "LOCL 0\r", closes the port, goes idle, and writes any pending lines it can.
    // Does nothing while idle.
    void StopMeasurement();

    // Sets the run's time zero to now.
    void SetTimeZero();

    bool IsMeasuring() const { return m_state.measuring != 0; }
    // Readings attempted since the run began.
    long ReadingsTaken() const { return m_readingsTaken; }
    // Whole seconds until the next reading is due (ticks left), 0 while idle.
    int SecondsToNextReading() const;
    // Lines waiting for the data file.
    std::size_t PendingLines() const { return m_dataFile.Pending(); }
    // Writes pending lines if it can; the command line calls it before exiting.
    DataFile::Status FlushDataFile();

    std::string m_strDataFile;  // full path of the current run's data file

private:
    MeasurementState& m_state;
    Readings& m_readings;
    SampleStore& m_store;
    Clock& m_clock;
    SerialLink m_link;
    DataFile m_dataFile;
    std::function<void()> m_requestRepaint;
    std::string m_openError;
    long m_readingsTaken = 0;
};
