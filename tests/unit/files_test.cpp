#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files.hpp"
#include "temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using platform::ReplaceResult;
using platform::replaceFile;

using Names = std::vector<std::string>;
using ReplaceFile = InTempFolder;

TEST_F(ReplaceFile, CreatesOrReplacesAndLeavesNoTemporaryFile) {
    ASSERT_EQ(replaceFile("data", std::string("one\0two\n", 8)), ReplaceResult::done);
    EXPECT_EQ(readFile("data"), std::string("one\0two\n", 8));
    ::chmod("data", 0640);
    ASSERT_EQ(replaceFile("data", ""), ReplaceResult::done);
    EXPECT_EQ(readFile("data"), "");
    EXPECT_EQ(folderNames(), Names{"data"});
    struct stat info;
    ASSERT_EQ(::stat("data", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ReplaceFile, WritesThroughSymbolicLinksAndKeepsThem) {
    fs::create_directory("real");
    writeFile("real/data", "old\n");
    fs::create_symlink("real/data", "data");
    fs::create_symlink("missing", "dangling");
    ASSERT_EQ(replaceFile("data", "new\n"), ReplaceResult::done);
    EXPECT_TRUE(fs::is_symlink("data"));
    EXPECT_EQ(readFile("real/data"), "new\n");
    ASSERT_EQ(replaceFile("dangling", "made\n"), ReplaceResult::done);
    EXPECT_TRUE(fs::is_symlink("dangling"));
    EXPECT_EQ(readFile("missing"), "made\n");
    EXPECT_EQ(folderNames(), (Names{"dangling", "data", "missing", "real"}));
    EXPECT_EQ(fs::directory_iterator("real")->path().filename(), "data");
}

TEST_F(ReplaceFile, RefusesFoldersDevicesAndLinkLoopsBeforeWriting) {
    fs::create_directory("data");
    writeFile("data/inside", "kept");
    fs::create_symlink("/dev/null", "device");
    fs::create_symlink("loop2", "loop1");
    fs::create_symlink("loop1", "loop2");
    for (const char* name : {"data", "device", "loop1"}) {
        EXPECT_EQ(replaceFile(name, "x"), ReplaceResult::cannotCreate) << name;
    }
    EXPECT_EQ(readFile("data/inside"), "kept");
    EXPECT_EQ(folderNames(), (Names{"data", "device", "loop1", "loop2"}));
}

TEST_F(ReplaceFile, NeverFollowsWhateverStandsAtTheTemporaryName) {
    // A link planted where the temporary file would go must not be written through.
    std::string planted = ".data.tmp" + std::to_string(::getpid()) + "-0";
    fs::create_symlink("victim", planted);
    ASSERT_EQ(replaceFile("data", "saved\n"), ReplaceResult::done);
    EXPECT_EQ(readFile("data"), "saved\n");
    EXPECT_FALSE(fs::exists("victim"));
    EXPECT_EQ(folderNames(), (Names{planted, "data"}));
}

TEST_F(ReplaceFile, AFailedWriteKeepsTheOldFileWholeAndLeavesNothingBehind) {
    writeFile("data", "old contents\n");
    ReplaceResult result = ReplaceResult::done;
    withFileSizeLimit(4, [&] { result = replaceFile("data", "much longer new contents\n"); });
    EXPECT_EQ(result, ReplaceResult::cannotWrite);
    EXPECT_EQ(readFile("data"), "old contents\n");
    EXPECT_EQ(folderNames(), Names{"data"});
}

// A process that ended: no process runs under its pid any more.
pid_t endedProcess() {
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(ReplaceFile, RemovesOnlyTheTemporaryFilesThatAKilledWriterLeft) {
    std::string dead = std::to_string(endedProcess());
    std::string abandoned = ".data.tmp" + dead + "-0";
    std::string running = ".data.tmp" + std::to_string(::getppid()) + "-3";
    std::string otherFile = ".other.tmp" + dead + "-0";
    std::string otherName = ".data.tmp" + dead + "-0.keep";
    for (const std::string& name : {abandoned, running, otherFile, otherName}) writeFile(name, "left\n");
    ASSERT_EQ(replaceFile("data", "new\n"), ReplaceResult::done);
    EXPECT_EQ(readFile("data"), "new\n");
    Names expected{running, otherFile, otherName, "data"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folderNames(), expected);
}

// Whether another process could take the folder's lock right now.
bool lockIsFree() {
    pid_t child = ::fork();
    if (child == 0) {
        int fd = ::open(".", O_RDONLY | O_DIRECTORY);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ReplaceFile, HoldsTheFolderLockWhichTheProgramMayTakeAgain) {
    ASSERT_TRUE(lockIsFree());
    {
        platform::FolderLock outer("data");
        EXPECT_FALSE(lockIsFree());
        // A write while the program holds the lock does not wait for itself.
        ASSERT_EQ(replaceFile("data", "locked\n"), ReplaceResult::done);
        EXPECT_FALSE(lockIsFree());
    }
    EXPECT_TRUE(lockIsFree());
    EXPECT_EQ(folderNames(), Names{"data"});
}

using InputFile = InTempFolder;

TEST_F(InputFile, ReadsRegularFilesOnly) {
    writeFile("data", std::string("a\0b", 3));
    platform::InputFile file;
    ASSERT_TRUE(file.open("data"));
    char buffer[8];
    ASSERT_EQ(file.read(buffer, sizeof buffer), 3);
    EXPECT_EQ(std::string(buffer, 3), std::string("a\0b", 3));
    EXPECT_EQ(file.read(buffer, sizeof buffer), 0);

    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);  // would block a plain open for reading
    for (const char* name : {"folder", "pipe", "absent"}) {
        EXPECT_FALSE(file.open(name)) << name;
        EXPECT_EQ(file.read(buffer, sizeof buffer), -1) << name;
    }
}

}  // namespace
