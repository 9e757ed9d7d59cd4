#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <csignal>
#ifdef __linux__
#include <sys/resource.h>
#endif

#include "OpenFiles.h"
#include "TempDir.h"
#include "measure/DataFile.h"

namespace fs = std::filesystem;

TEST(DataFileFormat, SevenGeneralNumbersSeparatedBySpaces) {
    EXPECT_EQ(FormatDataLine(90, 0.1, -12.5, 1e-6, 0, 100000, -12.5),
              "90 0.1 -12.5 1e-06 0 100000 -12.5\n");
    EXPECT_EQ(FormatDataLine(0.000123456789, 1234567.8, 2.5, -0.0, 1e300, 123456.5, 1.0 / 3),
              "0.000123457 1.23457e+06 2.5 -0 1e+300 123456 0.333333\n");
}

TEST(DataFile, CreateMakesAnEmptyFileAndReplacesAnOldOne) {
    TempDir dir;
    const std::string path = dir.File("run.txt");
    { std::ofstream(path) << "old contents\n"; }
    EXPECT_TRUE(CreateDataFile(path.c_str()).ok);
    EXPECT_EQ(fs::file_size(path), 0u);

    const DataFileResult missingFolder = CreateDataFile(dir.File("no/such/folder.txt").c_str());
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_NE(missingFolder.error.find("No such file or directory"), std::string::npos);
    EXPECT_NE(missingFolder.error.find("folder.txt"), std::string::npos);
}

TEST(DataFile, AppendsOneLinePerCall) {
    TempDir dir;
    const std::string path = dir.File("run.txt");
    DataFile file;
    EXPECT_TRUE(file.AppendDataLine(path.c_str(), 2, 0.1, 0, 1e-6, 0, 100000, 0).wroteAll);
    EXPECT_TRUE(file.AppendDataLine(path.c_str(), 4, 0.1, 0, 2e-6, 5, 50000, -5).wroteAll);
    EXPECT_EQ(ReadWholeFile(path), "2 0.1 0 1e-06 0 100000 0\n4 0.1 0 2e-06 5 50000 -5\n");
}

TEST(DataFile, AFileDeletedOrEmptiedMidRunComesBackWithEveryLine) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows does not delete a file that is held open";
#endif
    TempDir dir;
    const std::string path = dir.File("run.txt");
    DataFile file;
    ASSERT_TRUE(file.Create(path.c_str()).ok);
    ASSERT_TRUE(file.AppendDataLine(path.c_str(), 2, 0, 0, 0, 0, 0, 0).wroteAll);
    ASSERT_TRUE(file.AppendDataLine(path.c_str(), 4, 0, 0, 0, 0, 0, 0).wroteAll);

    fs::remove(path);
    EXPECT_TRUE(file.AppendDataLine(path.c_str(), 6, 0, 0, 0, 0, 0, 0).wroteAll);
    EXPECT_EQ(ReadLines(path),
              (std::vector<std::string>{"2 0 0 0 0 0 0", "4 0 0 0 0 0 0", "6 0 0 0 0 0 0"}));

    // Replaced by an empty file of the same name.
    fs::remove(path);
    { std::ofstream recreated(path); }
    EXPECT_TRUE(file.AppendDataLine(path.c_str(), 8, 0, 0, 0, 0, 0, 0).wroteAll);
    EXPECT_EQ(ReadLines(path).size(), 4u);

    // A new run on the same name starts empty, whatever was deleted before.
    fs::remove(path);
    ASSERT_TRUE(file.Create(path.c_str()).ok);
    EXPECT_TRUE(file.AppendDataLine(path.c_str(), 2, 1, 1, 1, 1, 1, 1).wroteAll);
    EXPECT_EQ(ReadLines(path), std::vector<std::string>{"2 1 1 1 1 1 1"});
}

TEST(DataFile, LinesThatCannotBeWrittenWaitAndFollowInOrder) {
    TempDir dir;
    const fs::path folder = dir.Path() / "data";
    fs::create_directory(folder);
    const std::string path = (folder / "run.txt").string();
    DataFile file;
    ASSERT_TRUE(file.AppendDataLine(path.c_str(), 1, 0, 0, 0, 0, 0, 0).wroteAll);

    // The folder is replaced by a plain file: nothing can be opened there.
    fs::rename(folder, dir.Path() / "moved");
    { std::ofstream(folder.string()) << "in the way"; }
    DataFile::Status status = file.AppendDataLine(path.c_str(), 2, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(status.wroteAll);
    EXPECT_EQ(status.pending, 1u);
    EXPECT_NE(status.error.find("run.txt"), std::string::npos);
    status = file.AppendDataLine(path.c_str(), 3, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(status.pending, 2u);
    EXPECT_EQ(file.Flush().pending, 2u);

    // The folder comes back: the waiting lines go first, in order.
    fs::remove(folder);
    fs::rename(dir.Path() / "moved", folder);
    status = file.AppendDataLine(path.c_str(), 4, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(status.wroteAll);
    EXPECT_EQ(status.pending, 0u);
    EXPECT_TRUE(status.error.empty());
    EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"1 0 0 0 0 0 0", "2 0 0 0 0 0 0",
                                                         "3 0 0 0 0 0 0", "4 0 0 0 0 0 0"}));
}

