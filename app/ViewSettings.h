#pragma once
// How the charts are looked at, kept in the program's profile beside the recent-file list:
// section "Settings", key "LogImpedanceAxis" (false when absent).

class QString;

bool ReadLogImpedanceAxis(const QString& profilePath);
// False when the profile cannot be written.
bool WriteLogImpedanceAxis(const QString& profilePath, bool on);
