#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/WireLog.h"

namespace {
TEST(WireLog, EscapesEveryByteVisibly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"OUTP ? 3\r", "OUTP ? 3\\r"},
        {"a\nb", "a\\nb"},
        {"back\\slash", "back\\\\slash"},
        {std::string("\0\x01\x7f\xff", 4), "\\x00\\x01\\x7F\\xFF"},
        {"", ""},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(EscapeBytes(bytes), text);
        EXPECT_EQ(UnescapeBytes(text), bytes);
    }
}

TEST(WireLog, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string escaped = EscapeBytes(all);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);  // one event stays one line
    EXPECT_EQ(UnescapeBytes(escaped), all);
}

TEST(WireLog, MalformedEscapesAreTakenLiterally) {
    for (const std::string text : {"\\", "\\q", "\\x4", "\\xZZ"})
        EXPECT_EQ(UnescapeBytes(text), text) << text;
}

TEST(WireLog, AppendsOneFlushedLinePerEvent) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("varkel-wirelog-" + std::to_string(::getpid()) + ".txt");
    std::filesystem::remove(path);
    {
        std::ofstream(path) << "earlier\n";
        WireLog log;
        ASSERT_TRUE(log.Open(path.string()));
        log.Received("LOCL 1\r");
        log.Sent("1.5\r");
        log.Note("hangup");
        // Readable before the log is closed.
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str(), "earlier\nrx LOCL 1\\r\ntx 1.5\\r\n-- hangup\n");
    }
    std::filesystem::remove(path);
}

TEST(WireLog, ReportsAFileThatCannotBeOpened) {
    WireLog log;
    EXPECT_FALSE(log.Open("/nonexistent-folder/varkel/log.txt"));
    EXPECT_FALSE(log.IsOpen());
    log.Received("x");  // harmless
}
}  // namespace