TEST(DataFile, LinesOfAnEarlierFileAreNotLostWhenANewFileStarts) {
    TempDir dir;
    const std::string blocked = dir.File("gone/first.txt");
    const std::string second = dir.File("second.txt");
    DataFile file;
    EXPECT_EQ(file.AppendDataLine(blocked.c_str(), 1, 0, 0, 0, 0, 0, 0).pending, 1u);
    // The second file is writable although the first one still is not.
    DataFile::Status status = file.AppendDataLine(second.c_str(), 2, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(status.pending, 1u);
    EXPECT_EQ(ReadLines(second), std::vector<std::string>{"2 0 0 0 0 0 0"});

    fs::create_directory(dir.Path() / "gone");
    EXPECT_TRUE(file.Flush().wroteAll);
    EXPECT_EQ(ReadLines(blocked), std::vector<std::string>{"1 0 0 0 0 0 0"});
}

#ifdef __linux__
TEST(DataFile, NothingHoldsTheFileOnceItsRunHasEnded) {
    TempDir dir;
    const std::string path = dir.File("run.txt");
    DataFile file;
    ASSERT_TRUE(file.Create(path.c_str()).ok);
    ASSERT_TRUE(file.AppendDataLine(path.c_str(), 2, 0, 0, 0, 0, 0, 0).wroteAll);
    EXPECT_EQ(HandlesOn(path), 1);  // the guard against deletion, during the run only
    file.Release();
    EXPECT_EQ(HandlesOn(path), 0);
    // Lines written after the run (waiting ones) leave nothing open either.
    ASSERT_TRUE(file.AppendDataLine(path.c_str(), 4, 0, 0, 0, 0, 0, 0).wroteAll);
    EXPECT_EQ(HandlesOn(path), 0);
    EXPECT_EQ(file.LinesWrittenTo(path), 2);
}

TEST(DataFile, AWriteCutShortLeavesNoPartialLine) {
    TempDir dir;
    const std::string path = dir.File("run.txt");
    DataFile file;
    ASSERT_TRUE(file.Create(path.c_str()).ok);
    ASSERT_TRUE(file.AppendDataLine(path.c_str(), 2, 0, 0, 0, 0, 0, 0).wroteAll);
    const std::string firstLine = ReadWholeFile(path);

    // The file may grow by 5 bytes only: the next line gets partly written, then fails.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit saved = limit;
    limit.rlim_cur = firstLine.size() + 5;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const DataFile::Status status = file.AppendDataLine(path.c_str(), 4, 0.123456, 7, 8, 9, 10, 11);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(status.wroteAll);
    EXPECT_EQ(status.pending, 1u);
    EXPECT_NE(status.error.find("File too large"), std::string::npos) << status.error;
    EXPECT_EQ(ReadWholeFile(path), firstLine);  // cut back to the last whole line

    EXPECT_TRUE(file.Flush().wroteAll);
    EXPECT_EQ(ReadWholeFile(path), firstLine + "4 0.123456 7 8 9 10 11\n");
}
#endif

TEST(DataFile, ANewRunCannotTakeAFileWhoseEarlierLinesStillWait) {
    TempDir dir;
    const std::string path = dir.File("gone/run.txt");
    DataFile file;
    fs::create_directory(dir.Path() / "gone");
    ASSERT_TRUE(file.Create(path.c_str()).ok);
    fs::remove_all(dir.Path() / "gone");
    EXPECT_EQ(file.AppendDataLine(path.c_str(), 2, 0, 0, 0, 0, 0, 0).pending, 1u);
    file.Release();

    fs::create_directory(dir.Path() / "gone");
    const DataFileResult refused = file.Create(path.c_str());
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.linesWaiting);
    EXPECT_EQ(refused.error,
              path + ": 1 line of an earlier run still waits to be written to this file");
    EXPECT_FALSE(fs::exists(path));  // untouched: not created empty over the waiting lines

    // Another name is fine, and the waiting line still reaches its own file.
    const std::string other = dir.File("other.txt");
    ASSERT_TRUE(file.Create(other.c_str()).ok);
    EXPECT_TRUE(file.AppendDataLine(other.c_str(), 2, 1, 1, 1, 1, 1, 1).wroteAll);
    EXPECT_EQ(ReadLines(path), std::vector<std::string>{"2 0 0 0 0 0 0"});
    EXPECT_EQ(ReadLines(other), std::vector<std::string>{"2 1 1 1 1 1 1"});
    EXPECT_EQ(file.LinesWrittenTo(other), 1);
    EXPECT_EQ(file.LinesWrittenTo(path), 1);  // the earlier run's line, once it got there
}

TEST(DataFile, FullDiskKeepsTheLineAndLeavesNoPartialWrite) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    DataFile file;
    const DataFile::Status status = file.AppendDataLine("/dev/full", 1, 2, 3, 4, 5, 6, 7);
    EXPECT_FALSE(status.wroteAll);
    EXPECT_EQ(status.pending, 1u);
    EXPECT_NE(status.error.find("No space left"), std::string::npos) << status.error;
}
