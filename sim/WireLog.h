#pragma once
// WireLog: what crossed the simulator's serial line, one event per text line, written and
// flushed at once so a test can read it while the simulator runs:
//   "rx <bytes>"  bytes received from the computer, in the order they arrived
//   "tx <bytes>"  a reply sent back
//   "-- <note>"   anything else worth knowing (hang-up, dropped reply)
// Bytes are escaped so every one is visible: "\r", "\n", "\\", printable ASCII as itself,
// any other byte as "\xHH".

#include <cstdio>
#include <string>
#include <string_view>

std::string EscapeBytes(std::string_view bytes);
// The inverse of EscapeBytes. A malformed escape is taken literally.
std::string UnescapeBytes(std::string_view text);

class WireLog {
public:
    WireLog() = default;
    WireLog(const WireLog&) = delete;
    WireLog& operator=(const WireLog&) = delete;
    ~WireLog();

    // Appends to path, creating it. False when it cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_pFile != nullptr; }

    void Received(std::string_view bytes) { Write("rx ", EscapeBytes(bytes)); }
    void Sent(std::string_view bytes) { Write("tx ", EscapeBytes(bytes)); }
    void Note(std::string_view text) { Write("-- ", text); }

private:
    void Write(std::string_view prefix, std::string_view text);

    std::FILE* m_pFile = nullptr;
};
