// The run record beside the data file: its keys and values through a run with an outage,
// its calendar times, and its whole-or-nothing rewrite.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "ScriptedRun.h"
#include "VarkelVersion.h"
#include "measure/IsoTime.h"
#include "measure/RunRecord.h"

namespace fs = std::filesystem;

namespace {
nlohmann::json ReadRecord(const std::string& dataFile) {
    return nlohmann::json::parse(ReadWholeFile(dataFile + ".json"));
}

// Sets TZ for the scope of a test, and back.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) m_old = old;
        m_hadOld = std::getenv("TZ") != nullptr;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (m_hadOld) {
            setenv("TZ", m_old.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::string m_old;
    bool m_hadOld = false;
};
}  // namespace

TEST(IsoTime, UtcAndLocalTextsOfAnInstant) {
    struct Case {
        long long utcMs;
        const char* utc;
        const char* berlin;  // CET, one hour east; CEST in summer
    } const cases[] = {
        {0, "1970-01-01T00:00:00.000Z", "1970-01-01T01:00:00.000+01:00"},
        {1796958000123, "2026-12-11T03:00:00.123Z", "2026-12-11T04:00:00.123+01:00"},
        {1783774800000, "2026-07-11T13:00:00.000Z", "2026-07-11T15:00:00.000+02:00"},
        {-1, "1969-12-31T23:59:59.999Z", "1970-01-01T00:59:59.999+01:00"},
    };
    TimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    for (const Case& c : cases) {
        EXPECT_EQ(FormatUtc(c.utcMs), c.utc) << c.utcMs;
        EXPECT_EQ(FormatLocal(c.utcMs), c.berlin) << c.utcMs;
    }
    EXPECT_EQ(FormatLocalTimeOfDay(1796958000999), "04:00:00");  // to the second, not rounded
    TimeZone newfoundland("NST3:30");
    EXPECT_EQ(FormatLocal(1796958000123), "2026-12-10T23:30:00.123-03:30");
    EXPECT_EQ(FormatLocalTimeOfDay(1796958000123), "23:30:00");
}

class RunRecordTest : public ::testing::Test, protected ScriptedRun {
protected:
    RunRecordTest() {
        line->responder = Amplifier("1.000", "-12.5", "0.5", "-40.25");
        ports.SetDevice(2, "/dev/ttyUSB0");
    }
};

TEST_F(RunRecordTest, TellsWhenWhereHowAndHowTheRunEnded) {
    ASSERT_TRUE(run.CreateDataFile(path).ok);
    ASSERT_TRUE(run.BeginMeasurement(1, 2));  // COM2, opened at clock 300 ms (after settling)

    nlohmann::json record = ReadRecord(path);
    EXPECT_EQ(record["format"], "varkel-run");
    EXPECT_EQ(record["format_version"], 1);
    EXPECT_EQ(record["program_version"], kVarkelVersion);
    EXPECT_EQ(record["started_utc"], "2026-12-11T03:00:00.300Z");
    EXPECT_TRUE(record["started_local"].get<std::string>().starts_with("2026-12-1"));
    EXPECT_EQ(record["port"], "COM2");
    EXPECT_EQ(record["device"], "/dev/ttyUSB0");
    EXPECT_EQ(record["interval_s"], 2);
    EXPECT_EQ(record["simulated"], false);
    const nlohmann::json columns = nlohmann::json::parse(R"([
        {"name": "time", "unit": "s"}, {"name": "voltage", "unit": "V"},
        {"name": "voltage_phase", "unit": "deg"}, {"name": "current", "unit": "A"},
        {"name": "current_phase", "unit": "deg"}, {"name": "impedance", "unit": "ohm"},
        {"name": "impedance_phase", "unit": "deg"}])");
    EXPECT_EQ(record["columns"], columns);
    EXPECT_EQ(record["readings_attempted"], 0);
    EXPECT_EQ(record["lines_written"], 0);
    EXPECT_EQ(record["lines_waiting"], 0);
    EXPECT_EQ(record["outages"], nlohmann::json::array());
    EXPECT_TRUE(record["ended_utc"].is_null());
    EXPECT_EQ(record["end_reason"], "running");

    // The time zero moves (the Start command sets it once more): the record follows.
    clock.Advance(40);
    run.SetTimeZero();
    EXPECT_EQ(ReadRecord(path)["started_utc"], "2026-12-11T03:00:00.340Z");

    TickUntilReading();  // 03:00:02.340
    line->Unplug();
    TickUntilReading();  // 03:00:04.340: gone
    record = ReadRecord(path);
    ASSERT_EQ(record["outages"].size(), 1u);
    EXPECT_EQ(record["outages"][0]["lost_utc"], "2026-12-11T03:00:04.340Z");
    EXPECT_TRUE(record["outages"][0]["back_utc"].is_null());
    EXPECT_EQ(record["readings_attempted"], 2);
    EXPECT_EQ(record["lines_written"], 1);

    TickUntilReading();  // 03:00:06.340: still gone
    line->Plug();
    TickUntilReading();  // 03:00:08.340: back
    record = ReadRecord(path);
    EXPECT_EQ(record["outages"][0]["back_utc"], "2026-12-11T03:00:08.340Z");

    clock.Advance(500);
    run.StopMeasurement();
    record = ReadRecord(path);
    EXPECT_EQ(record["readings_attempted"], 4);
    EXPECT_EQ(record["lines_written"], 2);
    EXPECT_EQ(record["lines_waiting"], 0);
    EXPECT_EQ(record["ended_utc"], "2026-12-11T03:00:09.140Z");  // after the 300 ms settling
    EXPECT_EQ(record["end_reason"], "stopped");
    EXPECT_FALSE(fs::exists(path + ".json.tmp"));
}

