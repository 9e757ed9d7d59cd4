#include "RunRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "FileSync.h"
#include "IsoTime.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
nlohmann::json UtcOrNull(long long utcMs) {
    return utcMs < 0 ? nlohmann::json(nullptr) : nlohmann::json(FormatUtc(utcMs));
}

}  // namespace

std::string RunRecordPath(const std::string& dataFile) { return dataFile + ".json"; }

void RemoveRunRecord(const std::string& dataFile) { std::remove(RunRecordPath(dataFile).c_str()); }

std::string FormatRunRecord(const RunRecord& record) {
    nlohmann::ordered_json json;
    json["format"] = "varkel-run";
    json["format_version"] = kRunRecordFormatVersion;
    json["program_version"] = record.programVersion;
    json["started_utc"] = FormatUtc(record.startedUtcMs);
    json["started_local"] = FormatLocal(record.startedUtcMs);
    json["port"] = record.port;
    json["device"] = record.device;
    json["interval_s"] = record.intervalSeconds;
    json["simulated"] = record.simulated;
    json["columns"] = nlohmann::ordered_json::array();
    const std::pair<const char*, const char*> columns[] = {
        {"time", "s"},
        {"voltage", "V"},
        {"voltage_phase", "deg"},
        {"current", "A"},
        {"current_phase", "deg"},
        {"impedance", "ohm"},
        {"impedance_phase", "deg"},
    };
    for (const auto& [name, unit] : columns)
        json["columns"].push_back({{"name", name}, {"unit", unit}});
    json["readings_attempted"] = record.readingsAttempted;
    json["lines_written"] = record.linesWritten;
    json["lines_waiting"] = record.linesWaiting;
    json["outages"] = nlohmann::ordered_json::array();
    for (const RunRecord::Outage& outage : record.outages) {
        json["outages"].push_back(
            {{"lost_utc", UtcOrNull(outage.lostUtcMs)}, {"back_utc", UtcOrNull(outage.backUtcMs)}});
    }
    json["ended_utc"] = UtcOrNull(record.endedUtcMs);
    json["end_reason"] = record.endReason;
    return json.dump(2) + "\n";
}

bool WriteRunRecord(const std::string& dataFile, const RunRecord& record, std::string* error) {
    const std::string path = RunRecordPath(dataFile);
    const std::string temporary = path + ".tmp";
    const std::string text = FormatRunRecord(record);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        *error = FileFailure(temporary, errno);
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = ok && std::fflush(file) == 0;
#ifdef _WIN32
    ok = ok && _commit(_fileno(file)) == 0;
#else
    ok = ok && fsync(fileno(file)) == 0;
#endif
    const int failure = errno;
    const bool closed = std::fclose(file) == 0;
    if (!ok || !closed) {
        *error = FileFailure(temporary, ok ? errno : failure);
        std::remove(temporary.c_str());
        return false;
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        *error = path + ": " + renamed.message();
        std::remove(temporary.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}
