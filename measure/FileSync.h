#pragma once
// What the data file and the run record share when they make files durable: syncing the
// folder a file was just created or renamed in, and a failure's text for a person.

#include <string>

// Syncs the folder holding path, so a name just created or renamed there survives a power
// cut (a file's own sync does not cover its folder entry). Where the system or the file
// system cannot sync a folder this does nothing: the file itself is synced anyway.
void SyncFolderOf(const std::string& path);

// "path: the system's reason" for errno value error.
std::string FileFailure(const std::string& path, int error);