TEST_F(RunRecordTest, EndReasonsSayWhyTheRunEnded) {
    struct Case {
        RunEnd why;
        bool deviceGone;
        const char* reason;
    } const cases[] = {
        {RunEnd::Stopped, false, "stopped"},
        {RunEnd::Signal, false, "signal"},
        {RunEnd::ReadingsDone, false, "readings done"},
        {RunEnd::WindowClosed, false, "window closed"},
        {RunEnd::Signal, true, "device gone"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        line->Plug();
        ASSERT_TRUE(run.CreateDataFile(path).ok);
        ASSERT_TRUE(run.BeginMeasurementOn("sim", 2));
        if (c.deviceGone) {
            line->Unplug();
            TickUntilReading();
        }
        run.StopMeasurement(c.why);
        const nlohmann::json record = ReadRecord(path);
        EXPECT_EQ(record["end_reason"], c.reason);
        EXPECT_EQ(record["simulated"], true);
        EXPECT_EQ(record["outages"].size(), c.deviceGone ? 1u : 0u);
    }
}

TEST_F(RunRecordTest, AFailedWriteLeavesTheOldRecordWholeAndTheRunGoingOn) {
    ASSERT_TRUE(run.CreateDataFile(path).ok);
    ASSERT_TRUE(run.BeginMeasurement(1, 2));
    const std::string before = ReadWholeFile(path + ".json");
    ASSERT_FALSE(before.empty());

    // Something in the way of the temporary file: the rewrite cannot happen.
    fs::create_directory(path + ".json.tmp");
    line->Unplug();
    TickUntilReading();
    EXPECT_TRUE(run.IsWaitingForDevice());
    EXPECT_NE(run.RecordProblem().find("run.txt.json.tmp"), std::string::npos)
        << run.RecordProblem();
    EXPECT_EQ(ReadWholeFile(path + ".json"), before);

    fs::remove(path + ".json.tmp");
    line->Plug();
    TickUntilReading();
    EXPECT_EQ(run.RecordProblem(), "");
    EXPECT_EQ(ReadRecord(path)["outages"].size(), 1u);
}

TEST_F(RunRecordTest, LinesWrittenAfterTheRunAreCountedOnceTheyAreOnDisk) {
    const fs::path folder = dir.Path() / "stick";
    fs::create_directory(folder);
    const std::string data = (folder / "run.txt").string();
    ASSERT_TRUE(run.CreateDataFile(data).ok);
    ASSERT_TRUE(run.BeginMeasurement(1, 2));
    TickUntilReading();
    fs::rename(folder, dir.Path() / "away");  // the stick is pulled
    TickUntilReading();                       // this line waits
    run.StopMeasurement();                    // and the end's record cannot be written
    EXPECT_NE(run.RecordProblem(), "");
    fs::rename(dir.Path() / "away", folder);  // plugged in again

    clock.Advance(1000);
    run.OnTimer();  // idle: the waiting line goes to the file, and the record learns of it
    const nlohmann::json record = ReadRecord(data);
    EXPECT_EQ(record["lines_written"], 2);
    EXPECT_EQ(record["lines_waiting"], 0);
    EXPECT_EQ(record["end_reason"], "stopped");
}

TEST_F(RunRecordTest, AnEndedRunKeepsItsOwnRecordWhileTheNextStartIsMade) {
    const fs::path stick = dir.Path() / "stick";
    fs::create_directory(stick);
    const std::string first = (stick / "first.txt").string();
    ASSERT_TRUE(run.CreateDataFile(first).ok);
    ASSERT_TRUE(run.BeginMeasurement(1, 2));
    TickUntilReading();
    fs::rename(stick, dir.Path() / "away");  // the stick is pulled: the next line waits
    TickUntilReading();
    run.StopMeasurement();
    const std::string started =
        run.Record().startedUtcMs ? FormatUtc(run.Record().startedUtcMs) : "";

    // The next Start names a new file, then is cancelled (or fails) before its run begins.
    const std::string second = dir.File("second.txt");
    ASSERT_TRUE(run.CreateDataFile(second).ok);
    clock.Advance(5000);
    run.SetTimeZero();
    EXPECT_EQ(run.PendingFile(), first);  // the waiting line is still the first run's

    fs::rename(dir.Path() / "away", stick);
    clock.Advance(1000);
    run.OnTimer();  // the line reaches its own file; its own record learns of it
    const nlohmann::json record = ReadRecord(first);
    EXPECT_EQ(record["lines_written"], 2);
    EXPECT_EQ(record["lines_waiting"], 0);
    EXPECT_EQ(record["started_utc"], started);  // not moved by the cancelled Start
    EXPECT_EQ(record["end_reason"], "stopped");
    EXPECT_FALSE(fs::exists(second + ".json"));
    EXPECT_EQ(ReadLines(first).size(), 2u);
}

TEST_F(RunRecordTest, ANewRunOnAFileRemovesTheRecordOfWhatItHeld) {
    ASSERT_TRUE(run.CreateDataFile(path).ok);
    ASSERT_TRUE(run.BeginMeasurement(1, 2));
    TickUntilReading();
    run.StopMeasurement();
    ASSERT_TRUE(fs::exists(path + ".json"));
    ASSERT_TRUE(run.CreateDataFile(path).ok);  // emptied for a new run
    EXPECT_FALSE(fs::exists(path + ".json"));  // so its lines' record goes too
}
