// The check before a recording: a data file that holds data is never replaced unasked.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "app/cli/RecordTarget.h"

namespace {
void Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TEST(RecordTarget, OnlyAFileThatHoldsDataIsRefusedAndOnlyWithoutOverwrite) {
    TempDir dir;
    const std::string missing = dir.File("new.txt");
    const std::string empty = dir.File("empty.txt");
    const std::string full = dir.File("last-night.txt");
    const std::string oneByte = dir.File("one.txt");
    const std::string folder = dir.File("folder");
    const std::string link = dir.File("link-to-full.txt");
    Write(empty, "");
    Write(full, "2 0.1 0 1e-06 0 100000 0\n");
    Write(oneByte, "\n");
    std::filesystem::create_directory(folder);
    std::filesystem::create_symlink(full, link);

    struct Case {
        std::string path;
        bool overwrite;
        std::string refusal;  // empty: allowed
    } const cases[] = {
        {missing, false, ""},
        {dir.File("no-folder/run.txt"), false, ""},
        {empty, false, ""},
        // Not a data file: creating it says what is wrong.
        {folder, false, ""},
        {full, false, full + " already holds data (25 bytes)"},
        {oneByte, false, oneByte + " already holds data (1 byte)"},
        {link, false, link + " already holds data (25 bytes)"},
        {full, true, ""},
        {link, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + (c.overwrite ? " --overwrite" : ""));
        const std::string refusal = RefuseRecordTarget(c.path, c.overwrite);
        if (c.refusal.empty()) {
            EXPECT_EQ(refusal, "");
        } else {
            EXPECT_EQ(refusal.rfind(c.refusal, 0), 0u) << refusal;
            EXPECT_NE(refusal.find("--overwrite"), std::string::npos) << refusal;
        }
    }
    // Asking changes nothing.
    EXPECT_EQ(ReadWholeFile(full), "2 0.1 0 1e-06 0 100000 0\n");
    EXPECT_FALSE(std::filesystem::exists(missing));
}
}  // namespace
